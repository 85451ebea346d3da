// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <cstdarg>
#include <cstdint>

// The logging library's global trace object. Every member is pointer-sized; only the four named
// members are part of the contract, the others belong to the library.
struct TraceObject
{
    using RegisterModuleFunc
        = void (*)(void* traceHandle, int kind, const char* moduleName, int* moduleIdOut);
    using TraceFilterFunc = int (*)(void* traceHandle, int64_t levelWord, int reserved,
                                    const char* sourceFile, int line);
    using TraceOutputFunc = void (*)(void* traceHandle, const char* format, va_list arguments);

    void* reserved0;
    void* reserved1;
    void* reserved2;
    void* traceHandle;
    void* reserved4;
    void* reserved5;
    void* reserved6;
    void* reserved7;
    void* reserved8;
    RegisterModuleFunc registerModule;
    void* reserved10;
    void* reserved11;
    void* reserved12;
    void* reserved13;
    TraceFilterFunc traceFilter;
    TraceOutputFunc traceOutput;
};

static_assert(sizeof(void*) == sizeof(TraceObject::TraceFilterFunc),
              "trace object members are pointer-sized");
static_assert(sizeof(TraceObject) == 16 * sizeof(void*), "trace object layout");

extern "C" int LogTrace_GetGlobalObject(int, TraceObject**);
