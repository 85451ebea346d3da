#include "XML2Json.h"

#include <QMap>
#include <QVariantList>
#include <QVariantMap>
#include <QXmlStreamReader>

#include <algorithm>
#include <vector>

namespace {

// Limits against hostile input, far beyond anything a reply holds. A document that breaks one
// is refused as a whole, like a malformed one.

// Replies nest a handful of levels. The cap keeps hostile input from building a tree so deep
// that its (recursive) destruction exhausts the stack.
constexpr std::size_t MaxDepth = 256;
// Reply elements carry a few attributes. An element with more is refused as soon as it is read,
// before any of its attributes is copied, so the work spent on it here stays bounded.
constexpr qsizetype MaxAttributes = 256;
// Replies are kilobytes. A longer document (in UTF-16 code units) is refused before the reader
// spends time or memory on it.
constexpr qsizetype MaxDocumentLength = qsizetype(64) << 20;

// An element while it is open. Children are grouped by name and appended in place; whether a
// group is a single value or a list is decided once, when the element closes, so a repeated
// element costs one append per occurrence instead of a copy of the list built so far.
struct OpenElement
{
    QString name;
    QVariantMap attributes;
    QMap<QString, QVariantList> children;
    QString text;
};

bool isXmlWhitespace(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; });
}

QVariant closeElement(OpenElement& element)
{
    if (element.attributes.isEmpty() && element.children.isEmpty()) {
        // Leaf: its text as is, white space included; no text at all is an empty string.
        return element.text.isNull() ? QString(QLatin1String("")) : element.text;
    }

    QVariantMap value = std::move(element.attributes);
    for (auto it = element.children.begin(); it != element.children.end(); ++it) {
        QVariantList& group = it.value();
        value.insert(it.key(), group.size() == 1 ? std::move(group.first()) : QVariant(group));
    }
    // Indentation between children is layout, not content.
    if (!isXmlWhitespace(element.text))
        value.insert(QStringLiteral("#text"), element.text);
    return value;
}

QString attributeKey(const QXmlStreamAttribute& attribute)
{
    const QStringView name = attribute.qualifiedName();
    QString key;
    key.reserve(name.size() + 1);
    key += QLatin1Char('@');
    key += name;
    return key;
}

} // namespace

// Documents that carry a DOCTYPE are refused as a whole: replies never have one, and refusing it
// before any content is read means no declared entity is ever expanded (no "billion laughs"),
// and external entities are never fetched. An entity the reader cannot resolve is refused too.
QVariant XML2Json::parse(const QString& xml)
{
    if (xml.size() > MaxDocumentLength)
        return {};
    QXmlStreamReader reader(xml);
    // Names are kept as written ("ns:Name"); replies do not use namespaces.
    reader.setNamespaceProcessing(false);

    std::vector<OpenElement> open;
    QVariantMap document;

    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (open.size() >= MaxDepth)
                return {};
            const QXmlStreamAttributes attributes = reader.attributes();
            if (attributes.size() > MaxAttributes)
                return {};
            OpenElement element;
            element.name = reader.qualifiedName().toString();
            for (const QXmlStreamAttribute& attribute : attributes)
                element.attributes.insert(attributeKey(attribute), attribute.value().toString());
            open.push_back(std::move(element));
            break;
        }
        case QXmlStreamReader::EndElement: {
            OpenElement element = std::move(open.back());
            open.pop_back();
            QVariant value = closeElement(element);
            if (open.empty())
                document.insert(element.name, std::move(value));
            else
                open.back().children[element.name].append(std::move(value));
            break;
        }
        case QXmlStreamReader::Characters:
            if (!open.empty())
                open.back().text += reader.text();
            break;
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            return {};
        default:
            // Declaration, comments and processing instructions carry no reply data.
            break;
        }
    }

    if (reader.hasError() || document.isEmpty())
        return {};
    return document;
}
