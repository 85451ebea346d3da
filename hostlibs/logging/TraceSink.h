// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "TraceConfig.h"

#include <mutex>
#include <string>
#include <vector>

namespace zeltlog {

// What the filter let through, kept for the output call that follows it on the same thread.
struct PassedLine
{
    bool known = false;
    int level = 0;
    int moduleId = 0;
    const char* sourceFile = nullptr;
    int line = 0;
};

// The destination of all trace lines of the process, and the registry of module names.
class TraceSink
{
public:
    explicit TraceSink(const TraceConfig& config);
    ~TraceSink();

    TraceSink(const TraceSink&) = delete;
    TraceSink& operator=(const TraceSink&) = delete;

    // Ids start at 1 and are stable per name; 0 is left for "no module".
    int registerModule(const char* name);
    bool accepts(int level) const { return m_threshold > 0 && level <= m_threshold; }
    void write(const PassedLine& passed, const std::string& text);

private:
    std::string moduleLabelLocked(int moduleId) const;
    void writeLocked(const std::string& line);

    const int m_threshold;
    int m_fd; // the trace file, or standard error when m_path is empty
    std::string m_path;

    mutable std::mutex m_mutex;
    std::vector<std::string> m_moduleNames;
};

} // namespace zeltlog
