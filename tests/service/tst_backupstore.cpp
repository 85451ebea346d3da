// The service's data file: everything written is read back unchanged, a damaged or hostile file
// is refused with a text naming what is wrong, and a failed write leaves the old file as it was.

#include "BackupProtocol.h"
#include "BackupStore.h"
#include "FileSizeLimit.h"
#include "ServiceLimits.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

Q_DECLARE_METATYPE(ServiceData)

namespace {

// A data file written by hand, so that reading is checked against a document the writer did not
// make. The damaged rows change exactly one part of it.
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
      "  <CamList>\n"
      "   <Cam GrpID=\"grp-lobby\">cam-01</Cam>\n"
      "   <Cam GrpID=\"grp-yard\">cam-12</Cam>\n"
      "  </CamList>\n"
      " </Tmcard>\n"
      " <Inventory>\n"
      "  <Camera ID=\"cam-01\" GrpID=\"grp-lobby\">Lobby entrance</Camera>\n"
      "  <Camera ID=\"cam-12\" GrpID=\"grp-yard\">Yard</Camera>\n"
      " </Inventory>\n"
      "</ScheduleBackupData>\n";

QByteArray changed(const QByteArray& from, const QByteArray& to)
{
    QByteArray document = HandWritten;
    return document.replace(from, to);
}

// The hand-written file with a document type declaration in front of the root.
QByteArray withDocumentType(const QByteArray& declarations, const QByteArray& from,
                            const QByteArray& to)
{
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    return changed(head, head + "<!DOCTYPE ScheduleBackupData [" + declarations + "]>\n")
        .replace(from, to);
}

QString frame(const QString& name, const QString& intervals)
{
    return "<Ele><Frame><Name>" + name
        + "</Name><DLMod>Period</DLMod><RepeatMod>Weekly</RepeatMod><Intervals>" + intervals
        + "</Intervals><Holiday>false</Holiday></Frame></Ele>";
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

void compareData(const ServiceData& actual, const ServiceData& expected)
{
    const TimeCard& a = actual.card;
    const TimeCard& e = expected.card;
    QCOMPARE(a.revision, e.revision);
    QCOMPARE(a.tmcardId, e.tmcardId);
    QCOMPARE(a.name, e.name);
    QCOMPARE(a.enabled, e.enabled);
    QCOMPARE(a.targetCyclic, e.targetCyclic);
    QCOMPARE(a.dir, e.dir);
    QCOMPARE(a.maxThroughputBytes, e.maxThroughputBytes);
    QCOMPARE(a.maxRangeMinutes, e.maxRangeMinutes);
    QCOMPARE(a.timeFrameXml, e.timeFrameXml);
    QCOMPARE(a.timeFrameName, e.timeFrameName);
    QVERIFY(a.intervals == e.intervals);
    QVERIFY(a.cameras == e.cameras);
    QVERIFY(actual.inventory == expected.inventory);
}

} // namespace

class tst_BackupStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void handWrittenFileIsRead()
    {
        const StoreResult<ServiceData> parsed = BackupStore::parse(HandWritten);
        QVERIFY2(parsed, qPrintable(parsed.errorText()));
        ServiceData expected;
        expected.card.revision = 4;
        expected.card.tmcardId = 7;
        expected.card.name = "Nightly & weekend";
        expected.card.enabled = true;
        expected.card.dir = "/srv/backup/video";
        expected.card.maxThroughputBytes = 31457280;
        expected.card.maxRangeMinutes = 2880;
        expected.card.timeFrameXml = R"(<Ele><Frame><Name>Nights</Name><Intervals>)"
                                     R"(<Ele B="79200" E="108000" /></Intervals></Frame></Ele>)";
        expected.card.timeFrameName = "Nights";
        expected.card.intervals = {{79200, 108000}};
        expected.card.cameras = {{"cam-01", "grp-lobby"}, {"cam-12", "grp-yard"}};
        expected.inventory
            = {{"cam-01", "grp-lobby", "Lobby entrance"}, {"cam-12", "grp-yard", "Yard"}};
        compareData(parsed.value(), expected);
    }

    void roundTrip_data()
    {
        QTest::addColumn<ServiceData>("data");

        QTest::newRow("the sample data") << BackupStore::sampleData();

        ServiceData awkward;
        awkward.card.revision = 12;
        awkward.card.tmcardId = 7;
        awkward.card.name = " A&B <night> \"q\" 'a' ]]> ";
        awkward.card.enabled = true;
        awkward.card.dir = QString::fromUtf8(" /mnt/nas/vidéo ✓ \U0001F4F9 ");
        awkward.card.timeFrameName = "Shop & yard";
        awkward.card.timeFrameXml = frame("Shop &amp; yard", R"(<Ele B="0" E="604800" />)");
        awkward.card.intervals = {{0, 604800}};
        awkward.card.cameras = {{"cam <1>", "grp \"a\" & 'b'"}, {"cam-2", ""}};
        awkward.inventory = {{"cam <1>", "grp \"a\" & 'b'", " Gate <west> & \"east\" "}};
        QTest::newRow("markup, quotes, spaces and characters beyond ASCII") << awkward;

        ServiceData breaks = awkward;
        breaks.card.name = "line\r\nbreak\rand\nmore\t";
        breaks.card.dir = "/mnt/a\r\nb\rc\nd\te";
        breaks.card.timeFrameXml
            = "<Ele>\r\n<Frame><Name>CR\rLF\r\n</Name><Intervals>\r\n"
              "<Ele B=\"3600\" E=\"7200\" />\r\n</Intervals></Frame></Ele>\r\n";
        breaks.card.timeFrameName = "CR\nLF\n"; // as any reader of the element sees it
        breaks.card.intervals = {{3600, 7200}};
        breaks.card.cameras = {{"cam\r1", "grp\r\n1"}};
        breaks.inventory = {{"cam\r1", "grp\r\n1", "North\r\ngate\r"}};
        QTest::newRow("line breaks of every kind and tabs") << breaks;

        ServiceData limits;
        limits.card.revision = Q_INT64_C(9007199254740993); // not exact as a double
        limits.card.tmcardId = std::numeric_limits<qint64>::max();
        limits.card.targetCyclic = true;
        limits.card.dir = "/";
        limits.card.maxThroughputBytes = ServiceLimits::MaxThroughputBytes;
        limits.card.maxRangeMinutes = ServiceLimits::MaxRangeMinutes;
        limits.card.timeFrameXml = frame("", "");
        limits.card.cameras = {{BackupProtocol::AllCamerasTag, ""}};
        QTest::newRow("largest numbers, empty schedule and inventory") << limits;

        ServiceData zeros;
        zeros.card.dir = "x";
        zeros.card.timeFrameXml = frame("z", R"(<Ele B="0" E="0" />)");
        zeros.card.timeFrameName = "z";
        zeros.card.intervals = {{0, 0}};
        QTest::newRow("zeros, everything off and no cameras") << zeros;
    }

    void roundTrip()
    {
        QFETCH(ServiceData, data);
        const StoreResult<ServiceData> parsed = BackupStore::parse(BackupStore::serialize(data));
        QVERIFY2(parsed, qPrintable(parsed.errorText()));
        compareData(parsed.value(), data);
    }

    void damagedFileIsRefused_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("named"); // what the text must mention

        QByteArray lol = "<!ENTITY l0 \"lol\">";
        for (int level = 1; level <= 3; ++level) {
            lol += "<!ENTITY l" + QByteArray::number(level) + " \"";
            for (int i = 0; i < 10; ++i)
                lol += "&l" + QByteArray::number(level - 1) + ';';
            lol += "\">";
        }
        QTest::newRow("an entity used 50,000 times")
            << withDocumentType(lol, "<Name>Nightly &amp; weekend</Name>",
                                "<Name>" + QByteArray("&l3;").repeated(50000) + "</Name>")
            << "document type";
        QTest::newRow("an external entity")
            << withDocumentType("<!ENTITY x SYSTEM \"file:///etc/passwd\">",
                                "<Dir>/srv/backup/video</Dir>", "<Dir>&x;</Dir>")
            << "document type";
        QTest::newRow("a harmless entity still declares a document type") << withDocumentType(
            "<!ENTITY d \"/srv/backup/video\">", "<Dir>/srv/backup/video</Dir>", "<Dir>&d;</Dir>")
                                                                          << "document type";
        QTest::newRow("a revision that is not a number")
            << changed("<Revision>4</Revision>", "<Revision>four</Revision>") << "<Revision>";
        QTest::newRow("a revision beyond 64 bits")
            << changed("<Revision>4</Revision>", "<Revision>9223372036854775808</Revision>")
            << "<Revision>";
        QTest::newRow("a time-card id that is negative")
            << changed("<TmcardID>7</TmcardID>", "<TmcardID>-7</TmcardID>") << "<TmcardID>";
        QTest::newRow("enabled that is neither true nor false")
            << changed("<Enabled>true</Enabled>", "<Enabled>yes</Enabled>") << "<Enabled>";
        QTest::newRow("cyclic in capitals")
            << changed("<TargetCyclic>false</TargetCyclic>", "<TargetCyclic>FALSE</TargetCyclic>")
            << "<TargetCyclic>";
        QTest::newRow("a negative throughput limit") << changed(
            "<MaxThroughput>31457280</MaxThroughput>", "<MaxThroughput>-1</MaxThroughput>")
                                                     << "<MaxThroughput>";
        QTest::newRow("a range limit that is not a number")
            << changed("<MaxRange>2880</MaxRange>", "<MaxRange>2 days</MaxRange>") << "<MaxRange>";
        QTest::newRow("a missing directory")
            << changed("<Dir>/srv/backup/video</Dir>", "") << "<Dir> is missing";
        QTest::newRow("a missing revision")
            << changed("<Revision>4</Revision>", "") << "<Revision> is missing";
        QTest::newRow("a missing time frame")
            << changed("<TimeFrame>", "<Unused>").replace("</TimeFrame>", "</Unused>")
            << "<TimeFrame> is missing";
        QTest::newRow("a stored time frame ending before it begins")
            << changed("E=\"108000\"", "E=\"79199\"") << "<TimeFrame>";
        QTest::newRow("a stored time frame past the end of the week")
            << changed("E=\"108000\"", "E=\"604801\"") << "<TimeFrame>";
        QTest::newRow("a stored time frame that is not XML")
            << changed("&lt;/Frame&gt;&lt;/Ele&gt;", "&lt;/Ele&gt;") << "<TimeFrame>";
        QTest::newRow("trailing garbage after the root") << HandWritten + "garbage"
                                                         << "</ScheduleBackupData>";
        QTest::newRow("a second root element") << HandWritten + "<ScheduleBackupData/>"
                                               << "</ScheduleBackupData>";
        QTest::newRow("a file cut short")
            << HandWritten.left(HandWritten.indexOf("<CamList>")) << "Premature end of document";
        QTest::newRow("another kind of document")
            << QByteArray("<Settings><Tmcard/></Settings>") << "not a schedule-backup data file";
        QTest::newRow("a data file without a time-card")
            << QByteArray("<ScheduleBackupData><Inventory/></ScheduleBackupData>")
            << "no time-card";
        QTest::newRow("an empty file") << QByteArray() << "Premature end of document";
    }

    void damagedFileIsRefused()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, named);
        QTemporaryDir dir;
        const BackupStore store(dir.path());
        QVERIFY(writeFile(store.filePath(), document));

        const StoreResult<ServiceData> loaded = store.load();
        QCOMPARE(loaded.errorReason(), StoreError::Damaged);
        QVERIFY2(loaded.errorText().contains(named), qPrintable(loaded.errorText()));
        QVERIFY2(loaded.errorText().contains(store.filePath()), qPrintable(loaded.errorText()));
        QCOMPARE(readFile(store.filePath()), document);
    }

    void oversizedFileIsRefused()
    {
        QTemporaryDir dir;
        const BackupStore store(dir.path());
        QVERIFY(writeFile(store.filePath(), HandWritten));
        // A sparse tail: the file is larger than allowed without taking the space.
        QVERIFY(QFile::resize(store.filePath(), BackupStore::MaximumFileSize + 1));

        const StoreResult<ServiceData> loaded = store.load();
        QCOMPARE(loaded.errorReason(), StoreError::Damaged);
        QVERIFY2(loaded.errorText().contains(
                     "larger than " + QString::number(BackupStore::MaximumFileSize) + " bytes"),
                 qPrintable(loaded.errorText()));
    }

    void missingFileCannotBeRead()
    {
        QTemporaryDir dir;
        const BackupStore store(dir.path());
        const StoreResult<ServiceData> loaded = store.load();
        QCOMPARE(loaded.errorReason(), StoreError::CannotRead);
        QVERIFY2(loaded.errorText().contains(store.filePath()), qPrintable(loaded.errorText()));
    }

    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const BackupStore store(dir.path());
        QVERIFY(store.save(BackupStore::sampleData()));
        const QByteArray before = readFile(store.filePath());
        ServiceData next = BackupStore::sampleData();
        next.card.revision = 2;
        next.card.dir = "/mnt/elsewhere";

        StoreResult<> saved;
        {
            // Every write of this process past half the file's size now fails with EFBIG.
            const FileSizeLimit limit(rlim_t(before.size() / 2));
            if (!limit.isActive())
                QSKIP("the file size limit cannot be lowered here");
            saved = store.save(next);
        }
        QCOMPARE(saved.errorReason(), StoreError::CannotWrite);
        const QString reason = QString::fromLocal8Bit(std::strerror(EFBIG));
        QVERIFY2(saved.errorText().contains(reason), qPrintable(saved.errorText()));
        QCOMPARE(readFile(store.filePath()), before);
        // No half-written file is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList {"schedule-backup.xml"});
    }
};

QTEST_GUILESS_MAIN(tst_BackupStore)

#include "tst_backupstore.moc"
