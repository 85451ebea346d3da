#include "TraceObject.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdarg>
#include <sys/stat.h>

namespace {

// Offers the probe's line at `level`, and writes it when the filter lets it through.
void offer(TraceObject* trace, int module, int level, ...)
{
    if (trace->traceFilter(trace->traceHandle, (module << 8) | level, 0, "/x/p.cpp", 7) != 0)
        return;
    va_list arguments;
    va_start(arguments, level);
    trace->traceOutput(trace->traceHandle, "%s %d %05.1f", arguments);
    va_end(arguments);
}

// Run as "--probe": registers module Beta and offers one line of it per level 1 to 6. The library
// reads its environment once, so every case runs in a fresh process.
int probe()
{
    TraceObject* trace = nullptr;
    if (LogTrace_GetGlobalObject(0, &trace) != 0 || trace == nullptr)
        return 3;
    int module = 0;
    trace->registerModule(trace->traceHandle, 19, "Beta", &module);
    for (int level = 1; level <= 6; ++level)
        offer(trace, module, level, "level", level, 2.5);
    return 0;
}

// The probe's standard error, with the library's variables unset but for `environment`
// (NAME=value entries).
QString runProbe(const QStringList& environment)
{
    QStringList inherited = QProcess::systemEnvironment();
    inherited.removeIf([](const QString& entry) { return entry.startsWith("ZELT_LOG_"); });
    QProcess process;
    process.setEnvironment(inherited + environment);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--probe")});
    const bool finished = process.waitForFinished(10000) && process.exitCode() == 0;
    return (finished ? "" : "the probe hung or failed: ")
        + QString::fromLocal8Bit(process.readAllStandardError());
}

// The text with the time stamp that must start each trace line taken out.
QString withoutTimes(QString text)
{
    static const QRegularExpression stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )",
                                          QRegularExpression::MultilineOption);
    return text.remove(stamp);
}

// The lines of the probe from level 1 up to `highest`, without their time stamps.
QString probeLines(int highest)
{
    QString lines;
    for (int level = 1; level <= highest; ++level)
        lines += QStringLiteral("Beta %1 level %1 002.5 [p.cpp:7]\n").arg(level);
    return lines;
}

} // namespace

// The logging library as the plug-in uses it: the level filter, the line format and the output,
// including outputs that cannot take the lines.
class TestLogging : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void appendsToTheFile();
    void levelText_data();
    void levelText();
    void fifoWithoutReaderFallsBackToStandardError();
    void failingWriteIsReportedOnce();
};

void TestLogging::appendsToTheFile()
{
    QTemporaryDir dir;
    QFile log(dir.filePath("trace.log"));
    QVERIFY(log.open(QIODevice::WriteOnly) && log.write("earlier\n") == 8);
    log.close();

    QCOMPARE(runProbe({"ZELT_LOG_FILE=" + log.fileName()}), QString());
    QVERIFY(log.open(QIODevice::ReadOnly));
    // Up to ignored replies (3) when no level is set.
    QCOMPARE(withoutTimes(QString::fromUtf8(log.readAll())), "earlier\n" + probeLines(3));
}

void TestLogging::levelText_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<int>("highestWritten"); // to standard error

    QTest::newRow("plain digits are the level") << "4" << 4;
    QTest::newRow("0 turns output off") << "0" << 0;
    QTest::newRow("a leading blank falls back to the default") << " 5" << 3;
    QTest::newRow("a trailing blank falls back to the default") << "5 " << 3;
    QTest::newRow("above 255 falls back to the default") << "256" << 3;
}

void TestLogging::levelText()
{
    QFETCH(QString, level);
    QFETCH(int, highestWritten);

    QCOMPARE(withoutTimes(runProbe({"ZELT_LOG_LEVEL=" + level})), probeLines(highestWritten));
}

void TestLogging::fifoWithoutReaderFallsBackToStandardError()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("trace.fifo");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);

    // Nobody reads the FIFO: a blocking open would never return.
    const QString err = runProbe({"ZELT_LOG_LEVEL=2", "ZELT_LOG_FILE=" + fifo});
    QVERIFY2(err.startsWith("ZeltLogUtl: cannot open " + fifo), qPrintable(err));
    QCOMPARE(withoutTimes(err.section('\n', 1)), probeLines(2));
}

void TestLogging::failingWriteIsReportedOnce()
{
    QCOMPARE(runProbe({"ZELT_LOG_LEVEL=5", "ZELT_LOG_FILE=/dev/full"}),
             "ZeltLogUtl: cannot write to /dev/full (No space left on device), trace lines "
             "are lost\n");
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
