#include "TraceObject.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <sys/stat.h>

namespace {

void writeLine(TraceObject* trace, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    trace->traceOutput(trace->traceHandle, format, arguments);
    va_end(arguments);
}

// Run as "--probe": registers Alpha, Beta and Alpha again (printing the ids), then offers one
// line of module Beta per level 1 to 6. The library reads its environment once, so every case
// runs in a fresh process.
int probe()
{
    void* library = dlopen(ZELT_LOG_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    const auto get = library
        ? reinterpret_cast<int (*)(int, TraceObject**)>(dlsym(library, "LogTrace_GetGlobalObject"))
        : nullptr;
    TraceObject* trace = nullptr;
    if (get == nullptr || get(0, &trace) != 0 || trace == nullptr)
        return 3;
    int ids[3] = {};
    for (int i = 0; i < 3; ++i)
        trace->registerModule(trace->traceHandle, 19, i == 1 ? "Beta" : "Alpha", &ids[i]);
    std::printf("%d %d %d", ids[0], ids[1], ids[2]);
    std::fflush(stdout);
    for (int level = 1; level <= 6; ++level) {
        if (trace->traceFilter(trace->traceHandle, (ids[1] << 8) | level, 0, "/x/p.cpp", 7) == 0)
            writeLine(trace, "%s %d %05.1f", "level", level, 2.5);
    }
    return 0;
}

struct Run
{
    bool finished = false;
    QByteArray out;
    QByteArray err;
};

// `environment` entries are NAME=value; ZELT_LOG_LEVEL and ZELT_LOG_FILE are unset otherwise.
Run runProbe(const QStringList& environment)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ZELT_LOG_LEVEL"));
    env.remove(QStringLiteral("ZELT_LOG_FILE"));
    for (const QString& entry : environment)
        env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--probe")});
    Run run;
    run.finished = process.waitForFinished(10000) && process.exitCode() == 0;
    if (!run.finished)
        process.kill();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// The levels of the lines, each checked against the documented line format.
QList<int> writtenLevels(QList<QByteArray> lines)
{
    QList<int> levels;
    if (lines.takeLast() != QByteArray()) // every line ends with a newline
        return {-1};
    const QRegularExpression pattern(QStringLiteral(
        R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} Beta (\d) level (\d) 002\.5 \[p\.cpp:7\]$)"));
    for (const QByteArray& line : lines) {
        const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(line));
        if (!match.hasMatch() || match.captured(1) != match.captured(2))
            return {-1};
        levels.append(match.captured(1).toInt());
    }
    return levels;
}

} // namespace

// The logging library as the plug-in uses it: module ids, the level filter, the line format and
// the output, including outputs that cannot take the lines.
class TestLogging : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void appendsToTheFile_data();
    void appendsToTheFile();
    void writesToStandardErrorWithoutAFile();
    void levelText_data();
    void levelText();
    void fifoWithoutReaderFallsBackToStandardError();
    void failingWriteIsReportedOnce();
};

void TestLogging::appendsToTheFile_data()
{
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QList<int>>("written");
    QTest::newRow("unset level: up to ignored replies") << QStringList() << QList<int> {1, 2, 3};
    QTest::newRow("0 turns output off") << QStringList {"ZELT_LOG_LEVEL=0"} << QList<int> {};
    QTest::newRow("5 adds entry and exit")
        << QStringList {"ZELT_LOG_LEVEL=5"} << QList<int> {1, 2, 3, 4, 5};
}

void TestLogging::appendsToTheFile()
{
    QFETCH(QStringList, environment);
    QFETCH(QList<int>, written);
    QTemporaryDir dir;
    QFile log(dir.filePath(QStringLiteral("trace.log")));
    QVERIFY(log.open(QIODevice::WriteOnly) && log.write("earlier\n") == 8);
    log.close();

    const Run run = runProbe(environment << QStringLiteral("ZELT_LOG_FILE=") + log.fileName());
    QVERIFY2(run.finished, run.err.constData());
    QCOMPARE(run.out, QByteArray("1 2 1")); // module ids, stable per name
    QCOMPARE(run.err, QByteArray());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = log.readAll().split('\n');
    QCOMPARE(lines.takeFirst(), QByteArray("earlier")); // appended, not replaced
    QCOMPARE(writtenLevels(lines), written);
}

void TestLogging::writesToStandardErrorWithoutAFile()
{
    const Run run = runProbe({QStringLiteral("ZELT_LOG_LEVEL=2")});
    QVERIFY2(run.finished, run.err.constData());
    QCOMPARE(writtenLevels(run.err.split('\n')), QList<int>({1, 2}));
}

void TestLogging::levelText_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<int>("highestWritten");

    QTest::newRow("plain digits are the level") << "4" << 4;
    QTest::newRow("a leading blank falls back to the default") << " 5" << 3;
    QTest::newRow("a trailing blank falls back to the default") << "5 " << 3;
    QTest::newRow("a sign falls back to the default") << "+5" << 3;
    QTest::newRow("above 255 falls back to the default") << "256" << 3;
    QTest::newRow("words fall back to the default") << "debug" << 3;
}

void TestLogging::levelText()
{
    QFETCH(QString, level);
    QFETCH(int, highestWritten);

    const Run run = runProbe({QStringLiteral("ZELT_LOG_LEVEL=") + level});
    QVERIFY2(run.finished, run.err.constData());
    const QList<int> levels = writtenLevels(run.err.split('\n'));
    QCOMPARE(levels.size(), highestWritten);
    QCOMPARE(levels.last(), highestWritten);
}

void TestLogging::fifoWithoutReaderFallsBackToStandardError()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("trace.fifo"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);

    // Nobody reads the FIFO: a blocking open would never return.
    const Run run
        = runProbe({QStringLiteral("ZELT_LOG_LEVEL=2"), QStringLiteral("ZELT_LOG_FILE=") + fifo});
    QVERIFY2(run.finished, "the library hung on a FIFO without a reader");
    QList<QByteArray> lines = run.err.split('\n');
    const QByteArray notice = lines.takeFirst();
    QVERIFY2(notice.startsWith("ZeltLogUtl: cannot open " + QFile::encodeName(fifo)),
             notice.constData());
    QCOMPARE(writtenLevels(lines), QList<int>({1, 2}));
}

void TestLogging::failingWriteIsReportedOnce()
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("this system has no /dev/full");
    const Run run
        = runProbe({QStringLiteral("ZELT_LOG_LEVEL=5"), QStringLiteral("ZELT_LOG_FILE=/dev/full")});
    QVERIFY2(run.finished, run.err.constData());
    QCOMPARE(run.err.count("ZeltLogUtl: cannot write to /dev/full (No space left on device)"), 1);
}

int main(int argc, char* argv[])
{
    if (argc == 2 && qstrcmp(argv[1], "--probe") == 0)
        return probe();
    QCoreApplication app(argc, argv);
    TestLogging test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_logging.moc"
