// SPDX-License-Identifier: BSD-3-Clause
// Feeds arbitrary bytes, read as UTF-8, to XML2Json::parse and checks that whatever comes back is
// either nothing or a well-formed reply tree within the parser's limits.

#include "XML2Json.h"

#include <QVariantList>
#include <QVariantMap>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int MaxAttributes = 256;

bool isElementValue(const QVariant& value);

bool isBlank(const QString& text)
{
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            return false;
    }
    return true;
}

// One occurrence, or a list of two or more: a list of one would mean a repeated element was
// wrapped for a single occurrence.
bool isOccurrences(const QVariant& value)
{
    if (value.typeId() != QMetaType::QVariantList)
        return isElementValue(value);
    const QVariantList occurrences = value.toList();
    if (occurrences.size() < 2)
        return false;
    for (const QVariant& occurrence : occurrences) {
        if (!isElementValue(occurrence))
            return false;
    }
    return true;
}

bool isElementValue(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString)
        return true;
    if (value.typeId() != QMetaType::QVariantMap)
        return false;
    const QVariantMap element = value.toMap();
    if (element.isEmpty())
        return false;
    int attributes = 0;
    for (auto it = element.cbegin(); it != element.cend(); ++it) {
        const QString& key = it.key();
        if (key == QLatin1String("#text")) {
            if (it.value().typeId() != QMetaType::QString || isBlank(it.value().toString()))
                return false;
        } else if (key.startsWith(u'@')) {
            // Start tags with more attributes are refused before they are read.
            if (key.size() < 2 || it.value().typeId() != QMetaType::QString
                || ++attributes > MaxAttributes)
                return false;
        } else if (key.isEmpty() || !isOccurrences(it.value())) {
            return false;
        }
    }
    return true;
}

bool isReplyTree(const QVariant& tree)
{
    if (!tree.isValid())
        return true;
    if (tree.typeId() != QMetaType::QVariantMap)
        return false;
    const QVariantMap document = tree.toMap();
    return document.size() == 1 && !document.firstKey().isEmpty()
        && !document.firstKey().startsWith(u'@') && isElementValue(document.first());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString xml
        = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QVariant tree = XML2Json().parse(xml);
    if (!isReplyTree(tree))
        std::abort();
    // The result depends on the text alone.
    if (XML2Json().parse(xml) != tree)
        std::abort();
    return 0;
}
