// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "TraceObject.h"

#include <cstdint>

// Trace unit of the ScheduleBackup module. The logging library is optional: it is opened by file
// name while this library loads, and every trace site is skipped when it is missing.

class AUTOLOGGER_ScheduleBackup
{
public:
    AUTOLOGGER_ScheduleBackup();
    ~AUTOLOGGER_ScheduleBackup();
    AUTOLOGGER_ScheduleBackup(const AUTOLOGGER_ScheduleBackup&) = delete;
    AUTOLOGGER_ScheduleBackup& operator=(const AUTOLOGGER_ScheduleBackup&) = delete;

private:
    void* m_handle = nullptr;
};

extern "C" {
extern TraceObject* g_ptTraceInfoScheduleBackup;
extern int g_nGivenModIdScheduleBackup;
extern AUTOLOGGER_ScheduleBackup g_ScheduleBackup;
void LocalTraceOutFuncScheduleBackup(const char* format, ...) __attribute__((format(printf, 1, 2)));
}

namespace ScheduleBackupTrace {

enum Level : int { Failure = 2, Ignored = 3, EntryExit = 5 };

// (module id << 8) | level in 32-bit signed arithmetic, widened with sign.
inline int64_t levelWord(int level)
{
    const auto word
        = static_cast<uint32_t>(g_nGivenModIdScheduleBackup) << 8 | static_cast<uint32_t>(level);
    return static_cast<int64_t>(static_cast<int32_t>(word));
}

inline bool passesFilter(int level, const char* file, int line)
{
    const TraceObject* trace = g_ptTraceInfoScheduleBackup;
    return trace && trace->traceHandle && trace->traceFilter
        && trace->traceFilter(trace->traceHandle, levelWord(level), 0, file, line) == 0;
}

} // namespace ScheduleBackupTrace

// The format is always a constant text; variable text goes in as an argument.
#define SCHEDULEBACKUP_TRACE(level, format, ...)                                                   \
    do {                                                                                           \
        if (ScheduleBackupTrace::passesFilter((level), __FILE__, __LINE__))                        \
            LocalTraceOutFuncScheduleBackup(format, __VA_ARGS__);                                  \
    } while (false)

// Writes "<function>, Enter" when constructed and "<function>, Leave" on every way out.
class EntryLog
{
public:
    EntryLog(const char* file, const char* function, int line);
    ~EntryLog();
    EntryLog(const EntryLog&) = delete;
    EntryLog& operator=(const EntryLog&) = delete;

private:
    const char* m_file;
    const char* m_function;
    int m_line;
};

#define SCHEDULEBACKUP_ENTRY_LOG(function) EntryLog entryLog_(__FILE__, function, __LINE__)
