// SPDX-License-Identifier: BSD-3-Clause

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

// The index of the '>' that ends the start tag whose name begins at `from`, or -1. Sets `crowded`
// once the tag has shown more than MaxAttributes attributes.
qsizetype startTagEnd(QByteArrayView text, qsizetype from, bool* crowded)
{
    int attributes = 0;
    for (qsizetype i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '>')
            return i;
        if (c == '"' || c == '\'') {
            i = text.indexOf(c, i + 1);
            if (i < 0)
                return -1;
        } else if (c == '=' && ++attributes > MaxAttributes) {
            *crowded = true;
            return -1;
        }
    }
    return -1;
}

// The index of the last character of `terminator` at or after `from`, or -1.
qsizetype endOf(QByteArrayView text, QByteArrayView terminator, qsizetype from)
{
    const qsizetype at = text.indexOf(terminator, from);
    return at < 0 ? -1 : at + terminator.size() - 1;
}

} // namespace

bool hasCrowdedStartTag(QByteArrayView text)
{
    bool crowded = false;
    for (qsizetype i = text.indexOf('<'); i >= 0 && i + 1 < text.size();) {
        const QByteArrayView rest = text.sliced(i);
        qsizetype end = -1;
        if (rest.startsWith("<!--"))
            end = endOf(text, "-->", i + 4);
        else if (rest.startsWith("<![CDATA["))
            end = endOf(text, "]]>", i + 9);
        else if (rest.startsWith("<?"))
            end = endOf(text, "?>", i + 2);
        else if (rest.startsWith("<!") || rest.startsWith("</"))
            end = text.indexOf('>', i);
        else
            end = startTagEnd(text, i + 1, &crowded);
        // An unterminated construct ends the scan; the reader reports it.
        if (end < 0)
            return crowded;
        i = text.indexOf('<', end + 1);
    }
    return false;
}

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
