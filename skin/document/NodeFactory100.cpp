#include "skin/document/NodeFactory100.h"

#include "skin/document/BinaryNode100.h"
#include "skin/document/BinaryTreeErrors100.h"
#include "skin/document/FixedNodes100.h"
#include "skin/document/VariableNodes100.h"

#include <array>

namespace velmora {

namespace {

template <typename T> TBinTreeNode100* Make(TBinTreeNode100* AParentNode, const QString& AName) {
    return new T(AParentNode, AName);
}

using TMaker = TBinTreeNode100* (*)(TBinTreeNode100*, const QString&);

struct TKindInfo {
    const char* Name;
    int Width;
    TMaker Maker;
};

// Indexed by tag.
constexpr std::array<TKindInfo, KNodeTypeCount100> KKinds = {{
    {"Directory", -1, &Make<TDirectoryNode100>},
    {"AnsiChar", 1, &Make<TAnsiCharNode100>},
    {"WideChar", 2, &Make<TWideCharNode100>},
    {"AnsiString", -1, &Make<TAnsiStringNode100>},
    {"WideString", -1, &Make<TWideStringNode100>},
    {"Int8", 1, &Make<TInt8Node100>},
    {"Int16", 2, &Make<TInt16Node100>},
    {"Int32", 4, &Make<TInt32Node100>},
    {"Int64", 8, &Make<TInt64Node100>},
    {"UInt8", 1, &Make<TUInt8Node100>},
    {"UInt16", 2, &Make<TUInt16Node100>},
    {"UInt32", 4, &Make<TUInt32Node100>},
    {"Real32", 4, &Make<TReal32Node100>},
    {"Real48", 6, &Make<TReal48Node100>},
    {"Real64", 8, &Make<TReal64Node100>},
    {"Real80", 10, &Make<TReal80Node100>},
    {"Currency", 8, &Make<TCurrencyNode100>},
    {"DateTime", 8, &Make<TDateTimeNode100>},
    {"TimeStamp", 8, &Make<TTimeStampNode100>},
    {"Bool8", 1, &Make<TBool8Node100>},
    {"Bool16", 2, &Make<TBool16Node100>},
    {"Bool32", 4, &Make<TBool32Node100>},
    {"Guid", 16, &Make<TGUIDNode100>},
    {"Binary", -1, &Make<TBinaryNode100>},
}};

} // namespace

TBinTreeNode100* CreateNodeOfType(std::uint32_t ANodeType, TBinTreeNode100* AParentNode,
                                  const QString& ANodeName) {
    if (ANodeType >= KNodeTypeCount100)
        throw EInvalidNode(QString::fromLatin1(KInvalidNode));
    return KKinds[ANodeType].Maker(AParentNode, ANodeName);
}

QString NodeTypeName(std::uint32_t ANodeType) {
    return ANodeType < KNodeTypeCount100 ? QString::fromLatin1(KKinds[ANodeType].Name) : QString();
}

int NodeTypeFromName(const QString& AName) {
    for (std::size_t tag = 0; tag < KKinds.size(); ++tag) {
        if (AName == QLatin1String(KKinds[tag].Name))
            return static_cast<int>(tag);
    }
    return -1;
}

int FixedWidthOf(std::uint32_t ANodeType) {
    return ANodeType < KNodeTypeCount100 ? KKinds[ANodeType].Width : -1;
}

} // namespace velmora
