// SPDX-License-Identifier: BSD-3-Clause

#include "TraceObject.h"
#include "TraceSink.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <utility>

namespace {

using zeltlog::PassedLine;
using zeltlog::TraceSink;

thread_local PassedLine t_lastPassed;

// Lines may still arrive from other libraries' static destructors after ours ran; they are
// dropped rather than written through a destroyed sink.
std::atomic<bool> g_sinkAlive {false};

TraceSink* liveSink(void* traceHandle)
{
    if (traceHandle == nullptr || !g_sinkAlive.load(std::memory_order_acquire))
        return nullptr;
    return static_cast<TraceSink*>(traceHandle);
}

std::string formatText(const char* format, va_list arguments)
{
    char small[512];
    va_list probe;
    va_copy(probe, arguments);
    const int length = std::vsnprintf(small, sizeof small, format, probe);
    va_end(probe);
    if (length < 0)
        return {};
    if (static_cast<std::size_t>(length) < sizeof small)
        return std::string(small, static_cast<std::size_t>(length));
    std::string text(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    return text;
}

void registerModule(void* traceHandle, int /*kind*/, const char* moduleName, int* moduleIdOut)
{
    TraceSink* sink = liveSink(traceHandle);
    if (sink == nullptr)
        return;
    const int id = sink->registerModule(moduleName);
    if (moduleIdOut != nullptr)
        *moduleIdOut = id;
}

int traceFilter(void* traceHandle, int64_t levelWord, int /*reserved*/, const char* sourceFile,
                int line)
{
    TraceSink* sink = liveSink(traceHandle);
    const int level = static_cast<int>(levelWord & 0xff);
    if (sink == nullptr || !sink->accepts(level))
        return 1;
    t_lastPassed = PassedLine {true, level, static_cast<int>(levelWord >> 8), sourceFile, line};
    return 0;
}

void traceOutput(void* traceHandle, const char* format, va_list arguments)
{
    TraceSink* sink = liveSink(traceHandle);
    if (sink == nullptr || format == nullptr)
        return;
    // The remembered filter result belongs to this one line only.
    const PassedLine passed = std::exchange(t_lastPassed, PassedLine {});
    sink->write(passed, formatText(format, arguments));
}

struct GlobalTrace
{
    GlobalTrace() : sink(zeltlog::readTraceConfig())
    {
        object.traceHandle = &sink;
        object.registerModule = &registerModule;
        object.traceFilter = &traceFilter;
        object.traceOutput = &traceOutput;
        g_sinkAlive.store(true, std::memory_order_release);
    }
    ~GlobalTrace()
    {
        g_sinkAlive.store(false, std::memory_order_release);
        object.traceHandle = nullptr;
    }
    GlobalTrace(const GlobalTrace&) = delete;
    GlobalTrace& operator=(const GlobalTrace&) = delete;

    TraceSink sink;
    TraceObject object {};
};

} // namespace

// Configuration is read on the first call, so the environment can be set up to that point.
extern "C" __attribute__((visibility("default"))) int LogTrace_GetGlobalObject(int,
                                                                               TraceObject** out)
{
    if (out == nullptr)
        return -1;
    static GlobalTrace global;
    *out = &global.object;
    return 0;
}
