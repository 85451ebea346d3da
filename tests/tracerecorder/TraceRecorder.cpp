// SPDX-License-Identifier: BSD-3-Clause

#include "TraceRecorder.h"

#include "TraceObject.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct State
{
    TraceObject object {};
    int handle = 0;
    int64_t lastPassed = 0; // the level word of the line the filter last let through
    TraceRecorder::Recorded recorded;
} state;

void registerModule(void*, int, const char*, int* moduleIdOut)
{
    if (moduleIdOut)
        *moduleIdOut = TraceRecorder::assignedModuleId;
}

int traceFilter(void*, int64_t levelWord, int, const char*, int)
{
    ++state.recorded.filterCalls;
    if (state.recorded.rejectAll)
        return 1;
    state.lastPassed = levelWord;
    return 0;
}

void traceOutput(void*, const char* format, va_list arguments)
{
    char text[4096];
    std::vsnprintf(text, sizeof text, format, arguments);
    state.recorded.lines.push_back(std::to_string(state.lastPassed) + '|' + text);
}

} // namespace

extern "C" __attribute__((visibility("default"))) int LogTrace_GetGlobalObject(int,
                                                                               TraceObject** out)
{
    const char* noRegister = std::getenv("TRACE_RECORDER_NO_REGISTER");
    state.object.traceHandle = &state.handle;
    state.object.registerModule
        = (noRegister && std::strcmp(noRegister, "1") == 0) ? nullptr : &registerModule;
    state.object.traceFilter = &traceFilter;
    state.object.traceOutput = &traceOutput;
    if (out)
        *out = &state.object;
    return 0;
}

TraceRecorder::Recorded& TraceRecorder::recorded()
{
    return state.recorded;
}
