// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QByteArrayView>
#include <QString>

class QXmlStreamWriter;

namespace XmlText {

// Far more attributes than any element of ours carries. Qt's reader compares every attribute of
// a start tag with all the others, so one tag with tens of thousands of them takes seconds.
constexpr int MaxAttributes = 256;

// True when some start tag has more than MaxAttributes attributes. One linear pass, made before
// any reader sees the text: it counts the '=' outside quoted values of every start tag, skipping
// comments, CDATA sections, processing instructions and declarations. A malformed tag may count
// high, never low.
bool hasCrowdedStartTag(QByteArrayView document);

// Escapes text for XML so that a reader gets back exactly these characters: markup characters
// become references, and so do the characters a reader would normalise (a carriage return
// anywhere; tab and line feed inside attribute values).
QString escaped(const QString& text);
QString escapedAttribute(const QString& text);

// The writer's own text output leaves carriage returns as they are, which a reader turns into
// line feeds; this writes them as references.
void writeTextElement(QXmlStreamWriter& writer, const QString& name, const QString& text);
void writeCharacters(QXmlStreamWriter& writer, const QString& text);

} // namespace XmlText
