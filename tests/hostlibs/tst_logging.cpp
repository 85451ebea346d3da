#include "TraceObject.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdarg>
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

// Run as "--probe": offers one line per level 1 to 6, as a module would. The library reads its
// environment once, so every case runs in a fresh process.
int probe()
{
    void* library = dlopen(ZELT_LOG_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    const auto get = library
        ? reinterpret_cast<int (*)(int, TraceObject**)>(dlsym(library, "LogTrace_GetGlobalObject"))
        : nullptr;
    TraceObject* trace = nullptr;
    if (get == nullptr || get(0, &trace) != 0 || trace == nullptr)
        return 3;
    int id = 0;
    trace->registerModule(trace->traceHandle, 19, "Probe", &id);
    for (int level = 1; level <= 6; ++level) {
        if (trace->traceFilter(trace->traceHandle, (id << 8) | level, 0, "/x/p.cpp", 7) == 0)
            writeLine(trace, "line %d", level);
    }
    return 0;
}

struct Run
{
    bool finished = false;
    QString out;
    QString err;
};

Run runProbe(const QStringList& environment)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ZELT_LOG_LEVEL"));
    env.remove(QStringLiteral("ZELT_LOG_FILE"));
    for (const QString& entry : environment)
        env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    process.setProcessEnvironment(env);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--probe")});
    Run run;
    run.finished = process.waitForFinished(10000) && process.exitCode() == 0;
    if (!run.finished)
        process.kill();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

} // namespace

// How the logging library treats its configuration and an output that cannot take the lines.
class TestLogging : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void levelText_data();
    void levelText();
    void fifoWithoutReaderFallsBackToStandardError();
    void failingWriteIsReportedOnce();
};

void TestLogging::levelText_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<int>("highestWritten");

    QTest::newRow("plain digits are the level") << "5" << 5;
    QTest::newRow("zero turns tracing off") << "0" << 0;
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
    QVERIFY2(run.finished, qPrintable(run.err));
    QCOMPARE(run.err.count(QStringLiteral(" Probe ")), highestWritten);
    if (highestWritten > 0)
        QVERIFY(run.err.contains(QStringLiteral("line %1").arg(highestWritten)));
    QVERIFY(!run.err.contains(QStringLiteral("line %1").arg(highestWritten + 1)));
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
    const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines.first().startsWith(QStringLiteral("ZeltLogUtl: cannot open ") + fifo),
             qPrintable(lines.first()));
    QVERIFY(lines.at(1).contains(QStringLiteral("line 1")));
    QVERIFY(lines.at(2).contains(QStringLiteral("line 2")));
}

void TestLogging::failingWriteIsReportedOnce()
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("this system has no /dev/full");
    const Run run
        = runProbe({QStringLiteral("ZELT_LOG_LEVEL=5"), QStringLiteral("ZELT_LOG_FILE=/dev/full")});
    QVERIFY2(run.finished, qPrintable(run.err));
    QCOMPARE(run.err.count(QStringLiteral("ZeltLogUtl: cannot write to /dev/full")), 1);
    QVERIFY2(run.err.contains(QStringLiteral("No space left on device")), qPrintable(run.err));
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
