// SPDX-License-Identifier: BSD-3-Clause

#include "PluginScheduleBackup_Log.h"

#include <dlfcn.h>

#include <cstdarg>

namespace {
#if defined(__APPLE__)
constexpr char logLibraryFileName[] = "libZeltLogUtl.dylib";
#else
constexpr char logLibraryFileName[] = "libZeltLogUtl.so";
#endif
constexpr char moduleName[] = "ScheduleBackup";
constexpr int moduleKind = 19;
} // namespace

extern "C" {
__attribute__((visibility("default"))) TraceObject* g_ptTraceInfoScheduleBackup = nullptr;
__attribute__((visibility("default"))) int g_nGivenModIdScheduleBackup = 0;
__attribute__((visibility("default"))) AUTOLOGGER_ScheduleBackup g_ScheduleBackup;

__attribute__((visibility("default"))) void LocalTraceOutFuncScheduleBackup(const char* format, ...)
{
    const TraceObject* trace = g_ptTraceInfoScheduleBackup;
    if (!trace || !trace->traceHandle || !trace->traceOutput)
        return;
    va_list arguments;
    va_start(arguments, format);
    trace->traceOutput(trace->traceHandle, format, arguments);
    va_end(arguments);
}
}

AUTOLOGGER_ScheduleBackup::AUTOLOGGER_ScheduleBackup()
{
    // Bare file name: the dynamic loader's search path decides where the library comes from.
    m_handle = dlopen(logLibraryFileName, RTLD_LAZY);
    if (!m_handle)
        return;
    using GetGlobalObject = int (*)(int, TraceObject**);
    auto getGlobalObject
        = reinterpret_cast<GetGlobalObject>(dlsym(m_handle, "LogTrace_GetGlobalObject"));
    if (!getGlobalObject)
        return;
    TraceObject* trace = nullptr;
    getGlobalObject(0, &trace);
    if (!trace)
        return;
    if (trace->registerModule)
        trace->registerModule(trace->traceHandle, moduleKind, moduleName,
                              &g_nGivenModIdScheduleBackup);
    g_ptTraceInfoScheduleBackup = trace;
}

AUTOLOGGER_ScheduleBackup::~AUTOLOGGER_ScheduleBackup()
{
    // Trace sites that run after this point must find tracing off, not a closed library.
    g_ptTraceInfoScheduleBackup = nullptr;
    if (m_handle)
        dlclose(m_handle);
}

EntryLog::EntryLog(const char* file, const char* function, int line)
    : m_file(file), m_function(function), m_line(line)
{
    if (ScheduleBackupTrace::passesFilter(ScheduleBackupTrace::EntryExit, m_file, m_line))
        LocalTraceOutFuncScheduleBackup("%s, Enter", m_function);
}

EntryLog::~EntryLog()
{
    if (ScheduleBackupTrace::passesFilter(ScheduleBackupTrace::EntryExit, m_file, 0))
        LocalTraceOutFuncScheduleBackup("%s, Leave", m_function);
}
