// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QString>
#include <QVariant>

// Turns an XML document into the reply tree that replies are delivered in: a map whose only key
// is the root element's name; child elements are keys of their parent's map, a repeated element
// is a QVariantList in document order, attributes are "@name" keys, the text of an element with
// attributes or children is under "#text", a text-only element is a plain QString and an empty
// element an empty QString. Malformed or empty XML gives an invalid QVariant, and so does a
// document beyond the limits against hostile input: over 64 Mi characters, nesting deeper than
// 256 levels, or an element with more than 256 attributes.
class XML2Json
{
public:
    QVariant parse(const QString& xml);
};
