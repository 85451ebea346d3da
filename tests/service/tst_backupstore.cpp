// SPDX-License-Identifier: BSD-3-Clause
// The service's data file: what is written reads back unchanged, and a damaged or hostile file is
// refused with a text naming what is wrong, without blocking and without reading past the cap. A
// failing write is covered in tst_backupservice.

#include "BackupStore.h"
#include "ServiceLimits.h"
#include "Table.h"
#include "XmlText.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// Written by hand, so reading is checked against a document the writer did not make.
const QByteArray HandWritten
    = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<ScheduleBackupData version=\"1\">\n"
      " <Tmcard>\n"
      "  <Revision>4</Revision>\n"
      "  <TmcardID>7</TmcardID>\n"
      "  <Name>Nightly &amp; weekend</Name>\n"
      "  <Enabled>true</Enabled>\n"
      "  <TargetCyclic>false</TargetCyclic>\n"
      "  <Dir>/srv/backup/video</Dir>\n"
      "  <MaxThroughput>31457280</MaxThroughput>\n"
      "  <MaxRange>2880</MaxRange>\n"
      "  <TimeFrame>&lt;Ele&gt;&lt;Frame&gt;&lt;Name&gt;Nights&lt;/Name&gt;&lt;Intervals&gt;"
      "&lt;Ele B=\"79200\" E=\"108000\" /&gt;&lt;/Intervals&gt;&lt;/Frame&gt;&lt;/Ele&gt;"
      "</TimeFrame>\n"
      "  <CamList><Cam GrpID=\"grp-yard\">cam-12</Cam></CamList>\n"
      " </Tmcard>\n"
      " <Inventory><Camera ID=\"cam-12\" GrpID=\"grp-yard\">Yard</Camera></Inventory>\n"
      "</ScheduleBackupData>\n";

QByteArray changed(const QByteArray& from, const QByteArray& to)
{
    return QByteArray(HandWritten).replace(from, to);
}

// `count` attributes "a0=\"\" a1=\"\" ...", with the quotes escaped as `quote`.
QByteArray attributes(int count, const QByteArray& quote = "\"")
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += " a" + QByteArray::number(i) + '=' + quote + quote;
    return text;
}

// Every value a data set holds, so that two of them compare in one step.
QVariantList values(const ServiceData& data)
{
    const TimeCard& c = data.card;
    return QVariantList() << c.revision << c.tmcardId << c.name << c.enabled << c.targetCyclic
                          << c.dir << c.maxThroughputBytes << c.maxRangeMinutes << c.timeFrameXml
                          << c.timeFrameName << QVariant::fromValue(c.intervals)
                          << QVariant::fromValue(c.cameras) << QVariant::fromValue(data.inventory);
}

} // namespace

class tst_BackupStore : public QObject
{
    Q_OBJECT

    using DamagedCases = Table<QByteArray, QString>; // the document, what the text must mention
    using CrowdedCases = Table<QByteArray, bool>; // the document, whether a start tag is crowded
    using FileCases = Table<QString, QString>; // the kind of file, what the text must mention

private Q_SLOTS:
    void handWrittenFileIsRead()
    {
        const StoreResult<ServiceData> parsed = BackupStore::parse(HandWritten);
        QVERIFY2(parsed, qPrintable(parsed.errorText()));
        QCOMPARE(
            values(parsed.value()),
            QVariantList(
                {4, 7, "Nightly & weekend", true, false, "/srv/backup/video", 31457280, 2880,
                 R"(<Ele><Frame><Name>Nights</Name><Intervals>)"
                 R"(<Ele B="79200" E="108000" /></Intervals></Frame></Ele>)",
                 "Nights", QVariant::fromValue(QList<WeekInterval> {{79200, 108000}}),
                 QVariant::fromValue(QList<CameraRef> {{"cam-12", "grp-yard"}}),
                 QVariant::fromValue(QList<InventoryCamera> {{"cam-12", "grp-yard", "Yard"}})}));
    }

    void writtenDataReadsBackUnchanged()
    {
        ServiceData data;
        data.card.revision = Q_INT64_C(9007199254740993); // not exact as a double
        data.card.tmcardId = std::numeric_limits<qint64>::max();
        data.card.name = " A&B <night>\r\n\"q\" ]]> ";
        data.card.targetCyclic = true;
        data.card.dir = QString::fromUtf8(" /mnt/vidéo\r\nb\rc\td ✓ \U0001F4F9 ");
        data.card.maxThroughputBytes = ServiceLimits::MaxThroughputBytes;
        data.card.maxRangeMinutes = ServiceLimits::MaxRangeMinutes;
        data.card.timeFrameXml = "<Ele>\r\n<Frame><Name>CR\rLF</Name><Intervals>\r\n"
                                 "<Ele B=\"0\" E=\"604800\" /></Intervals></Frame></Ele>";
        data.card.timeFrameName = "CR\nLF"; // as any reader of the element sees it
        data.card.intervals = {{0, 604800}};
        data.card.cameras = {{"cam\r<1>", "grp\r\n\"a\" & 'b'"}};
        data.inventory = {{"cam\r<1>", "grp\r\n\"a\" & 'b'", "North\r\ngate & <yard>"}};

        const StoreResult<ServiceData> parsed = BackupStore::parse(BackupStore::serialize(data));
        QVERIFY2(parsed, qPrintable(parsed.errorText()));
        QCOMPARE(values(parsed.value()), values(data));
    }

    void damagedFileIsRefused_data()
    {
        DamagedCases::columns();
        const auto row = &DamagedCases::row;

        row("an entity declared in a document type",
            changed("<Dir>/srv/backup/video</Dir>", "<Dir>&d;</Dir>")
                .replace("?>\n", "?>\n<!DOCTYPE ScheduleBackupData [<!ENTITY d \"/srv\">]>\n"),
            "document type");
        row("a later format version", changed("version=\"1\"", "version=\"2\""),
            "format version 2");
        row("a revision that is not a number",
            changed("<Revision>4</Revision>", "<Revision>four</Revision>"), "<Revision>");
        row("a negative time-card id", changed("<TmcardID>7</TmcardID>", "<TmcardID>-7</TmcardID>"),
            "<TmcardID>");
        row("enabled that is neither true nor false",
            changed("<Enabled>true</Enabled>", "<Enabled>yes</Enabled>"), "<Enabled>");
        row("a missing directory", changed("<Dir>/srv/backup/video</Dir>", ""), "<Dir> is missing");
        row("a stored time frame ending before it begins", changed("E=\"108000\"", "E=\"79199\""),
            "<TimeFrame>");
        row("trailing garbage", HandWritten + "garbage", "</ScheduleBackupData>");
        row("another kind of document", QByteArray("<Settings><Tmcard/></Settings>"),
            "not a schedule-backup data file");
        row("no time-card", QByteArray("<ScheduleBackupData><Inventory/></ScheduleBackupData>"),
            "no time-card");
        row("an element with 50,000 attributes",
            changed("<Tmcard>", "<Tmcard" + attributes(50000) + ">"), "more than 256 attributes");
        row("a stored time frame element with 50,000 attributes",
            changed("&lt;Frame&gt;", "&lt;Frame" + attributes(50000, "&quot;") + "&gt;"),
            "<TimeFrame>: an element has more than 256 attributes");
        row("all cameras beside a single camera",
            changed("<CamList>", "<CamList><Cam GrpID=\"\">__allcams__</Cam>"),
            "mixes \"__allcams__\" with single cameras");
        row("a file cut short", HandWritten.left(HandWritten.indexOf("<CamList>")),
            "Premature end of document");
    }

    void damagedFileIsRefused()
    {
        const auto [document, named] = DamagedCases::fetch();
        const StoreResult<ServiceData> parsed = BackupStore::parse(document);
        QCOMPARE(parsed.errorReason(), StoreError::Damaged);
        QVERIFY2(parsed.errorText().contains(named), qPrintable(parsed.errorText()));
    }

    void crowdedStartTagsAreFound_data()
    {
        CrowdedCases::columns();
        const auto row = &CrowdedCases::row;

        row("256 attributes", "<a" + attributes(256) + "/>", false);
        row("257 attributes", "<b/><a" + attributes(257) + ">", true);
        row("'>' in a value does not end the tag", "<a x='>'" + attributes(257) + "/>", true);
        row("'=' in a value", "<a x=\"" + QByteArray(300, '=') + "\"/>", false);
        row("'=' in text, a comment, CDATA, an instruction and an end tag",
            "<r>" + attributes(300) + "<!--" + attributes(300) + "--><![CDATA[<a" + attributes(300)
                + ">]]><?p" + attributes(300) + "?></r" + attributes(300) + ">",
            false);
        row("an unterminated comment hides nothing that follows", "<!--" + attributes(300), false);
    }

    void crowdedStartTagsAreFound()
    {
        const auto [document, crowded] = CrowdedCases::fetch();
        QCOMPARE(XmlText::hasCrowdedStartTag(document), crowded);
    }

    void onlyARegularFileIsRead_data()
    {
        FileCases::columns();
        FileCases::row("a FIFO without a writer", "fifo", "it is a FIFO");
        FileCases::row("a link to /dev/zero", "zero", "it is a device");
        FileCases::row("a folder", "folder", "it is a folder");
        FileCases::row("a file one byte beyond the cap", "large", "larger than 67108864 bytes");
    }

    void onlyARegularFileIsRead()
    {
        const auto [kind, named] = FileCases::fetch();
        QTemporaryDir dir;
        const BackupStore store(dir.path());
        const QByteArray path = QFile::encodeName(store.filePath());
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        } else if (kind == "zero") {
            QVERIFY(QFile::link("/dev/zero", store.filePath()));
        } else if (kind == "folder") {
            QCOMPARE(::mkdir(path.constData(), 0700), 0);
        } else {
            QFile file(store.filePath());
            QVERIFY(file.open(QIODevice::WriteOnly)); // sparse: no disk space used
            QVERIFY(file.resize(BackupStore::MaximumFileSize + 1));
        }
        const StoreResult<ServiceData> loaded = store.load();
        QCOMPARE(loaded.errorReason(), StoreError::Damaged);
        QVERIFY2(loaded.errorText().contains(named), qPrintable(loaded.errorText()));
    }
};

QTEST_GUILESS_MAIN(tst_BackupStore)

#include "tst_backupstore.moc"
