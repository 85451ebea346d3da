// SPDX-License-Identifier: BSD-3-Clause
// The front ends' shared core: the week schedule in its three forms, every expectation written by
// hand, and the rules both front ends apply to what people enter and read.

#include "BackupRules.h"
#include "PluginTerms.h"
#include "ScheduleDocuments.h"
#include "Table.h"
#include "WeekSchedule.h"

#include <QTranslator>
#include <QtTest>

using Rules = BackupRules;
using namespace ScheduleDocuments;

class TestClient : public QObject
{
    Q_OBJECT

    // Text or a rectangle document, whether it is valid, and toText() (Monday first) or part of
    // the error.
    using TextCases = Table<QString, bool, QString>;
    // Text, and toText() in German and without a catalogue.
    using LanguageCases = Table<QString, QString, QString>;
    // What people enter: a limit, a directory or cameras.
    enum Entry { Limit, Directory, Cameras };
    // The Entry, the text, and what is taken (the value, the directory, the plug-in's camera
    // entries) or why it is refused (the problem; for cameras nothing).
    using EntryCases = Table<int, QString, QVariant>;
    // Enabled, schedule, seconds the plug-in's answer lies ahead, the end of the text.
    using NextCases = Table<bool, QString, int, QString>;

private Q_SLOTS:
    void readsText_data()
    {
        TextCases::columns();
        const auto row = &TextCases::row;
        row("Fri-Mon wraps over the weekend", "Fri-Mon 09:00-10:00", true,
            "Mon,Fri-Sun 09:00-10:00");
        row("daily runs Monday to Sunday, up to the end of the day", "daily 22:00-24:00", true,
            "Mon-Sun 22:00-24:00");
        row("full names, any case, prefixes, short hours and blanks",
            "  monday,TUE,Wedn 9:00 - 9:30 ;  ", true, "Mon-Wed 09:00-09:30");
        row("blanks around the day range and an en dash between the times",
            "Mon - Fri 18:00 \u2013 19:00", true, "Mon-Fri 18:00-19:00");
        row("windows of a day are sorted, overlapping or touching ones merge across entries",
            "Mon 13:00-17:00,08:00-10:00,09:00-11:00; Mon 11:00-11:30", true,
            "Mon 08:00-11:30,13:00-17:00");
        row("an extra window on one day splits the run of days",
            "Mon-Fri 09:00-17:00; Wed 16:00-20:00", true,
            "Mon-Tue,Thu-Fri 09:00-17:00; Wed 09:00-20:00");
        // Rectangle documents, with cells counted where any part of them is covered.
        row("days outside the week, hours beyond 24:00, empty and upside-down rectangles go",
            doc({box(9, 10, -2, 0), box(8, 9, Mon, Tue), box(9, 10, Fri, 9), box(22, 26, Tue, Wed),
                 box(9, 9, Mon, Sat), box(17, 9, Mon, Tue)}),
            true, "Mon 08:00-09:00; Tue 22:00-24:00; Fri-Sat 09:00-10:00");
        const QString badTime = QStringLiteral("expected HH:MM-HH:MM on whole or half hours");
        row("empty text", "", false, "use \"none\" for no backup windows");
        row("a good entry does not excuse a day without times", "Mon 09:00-10:00; Tue", false,
            "expected days and times");
        row("a quarter hour", "Mon 09:15-10:00", false, badTime);
        row("half past the end of the day", "Mon 23:00-24:30", false, badTime);
        row("a window that ends where it starts", "Mon 09:00-09:00", false,
            "the window ends before it starts");
        row("a JSON array is not a schedule", "[" + box(9, 10, Mon, Tue) + "]", false,
            "not a JSON object");
    }
    void readsText()
    {
        const auto [text, valid, expected] = TextCases::fetch();
        const WeekSchedule schedule = text.startsWith('{') || text.startsWith('[')
            ? WeekSchedule::fromRectangleJson(text)
            : WeekSchedule::parse(text);
        QVERIFY2(schedule.isValid() == valid, qPrintable(schedule.errorText()));
        if (!valid) {
            QVERIFY2(schedule.errorText().contains(expected), qPrintable(schedule.errorText()));
            return;
        }
        QCOMPARE(schedule.toText(), expected);
        QCOMPARE(WeekSchedule::fromRectangleJson(schedule.toRectangleJson()).toText(), expected);
    }

    // Half hours are fractions, Right is exclusive, Sunday comes first, as the plug-in writes; a
    // cell counts when any part of it is covered.
    void writesOneRectanglePerWindowAndDay()
    {
        QCOMPARE(
            WeekSchedule::parse("Mon-Tue 09:00-12:30,13:00-14:00; Sun 8:00-9:00").toRectangleJson(),
            doc({box(8, 9, Sun, Mon), box(9, 12.5, Mon, Tue), box(13, 14, Mon, Tue),
                 box(9, 12.5, Tue, Wed), box(13, 14, Tue, Wed)}));
        const WeekSchedule::Range partly {9 * 60 + 10, 9 * 60 + 40}, day {0, 1440};
        QCOMPARE(std::pair(partly.firstSlot(), partly.endSlot()), std::pair(18, 20));
        QCOMPARE(std::pair(day.firstSlot(), day.endSlot()), std::pair(0, 48));
    }

    void readsAndWritesTheUsersLanguage_data()
    {
        LanguageCases::columns();
        const auto row = &LanguageCases::row;
        row("German and English short names", "Mo,Tue-Fr 18:00-19:00", "Mo-Fr 18:00-19:00",
            "Mon-Fri 18:00-19:00");
        row("German full names and prefixes, mixed with English",
            "Samstag,Sonn 10:00-11:00; Wed 08:00-09:00", "Mi 08:00-09:00; Sa-So 10:00-11:00",
            "Wed 08:00-09:00; Sat-Sun 10:00-11:00");
    }
    void readsAndWritesTheUsersLanguage()
    {
        const auto [text, german, english] = LanguageCases::fetch();
        QTranslator translator;
        QVERIFY(translator.load(GERMAN_CATALOGUE));
        QCoreApplication::installTranslator(&translator);
        const WeekSchedule schedule = WeekSchedule::parse(text);
        const QString written = schedule.toText();
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(QStringList({written, schedule.toText()}), QStringList({german, english}));
    }

    void entries_data()
    {
        EntryCases::columns();
        const auto row = [](const QString& tag, Entry entry, const QString& text,
                            const QVariant& result) { EntryCases::row(tag, entry, text, result); };
        const auto problem = [](auto value) { return QVariant::fromValue(value); };
        using L = Rules::LimitProblem;
        using D = Rules::DirectoryProblem;
        row("limit: zero", Limit, "0", 0);
        row("limit: the maximum, between blanks", Limit, " 3650 ", 3650);
        row("limit: one beyond the maximum", Limit, "3651", problem(L::TooLarge));
        row("limit: more digits than any number has", Limit, QString(40, '9'),
            problem(L::TooLarge));
        row("limit: blanks only", Limit, "  ", problem(L::Empty));
        for (const char* text : {"-1", "+5", "1.5", "1e3", "12 3"})
            row(QStringLiteral("limit: %1").arg(text), Limit, text, problem(L::NotNumber));
        row("directory: blanks at the ends go", Directory, "  /srv/backup ", "/srv/backup");
        row("directory: blanks only", Directory, " \t ", problem(D::Empty));
        // A tab, a C1 control, a lone surrogate and a non-character.
        for (const QString& text : {QString("/srv/a\tb"), QString("/srv/\u0085x"),
                                    "/srv/" + QString(QChar(0xD800)), QString("/srv/\uFFFE")})
            row("directory not plain: " + text.toUtf8().toPercentEncoding("/"), Directory, text,
                problem(D::NotPlain));
        const auto entry = [](const QString& id) { return QVariant(Rules::cameraEntry(id)); };
        row("cameras: all, in any case, stands alone", Cameras, " ALL ",
            QVariantList {entry(PluginTerms::AllCamerasTag)});
        row("cameras: ids keep their order without repeats", Cameras, " cam-05 , cam-01 ,cam-05,, ",
            QVariantList {entry("cam-05"), entry("cam-01")});
        row("cameras: commas only", Cameras, " , ,", QVariant());
    }
    void entries()
    {
        const auto [entry, text, result] = EntryCases::fetch();
        const int maximum = PluginTerms::MaxRangeDays;
        if (entry == Limit) {
            const auto value = Rules::limitValue(text, maximum);
            QCOMPARE(value ? QVariant(*value)
                           : QVariant::fromValue(Rules::limitProblem(text, maximum)),
                     result);
        } else if (entry == Directory) {
            const auto problem = Rules::directoryProblem(text);
            QCOMPARE(problem == Rules::DirectoryProblem::None
                         ? QVariant(Rules::enteredDirectory(text))
                         : QVariant::fromValue(problem),
                     result);
        } else {
            const auto choice = Rules::parseCameras(text);
            QCOMPARE(choice ? QVariant(Rules::cameraEntries(*choice)) : QVariant(), result);
        }
    }

    void nextBackup_data()
    {
        NextCases::columns();
        const QString office = doc({box(9, 17, 1, 2)}), empty = doc({box(9, 9, 1, 2)});
        const auto row = &NextCases::row;
        row("off wins over an answer", false, office, 600, "Scheduled backup is off");
        row("no window, even with an answer", true, empty, 600, "No backup window scheduled");
        row("an answer that is not ahead of now", true, office, 0, "Not known yet");
        row("an answer ahead, with the wait", true, office, 26 * 3600 + 59, "(in 1 d 2 h)");
    }
    void nextBackup()
    {
        const auto [enabled, schedule, secondsAhead, text] = NextCases::fetch();
        const QDateTime now(QDate(2026, 12, 7), QTime(8, 0));
        const QDateTime next = now.addSecs(secondsAhead);
        const QString said
            = Rules::nextBackupText(Rules::nextBackup(enabled, schedule, next, now), next, now);
        QVERIFY2(said.endsWith(text), qPrintable(said));
    }

    void wordsForStatesAndWaits()
    {
        QCOMPARE(Rules::statusWord("Paused"), "Paused"); // a state of a newer server
        QCOMPARE(Rules::untilText(59999), "in less than a minute");
        QCOMPARE(Rules::untilText(60 * 60000 - 1), "in 59 min");
        QCOMPARE(Rules::untilText(24 * 3600000 - 60000), "in 23 h 59 min");
    }
};

QTEST_GUILESS_MAIN(TestClient)
#include "tst_client.moc"
