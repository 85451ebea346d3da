// SPDX-License-Identifier: BSD-3-Clause

#include "Table.h"
#include "TraceObject.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Run as "--probe": registers module Beta and offers one line of it per level 1 to 6, writing
// each the filter lets through. The library reads its environment once, so every case runs in a
// fresh process.
void write(TraceObject* trace, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    trace->traceOutput(trace->traceHandle, format, arguments);
    va_end(arguments);
}
// With "--wait", it says "opened" on standard output once the library has opened its output and
// writes only after a line on standard input, so that a test can take the reader away first.
int probe(bool wait)
{
    TraceObject* trace = nullptr;
    if (LogTrace_GetGlobalObject(0, &trace) != 0 || trace == nullptr)
        return 3;
    if (wait) {
        std::puts("opened");
        std::fflush(stdout);
        char line[8];
        if (std::fgets(line, sizeof line, stdin) == nullptr)
            return 4;
    }
    int module = 0;
    trace->registerModule(trace->traceHandle, 19, "Beta", &module);
    for (int level = 1; level <= 6; ++level) {
        if (trace->traceFilter(trace->traceHandle, (module << 8) | level, 0, "/x/p.cpp", 7) == 0)
            write(trace, "%s %d %05.1f", "level", level, 2.5);
    }
    return 0;
}

// The environment with the library's variables unset but for `environment`.
QStringList probeEnvironment(const QStringList& environment)
{
    QStringList inherited = QProcess::systemEnvironment();
    inherited.removeIf([](const QString& entry) { return entry.startsWith("ZELT_LOG_"); });
    return inherited + environment;
}

// The probe's standard error.
QString runProbe(const QStringList& environment)
{
    QProcess process;
    process.setEnvironment(probeEnvironment(environment));
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--probe")});
    const bool finished = process.waitForFinished(10000) && process.exitCode() == 0;
    return (finished ? "" : "the probe hung or failed: ")
        + QString::fromLocal8Bit(process.readAllStandardError());
}

// The text without the time stamp that must start each trace line.
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

    QTemporaryDir dir;
    // The environment, what is written to standard error, and trace.log afterwards (null: not
    // checked).
    using OutputCases = Table<QStringList, QString, QString>;
    // Whether the output is a FIFO (else standard error), and what is written to standard error
    // (null: nobody reads it).
    using GoneCases = Table<bool, QString>;

private Q_SLOTS:
    void initTestCase()
    {
        QFile log(dir.filePath("trace.log"));
        QVERIFY(log.open(QIODevice::WriteOnly) && log.write("earlier\n") == 8);
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("trace.fifo")).constData(), 0600) == 0);
    }

    void output_data()
    {
        OutputCases::columns();
        const auto row = [](const char* tag, const QStringList& environment, const QString& written,
                            const QString& logFile = QString()) {
            OutputCases::row(tag, environment, written, logFile);
        };
        row("plain digits are the level", {"ZELT_LOG_LEVEL=4"}, probeLines(4));
        row("0 turns output off", {"ZELT_LOG_LEVEL=0"}, QString());
        row("a leading blank falls back to the default", {"ZELT_LOG_LEVEL= 5"}, probeLines(3));
        row("a trailing blank falls back to the default", {"ZELT_LOG_LEVEL=5 "}, probeLines(3));
        row("above 255 falls back to the default", {"ZELT_LOG_LEVEL=256"}, probeLines(3));
        // Up to ignored replies (3) when no level is set.
        row("a file is appended to", {"ZELT_LOG_FILE=" + dir.filePath("trace.log")}, QString(),
            "earlier\n" + probeLines(3));
        // Nobody reads the FIFO: a blocking open would never return.
        const QString fifo = dir.filePath("trace.fifo");
        row("a FIFO without reader falls back to standard error",
            {"ZELT_LOG_LEVEL=2", "ZELT_LOG_FILE=" + fifo},
            "ZeltLogUtl: cannot open " + fifo
                + " (No such device or address), tracing to standard error\n" + probeLines(2));
        row("a failing write is reported once and tracing goes on to standard error",
            {"ZELT_LOG_LEVEL=5", "ZELT_LOG_FILE=/dev/full"},
            "ZeltLogUtl: cannot write to /dev/full (No space left on device), tracing to standard "
            "error\n"
                + probeLines(5));
    }
    void output()
    {
        const auto [environment, written, logFile] = OutputCases::fetch();
        QCOMPARE(withoutTimes(runProbe(environment)), written);
        if (logFile.isNull())
            return;
        QFile log(dir.filePath("trace.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(withoutTimes(QString::fromUtf8(log.readAll())), logFile);
    }

    // A reader that goes away must not end the process with SIGPIPE, whatever the output.
    void outputWhoseReaderIsGone_data()
    {
        GoneCases::columns();
        GoneCases::row("a FIFO is reported once and tracing goes on to standard error", true,
                       "ZeltLogUtl: cannot write to " + dir.filePath("gone.fifo")
                           + " (Broken pipe), tracing to standard error\n" + probeLines(2));
        GoneCases::row("standard error loses the lines", false, QString());
    }
    void outputWhoseReaderIsGone()
    {
        const auto [toFifo, written] = GoneCases::fetch();
        const QString fifo = dir.filePath("gone.fifo");
        const QByteArray fifoName = QFile::encodeName(fifo);
        QVERIFY(!toFifo || ::mkfifo(fifoName.constData(), 0600) == 0);
        const int reader
            = toFifo ? ::open(fifoName.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
        int pipe[2];
        QVERIFY(::pipe2(pipe, O_CLOEXEC) == 0);
        ::close(pipe[0]);

        QProcess process;
        QStringList environment {"ZELT_LOG_LEVEL=2"};
        if (toFifo)
            environment << "ZELT_LOG_FILE=" + fifo;
        else
            process.setChildProcessModifier([fd = pipe[1]] { ::dup2(fd, STDERR_FILENO); });
        process.setEnvironment(probeEnvironment(environment));
        process.start(QCoreApplication::applicationFilePath(), {"--probe", "--wait"});
        ::close(pipe[1]);
        QVERIFY(process.waitForReadyRead(10000));
        if (toFifo)
            ::close(reader);
        process.write("go\n");
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        if (!written.isNull())
            QCOMPARE(withoutTimes(QString::fromLocal8Bit(process.readAllStandardError())), written);
    }
};

int main(int argc, char* argv[])
{
    if (argc >= 2 && qstrcmp(argv[1], "--probe") == 0)
        return probe(argc == 3 && qstrcmp(argv[2], "--wait") == 0);
    QCoreApplication app(argc, argv);
    TestLogging test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_logging.moc"
