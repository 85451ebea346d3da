// Loads the logging library by path as the plug-in does, registers the module "Probe" and offers
// one line per level from 1 to 6 ("probe level N"), so that a test can see which of them the
// environment's configuration lets through.

#include "TraceObject.h"

#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>

namespace {

void writeLine(TraceObject* trace, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    trace->traceOutput(trace->traceHandle, format, arguments);
    va_end(arguments);
}

} // namespace

int main()
{
    void* library = dlopen(ZELT_LOG_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "probe: %s\n", dlerror());
        return 2;
    }
    using GetGlobalObject = int (*)(int, TraceObject**);
    const auto getGlobalObject
        = reinterpret_cast<GetGlobalObject>(dlsym(library, "LogTrace_GetGlobalObject"));
    TraceObject* trace = nullptr;
    if (getGlobalObject == nullptr || getGlobalObject(0, &trace) != 0 || trace == nullptr) {
        std::fprintf(stderr, "probe: no trace object\n");
        return 3;
    }

    int moduleId = 0;
    trace->registerModule(trace->traceHandle, 19, "Probe", &moduleId);
    for (int level = 1; level <= 6; ++level) {
        const int64_t levelWord = (moduleId << 8) | level;
        if (trace->traceFilter(trace->traceHandle, levelWord, 0, __FILE__, __LINE__) == 0)
            writeLine(trace, "probe level %d", level);
    }
    dlclose(library);
    return 0;
}
