#include "TimeFrame.h"

#include "XmlText.h"

#include <QXmlStreamReader>

namespace {

bool readWeekSecond(const QXmlStreamAttributes& attributes, const QString& name, qint64* value)
{
    if (!attributes.hasAttribute(name))
        return false;
    bool ok = false;
    *value = attributes.value(name).toLongLong(&ok);
    return ok && *value >= 0 && *value <= SecondsPerWeek;
}

} // namespace

TimeFrame TimeFrame::parse(const QString& xml)
{
    TimeFrame frame;
    auto fail = [&frame](const QString& text) {
        frame.m_error = text;
        frame.m_intervals.clear();
        return frame;
    };

    if (xml.trimmed().isEmpty())
        return fail(QStringLiteral("empty time frame"));
    if (XmlText::hasCrowdedStartTag(xml.toUtf8()))
        return fail(
            QStringLiteral("an element has more than %1 attributes").arg(XmlText::MaxAttributes));

    QXmlStreamReader reader(xml);
    // The element is stored and later sent inside a reply, so it must be a bare element: a
    // declaration or processing instruction would break the reply, and a document type could
    // declare entities.
    while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::StartElement) {
        if (reader.tokenType() == QXmlStreamReader::DTD)
            return fail(QStringLiteral("a time frame must not declare a document type"));
        if (reader.tokenType() == QXmlStreamReader::ProcessingInstruction
            || !reader.documentVersion().isEmpty())
            return fail(QStringLiteral("a time frame must be a bare element"));
    }
    if (reader.tokenType() != QXmlStreamReader::StartElement
        || reader.name() != QLatin1String("Ele"))
        return fail(QStringLiteral("time frame root must be <Ele>"));
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("Frame"))
        return fail(QStringLiteral("<Ele> must hold a <Frame>"));

    bool hasIntervals = false;
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("Name")) {
            frame.m_name = reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        } else if (reader.name() == QLatin1String("Intervals")) {
            hasIntervals = true;
            while (reader.readNextStartElement()) {
                if (reader.name() != QLatin1String("Ele"))
                    return fail(QStringLiteral("unexpected <%1> in <Intervals>")
                                    .arg(reader.name().toString()));
                WeekInterval interval;
                const auto attributes = reader.attributes();
                if (!readWeekSecond(attributes, QStringLiteral("B"), &interval.begin)
                    || !readWeekSecond(attributes, QStringLiteral("E"), &interval.end))
                    return fail(QStringLiteral("interval bounds must be week seconds 0..%1")
                                    .arg(SecondsPerWeek));
                if (interval.begin > interval.end)
                    return fail(QStringLiteral("interval begins after it ends (B=%1, E=%2)")
                                    .arg(interval.begin)
                                    .arg(interval.end));
                frame.m_intervals.append(interval);
                reader.skipCurrentElement();
            }
        } else {
            reader.skipCurrentElement();
        }
    }
    if (reader.hasError())
        return fail(QStringLiteral("malformed time frame: %1").arg(reader.errorString()));
    // Leave </Frame>, then </Ele>; nothing may follow the root element.
    if (reader.readNextStartElement())
        return fail(QStringLiteral("<Ele> must hold exactly one <Frame>"));
    while (!reader.atEnd() && !reader.hasError())
        reader.readNext();
    if (reader.hasError())
        return fail(QStringLiteral("malformed time frame: %1").arg(reader.errorString()));
    if (!hasIntervals)
        return fail(QStringLiteral("<Frame> has no <Intervals>"));
    return frame;
}

QString TimeFrame::compose(const QString& name, const QList<WeekInterval>& intervals)
{
    QString items;
    for (const WeekInterval& interval : intervals)
        items += QStringLiteral("<Ele B=\"%1\" E=\"%2\" />").arg(interval.begin).arg(interval.end);
    return QStringLiteral("<Ele><Frame><Name>%1</Name><DLMod>Period</DLMod>"
                          "<RepeatMod>Weekly</RepeatMod><Intervals>%2</Intervals>"
                          "<Holiday>false</Holiday><Range><Period>"
                          "<TmS>2016-03-29 00:00:00.000</TmS><TmE>2035-01-01 00:00:00.000</TmE>"
                          "</Period><End>false</End></Range><RepeatFreq>1</RepeatFreq></Frame>"
                          "</Ele>")
        .arg(XmlText::escaped(name), items);
}
