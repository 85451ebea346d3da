// SPDX-License-Identifier: BSD-3-Clause
// The rules both front ends apply to what people enter and read.

#include "BackupRules.h"
#include "PluginTerms.h"

#include <QtTest>

using Rules = BackupRules;

class TestBackupRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void limits_data();
    void limits();
    void directories_data();
    void directories();
    void cameras_data();
    void cameras();
    void nextBackup_data();
    void nextBackup();
    void wordsForStatesAndWaits();
};

void TestBackupRules::limits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("problem"); // Rules::LimitProblem
    QTest::addColumn<int>("value"); // -1: none

    const int none = int(Rules::LimitProblem::None), large = int(Rules::LimitProblem::TooLarge);
    QTest::newRow("zero") << "0" << none << 0;
    QTest::newRow("the maximum, between blanks") << " 3650 " << none << 3650;
    QTest::newRow("one beyond the maximum") << "3651" << large << -1;
    QTest::newRow("more digits than any number has") << QString(40, '9') << large << -1;
    QTest::newRow("blanks only") << "  " << int(Rules::LimitProblem::Empty) << -1;
    for (const char* text : {"-1", "+5", "1.5", "1e3", "12 3"})
        QTest::newRow(text) << text << int(Rules::LimitProblem::NotNumber) << -1;
}

void TestBackupRules::limits()
{
    QFETCH(QString, text);
    QFETCH(int, problem);
    QFETCH(int, value);
    QCOMPARE(int(Rules::limitProblem(text, PluginTerms::MaxRangeDays)), problem);
    QCOMPARE(Rules::limitValue(text, PluginTerms::MaxRangeDays).value_or(-1), value);
}

void TestBackupRules::directories_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("problem"); // Rules::DirectoryProblem
    QTest::addColumn<QString>("entered");

    const int none = int(Rules::DirectoryProblem::None);
    const int notPlain = int(Rules::DirectoryProblem::NotPlain);
    QTest::newRow("blanks at the ends go") << "  /srv/backup " << none << "/srv/backup";
    QTest::newRow("markup and accents stay")
        << "/mnt/a&b/<c>/vidéo" << none << "/mnt/a&b/<c>/vidéo";
    QTest::newRow("blanks only") << " \t " << int(Rules::DirectoryProblem::Empty) << "";
    QTest::newRow("a tab inside") << "/srv/a\tb" << notPlain << "/srv/a\tb";
    QTest::newRow("a C1 control") << "/srv/\u0085x" << notPlain << "/srv/\u0085x";
    QTest::newRow("a lone surrogate")
        << "/srv/" + QString(QChar(0xD800)) << notPlain << "/srv/" + QString(QChar(0xD800));
    QTest::newRow("a non-character") << "/srv/\uFFFE" << notPlain << "/srv/\uFFFE";
}

void TestBackupRules::directories()
{
    QFETCH(QString, text);
    QFETCH(int, problem);
    QFETCH(QString, entered);
    QCOMPARE(int(Rules::directoryProblem(text)), problem);
    QCOMPARE(Rules::enteredDirectory(text), entered);
}

void TestBackupRules::cameras_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariantList>("entries"); // empty: refused

    const auto entry = [](const QString& id) { return Rules::cameraEntry(id); };
    QTest::newRow("all, in any case, stands alone")
        << " ALL " << QVariantList {entry(PluginTerms::AllCamerasTag)};
    QTest::newRow("ids keep their order without repeats")
        << " cam-05 , cam-01 ,cam-05,, " << QVariantList {entry("cam-05"), entry("cam-01")};
    QTest::newRow("commas only") << " , ," << QVariantList {};
    QTest::newRow("an id with a line feed") << "cam-01,cam\n02" << QVariantList {};
}

void TestBackupRules::cameras()
{
    QFETCH(QString, text);
    QFETCH(QVariantList, entries);
    const auto choice = Rules::parseCameras(text);
    QCOMPARE(choice ? Rules::cameraEntries(*choice) : QVariantList(), entries);
}

void TestBackupRules::nextBackup_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("schedule");
    QTest::addColumn<int>("secondsAhead"); // of the plug-in's answer
    QTest::addColumn<QString>("text");

    const QString office = R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":2}]})";
    const QString empty = R"({"Rectangles":[{"Top":9,"Bottom":9,"Left":1,"Right":2}]})";
    QTest::newRow("off wins over an answer") << false << office << 600 << "Scheduled backup is off";
    QTest::newRow("no window, even with an answer")
        << true << empty << 600 << "No backup window scheduled";
    QTest::newRow("an answer that is not ahead of now") << true << office << 0 << "Not known yet";
    QTest::newRow("an answer ahead, with the wait")
        << true << office << 26 * 3600 + 59 << "(in 1 d 2 h)";
}

void TestBackupRules::nextBackup()
{
    QFETCH(bool, enabled);
    QFETCH(QString, schedule);
    QFETCH(int, secondsAhead);
    QFETCH(QString, text);
    const QDateTime now(QDate(2026, 12, 7), QTime(8, 0));
    const QDateTime next = now.addSecs(secondsAhead);
    const QString said
        = Rules::nextBackupText(Rules::nextBackup(enabled, schedule, next, now), next, now);
    QVERIFY2(said.endsWith(text), qPrintable(said));
}

void TestBackupRules::wordsForStatesAndWaits()
{
    QCOMPARE(Rules::statusWord(PluginTerms::State::Idle), "Waiting for the next window");
    QCOMPARE(Rules::statusWord(PluginTerms::State::Disabled), "Off");
    QCOMPARE(Rules::statusWord("Paused"), "Paused"); // a state of a newer server
    QCOMPARE(Rules::untilText(59999), "in less than a minute");
    QCOMPARE(Rules::untilText(60 * 60000 - 1), "in 59 min");
    QCOMPARE(Rules::untilText(24 * 3600000 - 60000), "in 23 h 59 min");
}

QTEST_GUILESS_MAIN(TestBackupRules)
#include "tst_backuprules.moc"
