// SPDX-License-Identifier: BSD-3-Clause
// The plug-in's costs side by side with what a Qt developer would otherwise write, measured on the
// same documents in the same run. bench_summary turns the medians into ratios.
//
// The program links a copy of the plug-in that sits where no logging library can be found (see
// CMakeLists.txt): with the library, every trace site would be measured as well.

#include "BenchMain.h"
#include "FrameworkWrapperBase.h"
#include "PluginScheduleBackup.h"
#include "XML2Json.h"

#include <QDateTime>
#include <QDomDocument>
#include <QJsonDocument>
#include <QMetaObject>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <QXmlStreamReader>

#include <valgrind/callgrind.h>

#include <cstdio>
#include <ctime>

namespace {

// The densest week the page can draw: every half-hour cell a rectangle of its own.
QString denseWeekDocument()
{
    QStringList cells;
    for (int day = 0; day < 7; ++day) {
        for (int half = 0; half < 48; ++half)
            cells << QStringLiteral(R"({"Top":%1,"Bottom":%2,"Left":%3,"Right":%4})")
                         .arg(half / 2.0)
                         .arg((half + 1) / 2.0)
                         .arg(day)
                         .arg(day + 1);
    }
    return QStringLiteral(R"({"Rectangles":[)") + cells.join(QLatin1Char(','))
        + QStringLiteral("]}");
}

// A time-card reply as the server sends it. Half of the cameras repeat an earlier identifier, so
// that loading them also removes duplicates. Identifiers have one width, as an inventory numbers
// them, so that every size of list costs the same per camera.
QString timecardReply(const QString& timeFrame, int cameras)
{
    QString camList;
    for (int i = 0; i < cameras; ++i)
        camList += QStringLiteral("<Cam GrpID=\"group%1\">camera-%2</Cam>")
                       .arg(i % 16, 2, 10, QLatin1Char('0'))
                       .arg(i % (cameras / 2 + 1), 6, 10, QLatin1Char('0'));
    return QStringLiteral(
               "<GetBkpTmcardRes><Tmcard><Revision>42</Revision><TmcardID>1</TmcardID>"
               "<Name>backup</Name><Enabled>true</Enabled><TargetCyclic>true</TargetCyclic>"
               "<Dir>/srv/backup</Dir><MaxThroughput>10485760</MaxThroughput>"
               "<MaxRange>43200</MaxRange><Mapping>%1</Mapping><CamList>%2</CamList>"
               "</Tmcard></GetBkpTmcardRes>")
        .arg(timeFrame, camList);
}

// What a Qt developer would write without XML2Json: a DOM, walked into the same tree.
QVariant domElementToVariant(const QDomElement& element)
{
    QVariantMap map;
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        map.insert(QLatin1Char('@') + attribute.name(), attribute.value());
    }
    QMap<QString, QVariantList> children;
    QString text;
    for (QDomNode node = element.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (node.isElement())
            children[node.nodeName()].append(domElementToVariant(node.toElement()));
        else if (node.isText())
            text += node.nodeValue();
    }
    if (map.isEmpty() && children.isEmpty())
        return text.isNull() ? QString(QLatin1String("")) : text;
    for (auto it = children.cbegin(); it != children.cend(); ++it)
        map.insert(it.key(), it->size() == 1 ? it->first() : QVariant(*it));
    if (!text.trimmed().isEmpty())
        map.insert(QStringLiteral("#text"), text);
    return map;
}

QVariant domToVariant(const QDomDocument& document)
{
    const QDomElement root = document.documentElement();
    return QVariantMap {{root.tagName(), domElementToVariant(root)}};
}

// The least any reader of the document does: every name, attribute and text is looked at once.
qsizetype touchEverything(const QString& xml)
{
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(false);
    qsizetype seen = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            seen += reader.qualifiedName().size();
            for (const QXmlStreamAttribute& attribute : reader.attributes())
                seen += attribute.qualifiedName().size() + attribute.value().size();
            break;
        case QXmlStreamReader::Characters:
            seen += reader.text().size();
            break;
        default:
            break;
        }
    }
    return reader.hasError() ? -1 : seen;
}

// Answers timestamps as the client's server-info plug-in does, through the meta-object.
class ServerInfo : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE QVariantList getTimestamp(const QDateTime& dateTime)
    {
        return {dateTime.toMSecsSinceEpoch()};
    }
};

// Accepts every command and drops it, so that only the plug-in's own work is measured.
class DroppingFramework : public FrameworkWrapperBase
{
public:
    bool SendCommand(void*, const QString&, const QString&, const QVariant&, void*, int,
                     const QString&) override
    {
        return true;
    }
    QObject* GetPluginObject(void*, const QString&) override { return &serverInfo; }

    ServerInfo serverInfo;
};

struct Documents
{
    QString denseWeek = denseWeekDocument();
    QByteArray denseWeekUtf8 = denseWeek.toUtf8();
    QString timeFrame;
    QString scheduleReply; // the dense week and no cameras
    QString reply1000;
    QString reply10000;
    QVariant scheduleReplyTree;
    QVariant replyTree1000;
    QVariant replyTree10000;
};

Documents& documents()
{
    static Documents instance;
    return instance;
}

const QString& reply(int cameras)
{
    return cameras == 1000 ? documents().reply1000 : documents().reply10000;
}

void deliver(PluginBase& plugin, const QVariant& tree)
{
    plugin.CommandProcessor(QStringLiteral("GetBkpTmcard"), tree, nullptr, QStringLiteral("0"),
                            QString(), false, QString());
}

// Goals 1 to 4: XML to a variant tree.

void xml2json(benchmark::State& state)
{
    const QString& xml = reply(int(state.range(0)));
    XML2Json parser;
    for (auto _ : state) {
        QVariant tree = parser.parse(xml);
        benchmark::DoNotOptimize(tree);
    }
}

void domSetContent(benchmark::State& state)
{
    const QString& xml = reply(int(state.range(0)));
    for (auto _ : state) {
        QDomDocument document;
        if (!document.setContent(xml)) {
            state.SkipWithError("document rejected");
            break;
        }
        benchmark::DoNotOptimize(document);
    }
}

void domToVariantTree(benchmark::State& state)
{
    const QString& xml = reply(int(state.range(0)));
    for (auto _ : state) {
        QDomDocument document;
        document.setContent(xml);
        QVariant tree = domToVariant(document);
        benchmark::DoNotOptimize(tree);
    }
}

void streamReaderFloor(benchmark::State& state)
{
    const QString& xml = reply(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(touchEverything(xml));
}

// Goal 5: the page stores a dense week.

void composeDenseWeek(benchmark::State& state)
{
    DroppingFramework framework;
    PluginScheduleBackup plugin;
    plugin.InitialPluginBase(nullptr, nullptr, &framework);
    const QString name = QStringLiteral("Dense week");
    const QString& document = documents().denseWeek;
    for (auto _ : state) {
        bool sent = false;
        QMetaObject::invokeMethod(&plugin, "updateSchedule", Qt::DirectConnection,
                                  Q_RETURN_ARG(bool, sent), Q_ARG(QString, name),
                                  Q_ARG(QString, document));
        if (!sent) {
            state.SkipWithError("updateSchedule refused the document");
            break;
        }
    }
}

void jsonFromJson(benchmark::State& state)
{
    const QByteArray& document = documents().denseWeekUtf8;
    for (auto _ : state) {
        QJsonDocument json = QJsonDocument::fromJson(document);
        benchmark::DoNotOptimize(json);
    }
}

// Goals 6 and 7: a loaded time-card is read back into the page's document and camera list.

void readBack(benchmark::State& state)
{
    PluginScheduleBackup plugin;
    const QVariant& tree = documents().scheduleReplyTree;
    for (auto _ : state) {
        deliver(plugin, tree);
        benchmark::DoNotOptimize(plugin.scheduleTemplate());
    }
    if (plugin.scheduleTemplate() != documents().denseWeek)
        state.SkipWithError("the schedule read back differs from the page's document");
}

void jsonRoundTrip(benchmark::State& state)
{
    const QByteArray& document = documents().denseWeekUtf8;
    for (auto _ : state) {
        QByteArray text = QJsonDocument::fromJson(document).toJson(QJsonDocument::Compact);
        benchmark::DoNotOptimize(text);
    }
}

// This thread's CPU time: what other processes on the machine do is not counted.
qint64 threadCpuNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The cameras' share of a load: each round loads the time-card and the same time-card without
// cameras, each into a plug-in of its own, and counts the difference. Both loads see the same
// state of the machine, which a difference of two separately measured cases would not.
void cameraPart(benchmark::State& state)
{
    const int cameras = int(state.range(0));
    const QVariant& tree = cameras == 1000 ? documents().replyTree1000 : documents().replyTree10000;
    const QVariant& scheduleOnly = documents().scheduleReplyTree;
    PluginScheduleBackup withCameras;
    PluginScheduleBackup withoutCameras;
    for (auto _ : state) {
        // An equal revision is loaded again, so every round walks all cameras.
        const qint64 start = threadCpuNanoseconds();
        deliver(withCameras, tree);
        const qint64 middle = threadCpuNanoseconds();
        deliver(withoutCameras, scheduleOnly);
        const qint64 end = threadCpuNanoseconds();
        state.SetIterationTime(double((middle - start) - (end - middle)) / 1e9);
    }
    if (withCameras.cameraList().size() != cameras / 2 + 1
        || withoutCameras.scheduleTemplate() != withCameras.scheduleTemplate())
        state.SkipWithError("cameras not loaded");
}

// Goal 8: the next backup start over the dense week.

const QDateTime& nextBackupMoment()
{
    static const QDateTime moment(QDate(2026, 1, 7), QTime(12, 0)); // a Wednesday noon
    return moment;
}

void nextBackupTime(benchmark::State& state)
{
    DroppingFramework framework;
    PluginScheduleBackup plugin;
    plugin.InitialPluginBase(nullptr, nullptr, &framework);
    deliver(plugin, documents().scheduleReplyTree);
    const QDateTime& moment = nextBackupMoment();
    for (auto _ : state)
        benchmark::DoNotOptimize(plugin.getNextBackupTime(moment));
    // The week is one unbroken window from Sunday 00:00, so next Sunday starts the next backup.
    const QDate nextSunday(2026, 1, 11);
    if (plugin.getNextBackupTime(moment) != qulonglong(nextSunday.startOfDay().toMSecsSinceEpoch()))
        state.SkipWithError("unexpected next backup start");
}

void twoTimestamps(benchmark::State& state)
{
    ServerInfo serverInfo;
    const QDateTime& moment = nextBackupMoment();
    const QDateTime weekStart = QDate(2026, 1, 4).startOfDay();
    for (auto _ : state) {
        QVariantList now;
        QVariantList start;
        QMetaObject::invokeMethod(&serverInfo, "getTimestamp", Qt::DirectConnection,
                                  Q_RETURN_ARG(QVariantList, now), Q_ARG(QDateTime, moment));
        QMetaObject::invokeMethod(&serverInfo, "getTimestamp", Qt::DirectConnection,
                                  Q_RETURN_ARG(QVariantList, start), Q_ARG(QDateTime, weekStart));
        benchmark::DoNotOptimize(now.first().toULongLong() - start.first().toULongLong());
    }
}

bool setUp()
{
    if (BenchMain::loggingLibraryLoaded()) {
        std::fprintf(stderr, "the logging library is loaded: every trace site would be measured\n");
        return false;
    }
    Documents& docs = documents();
    PluginScheduleBackup composer;
    docs.timeFrame
        = composer.ComposeScheduleBackupMappingEleMsg(QStringLiteral("Dense week"), docs.denseWeek);
    docs.scheduleReply = timecardReply(docs.timeFrame, 0);
    docs.reply1000 = timecardReply(docs.timeFrame, 1000);
    docs.reply10000 = timecardReply(docs.timeFrame, 10000);
    XML2Json parser;
    docs.scheduleReplyTree = parser.parse(docs.scheduleReply);
    docs.replyTree1000 = parser.parse(docs.reply1000);
    docs.replyTree10000 = parser.parse(docs.reply10000);

    // The alternatives must build what XML2Json builds, or the comparison means nothing.
    for (const QString* xml : {&docs.reply1000, &docs.reply10000}) {
        QDomDocument document;
        if (!document.setContent(*xml) || domToVariant(document) != parser.parse(*xml)
            || touchEverything(*xml) < 0) {
            std::fprintf(stderr, "the DOM walk does not give XML2Json's tree\n");
            return false;
        }
    }

    using benchmark::RegisterBenchmark;
    for (const int cameras : {1000, 10000}) {
        RegisterBenchmark("xml2json", xml2json)->Arg(cameras);
        RegisterBenchmark("dom_setContent", domSetContent)->Arg(cameras);
        RegisterBenchmark("dom_to_variant", domToVariantTree)->Arg(cameras);
        RegisterBenchmark("stream_reader_floor", streamReaderFloor)->Arg(cameras);
    }
    RegisterBenchmark("compose_dense_week", composeDenseWeek);
    RegisterBenchmark("json_fromJson", jsonFromJson);
    RegisterBenchmark("read_back", readBack);
    RegisterBenchmark("json_round_trip", jsonRoundTrip);
    RegisterBenchmark("camera_part", cameraPart)->Arg(1000)->Arg(10000)->UseManualTime();
    RegisterBenchmark("next_backup_time", nextBackupTime);
    RegisterBenchmark("two_timestamps", twoTimestamps);
    return true;
}

// Under callgrind (--collect-atstart=no), counts the instructions of three loads of the
// time-card with `cameras` cameras (0: without cameras) after a first load, as the benchmark's
// rounds do: the instruction count does not depend on the machine's caches.
int countLoadInstructions(int cameras)
{
    if (!setUp())
        return 1;
    const Documents& docs = documents();
    const QVariant& tree = cameras == 1000 ? docs.replyTree1000
        : cameras == 10000                 ? docs.replyTree10000
                                           : docs.scheduleReplyTree;
    PluginScheduleBackup plugin;
    deliver(plugin, tree);
    CALLGRIND_TOGGLE_COLLECT;
    for (int round = 0; round < 3; ++round)
        deliver(plugin, tree);
    CALLGRIND_TOGGLE_COLLECT;
    return cameras == 0 || plugin.cameraList().size() == cameras / 2 + 1 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const QByteArray count = "--count-load-instructions=";
    if (argc == 2 && QByteArray(argv[1]).startsWith(count))
        return countLoadInstructions(QByteArray(argv[1]).mid(count.size()).toInt());
    return BenchMain::run(argc, argv, setUp);
}

#include "bench_ratios.moc"
