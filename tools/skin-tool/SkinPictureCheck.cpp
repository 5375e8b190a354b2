#include "tools/skin-tool/SkinPictureCheck.h"

#include "platform/graphics/PictureDecoder.h"
#include "skin/document/BinaryTreeDocument100.h"
#include "tools/skin-tool/NodeValueJson.h"

#include <utility>

namespace velmora {

std::vector<TPictureCheck> CheckSkinPictures(const TBinaryTreeDocument100& ADocument) {
    std::vector<TPictureCheck> checks;
    const TBinTreeNode100* top = ADocument.TopNode();
    if (top == nullptr)
        return checks;
    // An explicit stack: a skin may nest deeper than the call stack should.
    std::vector<std::pair<const TBinTreeNode100*, QString>> pending;
    const auto pushChildren = [&pending](const TBinTreeNode100& node, const QString& path) {
        const TBinTreeNodeList100& children = node.ChildNodes();
        for (int i = children.Count() - 1; i >= 0; --i) {
            const TBinTreeNode100* child = children[i];
            pending.emplace_back(child, path.isEmpty() ? child->NodeName()
                                                       : path + u'\\' + child->NodeName());
        }
    };
    pushChildren(*top, QString());
    while (!pending.empty()) {
        const auto [node, path] = pending.back();
        pending.pop_back();
        if (node->NodeType() == nt100_Binary) {
            const TDecodedPicture picture = DecodePicture(ValueBytesOf(*node));
            checks.push_back({path, picture.Format, picture.Width, picture.Height,
                              picture.FrameCount(), picture.Ok() ? QString() : picture.Error});
            if (checks.back().Error.isEmpty() && !picture.Ok())
                checks.back().Error = QStringLiteral("no picture");
        }
        pushChildren(*node, path);
    }
    return checks;
}

} // namespace velmora
