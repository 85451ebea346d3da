// SPDX-License-Identifier: BSD-3-Clause
// Conversions between the page's rectangle document (JSON, hours on a week grid) and the
// time-card's time-frame element (XML, intervals in seconds from Sunday 00:00).

#include "PluginScheduleBackup.h"

#include "PluginScheduleBackup_Bounds.h"
#include "PluginScheduleBackup_Log.h"
#include "PluginScheduleBackup_TimeFrame.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <vector>

using namespace TimeFrame;

namespace {
const QString TIME_FRAME_OBJECT = QStringLiteral("Rectangles");
// Rectangle keys are compared with the document's own keys, which are stored as Latin-1.
constexpr QLatin1String TIME_FRAME_TOP("Top");
constexpr QLatin1String TIME_FRAME_BOTTOM("Bottom");
constexpr QLatin1String TIME_FRAME_LEFT("Left");
constexpr QLatin1String TIME_FRAME_RIGHT("Right");

// The time-frame element: the escaped name goes between the head and the middle, the intervals
// between the middle and the tail.
constexpr QLatin1String TIME_FRAME_HEAD("<Ele><Frame><Name>");
constexpr QLatin1String TIME_FRAME_MIDDLE(
    "</Name><DLMod>Period</DLMod><RepeatMod>Weekly</RepeatMod><Intervals>");
constexpr QLatin1String TIME_FRAME_TAIL(
    "</Intervals><Holiday>false</Holiday><Range><Period><TmS>2016-03-29 00:00:00.000</TmS>"
    "<TmE>2035-01-01 00:00:00.000</TmE></Period><End>false</End></Range>"
    "<RepeatFreq>1</RepeatFreq></Frame></Ele>");
// One interval is <Ele B="begin" E="end" />.
constexpr char16_t INTERVAL_BEGIN[] = u"<Ele B=\"";
constexpr char16_t INTERVAL_END[] = u"\" E=\"";
constexpr char16_t INTERVAL_CLOSE[] = u"\" />";
constexpr qsizetype INTERVAL_FIXED_LENGTH
    = std::size(INTERVAL_BEGIN) + std::size(INTERVAL_END) + std::size(INTERVAL_CLOSE) - 3;

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

// Members are read in place, as QJsonObject::value() would give them (0 when missing), without
// building a QJsonValue for each.
int intMember(const QJsonObject& object, QLatin1String key)
{
    const auto it = object.constFind(key);
    return it == object.constEnd() ? 0 : (*it).toInt();
}

double doubleMember(const QJsonObject& object, QLatin1String key)
{
    const auto it = object.constFind(key);
    return it == object.constEnd() ? 0.0 : (*it).toDouble();
}

Rectangle readRectangle(const QJsonObject& object)
{
    return {intMember(object, TIME_FRAME_LEFT), intMember(object, TIME_FRAME_RIGHT),
            doubleMember(object, TIME_FRAME_TOP), doubleMember(object, TIME_FRAME_BOTTOM)};
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

// The rectangles of a document, each read once for the checks and the text below.
std::vector<Rectangle> readRectangles(const QJsonArray& rectangles)
{
    std::vector<Rectangle> result;
    result.reserve(size_t(rectangles.size()));
    // Each entry as a reference into the array: no QJsonValue is built for it.
    for (const QJsonValueConstRef value : rectangles)
        result.push_back(readRectangle(value.toObject()));
    return result;
}

// The length of the interval elements of the rectangles, or -1 when it would exceed
// maxIntervalsLength characters. Counted without composing them, and only until the answer is
// known: every interval adds at least 19 characters, so no document costs more than some 55,000
// steps.
qsizetype intervalsLength(const std::vector<Rectangle>& rectangles)
{
    qsizetype length = 0;
    for (const Rectangle& rectangle : rectangles) {
        for (qint64 day = rectangle.left; day < rectangle.right; ++day) {
            const auto [begin, end] = intervalBounds(int(day), rectangle.top, rectangle.bottom);
            length += INTERVAL_FIXED_LENGTH + decimalLength(begin) + decimalLength(end);
            if (length > maxIntervalsLength)
                return -1;
        }
    }
    return length;
}

// A short piece of text composed in place and appended to a string at once: one append per
// interval or rectangle instead of one per fragment, and literals copied as UTF-16 instead of
// converted from Latin-1. The longest piece, a rectangle, is under 100 characters.
class Piece
{
public:
    template<size_t N> Piece& text(const char16_t (&literal)[N])
    {
        m_end = std::copy_n(literal, N - 1, m_end);
        return *this;
    }
    // In decimal, as QString::number(qint64) writes it.
    Piece& number(qint64 value)
    {
        char16_t digits[20];
        char16_t* const end = std::end(digits);
        char16_t* first = end;
        quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
        do {
            *--first = char16_t(u'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0)
            *--first = u'-';
        m_end = std::copy(first, end, m_end);
        return *this;
    }
    // An hour of the page's grid as QString::number(hour, 'g', 6) writes it, in at most 13
    // characters. Read-back hours are whole or half hours from 0 to 24, written directly.
    Piece& hour(double value)
    {
        if (value >= 0.0 && value <= 24.0) {
            const qint64 whole = qint64(value);
            if (value == double(whole))
                return number(whole);
            if (value == double(whole) + 0.5)
                return number(whole).text(u".5");
        }
        const QString written = QString::number(value, 'g', 6);
        m_end = std::copy(written.utf16(), written.utf16() + written.size(), m_end);
        return *this;
    }
    void appendTo(QString& target) const
    {
        target.append(reinterpret_cast<const QChar*>(m_data), m_end - m_data);
    }

private:
    char16_t m_data[128];
    char16_t* m_end = m_data;
};

void appendInterval(QString& text, int day, double top, double bottom)
{
    const auto [begin, end] = intervalBounds(day, top, bottom);
    Piece()
        .text(INTERVAL_BEGIN)
        .number(begin)
        .text(INTERVAL_END)
        .number(end)
        .text(INTERVAL_CLOSE)
        .appendTo(text);
}

void appendRectangleIntervals(QString& text, const Rectangle& rectangle)
{
    for (qint64 day = rectangle.left; day < rectangle.right; ++day)
        appendInterval(text, int(day), rectangle.top, rectangle.bottom);
}

// Characters XML 1.0 cannot carry at all (C0 controls other than tab, line feed and carriage
// return, U+FFFE, U+FFFF, unpaired surrogates) are dropped: the server would refuse the whole
// time frame, and the plug-in could not read back the schedule it stores once the save is
// confirmed. A carriage return goes out as a character reference, since a parser turns a literal
// one into a line feed; in an attribute, tab and line feed too, and the quote.
enum class XmlContext { Text, Attribute };

QString escapeXml(const QString& text, XmlContext context = XmlContext::Text)
{
    const bool attribute = context == XmlContext::Attribute;
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
        else if (code == u'\r')
            result += QLatin1String("&#13;");
        else if (attribute && code == u'"')
            result += QLatin1String("&quot;");
        else if (attribute && code == u'\t')
            result += QLatin1String("&#9;");
        else if (attribute && code == u'\n')
            result += QLatin1String("&#10;");
        else
            result += c;
    }
    return result;
}

// The start of a document for a trace line: enough to recognise it, never megabytes.
QByteArray traceExcerpt(const QString& document)
{
    constexpr qsizetype excerptLength = 200;
    if (document.size() <= excerptLength)
        return document.toUtf8();
    const qsizetype cut
        = document.at(excerptLength - 1).isHighSurrogate() ? excerptLength - 1 : excerptLength;
    return document.first(cut).toUtf8() + "...";
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

// The days and hours an interval covers on the page's grid.
struct GridSpan
{
    int startDay = 0;
    int endDay = 0;
    double startHour = 0.0;
    double endHour = 0.0;
};

// False when the interval shows nothing.
bool readGridSpan(const QVariant& beginBound, const QVariant& endBound, GridSpan& span)
{
    quint64 begin = 0;
    quint64 end = 0;
    if (!ScheduleBounds::readNegativeAsZero(beginBound, begin)
        || !ScheduleBounds::readNegativeAsZero(endBound, end))
        return false;

    span.startDay = int(begin / SECONDS_PER_DAY);
    span.endDay = int(end / SECONDS_PER_DAY);
    if (span.startDay > span.endDay)
        return false;

    span.startHour = snappedHour(begin);
    span.endHour = snappedHour(end);
    // An interval that ends at midnight ends at 24:00 of the day before, not at 0:00 of the next.
    if (span.endHour == 0.0 && span.endDay > span.startDay) {
        --span.endDay;
        span.endHour = 24.0;
    }
    return true;
}

bool readGridSpan(const QVariant& interval, GridSpan& span)
{
    return visitIntervalBounds(interval, [&span](const QVariant& begin, const QVariant& end) {
        return readGridSpan(begin, end, span);
    });
}

// One rectangle per day, {"Top":..,"Bottom":..,"Left":..,"Right":..}, separated by commas.
void appendGridSpan(QString& text, const GridSpan& span)
{
    for (int day = span.startDay; day <= span.endDay; ++day) {
        Piece piece;
        if (day != span.startDay)
            piece.text(u",");
        piece.text(u"{\"Top\":")
            .hour(day == span.startDay ? span.startHour : 0.0)
            .text(u",\"Bottom\":")
            .hour(day == span.endDay ? span.endHour : 24.0)
            .text(u",\"Left\":")
            .number(day)
            .text(u",\"Right\":")
            .number(qint64(day) + 1)
            .text(u"}")
            .appendTo(text);
    }
}

// The length the rectangles of a span compose to, counted as intervalsLength counts a document;
// stops once it passes `budget`, so a span of years costs no more than the bound allows.
qsizetype composedLength(const GridSpan& span, qsizetype budget)
{
    qsizetype length = 0;
    for (qint64 day = span.startDay; day <= span.endDay && length <= budget; ++day) {
        const double top = day == span.startDay ? span.startHour : 0.0;
        const double bottom = day == span.endDay ? span.endHour : 24.0;
        const auto [begin, end] = intervalBounds(int(day), top, bottom);
        length += INTERVAL_FIXED_LENGTH + decimalLength(begin) + decimalLength(end);
    }
    return length;
}

// Writing a stored time frame back as XML. Its elements are written in the order the composer
// uses, unknown ones after them by name, so a frame the composer wrote comes out as it was.
const QStringList composedOrder {
    QStringLiteral("Frame"),     QStringLiteral("Name"),      QStringLiteral("DLMod"),
    QStringLiteral("RepeatMod"), QStringLiteral("Intervals"), QStringLiteral("Holiday"),
    QStringLiteral("Range"),     QStringLiteral("Period"),    QStringLiteral("TmS"),
    QStringLiteral("TmE"),       QStringLiteral("End"),       QStringLiteral("RepeatFreq")};
const QString textKey = QStringLiteral("#text");
// Deeper than any reply tree the host parses; a tree built otherwise is refused, not recursed.
constexpr int maxWrittenDepth = 256;

bool isXmlName(QStringView name)
{
    if (name.isEmpty() || name.front().isDigit() || name.front() == u'-' || name.front() == u'.')
        return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) {
        return c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.' || c == u':';
    });
}

bool appendElement(QString& xml, const QString& name, const QVariant& value, int depth);

// One element per entry when the value is a list (a repeated element), else one element.
bool appendGroup(QString& xml, const QString& name, const QVariant& value, int depth)
{
    if (value.typeId() != QMetaType::QVariantList)
        return appendElement(xml, name, value, depth);
    const auto& list = *static_cast<const QVariantList*>(value.constData());
    return std::all_of(list.cbegin(), list.cend(),
                       [&](const QVariant& item) { return appendElement(xml, name, item, depth); });
}

bool appendElement(QString& xml, const QString& name, const QVariant& value, int depth)
{
    if (depth > maxWrittenDepth || !isXmlName(name))
        return false;
    xml += QLatin1Char('<') + name;
    if (value.typeId() != QMetaType::QVariantMap) {
        xml += QLatin1Char('>') + escapeXml(value.toString()) + QLatin1String("</") + name
            + QLatin1Char('>');
        return true;
    }
    QString text;
    std::vector<QVariantMap::const_iterator> children;
    const auto& members = *static_cast<const QVariantMap*>(value.constData());
    for (auto it = members.cbegin(); it != members.cend(); ++it) {
        if (it.key() == textKey) {
            text = it.value().toString();
        } else if (it.key().startsWith(QLatin1Char('@'))) {
            if (!isXmlName(QStringView(it.key()).sliced(1)))
                return false;
            xml += QLatin1Char(' ');
            xml += QStringView(it.key()).sliced(1);
            xml += QLatin1String("=\"") + escapeXml(it.value().toString(), XmlContext::Attribute)
                + QLatin1Char('"');
        } else {
            children.push_back(it);
        }
    }
    if (children.empty() && text.isEmpty()) {
        xml += QLatin1String(" />");
        return true;
    }
    xml += QLatin1Char('>') + escapeXml(text);
    const auto rank = [](const QString& key) {
        const qsizetype index = composedOrder.indexOf(key);
        return index < 0 ? composedOrder.size() : index;
    };
    std::stable_sort(children.begin(), children.end(), [&rank](const auto& a, const auto& b) {
        return rank(a.key()) < rank(b.key());
    });
    for (const auto& child : children) {
        if (!appendGroup(xml, child.key(), child.value(), depth + 1))
            return false;
    }
    xml += QLatin1String("</") + name + QLatin1Char('>');
    return true;
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
    return readBackDocument(mapping, nullptr);
}

QString PluginScheduleBackup::readBackDocument(const QVariant& mapping, bool* beyond) const
{
    QString result;
    int intervalsSeen = 0;
    int piecesWritten = 0;
    // What is shown can be stored again: the rectangles shown compose to no more than the
    // composer sends. This also keeps intervals spanning years from expanding day by day.
    qsizetype composed = 0;
    forEachInterval(mapping, FrameRepeats::Ignored, [&](const QVariant& interval) {
        if (intervalsSeen == 0)
            result += QLatin1String(R"({"Rectangles":[)");
        ++intervalsSeen;
        GridSpan span;
        if (composed > maxIntervalsLength || !readGridSpan(interval, span))
            return;
        composed += composedLength(span, maxIntervalsLength - composed);
        if (composed > maxIntervalsLength)
            return;
        if (piecesWritten > 0)
            result += QLatin1Char(',');
        appendGridSpan(result, span);
        ++piecesWritten;
    });
    const bool tooLarge = composed > maxIntervalsLength;
    if (beyond)
        *beyond = tooLarge;
    if (tooLarge) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s, schedule too large to show",
                             "ConvertScheduleContent");
        return QString();
    }
    if (intervalsSeen > 0)
        result += QLatin1String("]}");
    return result;
}

QString PluginScheduleBackup::storedTimeFrame(const QString& name) const
{
    QVariantList entries = contentAsList(m_schedule.toMap().value(KEY_ELE));
    if (entries.isEmpty())
        return QString();
    // The name goes where GetFirstTimeframeNameFromTimecard reads it.
    if (entries.first().typeId() == QMetaType::QVariantMap) {
        QVariantMap first = entries.first().toMap();
        if (first.value(KEY_FRAME).typeId() == QMetaType::QVariantMap) {
            QVariantMap frame = first.value(KEY_FRAME).toMap();
            frame.insert(KEY_NAME, name);
            first.insert(KEY_FRAME, frame);
            entries.first() = first;
        }
    }
    QString xml;
    for (const QVariant& entry : std::as_const(entries)) {
        if (!appendElement(xml, KEY_ELE, entry, 0))
            return QString();
    }
    return xml;
}

bool PluginScheduleBackup::setsNoInterval(const QString& document) const
{
    if (document.isEmpty())
        return true;
    const QJsonDocument json = QJsonDocument::fromJson(document.toUtf8());
    if (!json.isObject())
        return false; // the composer refuses it and says why
    const std::vector<Rectangle> rectangles
        = readRectangles(json.object().value(TIME_FRAME_OBJECT).toArray());
    return std::none_of(rectangles.cbegin(), rectangles.cend(), [](const Rectangle& rectangle) {
        return rectangle.left < rectangle.right;
    });
}

QString PluginScheduleBackup::ConvertScheduleElement(QVariant interval) const
{
    GridSpan span;
    if (!readGridSpan(interval, span))
        return QString();
    QString result;
    appendGridSpan(result, span);
    return result;
}

QString PluginScheduleBackup::ComposeScheduleBackupMappingEleMsg(const QString& name,
                                                                 const QString& document) const
{
    const QJsonDocument json = QJsonDocument::fromJson(document.toUtf8());
    const std::vector<Rectangle> rectangles
        = readRectangles(json.object().value(TIME_FRAME_OBJECT).toArray());
    const bool valid = !json.isNull() && json.isObject()
        && std::all_of(rectangles.cbegin(), rectangles.cend(), rectangleFitsIntervalArithmetic);
    if (!valid) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s", document.toUtf8().constData());
        return QString();
    }
    const qsizetype length = intervalsLength(rectangles);
    if (length < 0) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s, schedule document too large",
                             traceExcerpt(document).constData());
        return QString();
    }
    // Concatenated, not formatted: a name holding "%2" stays as it is.
    const QString escapedName = escapeXml(name);
    QString result;
    result.reserve(TIME_FRAME_HEAD.size() + escapedName.size() + TIME_FRAME_MIDDLE.size() + length
                   + TIME_FRAME_TAIL.size());
    result += TIME_FRAME_HEAD;
    result += escapedName;
    result += TIME_FRAME_MIDDLE;
    for (const Rectangle& rectangle : rectangles)
        appendRectangleIntervals(result, rectangle);
    result += TIME_FRAME_TAIL;
    return result;
}

QString PluginScheduleBackup::ComposeRetanglesIntervalMsg(QJsonArray rectangles) const
{
    QString result;
    for (const QJsonValue& value : std::as_const(rectangles))
        appendRectangleIntervals(result, readRectangle(value.toObject()));
    return result;
}

QString PluginScheduleBackup::ComposeIntervalsByRecangleMsg(int left, int right, double top,
                                                            double bottom) const
{
    QString result;
    appendRectangleIntervals(result, {left, right, top, bottom});
    return result;
}

QString PluginScheduleBackup::ComposeIntervalMsg(int day, double top, double bottom) const
{
    QString result;
    appendInterval(result, day, top, bottom);
    return result;
}

bool PluginScheduleBackup::IsContinousInterval(std::pair<int, int> a, std::pair<int, int> b) const
{
    return a.second == b.first;
}
