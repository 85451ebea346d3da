// SPDX-License-Identifier: BSD-3-Clause
// The end-to-end rows of the goal table: whole processes, timed in pairs. Each pair runs its two
// commands back to back, in random order, and the row's ratio is the median of the pairs' ratios,
// so a change of load on the machine falls on both sides of a ratio. Wall-clock times: a process
// waits for its replies and its first frame, which CPU time does not count.
//
//   bench_processes BIN_DIR BENCH_DIR OUT.json [PAIRS]
//
// Writes {"ratios": {row: median ratio}} for bench_summary; the raw times go to stdout.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

extern char** environ;

namespace {

struct Run
{
    double seconds = 0;
    double peakMegabytes = 0;
    bool ok = false;
};

// Runs `command` with its output discarded, and measures its wall-clock time and peak memory.
Run runProcess(const QStringList& command)
{
    std::vector<QByteArray> storage;
    for (const QString& arg : command)
        storage.push_back(arg.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& arg : storage)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    Run run;
    if (posix_spawn(&pid, argv.front(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage {};
        if (wait4(pid, &status, 0, &usage) == pid) {
            run.seconds = double(timer.nsecsElapsed()) / 1e9;
            run.peakMegabytes = double(usage.ru_maxrss) / 1024.0;
            run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Row
{
    const char* name;
    QStringList numerator;
    QStringList denominator;
    // Also a row of the peak memory ratio, under this name.
    const char* memoryName = nullptr;
};

class Bench
{
public:
    Bench(const QString& binDir, const QString& benchDir, const QString& dataDir)
        : m_bin(binDir), m_bench(benchDir), m_data(dataDir)
    { }

    bool prepare();
    QList<Row> rows() const;
    bool measure(const Row& row, int pairs, QJsonObject* ratios);

private:
    QString host() const { return m_bin.filePath(QStringLiteral("schedule-backup-host")); }
    QString viewer() const { return m_bin.filePath(QStringLiteral("schedule-backup-page")); }
    QString data(const QString& name) const { return m_data.filePath(name); }
    QStringList show(const QString& name) const
    {
        return {host(), QStringLiteral("--data"), data(name), QStringLiteral("show")};
    }
    QStringList screenshot(const QString& name) const
    {
        return {viewer(), QStringLiteral("--data"), data(name), QStringLiteral("--screenshot"),
                data(name + QStringLiteral(".png"))};
    }

    QDir m_bin;
    QDir m_bench;
    QDir m_data;
};

bool Bench::prepare()
{
    const QString make = m_bench.filePath(QStringLiteral("bench_make_data"));
    // The seeded data: what the host writes into a new folder.
    return runProcess(show(QStringLiteral("seeded"))).ok
        && runProcess({make, data(QStringLiteral("c10k")), QStringLiteral("10000")}).ok
        && runProcess({make, data(QStringLiteral("c100k")), QStringLiteral("100000")}).ok
        && runProcess({make, data(QStringLiteral("s100k")), QStringLiteral("100000"),
                       QStringLiteral("--selected"), QStringLiteral("100000")})
               .ok;
}

QList<Row> Bench::rows() const
{
    const QString bare = m_bench.filePath(QStringLiteral("bench_bare_window"));
    const QString s100k = data(QStringLiteral("s100k"));
    return {
        {"show / --version", show(QStringLiteral("seeded")), {host(), QStringLiteral("--version")}},
        {"viewer 12 cameras / bare Qt Quick window",
         screenshot(QStringLiteral("seeded")),
         {bare, data(QStringLiteral("bare.png"))}},
        {"viewer 100000 / 10000 cameras", screenshot(QStringLiteral("c100k")),
         screenshot(QStringLiteral("c10k"))},
        {"viewer 100000 cameras / show 100000", screenshot(QStringLiteral("c100k")),
         show(QStringLiteral("c100k")), "viewer memory / show memory, 100000 cameras"},
        // Selected cameras are looked up by id: a list search per camera turns quadratic.
        {"show, 100000 selected / 100000 in the inventory", show(QStringLiteral("s100k")),
         show(QStringLiteral("c100k"))},
        {"set --throughput, 100000 selected / show",
         {host(), QStringLiteral("--data"), s100k, QStringLiteral("set"),
          QStringLiteral("--throughput"), QStringLiteral("%1")},
         show(QStringLiteral("s100k"))},
    };
}

bool Bench::measure(const Row& row, int pairs, QJsonObject* ratios)
{
    std::vector<double> timeRatios;
    std::vector<double> memoryRatios;
    for (int pair = 0; pair < pairs; ++pair) {
        QStringList numerator = row.numerator;
        // A value that differs from the stored one, so every `set` writes.
        numerator.replaceInStrings(QStringLiteral("%1"), QString::number(40 + pair % 2));
        const bool numeratorFirst = QRandomGenerator::global()->bounded(2) == 0;
        Run a;
        Run b;
        if (numeratorFirst) {
            a = runProcess(numerator);
            b = runProcess(row.denominator);
        } else {
            b = runProcess(row.denominator);
            a = runProcess(numerator);
        }
        if (!a.ok || !b.ok || b.seconds <= 0) {
            std::fprintf(stderr, "%s: a command failed: %s\n", row.name,
                         qPrintable((a.ok ? row.denominator : numerator).join(QLatin1Char(' '))));
            return false;
        }
        std::printf("%-45s pair %d: %8.3f s / %8.3f s, %7.1f MB / %7.1f MB\n", row.name, pair,
                    a.seconds, b.seconds, a.peakMegabytes, b.peakMegabytes);
        timeRatios.push_back(a.seconds / b.seconds);
        memoryRatios.push_back(a.peakMegabytes / b.peakMegabytes);
    }
    ratios->insert(QLatin1String(row.name), median(timeRatios));
    if (row.memoryName)
        ratios->insert(QLatin1String(row.memoryName), median(memoryRatios));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "usage: bench_processes BIN_DIR BENCH_DIR OUT.json [PAIRS]\n");
        return 2;
    }
    const int pairs = argc == 5 ? std::max(1, std::atoi(argv[4])) : 9;
    // The pages render without a display, in one time zone, as in the tests.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "UTC");
    QTemporaryDir dataDir;
    Bench bench(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), dataDir.path());
    if (!dataDir.isValid() || !bench.prepare()) {
        std::fprintf(stderr, "cannot write the data folders\n");
        return 1;
    }
    QJsonObject ratios;
    for (const Row& row : bench.rows()) {
        if (!bench.measure(row, pairs, &ratios))
            return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[3]));
    if (!out.open(QIODevice::WriteOnly)
        || out.write(QJsonDocument(QJsonObject {{QStringLiteral("ratios"), ratios}}).toJson()) < 0)
        return 1;
    return 0;
}
