// SPDX-License-Identifier: BSD-3-Clause
// Feeds arbitrary text to the command line's schedule parser. An accepted schedule, formatted
// and parsed again, and sent through the page's rectangle document, must stay the same schedule.

#include "WeekSchedule.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

bool sameSchedule(const WeekSchedule& a, const WeekSchedule& b)
{
    for (int day = 0; day < 7; ++day) {
        if (a.day(day) != b.day(day))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text
        = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const WeekSchedule parsed = WeekSchedule::parse(text);
    if (!parsed.isValid()) {
        if (parsed.errorText().isEmpty())
            std::abort();
        return 0;
    }
    const WeekSchedule reparsed = WeekSchedule::parse(parsed.toText());
    if (!reparsed.isValid() || !sameSchedule(parsed, reparsed))
        std::abort();
    const WeekSchedule fromDocument = WeekSchedule::fromRectangleJson(parsed.toRectangleJson());
    if (!fromDocument.isValid() || !sameSchedule(parsed, fromDocument))
        std::abort();
    return 0;
}
