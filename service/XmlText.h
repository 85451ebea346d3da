#pragma once

#include <QString>

class QXmlStreamWriter;

namespace XmlText {

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
