// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <benchmark/benchmark.h>

#include <QFile>

#include <malloc.h>

#include <cstdio>

namespace BenchMain {

// Freed memory stays with the process between cases: without this, glibc hands large blocks back
// to the system and the next case pays page faults that an earlier one caused.
inline bool keepHeap()
{
    constexpr int trimThreshold = 1 << 30;
    // glibc's largest mmap threshold on 64-bit systems; blocks below it come from the heap.
    constexpr int mmapThreshold = 32 << 20;
    return mallopt(M_TRIM_THRESHOLD, trimThreshold) == 1
        && mallopt(M_MMAP_THRESHOLD, mmapThreshold) == 1;
}

// Whether the logging library is mapped into this process: a case that runs plug-in code with it
// measures every trace site as well.
inline bool loggingLibraryLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return !maps.open(QIODevice::ReadOnly) || maps.readAll().contains("libZeltLogUtl");
}

// Runs the registered cases; `setUp` registers or checks what the cases need and returns false
// when the run would measure the wrong thing.
template<typename SetUp> int run(int argc, char** argv, SetUp&& setUp)
{
    if (!keepHeap()) {
        std::fprintf(stderr, "cannot keep the heap between cases\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!setUp())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace BenchMain
