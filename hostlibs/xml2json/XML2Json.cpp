// SPDX-License-Identifier: BSD-3-Clause
// Only the class declared in the public header is exported; everything else, the Qt container
// code instantiated here included, binds within the library.
#pragma GCC visibility push(default)
#include "XML2Json.h"
#pragma GCC visibility pop

#include <QHashFunctions>
#include <QVariantList>
#include <QVariantMap>
#include <QXmlStreamReader>

#include <algorithm>
#include <map>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace {

// Limits against hostile input, far beyond anything a reply holds. A document that breaks one
// is refused as a whole, like a malformed one.

// Replies nest a handful of levels. The cap keeps hostile input from building a tree so deep
// that its (recursive) destruction exhausts the stack.
constexpr std::size_t MaxDepth = 256;
// Reply elements carry a few attributes. A start tag with more is refused before the reader sees
// the document (see withinAttributeLimit).
constexpr qsizetype MaxAttributes = 256;
// Replies are kilobytes. A longer document (in UTF-16 code units) is refused before the reader
// spends time or memory on it.
constexpr qsizetype MaxDocumentLength = qsizetype(64) << 20;

const QString TextKey = QStringLiteral("#text");

constexpr qsizetype NotClosed = -1;
constexpr qsizetype TooManyAttributes = -2;

// Scans the start tag whose name begins at `from`: the position after it, NotClosed or
// TooManyAttributes. Each attribute has exactly one quoted value, so the values are counted; a
// value may hold '>', '=' and the other quote.
qsizetype skipStartTag(QStringView xml, qsizetype from)
{
    qsizetype values = 0;
    for (qsizetype at = from; at < xml.size(); ++at) {
        const QChar c = xml[at];
        if (c == u'>')
            return at + 1;
        if (c == u'<')
            return at; // malformed; the reader refuses it, the scan goes on from there
        if (c == u'"' || c == u'\'') {
            if (++values > MaxAttributes)
                return TooManyAttributes;
            at = xml.indexOf(c, at + 1);
            if (at < 0)
                return NotClosed;
        }
    }
    return NotClosed;
}

// The position just past the first `terminator` at or after `from`, or NotClosed.
qsizetype skipPast(QStringView xml, qsizetype from, QStringView terminator)
{
    const qsizetype found = xml.indexOf(terminator, from);
    return found < 0 ? NotClosed : found + terminator.size();
}

// A start tag with more than MaxAttributes attributes is longer than this: each attribute takes
// at least a name, '=' and two quotes.
constexpr qsizetype ShortestCrowdedTag = 4 * (MaxAttributes + 1);

// The position after the markup that starts with "<!" or "<?" at `at`, or NotClosed;
// TooManyAttributes for a document type declaration, which parse() refuses anyway.
qsizetype skipDeclaration(QStringView xml, qsizetype at)
{
    const QStringView markup = xml.sliced(at);
    if (markup.startsWith(u"<!--"))
        return skipPast(xml, at + 4, u"-->");
    if (markup.startsWith(u"<![CDATA["))
        return skipPast(xml, at + 9, u"]]>");
    if (markup.startsWith(u"<?"))
        return skipPast(xml, at + 2, u"?>");
    return TooManyAttributes;
}

// Qt's reader compares each attribute of a start tag with all earlier ones, so its time grows
// with the square of their number. This linear pass refuses a start tag with too many before the
// reader sees the document. Comments, CDATA sections and processing instructions are skipped
// whole, so what they hold is never counted. A "<!" that opens neither a comment nor a CDATA
// section is a document type declaration, refused by parse() anyway, or malformed. The reader
// refuses a '<' inside a tag as soon as it meets it, before it compares any attributes, so a tag
// it compares ends before the next '<': a tag nearer to it than the shortest crowded tag is
// passed without looking at its characters, and only a longer one is counted. What is not closed
// is left to the reader, which refuses it. The scan never moves backwards.
bool withinAttributeLimit(QStringView xml)
{
    qsizetype at = xml.indexOf(u'<');
    while (at >= 0) {
        const QChar kind = at + 1 < xml.size() ? xml[at + 1] : QChar();
        if (kind != u'!' && kind != u'?') {
            const qsizetype next = xml.indexOf(u'<', at + 1);
            const qsizetype end = next < 0 ? xml.size() : next;
            if (end - at <= ShortestCrowdedTag || kind == u'/') {
                at = next;
                continue;
            }
            at = skipStartTag(xml, at + 1);
        } else {
            at = skipDeclaration(xml, at);
        }
        if (at == TooManyAttributes)
            return false;
        if (at == NotClosed)
            return true;
        at = xml.indexOf(u'<', at);
    }
    return true;
}

// A name as a hash key. Names are short, so a plain FNV-1a over the UTF-16 units, seeded per
// process, hashes them well; unlike qHash(QStringView) it reads no byte past the name.
struct NameKey
{
    QStringView name;

    friend bool operator==(NameKey a, NameKey b)
    {
        return a.name.size() == b.name.size()
            && std::equal(a.name.begin(), a.name.end(), b.name.begin());
    }
};

struct NameHash
{
    size_t seed = QHashSeed::globalSeed();

    size_t operator()(NameKey key) const
    {
        quint64 hash = 14695981039346656037ULL ^ seed;
        for (const QChar c : key.name) {
            hash ^= c.unicode();
            hash *= 1099511628211ULL;
        }
        return size_t(hash);
    }
};

// Builds a variant that holds `value` without copying it: this Qt's QVariant has no moving
// constructors, and a copy costs an atomic reference count each way.
template<typename T> QVariant variantOf(T&& value)
{
    static_assert(!std::is_lvalue_reference_v<T>, "the value is moved from");
    QVariant variant {std::remove_reference_t<T>()};
    *static_cast<std::remove_reference_t<T>*>(variant.data()) = std::move(value);
    return variant;
}

// Element names and attribute keys repeat throughout a reply (every camera is a "Cam" with a
// "GrpID"), so each distinct one is allocated once per document and shared by every element that
// carries it. Two names of one document are therefore equal exactly when they share their
// characters, which lets the child grouping below compare pointers. The table's nodes stay where
// they are while it grows, so a name is handed out by reference, without touching its count.
class NameTable
{
public:
    const QString& elementName(QStringView name)
    {
        return intern(m_elementNames, m_lastElement, name, {});
    }
    const QString& attributeKey(QStringView name)
    {
        return intern(m_attributeKeys, m_lastAttribute, name, u"@");
    }
    // Attribute values repeat as well (the group of every camera), though less reliably than
    // names: the first MaxSharedValues distinct values are shared, later ones are copied each
    // time, so a document of unique values fills a bounded table only.
    QString attributeValue(QStringView value)
    {
        const auto it = m_attributeValues.find(NameKey {value});
        if (it != m_attributeValues.cend())
            return it->second;
        QString copy = value.toString();
        if (m_attributeValues.size() < MaxSharedValues)
            m_attributeValues.emplace(NameKey {copy}, copy);
        return copy;
    }

private:
    using Table = std::unordered_map<NameKey, QString, NameHash>;
    static constexpr size_t MaxSharedValues = 1024;

    static const QString& intern(Table& table, const QString*& last, QStringView name,
                                 QStringView prefix)
    {
        // Siblings mostly share one name: the last one answers without hashing.
        if (last && last->size() == prefix.size() + name.size()
            && std::equal(name.begin(), name.end(), last->cbegin() + prefix.size()))
            return *last;
        auto it = table.find(NameKey {name});
        if (it == table.end()) {
            QString value;
            value.reserve(prefix.size() + name.size());
            value.append(prefix).append(name);
            // The key views the value's own characters, which live as long as the table does.
            const NameKey key {QStringView(value).sliced(prefix.size())};
            it = table.emplace(key, std::move(value)).first;
        }
        last = &it->second;
        return *last;
    }

    Table m_elementNames;
    Table m_attributeKeys;
    Table m_attributeValues;
    const QString* m_lastElement = nullptr;
    const QString* m_lastAttribute = nullptr;
};

// An element while it is open. Its attributes and its children go into the map that becomes its
// value; children are grouped by name in a list, appended in place. Whether a group is a single
// value or a list is decided once, when the element closes, so a repeated element costs one
// append per occurrence instead of a copy of the list built so far.
struct OpenElement
{
    const QString* name = nullptr; // owned by the name table
    std::map<QString, QVariant> members;
    // The group the last child went to: a run of equal siblings skips the map lookup. Map nodes
    // stay where they are while the map grows or moves, so the pointer stays valid.
    QVariantList* lastGroup = nullptr;
    const QChar* lastGroupName = nullptr;
    bool hasChildren = false;
    QString text;

    void appendChild(const QString& childName, QVariant&& value)
    {
        if (childName.constData() != lastGroupName) {
            // Child names never start with '@', so they cannot meet an attribute key.
            auto it = members.find(childName);
            if (it == members.end())
                it = members.emplace_hint(members.end(), childName, QVariantList());
            lastGroup = static_cast<QVariantList*>(it->second.data());
            lastGroupName = childName.constData();
            hasChildren = true;
        }
        lastGroup->append(std::move(value));
    }
};

bool isXmlWhitespace(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; });
}

QVariant closeElement(OpenElement& element)
{
    if (element.members.empty()) {
        // Leaf: its text as is, white space included; no text at all is an empty string.
        return element.text.isNull() ? QString(QLatin1String(""))
                                     : variantOf(std::move(element.text));
    }

    if (element.hasChildren) {
        for (auto& [key, value] : element.members) {
            if (value.typeId() != QMetaType::QVariantList)
                continue; // an attribute
            auto* group = static_cast<QVariantList*>(value.data());
            if (group->size() == 1) {
                QVariant only = std::move(group->first());
                value = std::move(only);
            }
        }
    }
    // Indentation between children is layout, not content.
    if (!isXmlWhitespace(element.text))
        element.members.emplace_hint(element.members.begin(), TextKey,
                                     variantOf(std::move(element.text)));
    return variantOf(QVariantMap(std::move(element.members)));
}

} // namespace

// Documents that carry a DOCTYPE are refused as a whole: replies never have one, and refusing it
// before any content is read means no declared entity is ever expanded (no "billion laughs"),
// and external entities are never fetched. An entity the reader cannot resolve is refused too.
QVariant XML2Json::parse(const QString& xml)
{
    if (xml.size() > MaxDocumentLength || !withinAttributeLimit(xml))
        return {};
    QXmlStreamReader reader(xml);
    // Names are kept as written ("ns:Name"); replies do not use namespaces.
    reader.setNamespaceProcessing(false);

    NameTable names;
    std::vector<OpenElement> open;
    QVariantMap document;

    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (open.size() >= MaxDepth)
                return {};
            const QXmlStreamAttributes attributes = reader.attributes();
            OpenElement& element = open.emplace_back();
            element.name = &names.elementName(reader.qualifiedName());
            for (const QXmlStreamAttribute& attribute : attributes)
                element.members.emplace(names.attributeKey(attribute.qualifiedName()),
                                        variantOf(names.attributeValue(attribute.value())));
            break;
        }
        case QXmlStreamReader::EndElement: {
            OpenElement& element = open.back();
            QVariant value = closeElement(element);
            const QString& name = *element.name;
            open.pop_back();
            if (open.empty())
                document.insert(name, std::move(value));
            else
                open.back().appendChild(name, std::move(value));
            break;
        }
        case QXmlStreamReader::Characters:
            if (!open.empty()) {
                QString& text = open.back().text;
                if (text.isNull())
                    text = reader.text().toString();
                else
                    text += reader.text();
            }
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
