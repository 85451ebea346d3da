// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <string>

namespace zeltlog {

// Failures (2) and ignored replies (3) are shown by default; entry/exit lines (5) are not.
constexpr int DefaultThreshold = 3;

struct TraceConfig
{
    int threshold = DefaultThreshold; // 0 silences everything
    std::string filePath; // empty: standard error
};

// Accepts a decimal level from 0 to 255; anything else, or no text, gives the default.
int parseThreshold(const char* text);

// Reads ZELT_LOG_LEVEL and ZELT_LOG_FILE from the environment.
TraceConfig readTraceConfig();

} // namespace zeltlog
