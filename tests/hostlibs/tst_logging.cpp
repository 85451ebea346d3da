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

// Run as "--probe": says "opened" on standard output once the library has opened its output and,
// after a line on standard input (so that a test can take the reader away first), registers
// module Beta and offers one line of it per level 1 to 6, writing each the filter lets through.
// The library reads its environment once, so every case runs in a fresh process.
void write(TraceObject* trace, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    trace->traceOutput(trace->traceHandle, format, arguments);
    va_end(arguments);
}

int probe()
{
    TraceObject* trace = nullptr;
    if (LogTrace_GetGlobalObject(0, &trace) != 0 || trace == nullptr)
        return 3;
    std::puts("opened");
    std::fflush(stdout);
    char line[8];
    if (std::fgets(line, sizeof line, stdin) == nullptr)
        return 4;
    int module = 0;
    trace->registerModule(trace->traceHandle, 19, "Beta", &module);
    for (int level = 1; level <= 6; ++level) {
        if (trace->traceFilter(trace->traceHandle, (module << 8) | level, 0, "/x/p.cpp", 7) == 0)
            write(trace, "%s %d %05.1f", "level", level, 2.5);
    }
    return 0;
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
// including outputs that cannot take the lines or whose reader goes away.
class TestLogging : public QObject
{
    Q_OBJECT

    // Who reads the output: a reader that goes away must not end the process with SIGPIPE.
    enum Reader { Present, FifoGone, StandardErrorGone };

    QTemporaryDir dir;
    // The environment, the Reader, what is written to standard error, and trace.log afterwards
    // (null: not checked).
    using Cases = Table<QStringList, int, QString, QString>;

private Q_SLOTS:
    void initTestCase()
    {
        QFile log(dir.filePath("trace.log"));
        QVERIFY(log.open(QIODevice::WriteOnly) && log.write("earlier\n") == 8);
        for (const char* name : {"trace.fifo", "gone.fifo"})
            QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(name)).constData(), 0600) == 0);
    }

    void output_data()
    {
        Cases::columns();
        const auto row = [](const char* tag, const QStringList& environment, const QString& written,
                            const QString& logFile = QString(), Reader reader = Present) {
            Cases::row(tag, environment, reader, written, logFile);
        };
        row("plain digits are the level", {"ZELT_LOG_LEVEL=4"}, probeLines(4));
        row("0 turns output off", {"ZELT_LOG_LEVEL=0"}, "");
        row("a blank falls back to the default", {"ZELT_LOG_LEVEL=5 "}, probeLines(3));
        row("above 255 falls back to the default", {"ZELT_LOG_LEVEL=256"}, probeLines(3));
        // Up to ignored replies (3) when no level is set.
        row("a file is appended to", {"ZELT_LOG_FILE=" + dir.filePath("trace.log")}, "",
            "earlier\n" + probeLines(3));
        const auto notice = [](const QString& failure) {
            return "ZeltLogUtl: cannot " + failure + ", tracing to standard error\n";
        };
        // Nobody reads the FIFO: a blocking open would never return.
        const QString fifo = dir.filePath("trace.fifo"), gone = dir.filePath("gone.fifo");
        row("a FIFO without reader falls back to standard error",
            {"ZELT_LOG_LEVEL=2", "ZELT_LOG_FILE=" + fifo},
            notice("open " + fifo + " (No such device or address)") + probeLines(2));
        row("a failing write is reported once and tracing goes on to standard error",
            {"ZELT_LOG_LEVEL=5", "ZELT_LOG_FILE=/dev/full"},
            notice("write to /dev/full (No space left on device)") + probeLines(5));
        row("a FIFO whose reader is gone is reported once, tracing goes on to standard error",
            {"ZELT_LOG_LEVEL=2", "ZELT_LOG_FILE=" + gone},
            notice("write to " + gone + " (Broken pipe)") + probeLines(2), QString(), FifoGone);
        row("standard error whose reader is gone loses the lines", {"ZELT_LOG_LEVEL=2"}, "",
            QString(), StandardErrorGone);
    }

    void output()
    {
        const auto [environment, reader, written, logFile] = Cases::fetch();
        QProcess process;
        QStringList inherited = QProcess::systemEnvironment();
        inherited.removeIf([](const QString& entry) { return entry.startsWith("ZELT_LOG_"); });
        process.setEnvironment(inherited + environment);
        int pipe[2] = {-1, -1};
        QVERIFY(reader != StandardErrorGone || ::pipe2(pipe, O_CLOEXEC) == 0);
        if (reader == StandardErrorGone)
            process.setChildProcessModifier([fd = pipe[1]] { ::dup2(fd, STDERR_FILENO); });
        const QByteArray fifo = QFile::encodeName(dir.filePath("gone.fifo"));
        const int fifoReader
            = reader == FifoGone ? ::open(fifo.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
        process.start(QCoreApplication::applicationFilePath(), {"--probe"});
        for (const int fd : {pipe[0], pipe[1]})
            ::close(fd);
        QVERIFY(process.waitForReadyRead(10000));
        ::close(fifoReader);
        process.write("go\n");
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(withoutTimes(QString::fromLocal8Bit(process.readAllStandardError())), written);
        QFile log(dir.filePath("trace.log"));
        if (!logFile.isNull()) {
            QVERIFY(log.open(QIODevice::ReadOnly));
            QCOMPARE(withoutTimes(QString::fromUtf8(log.readAll())), logFile);
        }
    }
};

int main(int argc, char* argv[])
{
    if (argc >= 2 && qstrcmp(argv[1], "--probe") == 0)
        return probe();
    QCoreApplication app(argc, argv);
    TestLogging test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_logging.moc"
