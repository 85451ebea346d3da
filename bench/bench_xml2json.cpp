// Parse cost of the two documents the plug-in feeds through XML2Json: the time-card reply, whose
// camera list is the part that grows, and the time-frame element of a stored schedule.

#include "XML2Json.h"

#include <benchmark/benchmark.h>

namespace {

QString timeFrame(int intervals)
{
    // Evenly spread over the week, as the page's half-hour grid would produce at most.
    const qint64 step = 604800 / intervals;
    QString elements;
    for (int i = 0; i < intervals; ++i) {
        elements += QStringLiteral("<Ele B=\"%1\" E=\"%2\" />").arg(i * step).arg((i + 1) * step);
    }
    return QStringLiteral(
               "<Ele><Frame><Name>bench</Name><DLMod>Period</DLMod><RepeatMod>Weekly</RepeatMod>"
               "<Intervals>%1</Intervals><Holiday>false</Holiday><Range><Period>"
               "<TmS>2016-03-29 00:00:00.000</TmS><TmE>2035-01-01 00:00:00.000</TmE></Period>"
               "<End>false</End></Range><RepeatFreq>1</RepeatFreq></Frame></Ele>")
        .arg(elements);
}

QString timecardReply(int cameras)
{
    QString camList;
    for (int i = 0; i < cameras; ++i)
        camList += QStringLiteral("<Cam GrpID=\"group%1\">camera-%2</Cam>").arg(i % 16).arg(i);
    return QStringLiteral(
               "<GetBkpTmcardRes><Tmcard><Revision>42</Revision><TmcardID>1</TmcardID>"
               "<Name>backup</Name><Enabled>true</Enabled><TargetCyclic>true</TargetCyclic>"
               "<Dir>/srv/backup</Dir><MaxThroughput>10485760</MaxThroughput>"
               "<MaxRange>43200</MaxRange><Mapping>%1</Mapping><CamList>%2</CamList>"
               "</Tmcard></GetBkpTmcardRes>")
        .arg(timeFrame(7), camList);
}

void parseDocument(benchmark::State& state, const QString& xml)
{
    XML2Json parser;
    for (auto _ : state) {
        QVariant tree = parser.parse(xml);
        benchmark::DoNotOptimize(tree);
        if (!tree.isValid())
            state.SkipWithError("document rejected");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * xml.size()
                            * static_cast<int64_t>(sizeof(QChar)));
}

void BM_ParseTimecardReply(benchmark::State& state)
{
    parseDocument(state, timecardReply(static_cast<int>(state.range(0))));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseTimecardReply)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

void BM_ParseTimeFrame(benchmark::State& state)
{
    parseDocument(state, timeFrame(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ParseTimeFrame)->Arg(7)->Arg(336)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
