#pragma once

// The background lists' XML: element and kind names, the texts of Booleans, numbers and dates,
// and reading and writing files in the GBK code page their declaration names.

#include <QDateTime>
#include <QDomDocument>
#include <QDomElement>
#include <QString>
#include <optional>

namespace velmora {

// Item kinds ("NodeType"), and the document's element names.
extern const QString KSkinBackFileKind;
extern const QString KSkinBackColorKind;
extern const QString KSkinNodesElement;
extern const QString KSkinNodeElement;
extern const QString KSkinNodeTypeAttr;

// Booleans in the background XML: "-1" and "0" written, any number or True/False read.
QString SkinXmlBoolText(bool AValue);
bool SkinXmlBoolValue(const QString& AText);
// Date and time text of the background XML.
QString SkinXmlDateTimeText(const QDateTime& AValue);
QDateTime SkinXmlDateTimeValue(const QString& AText);
// An integer item; ESkinParseError when the text is not one.
int SkinXmlIntValue(const QString& AText);

// Appends <AName>AText</AName> to AParent.
void AppendSkinXmlText(QDomElement& AParent, const QString& AName, const QString& AText);
// The child's text, or nothing when the element has no such child.
std::optional<QString> SkinXmlChildText(const QDomElement& AParent, const QString& AName);

// Reads an XML file, decoding it as GBK when its declaration names GB2312, GBK or GB18030.
bool ParseSkinXmlFile(const QString& AFileName, QDomDocument& ADoc);
// GBK bytes for the whole text; characters the code page lacks become character references,
// which every XML reader turns back into the same characters.
QByteArray EncodeSkinXmlGbk(const QString& AText);

} // namespace velmora
