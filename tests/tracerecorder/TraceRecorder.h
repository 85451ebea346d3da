// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <string>
#include <vector>

// A logging library for tests: it has the real library's file name and entry point and records
// every line that passes its filter. Set TRACE_RECORDER_NO_REGISTER=1 before the plug-in loads
// to hand out a trace object without registerModule.
namespace TraceRecorder {

constexpr int assignedModuleId = 7;

struct Recorded
{
    std::vector<std::string> lines; // each as "<level word>|<text>"
    int filterCalls = 0;
    bool rejectAll = false; // the filter turns every line down
};
Recorded& recorded();

} // namespace TraceRecorder
