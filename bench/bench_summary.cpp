// SPDX-License-Identifier: BSD-3-Clause
// Reads the JSON results of the benchmark programs and prints one row per goal: the ratio of the
// medians of two cases from the same run, and whether it stays within its goal. Times are CPU
// times of the measuring thread, which other processes on a shared machine disturb less than
// wall-clock times. Rows without a denominator are ratios the result files give themselves
// ({"ratios": {row: ratio}}): the end-to-end rows, medians of paired whole-process wall-clock
// times, and the instruction count of callgrind.

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

struct Goal
{
    const char* measure;
    const char* numerator;
    const char* denominator; // null: `numerator` names a ratio of the results
    double limit;
};

const Goal goals[] = {
    {"XML2Json / QDomDocument::setContent", "xml2json/10000", "dom_setContent/10000", 0.40},
    {"XML2Json / setContent + DOM walk", "xml2json/10000", "dom_to_variant/10000", 0.30},
    {"XML2Json / QXmlStreamReader floor", "xml2json/10000", "stream_reader_floor/10000", 1.20},
    {"XML2Json 10000 / 1000 cameras", "xml2json/10000", "xml2json/1000", 8.5},
    {"compose dense week / fromJson", "compose_dense_week", "json_fromJson", 1.25},
    {"read back 336 intervals / fromJson + toJson", "read_back", "json_round_trip", 0.12},
    {"camera part of load 10000 / 1000 (instructions)",
     "camera part of load 10000 / 1000 (instructions)", nullptr, 10.3},
    {"camera part of load 10000 / 1000 (wall clock, no goal)", "camera_part/10000/manual_time",
     "camera_part/1000/manual_time", 0},
    {"getNextBackupTime / two getTimestamp", "next_backup_time", "two_timestamps", 1.25},
    {"plug-in load / empty plug-in load", "plugin_load", "empty_plugin_load", 1.35},
    {"service update 10000 / 1000 cameras", "serviceUpdate/10000", "serviceUpdate/1000", 11},
    {"show / --version", "show / --version", nullptr, 2.0},
    {"viewer 12 cameras / bare Qt Quick window", "viewer 12 cameras / bare Qt Quick window",
     nullptr, 1.5},
    {"viewer 100000 / 10000 cameras", "viewer 100000 / 10000 cameras", nullptr, 12},
    {"viewer 100000 cameras / show 100000", "viewer 100000 cameras / show 100000", nullptr, 3},
    {"viewer memory / show memory, 100000 cameras", "viewer memory / show memory, 100000 cameras",
     nullptr, 4},
    // The selected data holds every id twice (inventory and selection); a quadratic was 40x.
    {"show, 100000 selected / 100000 in the inventory",
     "show, 100000 selected / 100000 in the inventory", nullptr, 3},
    {"set --throughput, 100000 selected / show", "set --throughput, 100000 selected / show",
     nullptr, 3},
};

double nanoseconds(double time, const QString& unit)
{
    if (unit == QLatin1String("us"))
        return time * 1e3;
    if (unit == QLatin1String("ms"))
        return time * 1e6;
    if (unit == QLatin1String("s"))
        return time * 1e9;
    return time;
}

// Median CPU time in nanoseconds by case name.
bool readMedians(const QString& path, QHash<QString, double>& medians)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QJsonObject results = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonObject ratios = results["ratios"].toObject();
    for (auto it = ratios.begin(); it != ratios.end(); ++it)
        medians.insert(it.key(), it.value().toDouble());
    const QJsonArray runs = results["benchmarks"].toArray();
    for (const QJsonValue& value : runs) {
        const QJsonObject run = value.toObject();
        if (run["aggregate_name"].toString() != QLatin1String("median")
            || run.contains("error_occurred"))
            continue;
        // A case that times itself (UseManualTime) reports its own measure, CPU time as well,
        // as the real time.
        const QString name = run["run_name"].toString();
        const char* field = name.endsWith(QLatin1String("/manual_time")) ? "real_time" : "cpu_time";
        medians.insert(name, nanoseconds(run[field].toDouble(), run["time_unit"].toString()));
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QHash<QString, double> medians;
    for (int i = 1; i < argc; ++i) {
        if (!readMedians(QString::fromLocal8Bit(argv[i]), medians))
            return 1;
    }

    const auto time = [&medians](const char* name, bool& found) {
        const auto it = medians.constFind(QLatin1String(name));
        found = found && it != medians.cend();
        return it == medians.cend() ? 0.0 : *it;
    };

    int width = 0;
    for (const Goal& goal : goals)
        width = qMax(width, int(qstrlen(goal.measure)));
    bool complete = true;
    std::printf("\n%-*s  %7s  %-14s  %s\n", width, "measure (median CPU time)", "ratio", "goal",
                "result");
    for (const Goal& goal : goals) {
        bool found = true;
        const double numerator = time(goal.numerator, found);
        const double denominator = goal.denominator ? time(goal.denominator, found) : 1.0;
        const QString limit = QStringLiteral("goal <= %1x").arg(goal.limit);
        if (!found || denominator <= 0) {
            std::printf("%-*s  %7s  %-14s  no result\n", width, goal.measure, "-",
                        qPrintable(limit));
            complete = false;
            continue;
        }
        const double ratio = numerator / denominator;
        // A limit of 0: reported for comparison, with no goal of its own.
        std::printf("%-*s  %6.2fx  %-14s  %s\n", width, goal.measure, ratio,
                    goal.limit > 0 ? qPrintable(limit) : "-",
                    goal.limit <= 0           ? "-"
                        : ratio <= goal.limit ? "met"
                                              : "missed");
    }
    return complete ? 0 : 1;
}
