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
    bool handedOut = false;
    bool rejectAll = false;
    int kind = -1;
    std::vector<std::string> modules;
    std::vector<TraceRecorder::FilterCall> filterCalls;
    std::vector<TraceRecorder::Line> lines;
    TraceRecorder::FilterCall lastPassed;
};

State& state()
{
    static State s;
    return s;
}

void registerModule(void*, int kind, const char* moduleName, int* moduleIdOut)
{
    state().kind = kind;
    state().modules.emplace_back(moduleName ? moduleName : "");
    if (moduleIdOut)
        *moduleIdOut = TraceRecorder::assignedModuleId;
}

int traceFilter(void*, int64_t levelWord, int reserved, const char* file, int line)
{
    TraceRecorder::FilterCall call {levelWord, reserved, file ? file : "", line};
    state().filterCalls.push_back(call);
    if (state().rejectAll)
        return 1;
    state().lastPassed = call;
    return 0;
}

void traceOutput(void*, const char* format, va_list arguments)
{
    va_list copy;
    va_copy(copy, arguments);
    const int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(size > 0 ? size_t(size) : 0, '\0');
    if (size > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    const auto& passed = state().lastPassed;
    state().lines.push_back({passed.levelWord, passed.file, passed.line, text});
}

} // namespace

extern "C" __attribute__((visibility("default"))) int LogTrace_GetGlobalObject(int,
                                                                               TraceObject** out)
{
    State& s = state();
    s.object.traceHandle = &s.handle;
    const char* noRegister = std::getenv("TRACE_RECORDER_NO_REGISTER");
    s.object.registerModule
        = (noRegister && std::strcmp(noRegister, "1") == 0) ? nullptr : &registerModule;
    s.object.traceFilter = &traceFilter;
    s.object.traceOutput = &traceOutput;
    s.handedOut = true;
    if (out)
        *out = &s.object;
    return 0;
}

namespace TraceRecorder {

std::vector<Line> lines()
{
    return state().lines;
}

std::vector<FilterCall> filterCalls()
{
    return state().filterCalls;
}

std::vector<std::string> registeredModules()
{
    return state().modules;
}

int registerKind()
{
    return state().kind;
}

bool objectHandedOut()
{
    return state().handedOut;
}

void clear()
{
    state().lines.clear();
    state().filterCalls.clear();
}

void setRejectAll(bool reject)
{
    state().rejectAll = reject;
}

} // namespace TraceRecorder
