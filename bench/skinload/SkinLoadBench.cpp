// Loading a skin (parse, decode every picture, fill the catalogues) against decoding the same
// pictures alone. The skin is built here in the shape of the shipped one: a frame with system
// buttons and shadow, every control family, the popup menu and a large JPEG background.
// Prints each median time and the ratio; ratios matter, absolute times do not.
#include "bench/support/BenchResult.h"
#include "platform/system/LogFile.h"
#include "skin/data/SkinMng.h"
#include "skin/drawing/GdiSkinHelper.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace velmora;

namespace {

constexpr int KRuns = 9;

// A picture with some structure, so that the encoders do real work.
QByteArray Picture(int AWidth, int AHeight, const char* AFormat, int ASeed) {
    QImage image(AWidth, AHeight, QImage::Format_ARGB32);
    for (int y = 0; y < AHeight; ++y)
        for (int x = 0; x < AWidth; ++x)
            image.setPixel(x, y,
                           qRgba((x * 7 + ASeed) & 0xFF, (y * 5 + ASeed * 3) & 0xFF,
                                 ((x ^ y) + ASeed) & 0xFF, 128 + ((x + y) & 0x7F)));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, AFormat, 90);
    return bytes;
}

class TSkinShape {
public:
    explicit TSkinShape(TBinaryTreeDocument100& ADoc) : FDoc(ADoc) {}
    TBinTreeNode100* Dir(const QString& APath) {
        TBinTreeNode100* node = FDoc.TopNode();
        for (const QString& name : APath.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
            TBinTreeNode100* child = node->ChildNodes().FindByNodeName(name);
            node = child != nullptr ? child : FDoc.CreateNode(nt100_Directory, node, name);
        }
        return node;
    }
    void Image(const QString& ADir, const QString& AName, int AWidth, int AHeight,
               const char* AFormat = "PNG") {
        auto* node = new TBinaryNode100(Dir(ADir), AName);
        const QByteArray bytes = Picture(AWidth, AHeight, AFormat, ++FSeed);
        node->WriteBuffer(bytes.constData(), bytes.size());
    }
    void Int(const QString& ADir, const QString& AName, int AValue) {
        (new TInt32Node100(Dir(ADir), AName))->SetData(AValue);
    }
    void String(const QString& ADir, const QString& AName, const QString& AValue) {
        (new TWideStringNode100(Dir(ADir), AName))->SetData(AValue);
    }

private:
    TBinaryTreeDocument100& FDoc;
    int FSeed = 0;
};

void FillSkin(TBinaryTreeDocument100& ADoc) {
    TSkinShape s(ADoc);
    s.String("SkinInfo", "SkinName", "Bench");
    s.String("SkinInfo", "SkinVersion", "1");
    for (const char* button : {"Min", "Max", "Restore", "Close"})
        for (const char* state : {"Normal", "Hover", "Down"})
            for (const char* active : {"Active", "Inactive"})
                s.Image("SkinForm\\SysBtns",
                        QStringLiteral("%1_%2_%3.png").arg(button, state, active), 28, 20);
    s.Image("SkinForm\\Shadow", "ShadowBitmap.png", 64, 64);
    s.String("SkinForm\\Shadow", "ShadowSizeMargin", "12,12,12,12");
    s.Image("SkinForm\\SufferBackGroundConfigs\\Default", "Image", 400, 300);
    for (const char* family : {"Button", "BitButton", "SpeedButton", "DropDownButton"})
        for (const char* state : {"Normal", "Hover", "Down", "Disabled", "Focused"})
            s.Image(QStringLiteral("ControlStyle\\%1\\0").arg(family),
                    QStringLiteral("%1.png").arg(state), 80, 28);
    for (const char* tab : {"TabBtnImg_Hover.png", "TabBtnImg_Down.png", "TabBtnImg_Normal.png",
                            "TabBackGround.png", "CloseButton_Normal.png", "CloseButton_Hover.png"})
        s.Image("ControlStyle\\PageControlEx\\Horizontal\\0", tab, 100, 32);
    for (const char* style :
         {"Default", "SearchPopup", "TeamUser", "TeamOption", "MenuList", "MsgBox"}) {
        const QString base = QStringLiteral("ControlStyle\\ZoneViewStyle\\%1").arg(style);
        s.Image(base + "\\ZoneBackImage", "Active", 120, 40);
        s.Image(base + "\\ZoneBackImage", "Hover", 120, 40);
        s.Image(base + "\\ZoneNodeStateIcons", "Expand", 12, 12);
        s.String(base + "\\ZoneFont", "NodeNormalFont", "\"宋体\", 12, [], [363636]");
    }
    for (const char* part : {"Up.png", "Scroll.png", "Down.png"}) {
        s.Image("ControlStyle\\ZoneViewScrollBar\\0\\Vertical", part, 12, 40);
        s.Image("ControlStyle\\ZoneViewScrollBar\\0\\Horizontal", part, 40, 12);
    }
    s.Image("ControlStyle\\HeadFrame\\0", "FrameActive", 60, 60);
    s.Image("ControlStyle\\HeadFrame\\0", "FrameNormal", 60, 60);
    s.Image("ControlStyle\\Panel", "FormClientPanelBackImage", 200, 150);
    for (const char* menu : {"MenuArrowBitmap", "MenuBkgBitmap", "MenuCheck", "MenuCutling",
                             "MenuHighLight", "MenuCover"})
        s.Image("ControlStyle\\PopupMenu", menu, 48, 48);
    s.Image("SkinMgr\\DefaultSkins", "Image", 1280, 800, "JPEG");
    s.Int("SkinMgr\\DefaultSkins", "StretchMode", 4);
    s.String("SkinMgr\\DefaultSkins", "Margin", "0,0,0,0");
}

void CollectPictures(const TBinTreeNode100& ANode, std::vector<QByteArray>& APictures) {
    for (const TBinTreeNode100* child : ANode.ChildNodes()) {
        // The pictures of inactive windows are never read, so the load does not decode them.
        const auto* binary = NodeCast<TBinaryNode100>(child);
        if (binary != nullptr && !binary->NodeName().endsWith(QLatin1String("_Inactive.png")))
            APictures.push_back(binary->Bytes());
        CollectPictures(*child, APictures);
    }
}

template <typename Work> double MedianMilliseconds(Work AWork) {
    std::vector<double> times;
    for (int run = 0; run < KRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        AWork();
        const auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main() {
    QTemporaryDir folder;
    SetLogFolders(folder.path(), folder.path());
    TBinaryTreeDocument100 doc;
    FillSkin(doc);
    const QString path = folder.filePath(QStringLiteral("bench.btd"));
    doc.SaveToFile(path);
    std::vector<QByteArray> pictures;
    CollectPictures(*doc.TopNode(), pictures);

    // The default background loads lazily and stays until freed; each run frees it and asks
    // for it again, so both sides decode it every time.
    TSkinMng mng;
    const double load = MedianMilliseconds([&] {
        mng.UserSkinConfig().DefaultSkinItem()->FreeImage();
        if (!mng.ChangeSkinFile(path, true) || !mng.UserSkinConfig().DefaultSkinItem()->GPImage())
            std::abort();
    });
    std::size_t decoded = 0;
    const double decode = MedianMilliseconds([&] {
        decoded = 0;
        for (QByteArray bytes : pictures) {
            QBuffer stream(&bytes);
            stream.open(QIODevice::ReadOnly);
            if (TSkinHelper::CreateBitmap(&stream))
                ++decoded;
        }
    });
    if (decoded != pictures.size() || !mng.SkinFormStyles().FormStyleItem() ||
        mng.SkinZoneViewStyles().Count() != 6) {
        std::fprintf(stderr, "skinload-bench: the skin did not load completely\n");
        return 1;
    }
    std::printf("skin: %.2f MB, %zu pictures, median of %d runs\n",
                static_cast<double>(QFileInfo(path).size()) / 1048576.0, pictures.size(), KRuns);
    std::printf("decode pictures alone   %8.2f ms   1.00x\n", decode);
    std::printf("load skin (ChangeSkinFile + default background) %8.2f ms  %5.2fx decode\n", load,
                load / decode);
    ReportFigure("skinload.load", load, decode);
    SetLogFolders({}, {});
    return 0;
}
