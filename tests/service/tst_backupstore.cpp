// SPDX-License-Identifier: BSD-3-Clause
// The service's data file: what is written reads back unchanged, and a damaged or hostile file is
// refused with a text naming what is wrong, without blocking and without reading past the cap (a
// failing write is covered in tst_backupservice). And the simulated backup runs of a stored card:
// windows, progress, the hour a finished run stays reported, and weeks with a clock change. Run in
// UTC and Europe/Berlin: week seconds count real time from local Sunday midnight.

#include "BackupStatus.h"
#include "BackupStore.h"
#include "Table.h"
#include "XmlText.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(TimeCard)

namespace {

// Written by hand, so reading is checked against a document the writer did not make. Its texts
// hold markup, carriage returns (which a reader would turn into line feeds unless referenced) and
// tabs, and its numbers are not exact as doubles.
const QByteArray HandWritten
    = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<ScheduleBackupData version=\"1\">\n"
      " <Tmcard>\n"
      "  <Revision>9007199254740993</Revision>\n"
      "  <TmcardID>9223372036854775807</TmcardID>\n"
      "  <Name> A&amp;B &lt;night&gt;&#13;\n\"q\" ]]&gt; </Name>\n"
      "  <Enabled>true</Enabled>\n"
      "  <TargetCyclic>false</TargetCyclic>\n"
      "  <Dir> /mnt/vid\xC3\xA9o&#13;\nb&#13;c\td </Dir>\n"
      "  <MaxThroughput>31457280</MaxThroughput>\n"
      "  <MaxRange>2880</MaxRange>\n"
      "  <TimeFrame>&lt;Ele&gt;&#13;\n&lt;Frame&gt;&lt;Name&gt;CR&#13;LF&lt;/Name&gt;"
      "&lt;Intervals&gt;&lt;Ele B=\"79200\" E=\"604800\" /&gt;&lt;/Intervals&gt;&lt;/Frame&gt;"
      "&lt;/Ele&gt;</TimeFrame>\n"
      "  <CamList><Cam GrpID=\"g&#13;&#10;&quot;a&quot; &amp; 'b'\">cam&#13;&lt;1&gt;</Cam>"
      "</CamList>\n"
      " </Tmcard>\n"
      " <Inventory><Camera ID=\"cam&#13;&lt;1&gt;\" GrpID=\"g&#13;&#10;&quot;a&quot; &amp; 'b'\">"
      "North&#13;\ngate &amp; &lt;yard&gt;</Camera></Inventory>\n"
      "</ScheduleBackupData>\n";

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

// Had the zone not taken effect, the Berlin rows of the clock changes would fail.
const bool InBerlin = qgetenv("TZ") == "Europe/Berlin";

} // namespace

class tst_BackupStore : public QObject
{
    Q_OBJECT

    // The file's content or kind (a FIFO, a link to /dev/zero or a large file), and what the text
    // must mention.
    using DamagedCases = Table<QByteArray, QString, QString>;
    using CrowdedCases = Table<QByteArray, bool>; // the document, whether a start tag is crowded
    // The time-card, the moment, and "status|interval|progress" as reported.
    using StatusCases = Table<TimeCard, QDateTime, QString>;

private Q_SLOTS:
    void fileIsReadAndWrittenBackUnchanged()
    {
        const StoreResult<ServiceData> parsed = BackupStore::parse(HandWritten);
        QVERIFY2(parsed, qPrintable(parsed.errorText()));
        const QString camera = "cam\r<1>", group = "g\r\n\"a\" & 'b'";
        QCOMPARE(values(parsed.value()),
                 QVariantList({Q_INT64_C(9007199254740993), std::numeric_limits<qint64>::max(),
                               " A&B <night>\r\n\"q\" ]]> ", true, false,
                               QString::fromUtf8(" /mnt/vidéo\r\nb\rc\td "), 31457280, 2880,
                               "<Ele>\r\n<Frame><Name>CR\rLF</Name><Intervals>"
                               "<Ele B=\"79200\" E=\"604800\" /></Intervals></Frame></Ele>",
                               "CR\nLF", // as any reader of the element sees it
                               QVariant::fromValue(QList<WeekInterval> {{79200, 604800}}),
                               QVariant::fromValue(QList<CameraRef> {{camera, group}}),
                               QVariant::fromValue(QList<InventoryCamera> {
                                   {camera, group, "North\r\ngate & <yard>"}})}));

        const StoreResult<ServiceData> again
            = BackupStore::parse(BackupStore::serialize(parsed.value()));
        QVERIFY2(again, qPrintable(again.errorText()));
        QCOMPARE(values(again.value()), values(parsed.value()));
    }

    void damagedFileIsRefused_data()
    {
        DamagedCases::columns();
        const auto row = [](const char* tag, const QByteArray& document, const QString& named,
                            const QString& kind = QString()) {
            DamagedCases::row(tag, document, kind, named);
        };
        const auto changed = [](const QByteArray& from, const QByteArray& to) {
            return QByteArray(HandWritten).replace(from, to);
        };
        // The hand-written file with the text of element `name` replaced.
        const auto with = [](const QByteArray& name, const QByteArray& text) {
            const qsizetype from = HandWritten.indexOf("<" + name + ">") + name.size() + 2;
            return QByteArray(HandWritten)
                .replace(from, HandWritten.indexOf("</" + name) - from, text);
        };

        row("an entity declared in a document type",
            with("Dir", "&d;")
                .replace("?>\n", "?>\n<!DOCTYPE ScheduleBackupData [<!ENTITY d 'x'>]>"),
            "document type");
        row("a later format version", changed("version=\"1\"", "version=\"2\""),
            "format version 2");
        row("a revision that is not a number", with("Revision", "four"), "<Revision>");
        row("a negative time-card id", with("TmcardID", "-7"), "<TmcardID>");
        row("enabled that is neither true nor false", with("Enabled", "yes"), "<Enabled>");
        row("a missing directory", changed("Dir>", "Dor>"), "<Dir> is missing");
        row("a stored time frame ending before it begins", changed("604800", "79199"),
            "<TimeFrame>");
        row("trailing garbage", HandWritten + "garbage", "</ScheduleBackupData>");
        row("another kind of document", "<Settings><Tmcard/></Settings>",
            "not a schedule-backup data file");
        row("no time-card", "<ScheduleBackupData><Inventory/></ScheduleBackupData>",
            "no time-card");
        row("an element with 50,000 attributes",
            changed("<Tmcard>", "<Tmcard" + attributes(50000) + ">"), "more than 256 attributes");
        row("a stored time frame element with 50,000 attributes",
            changed("&lt;Frame&gt;", "&lt;Frame" + attributes(50000, "&quot;") + "&gt;"),
            "<TimeFrame>: an element has more than 256 attributes");
        row("all cameras beside a single camera", with("CamList", "<Cam>__allcams__</Cam><Cam/>"),
            "mixes \"__allcams__\" with single cameras");
        // Neither blocks, nor reads past the cap.
        row("a FIFO without a writer", "", "it is a FIFO", "fifo");
        row("a link to /dev/zero", "", "it is a device", "zero");
        row("a file one byte beyond the cap", "", "larger than 67108864 bytes", "large");
    }

    void damagedFileIsRefused()
    {
        const auto [document, kind, named] = DamagedCases::fetch();
        QTemporaryDir dir;
        const BackupStore store(dir.path());
        QFile file(store.filePath());
        if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(file.fileName()).constData(), 0600), 0);
        else if (kind == "zero")
            QVERIFY(QFile::link("/dev/zero", file.fileName()));
        else // the large file is sparse: it takes no disk space
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(document) == document.size()
                    && (kind != "large" || file.resize(BackupStore::MaximumFileSize + 1)));
        file.close();
        const StoreResult<ServiceData> loaded = store.load();
        QCOMPARE(loaded.errorReason(), StoreError::Damaged);
        QVERIFY2(loaded.errorText().contains(named), qPrintable(loaded.errorText()));
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

    void statusAt_data()
    {
        StatusCases::columns();
        // Week seconds of a wall-clock time in a week of 24-hour days; a moment in the week of
        // `sunday`, by default one without a clock change.
        const auto ws = [](int day, int hour) { return qint64(day * 86400 + hour * 3600); };
        const auto at = [](int day, const char* time, const QDate& sunday = QDate(2026, 1, 4)) {
            return QDateTime(sunday.addDays(day),
                             QTime::fromString(QLatin1String(time), Qt::ISODate));
        };
        // In Berlin clocks go from 02:00 to 03:00 in spring and from 03:00 back to 02:00 in autumn.
        const QDate spring(2026, 3, 29), autumn(2026, 10, 25);
        const WeekInterval monday {ws(1, 9), ws(1, 17)};
        const auto card = [](const QList<WeekInterval>& intervals, bool enabled = true) {
            TimeCard card;
            card.enabled = enabled;
            card.intervals = intervals;
            return card;
        };
        const TimeCard monWed = card({{ws(3, 9), ws(3, 17)}, monday});
        const TimeCard night = card({{ws(0, 1), ws(0, 4)}, monday});
        const TimeCard saturdayNight = card({{ws(6, 22), ws(7, 0)}, monday});
        const QString mon = "2026-01-05 09:00 - 17:00";
        const auto row = &StatusCases::row;

        row("a disabled card is disabled even inside a window", card({monday}, false),
            at(1, "12:00"), "Disabled||0");
        row("a card with only empty windows is idle with no interval", card({{ws(1, 9), ws(1, 9)}}),
            at(1, "09:00"), "Idle||0");
        row("at the start the run begins at 0 percent", monWed, at(1, "09:00"),
            "Running|" + mon + "|0");
        row("in the last second the run is at 99, never 100", monWed, at(1, "16:59:59"),
            "Running|" + mon + "|99");
        row("at the end the run is completed", monWed, at(1, "17:00"), "Completed|" + mon + "|100");
        row("an hour after the end the next window is shown", monWed, at(1, "18:00"),
            "Idle|2026-01-07 09:00 - 17:00|0");
        row("a run ending at 24:00 on saturday stays completed into sunday", saturdayNight,
            at(7, "00:30"), "Completed|2026-01-10 22:00 - 24:00|100");
        row("an hour into sunday the run before is over", saturdayNight, at(7, "01:00"),
            "Idle|2026-01-12 09:00 - 17:00|0");
        row("a window inside another runs to the outer end", card({monday, {ws(1, 10), ws(1, 11)}}),
            at(1, "15:00"), "Running|" + mon + "|75");
        row("touching windows run as one, named with both days",
            card({{ws(4, 0), ws(4, 6)}, {ws(3, 22), ws(4, 0)}}), at(4, "02:00"),
            "Running|2026-01-07 22:00 - 2026-01-08 06:00|50");

        // In Berlin the spring Sunday has 23 hours, so monday's 09:00 is 10:00 on the clock; the
        // autumn Sunday has 25, so a night window until 04:00 ends at 03:00 on the clock.
        row("spring change: the monday window moves with the clock", monWed, at(1, "12:00", spring),
            InBerlin ? "Running|2026-03-30 10:00 - 18:00|25"
                     : "Running|2026-03-30 09:00 - 17:00|37");
        row("autumn change: a night window across the change", night, at(0, "03:30", autumn),
            InBerlin ? "Completed|2026-10-25 01:00 - 03:00|100"
                     : "Running|2026-10-25 01:00 - 04:00|83");
    }

    // The status, interval and progress reported, in one text.
    void statusAt()
    {
        const auto [card, now, report] = StatusCases::fetch();
        const BackupStatusReport r = BackupStatusSimulator::statusAt(card, now);
        QCOMPARE(QStringList({r.status, r.interval, QString::number(r.progress)}).join('|'),
                 report);
    }
};

QTEST_GUILESS_MAIN(tst_BackupStore)

#include "tst_backupstore.moc"
