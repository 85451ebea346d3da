#include "TraceObject.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>
#include <thread>
#include <vector>

namespace {

constexpr int Threshold = 4; // set for this process in initTestCase

void writeLine(TraceObject* trace, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    trace->traceOutput(trace->traceHandle, format, arguments);
    va_end(arguments);
}

int64_t levelWord(int moduleId, int level)
{
    return static_cast<int64_t>((moduleId << 8) | level);
}

const QString Timestamp = QStringLiteral(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3})");

} // namespace

class TestZeltLogUtl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    // In this process: ZELT_LOG_LEVEL=4, ZELT_LOG_FILE=<temporary file>.
    void oneObjectPerProcess();
    void moduleIdsAreStablePerName();
    void filterFollowsThreshold_data();
    void filterFollowsThreshold();
    void outputLine_data();
    void outputLine();
    void longFormattedLine();
    void concurrentLinesStayWhole();

    // Fresh processes, one per configuration.
    void thresholdFromEnvironment_data();
    void thresholdFromEnvironment();
    void standardErrorWithoutFile_data();
    void standardErrorWithoutFile();
    void fileIsAppendedTo();

private:
    QByteArray newLogText();
    QProcess* runProbe(const QProcessEnvironment& environment);

    QTemporaryDir m_dir;
    QString m_logPath;
    qint64 m_logRead = 0;
    void* m_library = nullptr;
    TraceObject* m_trace = nullptr;
};

void TestZeltLogUtl::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_logPath = m_dir.filePath(QStringLiteral("trace.log"));
    // Read by the library on the first LogTrace_GetGlobalObject call, which is below.
    qputenv("ZELT_LOG_LEVEL", QByteArray::number(Threshold));
    qputenv("ZELT_LOG_FILE", QFile::encodeName(m_logPath));

    m_library = dlopen(ZELT_LOG_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(m_library != nullptr, dlerror());
    using GetGlobalObject = int (*)(int, TraceObject**);
    const auto getGlobalObject
        = reinterpret_cast<GetGlobalObject>(dlsym(m_library, "LogTrace_GetGlobalObject"));
    QVERIFY(getGlobalObject != nullptr);
    QCOMPARE(getGlobalObject(0, &m_trace), 0);
    QVERIFY(m_trace != nullptr);
    QVERIFY(m_trace->traceHandle != nullptr);
    QVERIFY(m_trace->registerModule != nullptr);
    QVERIFY(m_trace->traceFilter != nullptr);
    QVERIFY(m_trace->traceOutput != nullptr);
}

void TestZeltLogUtl::cleanupTestCase()
{
    if (m_library != nullptr)
        dlclose(m_library);
}

QByteArray TestZeltLogUtl::newLogText()
{
    QFile file(m_logPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    file.seek(m_logRead);
    const QByteArray text = file.readAll();
    m_logRead += text.size();
    return text;
}

void TestZeltLogUtl::oneObjectPerProcess()
{
    using GetGlobalObject = int (*)(int, TraceObject**);
    const auto getGlobalObject
        = reinterpret_cast<GetGlobalObject>(dlsym(m_library, "LogTrace_GetGlobalObject"));
    TraceObject* again = nullptr;
    QCOMPARE(getGlobalObject(7, &again), 0);
    QCOMPARE(again, m_trace);
    QVERIFY(getGlobalObject(0, nullptr) != 0);
}

void TestZeltLogUtl::moduleIdsAreStablePerName()
{
    // Runs before anything else registers, so the ids start at 1.
    int alpha = -1;
    int beta = -1;
    int alphaAgain = -1;
    int gamma = -1;
    m_trace->registerModule(m_trace->traceHandle, 19, "Alpha", &alpha);
    m_trace->registerModule(m_trace->traceHandle, 19, "Beta", &beta);
    m_trace->registerModule(m_trace->traceHandle, 3, "Alpha", &alphaAgain);
    m_trace->registerModule(m_trace->traceHandle, 19, "Delta", nullptr);
    m_trace->registerModule(m_trace->traceHandle, 19, "Gamma", &gamma);
    QCOMPARE(alpha, 1);
    QCOMPARE(beta, 2);
    QCOMPARE(alphaAgain, 1);
    QCOMPARE(gamma, 4);

    int alphaLower = -1;
    m_trace->registerModule(m_trace->traceHandle, 19, "alpha", &alphaLower);
    QCOMPARE(alphaLower, 5);
}

void TestZeltLogUtl::filterFollowsThreshold_data()
{
    QTest::addColumn<qint64>("word");
    QTest::addColumn<bool>("written");

    QTest::newRow("level 1") << qint64(levelWord(1, 1)) << true;
    QTest::newRow("level 2, failures") << qint64(levelWord(1, 2)) << true;
    QTest::newRow("level 4, at the threshold") << qint64(levelWord(1, Threshold)) << true;
    QTest::newRow("level 5, entry and exit") << qint64(levelWord(1, 5)) << false;
    QTest::newRow("level 255") << qint64(levelWord(1, 255)) << false;
    QTest::newRow("module bits are not level") << qint64(levelWord(0x7fff, 2)) << true;
    QTest::newRow("no module") << qint64(levelWord(0, 3)) << true;
    QTest::newRow("sign-widened word, level 255") << qint64(-1) << false;
}

void TestZeltLogUtl::filterFollowsThreshold()
{
    QFETCH(qint64, word);
    QFETCH(bool, written);

    const int result = m_trace->traceFilter(m_trace->traceHandle, word, 0, __FILE__, __LINE__);
    QCOMPARE(result == 0, written);
}

void TestZeltLogUtl::outputLine_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("filtered");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected"); // after the timestamp

    QTest::newRow("module name, level and source location")
        << 2 << true << QByteArray("/src/plugin/Reqs.cpp") << 42
        << R"( ScheduleBackup 2 getBackupInfo, SendCommand failed \[Reqs.cpp:42\])";
    QTest::newRow("leave line has no location")
        << 4 << true << QByteArray("Reqs.cpp") << 0
        << R"( ScheduleBackup 4 getBackupInfo, SendCommand failed)";
    QTest::newRow("output without a filter call")
        << 2 << false << QByteArray() << 0 << R"( - - getBackupInfo, SendCommand failed)";
}

void TestZeltLogUtl::outputLine()
{
    QFETCH(int, level);
    QFETCH(bool, filtered);
    QFETCH(QByteArray, file);
    QFETCH(int, line);
    QFETCH(QString, expected);

    int moduleId = 0;
    m_trace->registerModule(m_trace->traceHandle, 19, "ScheduleBackup", &moduleId);
    QVERIFY(moduleId > 0);
    newLogText();

    if (filtered) {
        QCOMPARE(m_trace->traceFilter(m_trace->traceHandle, levelWord(moduleId, level), 0,
                                      file.constData(), line),
                 0);
    }
    writeLine(m_trace, "%s, SendCommand failed", "getBackupInfo");

    const QString text = QString::fromUtf8(newLogText());
    const QRegularExpression pattern(QStringLiteral("^") + Timestamp + expected
                                     + QStringLiteral("\n$"));
    QVERIFY2(pattern.match(text).hasMatch(), qPrintable(text));
}

void TestZeltLogUtl::longFormattedLine()
{
    const QByteArray payload(100000, 'x');
    newLogText();
    QCOMPARE(m_trace->traceFilter(m_trace->traceHandle, levelWord(0, 2), 0, "f.cpp", 9), 0);
    writeLine(m_trace, "begin %d %s %c end %05.1f", -17, payload.constData(), 'Z', 2.5);

    const QByteArray text = newLogText();
    QVERIFY(text.endsWith('\n'));
    QCOMPARE(text.count('\n'), 1);
    const QByteArray expectedTail = " 0 2 begin -17 " + payload + " Z end 002.5 [f.cpp:9]\n";
    QVERIFY2(text.endsWith(expectedTail), text.left(80).constData());
    QCOMPARE(text.size(), 23 + expectedTail.size());
}

void TestZeltLogUtl::concurrentLinesStayWhole()
{
    constexpr int Threads = 4;
    constexpr int LinesPerThread = 300;
    const QByteArray padding(600, '.'); // longer than any internal stack buffer
    newLogText();

    std::vector<std::thread> writers;
    for (int t = 0; t < Threads; ++t) {
        writers.emplace_back([this, t, &padding] {
            for (int i = 0; i < LinesPerThread; ++i) {
                if (m_trace->traceFilter(m_trace->traceHandle, levelWord(0, 1), 0, "w.cpp", t + 1)
                    == 0)
                    writeLine(m_trace, "writer %d line %d %s", t, i, padding.constData());
            }
        });
    }
    for (std::thread& writer : writers)
        writer.join();

    const QList<QByteArray> lines = newLogText().split('\n');
    QCOMPARE(lines.size(), Threads * LinesPerThread + 1); // text ends with a newline
    const QRegularExpression pattern(QStringLiteral("^") + Timestamp
                                     + QStringLiteral(R"( 0 1 writer (\d) line (\d+) \.{600} )"
                                                      R"(\[w\.cpp:(\d)\]$)"));
    QList<int> nextLine(Threads, 0);
    for (int i = 0; i < Threads * LinesPerThread; ++i) {
        const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(lines.at(i)));
        QVERIFY2(match.hasMatch(), lines.at(i).left(100).constData());
        const int writer = match.captured(1).toInt();
        // The location printed is the one the writing thread's own filter call gave.
        QCOMPARE(match.captured(3).toInt(), writer + 1);
        QCOMPARE(match.captured(2).toInt(), nextLine[writer]++);
    }
}

QProcess* TestZeltLogUtl::runProbe(const QProcessEnvironment& environment)
{
    auto* probe = new QProcess(this);
    probe->setProcessEnvironment(environment);
    probe->start(QStringLiteral(ZELT_LOG_PROBE_PATH), {});
    return probe;
}

void TestZeltLogUtl::thresholdFromEnvironment_data()
{
    QTest::addColumn<QByteArray>("level"); // null: not set
    QTest::addColumn<QList<int>>("written");

    QTest::newRow("unset: failures and ignored replies") << QByteArray() << QList<int> {1, 2, 3};
    QTest::newRow("empty: default") << QByteArray("") << QList<int> {1, 2, 3};
    QTest::newRow("0 turns output off") << QByteArray("0") << QList<int> {};
    QTest::newRow("1") << QByteArray("1") << QList<int> {1};
    QTest::newRow("5 shows entry and exit") << QByteArray("5") << QList<int> {1, 2, 3, 4, 5};
    QTest::newRow("255 shows all") << QByteArray("255") << QList<int> {1, 2, 3, 4, 5, 6};
    QTest::newRow("not a number: default") << QByteArray("verbose") << QList<int> {1, 2, 3};
    QTest::newRow("trailing junk: default") << QByteArray("5x") << QList<int> {1, 2, 3};
    QTest::newRow("negative: default") << QByteArray("-1") << QList<int> {1, 2, 3};
    QTest::newRow("too large: default") << QByteArray("256") << QList<int> {1, 2, 3};
}

void TestZeltLogUtl::thresholdFromEnvironment()
{
    QFETCH(QByteArray, level);
    QFETCH(QList<int>, written);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString logPath = dir.filePath(QStringLiteral("probe.log"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZELT_LOG_FILE"), logPath);
    if (level.isNull())
        environment.remove(QStringLiteral("ZELT_LOG_LEVEL"));
    else
        environment.insert(QStringLiteral("ZELT_LOG_LEVEL"), QString::fromLatin1(level));

    QProcess* probe = runProbe(environment);
    QVERIFY(probe->waitForFinished(30000));
    QCOMPARE(probe->exitCode(), 0);

    QFile log(logPath);
    QList<int> seen;
    if (log.open(QIODevice::ReadOnly)) {
        const QRegularExpression pattern(QStringLiteral("^") + Timestamp
                                         + QStringLiteral(R"( Probe (\d) probe level (\d) \[)"));
        for (const QByteArray& line : log.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(line));
            QVERIFY2(match.hasMatch(), line.constData());
            QCOMPARE(match.captured(1), match.captured(2));
            seen.append(match.captured(1).toInt());
        }
    }
    QCOMPARE(seen, written);
}

void TestZeltLogUtl::standardErrorWithoutFile_data()
{
    QTest::addColumn<QString>("file"); // null: not set
    QTest::addColumn<bool>("notice");

    QTest::newRow("unset") << QString() << false;
    QTest::newRow("empty") << QString(QLatin1String("")) << false;
    QTest::newRow("cannot be opened") << QStringLiteral("/nonexistent-dir/x/trace.log") << true;
}

void TestZeltLogUtl::standardErrorWithoutFile()
{
    QFETCH(QString, file);
    QFETCH(bool, notice);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZELT_LOG_LEVEL"), QStringLiteral("2"));
    if (file.isNull())
        environment.remove(QStringLiteral("ZELT_LOG_FILE"));
    else
        environment.insert(QStringLiteral("ZELT_LOG_FILE"), file);

    QProcess* probe = runProbe(environment);
    QVERIFY(probe->waitForFinished(30000));
    QCOMPARE(probe->exitCode(), 0);

    const QString errors = QString::fromUtf8(probe->readAllStandardError());
    const QRegularExpression pattern(
        QStringLiteral("^") + Timestamp + QStringLiteral(R"( Probe 1 probe level 1 \[.*\]\n)")
        + Timestamp + QStringLiteral(R"( Probe 2 probe level 2 \[.*\]\n$)"));
    const QString lines = notice ? errors.section(u'\n', 1) : errors;
    QVERIFY2(pattern.match(lines).hasMatch(), qPrintable(errors));
    QCOMPARE(errors.startsWith(QLatin1String("ZeltLogUtl: cannot open")), notice);
}

void TestZeltLogUtl::fileIsAppendedTo()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString logPath = dir.filePath(QStringLiteral("shared.log"));
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write("earlier line\n");
    log.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZELT_LOG_FILE"), logPath);
    environment.insert(QStringLiteral("ZELT_LOG_LEVEL"), QStringLiteral("1"));
    for (int run = 0; run < 2; ++run) {
        QProcess* probe = runProbe(environment);
        QVERIFY(probe->waitForFinished(30000));
        QCOMPARE(probe->exitCode(), 0);
    }

    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(0), QByteArray("earlier line"));
    QVERIFY(lines.at(1).contains(" Probe 1 probe level 1 "));
    QVERIFY(lines.at(2).contains(" Probe 1 probe level 1 "));
    QVERIFY(lines.at(3).isEmpty());
}

QTEST_GUILESS_MAIN(TestZeltLogUtl)
#include "tst_zeltlogutl.moc"
