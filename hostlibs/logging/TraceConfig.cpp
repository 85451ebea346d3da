// SPDX-License-Identifier: BSD-3-Clause

#include "TraceConfig.h"

#include <cstdlib>

namespace zeltlog {

int parseThreshold(const char* text)
{
    // Digits only: blanks, signs and anything else fall back to the default, as documented.
    if (text == nullptr || *text == '\0')
        return DefaultThreshold;
    long value = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9')
            return DefaultThreshold;
        value = value * 10 + (*c - '0');
        // The level is the low byte of the level word, so nothing above 255 can ever be compared.
        if (value > 255)
            return DefaultThreshold;
    }
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
