#pragma once

#include "skin/document/BinaryTreeDocument100.h"

#include <QByteArray>
#include <cstdint>

namespace velmora::testing {

// A document holding every node kind, with sub-types, identifiers and nesting, so that round
// trips cover the whole format.
inline void FillEveryKind(TBinaryTreeDocument100& ADoc) {
    TBinTreeNode100* info = ADoc.CreateNode(nt100_Directory, ADoc.TopNode(), "SkinInfo");
    (new TWideStringNode100(info, "SkinName"))->SetData("Default");
    (new TAnsiStringNode100(info, "Author"))->SetData(QString::fromUtf8("Grün"));
    new TWideStringNode100(info, "Empty");
    TBinTreeNode100* values = ADoc.CreateNode(nt100_Directory, ADoc.TopNode(), "Values");
    values->SetNodeID(7);
    (new TAnsiCharNode100(values, "AnsiChar"))->SetData('A');
    (new TWideCharNode100(values, "WideChar"))->SetData(u'\u4e2d');
    (new TInt8Node100(values, "Int8"))->SetData(-8);
    (new TInt16Node100(values, "Int16"))->SetData(-1616);
    (new TInt32Node100(values, "Int32"))->SetData(-32323232);
    (new TInt64Node100(values, "Int64"))->SetData(-6464646464646464LL);
    (new TUInt8Node100(values, "UInt8"))->SetData(200);
    (new TUInt16Node100(values, "UInt16"))->SetData(60000);
    (new TUInt32Node100(values, "UInt32"))->SetData(4000000000U);
    (new TReal32Node100(values, "Real32"))->SetData(1.5f);
    const std::uint8_t real48[6] = {0x81, 0, 0, 0, 0, 0x40};
    (new TReal48Node100(values, "Real48"))->WriteBuffer(real48, 6);
    (new TReal64Node100(values, "Real64"))->SetData(-2.25);
    (new TReal80Node100(values, "Real80"))->SetData(3.75L);
    (new TCurrencyNode100(values, "Currency"))->SetData(123456);
    (new TDateTimeNode100(values, "DateTime"))->SetData(45000.5);
    (new TTimeStampNode100(values, "TimeStamp"))->SetData({43200000, 738000});
    (new TBool8Node100(values, "Bool8"))->SetData(true);
    (new TBool16Node100(values, "Bool16"))->SetData(false);
    (new TBool32Node100(values, "Bool32"))->SetData(true);
    (new TGUIDNode100(values, "Guid"))->SetData(QUuid("{01234567-89ab-cdef-0123-456789abcdef}"));
    TBinTreeNode100* images = ADoc.CreateNode(nt100_Directory, ADoc.TopNode(), "Images");
    auto* png = new TBinaryNode100(images, "Logo");
    png->SetNodeSubType(1);
    const QByteArray bytes("\x89PNG\r\n\x1a\n-not-really-a-picture", 29);
    png->WriteBuffer(bytes.constData(), bytes.size());
    new TBinaryNode100(images, "Nothing");
    auto* deep = ADoc.CreateNode(nt100_Directory, images, "Deeper");
    ADoc.CreateNode(nt100_Directory, deep, "Deepest")->SetNodeSubType(2);
}

} // namespace velmora::testing
