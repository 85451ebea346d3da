// Conversions between the page's rectangle document (JSON, hours on a week grid) and the
// time-card's time-frame element (XML, intervals in seconds from Sunday 00:00).

#include "PluginScheduleBackup.h"

#include "PluginScheduleBackup_Bounds.h"
#include "PluginScheduleBackup_Log.h"
#include "PluginScheduleBackup_TimeFrame.h"

#include <cmath>
#include <limits>

using namespace TimeFrame;

namespace {
const QString RECTANGLE_CONTENT = QStringLiteral(R"({"Top":%1,"Bottom":%2,"Left":%3,"Right":%4})");
const QString TIME_FRAME_OBJECT = QStringLiteral("Rectangles");
const QString TIME_FRAME_TOP = QStringLiteral("Top");
const QString TIME_FRAME_BOTTOM = QStringLiteral("Bottom");
const QString TIME_FRAME_LEFT = QStringLiteral("Left");
const QString TIME_FRAME_RIGHT = QStringLiteral("Right");
const QString MSG_SCHE_BACKUP_TIME_FRAME
    = QStringLiteral("<Ele><Frame><Name>%1</Name><DLMod>Period</DLMod><RepeatMod>Weekly</RepeatMod>"
                     "<Intervals>%2</Intervals><Holiday>false</Holiday><Range><Period>"
                     "<TmS>2016-03-29 00:00:00.000</TmS><TmE>2035-01-01 00:00:00.000</TmE></Period>"
                     "<End>false</End></Range><RepeatFreq>1</RepeatFreq></Frame></Ele>");
const QString MSG_SCHE_BACKUP_TIME_INTERVAL = QStringLiteral(R"(<Ele B="%1" E="%2" />)");

constexpr int lastDayOfWeek = 6;
// A document whose intervals compose to more text than this is refused. The densest real week,
// 336 half-hour cells, needs under 10,000 characters; unbounded, a few kilobytes of JSON could ask
// for gigabytes.
constexpr qsizetype maxIntervalsLength = 1 << 20;

struct Rectangle
{
    int left = 0;
    int right = 0;
    double top = 0.0;
    double bottom = 0.0;
};

Rectangle readRectangle(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    return {object.value(TIME_FRAME_LEFT).toInt(), object.value(TIME_FRAME_RIGHT).toInt(),
            object.value(TIME_FRAME_TOP).toDouble(), object.value(TIME_FRAME_BOTTOM).toDouble()};
}

// A double whose truncation toward zero is a signed 32-bit value.
bool truncatesToInt(double value)
{
    return std::isfinite(value) && value > double(std::numeric_limits<int>::min()) - 1.0
        && value < double(std::numeric_limits<int>::max()) + 1.0;
}

bool fitsInt(qint64 value)
{
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

// Day starts and bounds grow linearly with the day, so checking the first and the last day of a
// rectangle covers every interval it produces.
bool rectangleFitsIntervalArithmetic(const Rectangle& rectangle)
{
    if (rectangle.left >= rectangle.right)
        return true;
    for (const qint64 day : {qint64(rectangle.left), qint64(rectangle.right) - 1}) {
        const qint64 dayStart = day * SECONDS_PER_DAY;
        if (!fitsInt(dayStart))
            return false;
        if (!truncatesToInt(rectangle.top * SECONDS_PER_HOUR + double(dayStart))
            || !truncatesToInt(double(dayStart) + rectangle.bottom * SECONDS_PER_HOUR))
            return false;
    }
    return true;
}

int truncateToInt(double value)
{
    if (!truncatesToInt(value))
        return value > 0 ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

// An interval's bounds in week seconds. Documents are range-checked before they get here; the
// saturation only keeps a direct call with absurd values defined.
std::pair<int, int> intervalBounds(int day, double top, double bottom)
{
    const double dayStart = double(qint64(day) * SECONDS_PER_DAY);
    const int begin = truncateToInt(top * SECONDS_PER_HOUR + dayStart);
    int end = truncateToInt(dayStart + bottom * SECONDS_PER_HOUR);
    // The server's week ends at Saturday 23:59:00, not at the first second of the next week.
    if (day == lastDayOfWeek && bottom * SECONDS_PER_HOUR == SECONDS_PER_DAY)
        end -= 60;
    return {begin, end};
}

qsizetype decimalLength(int value)
{
    qsizetype length = value < 0 ? 2 : 1;
    for (qint64 rest = qAbs(qint64(value)); rest >= 10; rest /= 10)
        ++length;
    return length;
}

// Whether the interval elements of the rectangles would exceed maxIntervalsLength characters.
// Counted without composing them, and only until the answer is known: every interval adds at
// least 19 characters, so no document costs more than some 55,000 steps.
bool intervalsExceedLimit(const QJsonArray& rectangles)
{
    const qsizetype fixedLength = MSG_SCHE_BACKUP_TIME_INTERVAL.size() - 4; // without %1 and %2
    qsizetype length = 0;
    for (const QJsonValue& value : rectangles) {
        const Rectangle rectangle = readRectangle(value);
        for (qint64 day = rectangle.left; day < rectangle.right; ++day) {
            const auto [begin, end] = intervalBounds(int(day), rectangle.top, rectangle.bottom);
            length += fixedLength + decimalLength(begin) + decimalLength(end);
            if (length > maxIntervalsLength)
                return true;
        }
    }
    return false;
}

// Characters XML 1.0 cannot carry at all (C0 controls other than tab, line feed and carriage
// return, U+FFFE, U+FFFF, unpaired surrogates) are dropped: the server would refuse the whole
// time frame, and the plug-in could not read back the schedule it stores once the save is
// confirmed.
QString escapeXmlText(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result += c;
            result += text.at(++i);
            continue;
        }
        const char16_t code = c.unicode();
        if (c.isSurrogate() || code == 0xFFFE || code == 0xFFFF
            || (code < 0x20 && code != u'\t' && code != u'\n' && code != u'\r'))
            continue;
        if (code == u'&')
            result += QLatin1String("&amp;");
        else if (code == u'<')
            result += QLatin1String("&lt;");
        else if (code == u'>')
            result += QLatin1String("&gt;");
        else
            result += c;
    }
    return result;
}

// Hour of day snapped to half hours: minutes 0-14 give the full hour, 15-44 the half hour and
// 45-59 the next full hour.
double snappedHour(quint64 weekSecond)
{
    const quint64 secondOfDay = weekSecond % SECONDS_PER_DAY;
    const quint64 secondOfHour = weekSecond % SECONDS_PER_HOUR;
    double snap = 0.0;
    if (secondOfHour >= 2700)
        snap = 1.0;
    else if (secondOfHour >= 900)
        snap = 0.5;
    return double(secondOfDay / SECONDS_PER_HOUR) + snap;
}
} // namespace

QVariantList PluginScheduleBackup::transContentAsList(QVariant value) const
{
    return contentAsList(value);
}

QString PluginScheduleBackup::GetFirstTimeframeNameFromTimecard(const QVariantMap& timecard) const
{
    if (!timecard.contains(KEY_MAPPING))
        return QString();
    const QVariantList entries
        = transContentAsList(timecard.value(KEY_MAPPING).toMap().value(KEY_ELE));
    if (entries.isEmpty())
        return QString();
    return entries.first().toMap().value(KEY_FRAME).toMap().value(KEY_NAME).toString();
}

QString PluginScheduleBackup::ConvertScheduleContent(QVariant mapping) const
{
    QString result;
    int intervalsSeen = 0;
    int piecesWritten = 0;
    forEachInterval(mapping, FrameRepeats::Ignored, [&](const QVariant& interval) {
        if (intervalsSeen == 0)
            result += QLatin1String(R"({"Rectangles":[)");
        const QString piece = ConvertScheduleElement(interval);
        if (!piece.isEmpty()) {
            if (piecesWritten > 0)
                result += QLatin1Char(',');
            result += piece;
            ++piecesWritten;
        }
        ++intervalsSeen;
    });
    if (intervalsSeen > 0)
        result += QLatin1String("]}");
    return result;
}

QString PluginScheduleBackup::ConvertScheduleElement(QVariant interval) const
{
    const QVariantMap bounds = interval.toMap();
    quint64 begin = 0;
    quint64 end = 0;
    if (!ScheduleBounds::readNegativeAsZero(bounds.value(KEY_BEGIN), begin)
        || !ScheduleBounds::readNegativeAsZero(bounds.value(KEY_END), end))
        return QString();

    const int startDay = int(begin / SECONDS_PER_DAY);
    int endDay = int(end / SECONDS_PER_DAY);
    if (startDay > endDay)
        return QString();

    const double startHour = snappedHour(begin);
    double endHour = snappedHour(end);
    // An interval that ends at midnight ends at 24:00 of the day before, not at 0:00 of the next.
    if (endHour == 0.0 && endDay > startDay) {
        --endDay;
        endHour = 24.0;
    }

    QString result;
    for (int day = startDay; day <= endDay; ++day) {
        const double top = day == startDay ? startHour : 0.0;
        const double bottom = day == endDay ? endHour : 24.0;
        if (day != startDay)
            result += QLatin1Char(',');
        result += RECTANGLE_CONTENT.arg(
            QString::number(top, 'g', 6), QString::number(bottom, 'g', 6),
            QString::number(qint64(day)), QString::number(qint64(day) + 1));
    }
    return result;
}

QString PluginScheduleBackup::ComposeScheduleBackupMappingEleMsg(const QString& name,
                                                                 const QString& document) const
{
    const QJsonDocument json = QJsonDocument::fromJson(document.toUtf8());
    const QJsonArray rectangles = json.object().value(TIME_FRAME_OBJECT).toArray();
    bool valid = !json.isNull() && json.isObject();
    for (qsizetype i = 0; valid && i < rectangles.size(); ++i)
        valid = rectangleFitsIntervalArithmetic(readRectangle(rectangles.at(i)));
    if (!valid) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s", document.toUtf8().constData());
        return QString();
    }
    if (intervalsExceedLimit(rectangles)) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s, schedule document too large",
                             "ComposeScheduleBackupMappingEleMsg");
        return QString();
    }
    // One pass, so that a name holding "%2" is inserted as it stands.
    return MSG_SCHE_BACKUP_TIME_FRAME.arg(escapeXmlText(name),
                                          ComposeRetanglesIntervalMsg(rectangles));
}

QString PluginScheduleBackup::ComposeRetanglesIntervalMsg(QJsonArray rectangles) const
{
    QString result;
    for (const QJsonValue& value : std::as_const(rectangles)) {
        const Rectangle rectangle = readRectangle(value);
        result += ComposeIntervalsByRecangleMsg(rectangle.left, rectangle.right, rectangle.top,
                                                rectangle.bottom);
    }
    return result;
}

QString PluginScheduleBackup::ComposeIntervalsByRecangleMsg(int left, int right, double top,
                                                            double bottom) const
{
    QString result;
    for (qint64 day = left; day < right; ++day)
        result += ComposeIntervalMsg(int(day), top, bottom);
    return result;
}

QString PluginScheduleBackup::ComposeIntervalMsg(int day, double top, double bottom) const
{
    const auto [begin, end] = intervalBounds(day, top, bottom);
    return MSG_SCHE_BACKUP_TIME_INTERVAL.arg(QString::number(qint64(begin)),
                                             QString::number(qint64(end)));
}

bool PluginScheduleBackup::IsContinousInterval(std::pair<int, int> a, std::pair<int, int> b) const
{
    return a.second == b.first;
}
