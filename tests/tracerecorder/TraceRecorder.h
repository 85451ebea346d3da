#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A logging library for tests: it has the real library's file name and entry point and records
// every line that passes its filter. Set TRACE_RECORDER_NO_REGISTER=1 before the plug-in loads
// to hand out a trace object without registerModule.
namespace TraceRecorder {

constexpr int assignedModuleId = 7;

struct Line
{
    int64_t levelWord = 0;
    std::string file;
    int line = -1;
    std::string text;
};

struct FilterCall
{
    int64_t levelWord = 0;
    int reserved = -1;
    std::string file;
    int line = -1;
};

std::vector<Line> lines();
std::vector<FilterCall> filterCalls();
std::vector<std::string> registeredModules();
int registerKind();
bool objectHandedOut();
void clear();
void setRejectAll(bool reject);

} // namespace TraceRecorder
