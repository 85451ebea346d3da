#include "XmlText.h"

#include <QXmlStreamWriter>

namespace XmlText {

namespace {

QString escape(const QString& text, bool attribute)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'<':
            result += QLatin1String("&lt;");
            break;
        case u'>':
            result += QLatin1String("&gt;");
            break;
        case u'&':
            result += QLatin1String("&amp;");
            break;
        case u'"':
            result += QLatin1String("&quot;");
            break;
        case u'\r':
            result += QLatin1String("&#13;");
            break;
        case u'\n':
            result += attribute ? QLatin1String("&#10;") : QLatin1String("\n");
            break;
        case u'\t':
            result += attribute ? QLatin1String("&#9;") : QLatin1String("\t");
            break;
        default:
            result += c;
        }
    }
    return result;
}

} // namespace

QString escaped(const QString& text)
{
    return escape(text, false);
}

QString escapedAttribute(const QString& text)
{
    return escape(text, true);
}

void writeCharacters(QXmlStreamWriter& writer, const QString& text)
{
    qsizetype start = 0;
    for (qsizetype i = text.indexOf(u'\r'); i >= 0; i = text.indexOf(u'\r', start)) {
        writer.writeCharacters(text.mid(start, i - start));
        writer.writeEntityReference(QStringLiteral("#13"));
        start = i + 1;
    }
    writer.writeCharacters(text.mid(start));
}

void writeTextElement(QXmlStreamWriter& writer, const QString& name, const QString& text)
{
    writer.writeStartElement(name);
    writeCharacters(writer, text);
    writer.writeEndElement();
}

} // namespace XmlText
