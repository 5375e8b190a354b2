// The skin manager: the change sequence, listeners, background dispatch, popup-menu settings,
// the text helpers and laying out controls from skin nodes.
#include "platform/graphics/RenderingsInUse.h"
#include "skin/data/SkinManage.h"
#include "skin/data/SkinMgrCommon.h"
#include "tests/support/SkinDocBuilder.h"
#include "tests/support/SkinTestSupport.h"

#include <QObject>
#include <vector>

namespace velmora {
namespace {

using testing::TSkinDocBuilder;

struct TReceived {
    std::uint32_t Type;
    quintptr WParam;
    quintptr LParam;
};

// A window that records the skin events it is sent.
class TRecordingListener : public QObject {
public:
    std::vector<TReceived> Received;
    std::function<void()> OnEvent;

protected:
    bool event(QEvent* AEvent) override {
        if (auto* change = dynamic_cast<TSkinChangeEvent*>(AEvent)) {
            Received.push_back({change->Msg(), change->WParam(), change->LParam()});
            if (OnEvent)
                OnEvent();
            return true;
        }
        return QObject::event(AEvent);
    }
};

bool Register(TSkinMng& AMng, QObject& AListener) {
    return AMng.RegisterSkinListener(&AListener, KSkinMsgChangeSkinFile,
                                     KSkinMsgChangeBackGroundColor, KSkinMsgChangeBackGroundFile,
                                     KSkinMsgChangeBackGroundCustomColor);
}

class SkinMngTest : public testing::SkinTest {
protected:
    QString Save(const TSkinDocBuilder& ASkin, const QString& AName) {
        return ASkin.SaveTo(FFolder, AName);
    }
    QTemporaryDir FFolder;
    TSkinMng FMng;
};

TEST_F(SkinMngTest, SameResourceTwiceReturnsFalseAndSendsNothing) {
    TRecordingListener listener;
    ASSERT_TRUE(Register(FMng, listener));
    ASSERT_TRUE(FMng.ChangeSkinRes("SKIN", false));
    EXPECT_EQ(FMng.SkinName(), QStringLiteral("Resource"));
    ASSERT_EQ(listener.Received.size(), 1u);
    EXPECT_EQ(listener.Received[0].Type, 0x2341u);
    EXPECT_EQ(listener.Received[0].WParam, 0u);
    EXPECT_EQ(listener.Received[0].LParam, 0u);
    const TSkinButtonStyleItem* before = FMng.SkinButtonStyles().GetItem("0");
    ASSERT_NE(before, nullptr);

    EXPECT_FALSE(FMng.ChangeSkinRes("SKIN", false));
    EXPECT_FALSE(FMng.ChangeSkinRes("skin", false)); // ASCII letters compare without case
    EXPECT_EQ(listener.Received.size(), 1u);
    EXPECT_EQ(FMng.SkinButtonStyles().GetItem("0"), before);

    EXPECT_TRUE(FMng.ChangeSkinRes("SKIN", true));
    EXPECT_EQ(listener.Received.size(), 2u);
    EXPECT_NE(FMng.SkinButtonStyles().GetItem("0"), nullptr);
    FMng.UnRegisterSkinListener(&listener);
}

TEST_F(SkinMngTest, FileNamesCompareWithoutCaseAndAFailedLoadChangesNothing) {
    TSkinDocBuilder skin;
    skin.String("SkinInfo\\SkinName", "Disk");
    const QString path = Save(skin, "Skin.btd");
    ASSERT_TRUE(FMng.ChangeSkinFile(path, false));
    QString upper = path;
    upper.replace("Skin.btd", "SKIN.BTD");
    EXPECT_FALSE(FMng.ChangeSkinFile(upper, false));
    TRecordingListener listener;
    Register(FMng, listener);
    EXPECT_FALSE(FMng.ChangeSkinFile(FFolder.filePath("none.btd"), false));
    EXPECT_TRUE(listener.Received.empty());
    EXPECT_TRUE(FMng.Loaded());
    EXPECT_EQ(FMng.FileName(), path);
    FMng.UnRegisterSkinListener(&listener);
}

TEST_F(SkinMngTest, ChangeSequenceRunsInItsFixedOrder) {
    std::vector<std::string> events;
    RegisterSkinControlClass(sccSkinFlatMemo, [&] { events.push_back("TSkinFlatMemo"); });
    RegisterSkinControlClass(sccSkinCustomControl, [&] {
        events.push_back("TSkinCustomControl");
        // Catalogues are already refilled when the classes hear about it.
        EXPECT_NE(FMng.SkinButtonStyles().GetItem("0"), nullptr);
        EXPECT_EQ(FMng.UserSkinConfig().AppUsedSkinItem(), nullptr);
    });
    RegisterSkinControlClass(sccBaseZoneViewStyle, [&] { events.push_back("TBaseZoneViewStyle"); });
    RegisterSkinControlClass(sccSkinEdit, [&] { events.push_back("TSkinEdit"); });
    RegisterSkinControlClass(sccSkinHotKey, [&] { events.push_back("TSkinHotKey"); });
    RegisterSkinControlClass(sccFormDrawSkinCustomControl,
                             [&] { events.push_back("TFormDrawSkinCustomControl"); });
    TRecordingListener first;
    TRecordingListener second;
    first.OnEvent = [&] {
        events.push_back("first");
        // The default background is in use before listeners are told.
        EXPECT_EQ(FMng.UserSkinConfig().AppUsedSkinItem(), FMng.UserSkinConfig().DefaultSkinItem());
    };
    second.OnEvent = [&] { events.push_back("second"); };
    Register(FMng, first);
    Register(FMng, second);
    ASSERT_TRUE(FMng.ChangeSkinRes("SKIN", true));
    for (int key = 0; key < KSkinControlClassCount; ++key)
        UnRegisterSkinControlClass(static_cast<TSkinControlClassOrder>(key));
    EXPECT_EQ(events, (std::vector<std::string>{"TSkinCustomControl", "TFormDrawSkinCustomControl",
                                                "TBaseZoneViewStyle", "TSkinHotKey", "TSkinEdit",
                                                "TSkinFlatMemo", "first", "second"}));
    const TSkinBackGroundFileItem* item = FMng.UserSkinConfig().DefaultSkinItem();
    EXPECT_EQ(item->SkinName(), QStringLiteral("Default"));
    EXPECT_EQ(item->FileStoredPosition(), fspInSkinFile);
    EXPECT_EQ(item->PictureFile(), QStringLiteral("SkinMgr\\DefaultSkins\\Image"));
    EXPECT_EQ(item->StretchMode(), smAvgColor);
    EXPECT_EQ(item->Margin(), (TMargin{2, 1, 3, 4}));
    EXPECT_EQ(FMng.UserSkinConfig().SkinType(), stPicture);
    FMng.UnRegisterSkinListener(&first);
    FMng.UnRegisterSkinListener(&second);
}

TEST_F(SkinMngTest, DoubleRegistrationKeepsTheFirstMessages) {
    TRecordingListener listener;
    EXPECT_TRUE(FMng.RegisterSkinListener(&listener, 1001, 1002, 1003, 1004));
    EXPECT_FALSE(FMng.RegisterSkinListener(&listener, 2001, 2002, 2003, 2004));
    ASSERT_EQ(FMng.ListenerCount(), 1);
    EXPECT_EQ(FMng.Listener(0).ChangeSkinFileMsg, 1001u);
    EXPECT_EQ(FMng.Listener(0).ChangeSkinBackGroundCustomColorMsg, 1004u);
    ASSERT_TRUE(FMng.ChangeSkinRes("SKIN", true));
    ASSERT_EQ(listener.Received.size(), 1u);
    EXPECT_EQ(listener.Received[0].Type, 1001u);
    FMng.UnRegisterSkinListener(&listener);
    EXPECT_EQ(FMng.ListenerCount(), 0);
    FMng.UnRegisterSkinListener(&listener); // nothing left to remove
    EXPECT_EQ(FMng.ListenerCount(), 0);
}

TEST_F(SkinMngTest, ADestroyedListenerIsSkipped) {
    auto gone = std::make_unique<TRecordingListener>();
    TRecordingListener alive;
    Register(FMng, *gone);
    Register(FMng, alive);
    gone.reset();
    ASSERT_TRUE(FMng.ChangeSkinRes("SKIN", true));
    EXPECT_EQ(alive.Received.size(), 1u);
    FMng.UnRegisterSkinListener(&alive);
}

TEST_F(SkinMngTest, AListenerMayUnregisterWhileItIsTold) {
    TRecordingListener first;
    TRecordingListener second;
    first.OnEvent = [&] { FMng.UnRegisterSkinListener(&first); };
    Register(FMng, first);
    Register(FMng, second);
    ASSERT_TRUE(FMng.ChangeSkinRes("SKIN", true));
    EXPECT_EQ(first.Received.size(), 1u);
    EXPECT_EQ(second.Received.size(), 1u);
    EXPECT_EQ(FMng.ListenerCount(), 1);
    FMng.UnRegisterSkinListener(&second);
}

TEST_F(SkinMngTest, BackgroundChangesBeforeAnySkinSendNothing) {
    TRecordingListener listener;
    Register(FMng, listener);
    TSkinBackGroundColorItem colour;
    TSkinBackGroundFileItem file;
    FMng.ChangeSkinBackGround(&colour);
    FMng.ChangeSkinBackGround(&file);
    FMng.ChangeSkinBackGroundColor(&colour);
    EXPECT_TRUE(listener.Received.empty());
    FMng.UnRegisterSkinListener(&listener);
}

TEST_F(SkinMngTest, BackgroundChangesDispatchByKindWithTheItem) {
    ASSERT_TRUE(FMng.ChangeSkinRes("SKIN", true));
    TRecordingListener listener;
    Register(FMng, listener);
    TSkinBackGroundFileItem file;
    TSkinBackGroundColorItem custom;
    TSkinBackGroundColorItem preset;
    preset.SetIsCustom(false);
    TBaseSkinItem plain;
    FMng.ChangeSkinBackGround(&file);
    FMng.ChangeSkinBackGround(&custom);
    FMng.ChangeSkinBackGround(&preset);
    FMng.ChangeSkinBackGround(&plain);
    ASSERT_EQ(listener.Received.size(), 3u);
    EXPECT_EQ(listener.Received[0].Type, 0x2343u);
    EXPECT_EQ(listener.Received[0].WParam, reinterpret_cast<quintptr>(&file));
    EXPECT_EQ(listener.Received[1].Type, 0x2344u);
    EXPECT_EQ(listener.Received[1].WParam, reinterpret_cast<quintptr>(&custom));
    EXPECT_EQ(listener.Received[2].Type, 0x2342u);
    EXPECT_EQ(listener.Received[2].LParam, 0u);
    // The manager leaves the choice of the item in use to the windows.
    EXPECT_EQ(FMng.UserSkinConfig().AppUsedSkinItem(), FMng.UserSkinConfig().DefaultSkinItem());
    FMng.UnRegisterSkinListener(&listener);
}

TEST_F(SkinMngTest, ChangingTheBackgroundFreesThePictureOfTheItemInUse) {
    ASSERT_TRUE(FMng.ChangeSkinRes("SKIN", true));
    TBaseSkinItem* used = FMng.UserSkinConfig().AppUsedSkinItem();
    ASSERT_NE(used, nullptr);
    ASSERT_TRUE(used->GPImage());
    EXPECT_TRUE(used->ImageLoaded());
    FMng.ChangeSkinBackGround(used);
    EXPECT_TRUE(used->ImageLoaded());
    TSkinBackGroundColorItem colour;
    FMng.ChangeSkinBackGround(&colour);
    EXPECT_FALSE(used->ImageLoaded());
}

// On screens of one device pixel per logical pixel the manager does not read the skin's 2x
// document: nothing would draw from it.
TEST_F(SkinMngTest, TheTwiceDocumentIsNotReadWhenNoScreenDrawsFromIt) {
    ASSERT_TRUE(RenderingsInUse({2}).empty()) << "this program runs on a screen of ratio 1";
    TSkinDocBuilder skin;
    skin.Png("V\\Fits.png", 5, 3, 0xFF00FF00);
    TSkinDocBuilder twice;
    twice.Png("V\\Fits.png", 10, 6, 0xFFFF0000);
    const QString path = Save(skin, "blue.btd");
    Save(twice, "blue@2x.btd");
    ASSERT_TRUE(FMng.ChangeSkinFile(path, true));
    EXPECT_EQ(FMng.SkinFile().VariantDocumentCount(), 0);
    IGPBitmap fits;
    ASSERT_TRUE(FMng.SkinFile().GetSkinImageByName("V\\Fits.png", fits));
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->GetPixel(0, 0), 0xFF00FF00u);
    EXPECT_TRUE(fits->Variants().empty());
    // The file alone still reads it, as any reader of the format may ask.
    TSkinFile file;
    ASSERT_TRUE(file.LoadSkinFile(path));
    EXPECT_EQ(file.VariantDocumentCount(), 1);
}

TEST_F(SkinMngTest, PopupMenuSettingsKeepTheirDefaultsWithoutAnArrowPicture) {
    TSkinDocBuilder skin;
    skin.Int("ControlStyle\\PopupMenu\\MenuOtherWidth", 99);
    ASSERT_TRUE(FMng.ChangeSkinFile(Save(skin, "plain.btd"), true));
    const TSkinPopupMenuSettings& menu = SkinPopupMenuSettings();
    EXPECT_FALSE(menu.SkinPopupMenu);
}

TEST_F(SkinMngTest, PopupMenuSettingsSwitchOnWithTheArrowAndReadTheirNumbers) {
    TSkinDocBuilder skin;
    skin.Png("ControlStyle\\PopupMenu\\MenuArrowBitmap", 5, 9);
    skin.Png("ControlStyle\\PopupMenu\\MenuBkgBitmap", 60, 60);
    skin.Int("ControlStyle\\PopupMenu\\MenuBkgBitmapLeftMargin", 30);
    skin.Int("ControlStyle\\PopupMenu\\MenuBkgBitmapStrecthMode", 2);
    skin.Int("ControlStyle\\PopupMenu\\MenuBkgBitmapStretchMode", 3); // not read
    skin.Int("ControlStyle\\PopupMenu\\MenuOtherWidth", 80);
    skin.Bool("ControlStyle\\PopupMenu\\Customize", true);
    ASSERT_TRUE(FMng.ChangeSkinFile(Save(skin, "menu.btd"), true));
    const TSkinPopupMenuSettings& menu = SkinPopupMenuSettings();
    EXPECT_TRUE(menu.SkinPopupMenu);
    EXPECT_EQ(menu.ArrowElement->Width(), 5);
    EXPECT_EQ(menu.ArrowElement->Height(), 9);
    EXPECT_TRUE(menu.BkgElement->Image());
    EXPECT_FALSE(menu.CheckElement->Image());
    EXPECT_EQ(menu.MenuBkgBitmapLeftMargin, 30);
    EXPECT_EQ(menu.BkgElement->LeftMargin(), 30);
    EXPECT_EQ(menu.BkgElement->TopMargin(), 9);
    EXPECT_EQ(menu.CoverElement->LeftMargin(), 30);
    EXPECT_EQ(menu.CoverElement->RightMargin(), 8);
    EXPECT_EQ(menu.CoverElement->TopMargin(), 0);
    EXPECT_EQ(menu.MenuBkgBitmapStretchMode, smTileHorz);
    EXPECT_EQ(menu.MenuOtherWidth, 80);
    EXPECT_EQ(menu.MenuHighLightDrawLeftMargin, 7);
    EXPECT_EQ(menu.MenuHighLightDrawRightMargin, 7);
    EXPECT_EQ(menu.MenuHighLightDrawTopMargin, -1);
    EXPECT_EQ(menu.MenuHighLightDrawBottomMargin, 0);
    EXPECT_EQ(menu.MenuIconDrawLeftMargin, 7);
    EXPECT_EQ(menu.MenuArrowBitmapDrawRightMargin, 20);
    EXPECT_EQ(menu.MenuCaptionDrawLeftMargin, 33);
    EXPECT_EQ(menu.MenuItemsDrawTopMargin, 8);
    EXPECT_EQ(menu.MenuOtherHeight, 14);
    EXPECT_EQ(menu.MenuCutlingHeight, 3);
    EXPECT_EQ(menu.MenuCutlingDrawHeight, 1);
}

TEST_F(SkinMngTest, ValueLookupsGiveNeutralResultsWhenAbsent) {
    ASSERT_TRUE(FMng.ChangeSkinRes("SKIN", true));
    EXPECT_EQ(FMng.GetSkinStringByName("SkinInfo\\SkinName"), QStringLiteral("Resource"));
    EXPECT_EQ(FMng.GetSkinInt32ByName("SkinMgr\\DefaultSkins\\StretchMode"), 4);
    EXPECT_TRUE(FMng.GetSkinStringByName("Nothing").isEmpty());
    EXPECT_EQ(FMng.GetSkinInt32ByName("Nothing"), 0);
    EXPECT_EQ(FMng.GetSkinFloatByName("Nothing"), 0.0f);
    EXPECT_EQ(FMng.GetSkinDoubleByName("Nothing"), 0.0);
    EXPECT_FALSE(FMng.GetSkinBoolByName("Nothing"));
    EXPECT_TRUE(FMng.GetSkinGuidByName("Nothing").isNull());
    EXPECT_EQ(FMng.GetStretchModeByString("Nothing"), smStretchBoth);
    EXPECT_EQ(FMng.GetStretchModeByString("SkinMgr\\DefaultSkins\\StretchMode"), smAvgColor);
}

TEST_F(SkinMngTest, MarginPathsParseAndNonNumbersAreLogged) {
    TSkinDocBuilder skin;
    skin.String("M\\Good", "3,3,3,5").String("M\\One", "8").String("M\\Bad", "1,x,3");
    ASSERT_TRUE(FMng.ChangeSkinFile(Save(skin, "margins.btd"), true));
    TMargin margin{9, 9, 9, 9};
    FMng.GetMarginByString("M\\Good", margin);
    EXPECT_EQ(margin, (TMargin{3, 3, 3, 5}));
    margin = TMargin{9, 9, 9, 9};
    FMng.GetMarginByString("M\\One", margin);
    EXPECT_EQ(margin, (TMargin{9, 8, 9, 9}));
    margin = TMargin{9, 9, 9, 9};
    FMng.GetMarginByString("M\\Missing", margin);
    EXPECT_EQ(margin, (TMargin{9, 9, 9, 9}));
    EXPECT_TRUE(Log()->Lines().isEmpty());
    FMng.GetMarginByString("M\\Bad", margin);
    EXPECT_EQ(margin, (TMargin{9, 1, 9, 9}));
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("ExceptionName:ESkinParseError"));
    EXPECT_TRUE(lines[0].contains("AdditionalMsg:GetMarginByString"));
}

TEST_F(SkinMngTest, TextHelpersLogTheirOwnNames) {
    int l = -1, t = -1, w = -1, h = -1, type = -1;
    FMng.GetBoundsByString("10,20", l, t, w, h, type);
    EXPECT_EQ(l, 10);
    EXPECT_EQ(t, 20);
    EXPECT_EQ(w, -1);
    FMng.GetBoundsByString("1,two", l, t, w, h, type);
    EXPECT_EQ(l, 1);
    EXPECT_EQ(FMng.GetAnchorsByString("akLeft,akBottom"), TSkinAnchors(akLeft | akBottom));
    EXPECT_EQ(FMng.GetAnchorsByString("akleft,akbottom"), TSkinAnchors(0));
    QString image;
    TStretchMode mode = smStretchBoth;
    FMng.GetImageSettingByString("a.png,1,2,3,q", image, l, t, w, h, mode);
    EXPECT_EQ(image, QStringLiteral("a.png"));
    EXPECT_EQ(w, 3);
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("AdditionalMsg:GetBoundsByString"));
    EXPECT_TRUE(lines[1].contains("AdditionalMsg:GetImageSettingByString"));
}

TEST_F(SkinMngTest, PartOfImageCopiesTheRectangleOneToOne) {
    IGPBitmap source = NewGPBitmap(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            source->SetPixel(x, y, qRgba(x * 10, y * 10, 7, 128 + x));
    const IGPBitmap part = FMng.GetPartOfImage(source, 1, 2, 2, 2);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->Width(), 2);
    EXPECT_EQ(part->Height(), 2);
    EXPECT_EQ(part->GetPixel(0, 0), qRgba(20, 10, 7, 130));
    EXPECT_EQ(part->GetPixel(1, 1), qRgba(30, 20, 7, 131));
    // Reaching past the source: the overlap is copied, the rest stays transparent.
    const IGPBitmap beyond = FMng.GetPartOfImage(source, 2, 3, 3, 3);
    ASSERT_TRUE(beyond);
    EXPECT_EQ(beyond->GetPixel(0, 0), qRgba(30, 20, 7, 131));
    EXPECT_EQ(beyond->GetPixel(1, 0), 0u);
    EXPECT_EQ(beyond->GetPixel(0, 1), 0u);
    EXPECT_FALSE(FMng.GetPartOfImage(IGPBitmap(), 0, 0, 2, 2));
    EXPECT_FALSE(FMng.GetPartOfImage(source, 0, 0, -1, 2));
}

// A control whose parent may be a skinned form with a given client rectangle.
class TFakeControl : public ISkinNodePanel, public ISkinNodeSpeedButton, public ISkinNodeImageBox {
public:
    bool ParentSkinClientRect(TRect& ARect) const override {
        ARect = FormRect;
        return OnSkinForm;
    }
    TMargin GetAnchorMargin() const override { return Margin; }
    void SetAnchorMargin(const TMargin& AValue) override { Margin = AValue; }
    int GetAnchorMarginType() const override { return Type; }
    void SetAnchorMarginType(int AValue) override { Type = AValue; }
    void SetControlBounds(int ALeft, int ATop, int AWidth, int AHeight) override {
        Bounds = QRect(ALeft, ATop, AWidth, AHeight);
    }
    void SetSkinAnchors(TSkinAnchors AValue) override { Anchors = AValue; }
    void SetSkinBitmap(const IGPBitmap& AValue) override { Panel = AValue; }
    void SetStateBitmap(int AState, const IGPBitmap& AValue) override { States[AState] = AValue; }
    void SetIsDrawIconCaption(bool AValue) override { DrawIconCaption = AValue; }
    void SetTransparent(bool AValue) override { Transparent = AValue; }
    void SetNormalBitmap(const IGPBitmap& AValue) override { Normal = AValue; }
    void SetActiveBitmap(const IGPBitmap& AValue) override { Active = AValue; }

    bool OnSkinForm = true;
    TRect FormRect{0, 0, 400, 300};
    TMargin Margin;
    int Type = 0;
    QRect Bounds{-1, -1, -1, -1};
    TSkinAnchors Anchors = 0;
    IGPBitmap Panel;
    IGPBitmap States[5];
    IGPBitmap Normal;
    IGPBitmap Active;
    bool DrawIconCaption = false;
    bool Transparent = false;
};

TEST_F(SkinMngTest, AlignSkinControlPlacesByAnchoringType) {
    TFakeControl control;
    control.FormRect = TRect{10, 20, 410, 320};
    control.Margin = TMargin{5, 38, 60, 25}; // top, left, right (width), bottom (height)
    const std::vector<std::pair<int, QRect>> cases = {
        {0, QRect(48, 25, 60, 25)},       {1, QRect(400 - 38, 25, 60, 25)},
        {2, QRect(48, 300 - 5, 60, 25)},  {3, QRect(400 - 38, 300 - 5, 60, 25)},
        {5, QRect(48, 25, 400 - 60, 25)},
    };
    for (const auto& [type, expected] : cases) {
        control.Type = type;
        control.Bounds = QRect(-1, -1, -1, -1);
        FMng.AlignSkinControl(control);
        EXPECT_EQ(control.Bounds, expected) << "type " << type;
    }
    for (int type : {4, 6, -1}) {
        control.Type = type;
        control.Bounds = QRect(-1, -1, -1, -1);
        FMng.AlignSkinControl(control);
        EXPECT_EQ(control.Bounds, QRect(-1, -1, -1, -1));
    }
}

TEST_F(SkinMngTest, AlignSkinControlRightAnchoredFromA400WideForm) {
    TFakeControl control;
    control.FormRect = TRect{0, 0, 400, 300};
    control.Margin = TMargin{1, 38, 20, 20};
    control.Type = 1;
    FMng.AlignSkinControl(control);
    EXPECT_EQ(control.Bounds.left(), 362);
    control.OnSkinForm = false;
    control.Bounds = QRect(-1, -1, -1, -1);
    FMng.AlignSkinControl(control);
    EXPECT_EQ(control.Bounds, QRect(-1, -1, -1, -1));
}

TEST_F(SkinMngTest, ControlsAreLaidOutFromSkinNodes) {
    TSkinDocBuilder skin;
    skin.String("Dlg\\Label\\Bounds", "10,20,100,30,0");
    skin.String("Dlg\\Label\\Anchors", "akLeft,akTop");
    skin.String("Dlg\\Panel\\Bounds", "1,2,3,4");
    skin.Png("Dlg\\Panel\\BackGround", 7, 7);
    skin.Bool("Dlg\\Btn\\Customize", true);
    skin.String("Dlg\\Btn\\Bounds", "5,5,20,10,0");
    QImage strip(40, 10, QImage::Format_ARGB32);
    strip.fill(0xFF0000FF);
    for (int y = 0; y < 10; ++y)
        for (int x = 20; x < 40; ++x)
            strip.setPixel(x, y, 0xFFFF0000);
    skin.Image("Dlg\\Btn\\Strip.png", strip);
    skin.String("Dlg\\Btn\\NormalImageSetting", "Strip.png,0,0,20,10,0");
    skin.String("Dlg\\Btn\\DownImageSetting", "Strip.png,20,0,20,10,0");
    skin.Bool("Dlg\\Btn\\Transparent", true);
    skin.String("Dlg\\Box\\Bounds", "0,0,5,5");
    skin.String("Dlg\\Box\\NormalImageSetting", "Strip.png,0,0,20,10,0");
    ASSERT_TRUE(FMng.ChangeSkinFile(Save(skin, "dialog.btd"), true));

    TFakeControl label;
    FMng.SetSkinLabelBySkinNode("Dlg\\Label", label);
    EXPECT_EQ(label.Margin, (TMargin{20, 10, 100, 30}));
    EXPECT_EQ(label.Bounds, QRect(10, 20, 100, 30));
    EXPECT_EQ(label.Anchors, TSkinAnchors(akLeft | akTop));

    TFakeControl panel;
    FMng.SetSkinPanelBySkinNode("Dlg\\Panel", panel);
    EXPECT_EQ(panel.Bounds, QRect(1, 2, 3, 4));
    EXPECT_EQ(panel.Anchors, TSkinAnchors(0));
    ASSERT_TRUE(panel.Panel);
    EXPECT_EQ(panel.Panel->Width(), 7);

    TFakeControl button;
    FMng.SetSpeedButtonBySkinNode("Dlg\\Btn", button);
    EXPECT_EQ(button.Bounds, QRect(5, 5, 20, 10));
    ASSERT_TRUE(button.States[0]);
    ASSERT_TRUE(button.States[1]);
    EXPECT_FALSE(button.States[2]);
    EXPECT_EQ(button.States[0]->GetPixel(19, 9), 0xFF0000FFu);
    EXPECT_EQ(button.States[1]->GetPixel(0, 0), 0xFFFF0000u);
    EXPECT_TRUE(button.Transparent);
    EXPECT_FALSE(button.DrawIconCaption);

    TFakeControl box; // no "Customize": nothing happens
    FMng.SetSkinImageBoxBySkinNode("Dlg\\Box", box);
    EXPECT_EQ(box.Bounds, QRect(-1, -1, -1, -1));
    EXPECT_FALSE(box.Normal);
}

TEST_F(SkinMngTest, AManagerOfItsOwnLeavesTheProcessesManagerAlone) {
    // Tests and tools load skins into managers of their own; the windows of the process
    // listen to SkinMng() and must not hear of them.
    TRecordingListener window;
    ASSERT_TRUE(Register(SkinMng(), window));
    const bool loaded = SkinMng().Loaded();
    const QString name = SkinMng().SkinName();
    TSkinDocBuilder skin;
    skin.String("SkinInfo\\SkinName", "Own");
    ASSERT_TRUE(FMng.ChangeSkinFile(Save(skin, "own.btd"), false));
    EXPECT_EQ(FMng.SkinName(), QStringLiteral("Own"));
    EXPECT_EQ(SkinMng().Loaded(), loaded);
    EXPECT_EQ(SkinMng().SkinName(), name);
    EXPECT_TRUE(window.Received.empty());
    SkinMng().UnRegisterSkinListener(&window);
}

} // namespace
} // namespace velmora
