#include "TraceConfig.h"

#include <cerrno>
#include <cstdlib>

namespace zeltlog {

int parseThreshold(const char* text)
{
    if (text == nullptr || *text == '\0')
        return DefaultThreshold;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    // The level is the low byte of the level word, so nothing above 255 can ever be compared.
    if (errno != 0 || *end != '\0' || value < 0 || value > 255)
        return DefaultThreshold;
    return static_cast<int>(value);
}

TraceConfig readTraceConfig()
{
    TraceConfig config;
    config.threshold = parseThreshold(std::getenv("ZELT_LOG_LEVEL"));
    if (const char* path = std::getenv("ZELT_LOG_FILE"))
        config.filePath = path;
    return config;
}

} // namespace zeltlog
