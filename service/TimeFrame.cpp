// SPDX-License-Identifier: BSD-3-Clause

#include "TimeFrame.h"

#include "XmlText.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

namespace {

// The translation context of the texts that reach people.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(TimeFrame)
};

bool readWeekSecond(const QXmlStreamAttributes& attributes, const QString& name, qint64* value)
{
    if (!attributes.hasAttribute(name))
        return false;
    bool ok = false;
    *value = attributes.value(name).toLongLong(&ok);
    return ok && *value >= 0 && *value <= SecondsPerWeek;
}

// Each step below returns why the frame is refused, or an empty text.

// Moves to the <Frame> start tag. The element is stored and later sent inside a reply, so it must
// be a bare element: a declaration or processing instruction would break the reply, and a
// document type could declare entities.
QString readToFrame(QXmlStreamReader& reader)
{
    while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::StartElement) {
        if (reader.tokenType() == QXmlStreamReader::DTD)
            return Texts::tr("a time frame must not declare a document type");
        if (reader.tokenType() == QXmlStreamReader::ProcessingInstruction
            || !reader.documentVersion().isEmpty())
            return Texts::tr("a time frame must be a bare element");
    }
    if (reader.tokenType() != QXmlStreamReader::StartElement
        || reader.name() != QLatin1String("Ele"))
        return Texts::tr("time frame root must be <Ele>");
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("Frame"))
        return QStringLiteral("<Ele> must hold a <Frame>");
    return {};
}

QString readIntervals(QXmlStreamReader& reader, QList<WeekInterval>* intervals)
{
    while (reader.readNextStartElement()) {
        if (reader.name() != QLatin1String("Ele"))
            return Texts::tr("unexpected <%1> in <Intervals>").arg(reader.name().toString());
        WeekInterval interval;
        const auto attributes = reader.attributes();
        if (!readWeekSecond(attributes, QStringLiteral("B"), &interval.begin)
            || !readWeekSecond(attributes, QStringLiteral("E"), &interval.end))
            return Texts::tr("interval bounds must be week seconds 0..%1").arg(SecondsPerWeek);
        if (interval.begin > interval.end)
            return Texts::tr("interval begins after it ends (B=%1, E=%2)")
                .arg(interval.begin)
                .arg(interval.end);
        intervals->append(interval);
        reader.skipCurrentElement();
    }
    return {};
}

// Leaves </Frame>, then </Ele>; nothing may follow the root element.
QString readToEnd(QXmlStreamReader& reader)
{
    if (!reader.hasError() && reader.readNextStartElement())
        return QStringLiteral("<Ele> must hold exactly one <Frame>");
    while (!reader.atEnd() && !reader.hasError())
        reader.readNext();
    if (reader.hasError())
        return Texts::tr("malformed time frame: %1").arg(reader.errorString());
    return {};
}

} // namespace

TimeFrame TimeFrame::parse(const QString& xml)
{
    TimeFrame frame;
    if (const QString error = frame.read(xml); !error.isEmpty()) {
        frame.m_error = error;
        frame.m_intervals.clear();
    }
    return frame;
}

QString TimeFrame::read(const QString& xml)
{
    if (xml.trimmed().isEmpty())
        return Texts::tr("empty time frame");
    if (XmlText::hasCrowdedStartTag(xml.toUtf8()))
        return Texts::tr("an element has more than %1 attributes").arg(XmlText::MaxAttributes);

    QXmlStreamReader reader(xml);
    if (const QString error = readToFrame(reader); !error.isEmpty())
        return error;
    bool hasIntervals = false;
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("Name")) {
            m_name = reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        } else if (reader.name() == QLatin1String("Intervals")) {
            hasIntervals = true;
            if (const QString error = readIntervals(reader, &m_intervals); !error.isEmpty())
                return error;
        } else {
            reader.skipCurrentElement();
        }
    }
    if (const QString error = readToEnd(reader); !error.isEmpty())
        return error;
    if (!hasIntervals)
        return QStringLiteral("<Frame> has no <Intervals>");
    return {};
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
