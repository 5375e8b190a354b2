#pragma once

// Typed attribute access for the drawing objects' XML elements. Readers return false when
// the attribute is absent and throw ESkinXmlError when its text is not of the type.

#include "platform/system/Errors.h"

#include <QDomElement>
#include <QString>

namespace velmora {

VELMORA_DECLARE_ERROR(ESkinXmlError, EVelmoraError);

bool ReadXmlString(const QDomElement& node, const QString& name, QString& value);
bool ReadXmlInt(const QDomElement& node, const QString& name, int& value);
// A 64-bit integer whose low 32 bits are kept (colours are written unsigned).
bool ReadXmlUInt32Low(const QDomElement& node, const QString& name, quint32& value);
// "-1", "1", "True" are true; "0", "False" are false (case-insensitive).
bool ReadXmlBool(const QDomElement& node, const QString& name, bool& value);

void WriteXmlBool(QDomElement& node, const QString& name, bool value);
void WriteXmlInt(QDomElement& node, const QString& name, qint64 value);

} // namespace velmora
