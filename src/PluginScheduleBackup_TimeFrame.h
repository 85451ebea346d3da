// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>

// The stored weekly schedule in its reply-tree form, Mapping/Ele/Frame/Intervals/Ele with the
// bounds "@B" and "@E" in week seconds, and the units the schedule and the limits are counted in.
namespace TimeFrame {

const QString KEY_MAPPING = QStringLiteral("Mapping");
const QString KEY_ELE = QStringLiteral("Ele");
const QString KEY_FRAME = QStringLiteral("Frame");
const QString KEY_NAME = QStringLiteral("Name");
const QString KEY_INTERVALS = QStringLiteral("Intervals");
const QString KEY_BEGIN = QStringLiteral("@B");
const QString KEY_END = QStringLiteral("@E");

constexpr int SECONDS_PER_HOUR = 3600;
constexpr int SECONDS_PER_DAY = 86400;
constexpr int SECONDS_PER_WEEK = 7 * SECONDS_PER_DAY;
constexpr qint64 MILLISECONDS_PER_WEEK = qint64(SECONDS_PER_WEEK) * 1000;
constexpr qint64 MINUTES_PER_DAY = 1440;
constexpr qint64 BYTES_PER_MEGABYTE = 1 << 20;

// An element that may repeat is a single value or a list of values; this reads both as a list.
inline QVariantList contentAsList(const QVariant& value)
{
    if (value.isNull())
        return {};
    // Qt converts text to a list of its characters; an element's text is one entry.
    const int type = value.typeId();
    if (type != QMetaType::QString && type != QMetaType::QByteArray) {
        const QVariantList list = value.toList();
        if (!list.isEmpty())
            return list;
    }
    return {value};
}

// Whether an entry's Frame may itself be repeated. The page's document has always taken it as
// one map, so a repeated Frame shows nothing there; the next backup start reads every one.
enum class FrameRepeats { Ignored, Read };

// Calls visit(interval) for every interval of every time frame in `mapping`, in document order.
template<typename Visit>
void forEachInterval(const QVariant& mapping, FrameRepeats frameRepeats, Visit&& visit)
{
    const QVariantList entries = contentAsList(mapping.toMap().value(KEY_ELE));
    for (const QVariant& entry : entries) {
        const QVariant frameValue = entry.toMap().value(KEY_FRAME);
        const QVariantList frames = frameRepeats == FrameRepeats::Read ? contentAsList(frameValue)
                                                                       : QVariantList {frameValue};
        for (const QVariant& frame : frames) {
            const QVariantList intervals
                = contentAsList(frame.toMap().value(KEY_INTERVALS).toMap().value(KEY_ELE));
            for (const QVariant& interval : intervals)
                visit(interval);
        }
    }
}

// The entry of `map` under `key`, or the end. Interval maps hold two or three entries, for which
// a walk with an inline comparison is cheaper than the tree's search with its calls to compare.
inline QVariantMap::const_iterator findMember(const QVariantMap& map, const QString& key)
{
    constexpr qsizetype walked = 4;
    if (map.size() > walked)
        return map.constFind(key);
    const auto end = map.cend();
    for (auto it = map.cbegin(); it != end; ++it) {
        const QString& candidate = it.key();
        if (candidate.size() == key.size()
            && std::equal(candidate.cbegin(), candidate.cend(), key.cbegin()))
            return it;
    }
    return end;
}

// Calls visit(begin, end) with the stored bounds of one interval; a missing bound is an invalid
// QVariant. Reply trees hold an interval as a map, which is read in place. Returns what visit
// returns.
template<typename Visit> auto visitIntervalBounds(const QVariant& interval, Visit&& visit)
{
    static const QVariant missing;
    const auto read = [&visit](const QVariantMap& bounds) {
        const auto begin = findMember(bounds, KEY_BEGIN);
        const auto end = findMember(bounds, KEY_END);
        return visit(begin == bounds.cend() ? missing : begin.value(),
                     end == bounds.cend() ? missing : end.value());
    };
    if (interval.typeId() == QMetaType::QVariantMap)
        return read(*static_cast<const QVariantMap*>(interval.constData()));
    return read(interval.toMap());
}

} // namespace TimeFrame
