// Background items, their lists and XML files, the default palette and the user skin
// configuration.
#include "platform/system/GbkCodec.h"
#include "skin/data/SkinMgrCommon.h"
#include "skin/data/SkinMng.h"
#include "skin/drawing/SkinColors.h"
#include "tests/support/SkinDocBuilder.h"
#include "tests/support/SkinTestSupport.h"

#include <QFile>

namespace velmora {
namespace {

using testing::TSkinDocBuilder;

class SkinBackGroundTest : public testing::SkinTest {
protected:
    QString WritePicture(const QString& AName, const QImage& AImage) {
        const QString path = FFolder.filePath(AName);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(fixtures::EncodePng(AImage));
        return path;
    }
    QByteArray ReadFile(const QString& APath) {
        QFile file(APath);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    QTemporaryDir FFolder;
};

TEST_F(SkinBackGroundTest, UntouchedItemsAreSavedAndReadBackAsNewOnes) {
    // What a list file holds for items nobody set anything on, and that reading it back gives
    // items equal to new ones: the kinds, the name, false flags, no dates, the first stored
    // position and a custom colour 0.
    const QString xml = FFolder.filePath("new.xml");
    TSkinBackGroundItems list(bgtMixed);
    list.SetUserSkinConfigPath(FFolder.path());
    list.AddBackColor();
    list.AddSkinPictureFile(WritePicture("new.png", fixtures::Solid(2, 2, 0xFF000000)));
    ASSERT_TRUE(list.SaveToXMLFile(xml));
    const QByteArray bytes = ReadFile(xml);
    for (const char* text :
         {"NodeType=\"SkinBackColor\"", "NodeType=\"SkinBackFile\"", "<IsUsed>0</IsUsed>",
          "<IsDeleted>0</IsDeleted>", "<FileStoredPosition>0</FileStoredPosition>",
          "<IsCustom>-1</IsCustom>", "<BackGroundColor>0</BackGroundColor>"})
        EXPECT_TRUE(bytes.contains(text)) << text;
    EXPECT_TRUE(bytes.contains(*EncodeGbk(QStringLiteral("<SkinName>皮肤项</SkinName>"))));

    TSkinBackGroundItems loaded(bgtMixed);
    loaded.SetUserSkinConfigPath(FFolder.path());
    loaded.LoadFromXMLFile(xml);
    ASSERT_EQ(loaded.Count(), 2);
    const TSkinBackGroundColorItem fresh;
    auto* colour = dynamic_cast<TSkinBackGroundColorItem*>(loaded.GetItem(0));
    ASSERT_NE(colour, nullptr);
    EXPECT_TRUE(colour->IsEqual(&fresh));
    EXPECT_EQ(colour->SkinName(), fresh.SkinName());
    EXPECT_FALSE(colour->CreateTime().isValid());
    auto* file = dynamic_cast<TSkinBackGroundFileItem*>(loaded.GetItem(1));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->FileStoredPosition(), fspFile);
    EXPECT_EQ(file->PictureFile(), FFolder.filePath("new.png"));
}

TEST_F(SkinBackGroundTest, AnItemWithoutAPictureIsWhiteWithBlackText) {
    TBaseSkinItem base;
    EXPECT_FALSE(base.GPImage());
    EXPECT_EQ(base.AverageGPColor(), 0xFFFFFFFFu);
    EXPECT_EQ(base.TextGPColor(), GetTextColorByGPColor(0xFFFFFFFFu));
    TSkinBackGroundFileItem missing;
    missing.SetPictureFile(FFolder.filePath("absent.png"));
    EXPECT_FALSE(missing.GPImage());
    EXPECT_EQ(missing.AverageGPColor(), 0xFFFFFFFFu);
    EXPECT_EQ(missing.AverageColor(), 0xFFFFFFu);
}

TEST_F(SkinBackGroundTest, ColourItemPicturesCarryTheColourUnchanged) {
    TSkinBackGroundColorItem colour;
    const IGPBitmap& picture = colour.GPImage();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width(), 50);
    EXPECT_EQ(picture->Height(), 50);
    EXPECT_EQ(picture->GetPixel(0, 0), 0u);
    EXPECT_EQ(picture->GetPixel(49, 49), 0u);
    TSkinBackGroundColorItem tinted;
    tinted.SetBackGroundColor(0x80FF8000);
    const IGPBitmap& preview = tinted.GPPreviewImage();
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->Width(), 40);
    EXPECT_EQ(preview->Height(), 60);
    EXPECT_EQ(preview->GetPixel(39, 59), 0x80FF8000u);
    // The derived colours are opaque whatever the colour's alpha.
    EXPECT_EQ(tinted.AverageGPColor(), 0xFFFF8000u);
    EXPECT_EQ(tinted.AverageColor(), 0x0080FFu);
    EXPECT_EQ(tinted.TextGPColor(), GetTextColorByGPColor(0xFFFF8000u));
}

TEST_F(SkinBackGroundTest, FileItemAverageSamplesEveryOtherPixel) {
    QImage image(3, 3, QImage::Format_ARGB32);
    image.fill(0xFF000000);
    // Sampled: (0,0) (2,0) (0,2) (2,2); the others must not count.
    image.setPixel(0, 0, qRgb(100, 0, 0));
    image.setPixel(2, 0, qRgb(0, 100, 0));
    image.setPixel(0, 2, qRgb(0, 0, 100));
    image.setPixel(2, 2, qRgb(101, 3, 7));
    image.setPixel(1, 1, qRgb(255, 255, 255));
    image.setPixel(1, 0, qRgb(255, 255, 255));
    TSkinBackGroundFileItem item;
    item.SetPictureFile(WritePicture("avg.png", image));
    EXPECT_EQ(item.AverageGPColor(), qRgba(50, 25, 26, 255));
    EXPECT_EQ(item.TextGPColor(), 0xFFFFFFFFu);
    EXPECT_EQ(item.TextColor(), 0xFFFFFFu);

    TSkinBackGroundFileItem missing;
    missing.SetPictureFile(FFolder.filePath("none.png"));
    EXPECT_FALSE(missing.GPImage());
    EXPECT_EQ(missing.AverageGPColor(), 0xFFFFFFFFu);
}

TEST_F(SkinBackGroundTest, PicturesLoadOnceAndFreeImageReleasesThem) {
    TSkinBackGroundFileItem item;
    item.SetPictureFile(WritePicture("p.png", fixtures::Solid(8, 6, 0xFF808080)));
    const IGPBitmap first = item.GPImage();
    ASSERT_TRUE(first);
    EXPECT_EQ(item.GPImage(), first);
    TGDIBIGIMGPro* texture = item.TextureGdiImage();
    EXPECT_EQ(texture->Image(), first);
    ASSERT_TRUE(item.GPPreviewImage());
    EXPECT_EQ(item.GPPreviewImage()->Width(), 40);
    item.FreeImage();
    EXPECT_FALSE(item.ImageLoaded());
    EXPECT_FALSE(texture->Image());
    EXPECT_NE(item.GPImage(), first);
    EXPECT_TRUE(item.GPImage());
}

TEST_F(SkinBackGroundTest, MarginsAndStretchModeReachTheTexture) {
    TBaseSkinItem item;
    item.SetMargin(TMargin{2, 1, 3, 4});
    item.SetClipMargin(TMargin{6, 5, 7, 8});
    item.SetStretchMode(smTileBoth);
    TGDIBIGIMGPro* texture = item.TextureGdiImage();
    EXPECT_EQ(texture->LeftMargin(), 1);
    EXPECT_EQ(texture->TopMargin(), 2);
    EXPECT_EQ(texture->BottomMargin(), 4);
    EXPECT_EQ(texture->ClipLeftMargin(), 5);
    EXPECT_EQ(texture->ClipBottomMargin(), 8);
    EXPECT_EQ(texture->StrecthMode(), smTileBoth);
}

TEST_F(SkinBackGroundTest, SettingIsUsedStampsTheLastUsedTime) {
    TBaseSkinItem item;
    item.SetIsUsed(false);
    EXPECT_FALSE(item.LastUsedTime().isValid());
    const QDateTime before = QDateTime::currentDateTime();
    item.SetIsUsed(true);
    EXPECT_GE(item.LastUsedTime(), before);
}

TEST_F(SkinBackGroundTest, EqualityByKind) {
    TSkinBackGroundColorItem a;
    TSkinBackGroundColorItem b;
    a.SetBackGroundColor(0xFF112233);
    b.SetBackGroundColor(0x00112233);
    EXPECT_TRUE(a.IsEqual(&b));
    b.SetIsCustom(false);
    EXPECT_FALSE(a.IsEqual(&b));
    b.SetIsCustom(true);
    b.SetBackGroundColor(0xFF112234);
    EXPECT_FALSE(a.IsEqual(&b));
    EXPECT_FALSE(a.IsEqual(nullptr));

    TSkinBackGroundFileItem f1;
    TSkinBackGroundFileItem f2;
    EXPECT_FALSE(a.IsEqual(&f1));
    EXPECT_FALSE(f1.IsEqual(&a));
    const QDateTime when = QDateTime::currentDateTime();
    f1.SetCreateTime(when);
    f2.SetCreateTime(when);
    f1.SetPictureFile("x");
    f2.SetPictureFile("y");
    EXPECT_TRUE(f1.IsEqual(&f2)); // user pictures compare by creation time
    f2.SetIsSystemSkin(true);
    EXPECT_FALSE(f1.IsEqual(&f2)); // system pictures by their path
    f2.SetPictureFile("x");
    EXPECT_TRUE(f1.IsEqual(&f2));

    TBaseSkinItem p;
    TBaseSkinItem q;
    EXPECT_TRUE(p.IsEqual(&q));
    EXPECT_FALSE(p.IsEqual(&a));
}

TEST_F(SkinBackGroundTest, ListsOwnTheirItemsAndInsertBeyondTheEndAppends) {
    TSkinBackGroundItems list(bgtMixed);
    EXPECT_EQ(list.ItemOwnership(), ioOwned);
    list.SetUserSkinConfigPath("/somewhere");
    TSkinBackGroundColorItem* colour = list.AddSkinColor(0xFF010203);
    TSkinBackGroundFileItem* file = list.AddSkinPictureFile("/x.png");
    EXPECT_EQ(file->FileRootPath(), QStringLiteral("/somewhere"));
    EXPECT_EQ(colour->BackGroundColor(), 0xFF010203u);
    TSkinBackGroundColorItem* first = list.InsertBackColor();
    EXPECT_EQ(list.IndexOf(first), 0);
    TSkinBackGroundFileItem* second = list.InsertBackFile(1);
    EXPECT_EQ(list.IndexOf(second), 1);
    auto* extra = new TSkinBackGroundColorItem();
    list.InsertSKinItem(extra, 99);
    EXPECT_EQ(list.IndexOf(extra), list.Count() - 1);
    EXPECT_EQ(list.Count(), 5);
    list.DeleteItem(extra); // handed back, not destroyed
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.IndexOf(extra), -1);
    delete extra;
    list.ClearItemList();
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(SkinBackGroundTest, ReferenceListsLeaveTheirItemsAlive) {
    TSkinBackGroundItems owner(bgtColor);
    TSkinBackGroundItems recent(bgtMixed, ioReference);
    TSkinBackGroundColorItem* item = owner.AddBackColor();
    recent.AddSKinItem(item);
    recent.ClearItemList();
    EXPECT_EQ(owner.GetItem(0), item);
    EXPECT_EQ(item->BackGroundColor(), 0u);
}

TEST_F(SkinBackGroundTest, SortByUsedTimePutsTheMostRecentFirst) {
    TSkinBackGroundItems list;
    const QDateTime now = QDateTime::currentDateTime();
    std::vector<TBaseSkinItem*> items;
    for (int offset : {5, 1, 9, 3, 7, 2}) {
        TBaseSkinItem* item = list.AddImage();
        item->SetLastUsedTime(now.addSecs(offset));
        items.push_back(item);
    }
    TBaseSkinItem* never = list.AddImage();
    list.SortByUsedTime();
    for (int i = 1; i < list.Count() - 1; ++i)
        EXPECT_GE(list.GetItem(i - 1)->LastUsedTime(), list.GetItem(i)->LastUsedTime());
    EXPECT_EQ(list.GetItem(0), items[2]);
    EXPECT_EQ(list.GetItem(list.Count() - 1), never);
}

TEST_F(SkinBackGroundTest, DefaultPaletteHas102ColoursInOrder) {
    TSkinBackGroundItems colours(bgtColor);
    colours.LoadDefaultBackColors();
    ASSERT_EQ(colours.Count(), 102);
    auto colourOf = [&](int AIndex) {
        return dynamic_cast<TSkinBackGroundColorItem*>(colours.GetItem(AIndex));
    };
    ASSERT_NE(colourOf(0), nullptr);
    // 00007E is red 0x7E as a system colour.
    EXPECT_EQ(colourOf(0)->BackGroundColor(), 0xFF7E0000u);
    EXPECT_EQ(colourOf(1)->BackGroundColor(), 0xFF802D00u);
    EXPECT_EQ(colourOf(16)->BackGroundColor(), 0xFF535353u);
    EXPECT_EQ(colourOf(101)->BackGroundColor(), 0xFFF2F2F2u);
    EXPECT_FALSE(colourOf(5)->IsCustom());
    EXPECT_TRUE(colourOf(5)->SkinName().isEmpty());
    EXPECT_TRUE(colourOf(5)->CreateTime().isValid());
    EXPECT_EQ(KDefaultBackColors[50], 0x959595u);
}

TEST_F(SkinBackGroundTest, DefaultPicturesFromASkinWithoutThemGiveOneItemWithoutPicture) {
    TSkinMng mng;
    TSkinDocBuilder skin;
    skin.Dir("SkinMgr\\DefaultSkins");
    ASSERT_TRUE(mng.ChangeSkinFile(skin.SaveTo(FFolder, "plain.btd"), true));
    TSkinBackGroundItems& pictures = mng.UserSkinConfig().SkinBackGroundFileItems();
    pictures.LoadDefaultBackPictures();
    ASSERT_EQ(pictures.Count(), 1);
    auto* item = dynamic_cast<TSkinBackGroundFileItem*>(pictures.GetItem(0));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->SkinName(), QStringLiteral("DefaultSkins"));
    EXPECT_EQ(item->PictureFile(), QStringLiteral("SkinMgr\\DefaultSkins\\main_bkg.gft"));
    EXPECT_TRUE(item->IsDefaultSkin());
    EXPECT_TRUE(item->IsSystemSkin());
    EXPECT_TRUE(item->IsCurrentSkin());
    EXPECT_FALSE(item->GPImage());
}

TEST_F(SkinBackGroundTest, DefaultPicturesListTheSkinsDirectories) {
    TSkinMng mng;
    TSkinDocBuilder skin;
    skin.Png("SkinMgr\\Skins\\Sea\\main.jpg", 10, 10, 0xFF0000FF);
    skin.Dir("SkinMgr\\Skins\\Sand");
    ASSERT_TRUE(mng.ChangeSkinFile(skin.SaveTo(FFolder, "skins.btd"), true));
    TSkinBackGroundItems& pictures = mng.UserSkinConfig().SkinBackGroundFileItems();
    pictures.LoadDefaultBackPictures();
    ASSERT_EQ(pictures.Count(), 3);
    auto* sea = dynamic_cast<TSkinBackGroundFileItem*>(pictures.GetItem(1));
    ASSERT_NE(sea, nullptr);
    EXPECT_EQ(sea->SkinName(), QStringLiteral("Sea"));
    EXPECT_EQ(sea->PictureFile(), QStringLiteral("SkinMgr\\Skins\\Sea\\main.jpg"));
    EXPECT_TRUE(sea->IsSystemSkin());
    EXPECT_FALSE(sea->IsDefaultSkin());
    ASSERT_TRUE(sea->GPImage());
    EXPECT_EQ(sea->AverageGPColor(), 0xFF0000FFu);
    ASSERT_TRUE(sea->GPPreviewImage());
    EXPECT_EQ(sea->GPPreviewImage()->Height(), 60);
    EXPECT_FALSE(pictures.GetItem(2)->GPImage());
}

TEST_F(SkinBackGroundTest, MissingListFilesGiveTheDefaults) {
    TSkinBackGroundItems colours(bgtColor);
    colours.LoadFromXMLFile(FFolder.filePath("none.xml"));
    EXPECT_EQ(colours.Count(), 102);
    TSkinBackGroundItems pictures(bgtPicture);
    pictures.LoadFromXMLFile(FFolder.filePath("none.xml"));
    EXPECT_EQ(pictures.Count(), 1);
    TSkinBackGroundItems custom(bgtCustomColor);
    custom.AddBackColor();
    custom.LoadFromXMLFile(FFolder.filePath("none.xml"));
    EXPECT_EQ(custom.Count(), 0);
}

TEST_F(SkinBackGroundTest, XmlRoundTripKeepsEveryField) {
    const QString xml = FFolder.filePath("list.xml");
    TSkinBackGroundItems list(bgtMixed);
    list.SetUserSkinConfigPath(FFolder.path());
    TSkinBackGroundColorItem* colour = list.AddSkinColor(0x80102030);
    colour->SetSkinName("蓝色");
    colour->SetIsCustom(false);
    colour->SetIsUsed(true);
    colour->SetCreateTime(QDateTime::currentDateTime().addDays(-3));
    TSkinBackGroundFileItem* file =
        list.AddSkinPictureFile(WritePicture("b.png", fixtures::Solid(4, 4, 0xFFFFFFFF)));
    file->SetCreateTime(QDateTime::currentDateTime());
    file->SetIsSystemSkin(true);
    ASSERT_TRUE(list.SaveToXMLFile(xml));

    const QByteArray bytes = ReadFile(xml);
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"GB2312\"?>"));
    EXPECT_TRUE(bytes.contains(*EncodeGbk(QStringLiteral("<SkinName>蓝色</SkinName>"))));
    EXPECT_TRUE(bytes.contains("<IsUsed>-1</IsUsed>"));
    EXPECT_TRUE(bytes.contains("<IsCustom>0</IsCustom>"));
    EXPECT_TRUE(bytes.contains("<PictureFile>b.png</PictureFile>"));
    EXPECT_TRUE(bytes.contains("<BackGroundColor>2148540464</BackGroundColor>"));
    EXPECT_TRUE(bytes.contains("<A>128</A>"));
    EXPECT_TRUE(bytes.contains("NodeType=\"SkinBackColor\""));

    TSkinBackGroundItems loaded(bgtMixed);
    loaded.SetUserSkinConfigPath(FFolder.path());
    loaded.LoadFromXMLFile(xml);
    ASSERT_EQ(loaded.Count(), 2);
    auto* c = dynamic_cast<TSkinBackGroundColorItem*>(loaded.GetItem(0));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->SkinName(), QStringLiteral("蓝色"));
    EXPECT_EQ(c->BackGroundColor(), 0x80102030u);
    EXPECT_FALSE(c->IsCustom());
    EXPECT_TRUE(c->IsUsed());
    EXPECT_EQ(c->CreateTime(), colour->CreateTime());
    EXPECT_EQ(c->LastUsedTime(), colour->LastUsedTime());
    EXPECT_TRUE(c->IsEqual(colour));
    auto* f = dynamic_cast<TSkinBackGroundFileItem*>(loaded.GetItem(1));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->PictureFile(), file->PictureFile());
    EXPECT_TRUE(f->IsSystemSkin());
    EXPECT_TRUE(f->IsEqual(file));
}

TEST_F(SkinBackGroundTest, SavingReplacesTheItemsOfAnExistingFileAndFixesItsDeclaration) {
    const QString xml = FFolder.filePath("old.xml");
    QFile old(xml);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?><SkinNodes><SkinNode "
              "NodeType=\"SkinBackColor\"/>"
              "<SkinNode NodeType=\"SkinBackColor\"/></SkinNodes>");
    old.close();
    TSkinBackGroundItems list;
    list.AddSkinColor(0xFF00FF00)->SetSkinName("绿");
    ASSERT_TRUE(list.SaveToXMLFile(xml));
    const QByteArray bytes = ReadFile(xml);
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"GB2312\"?>"));
    EXPECT_FALSE(bytes.contains("UTF-8"));
    EXPECT_TRUE(bytes.contains(*EncodeGbk(QStringLiteral("绿"))));
    TSkinBackGroundItems loaded;
    loaded.LoadFromXMLFile(xml);
    ASSERT_EQ(loaded.Count(), 1);
    EXPECT_EQ(loaded.GetItem(0)->SkinName(), QStringLiteral("绿"));
}

TEST_F(SkinBackGroundTest, CharactersOutsideTheCodePageSurviveAsReferences) {
    const QString xml = FFolder.filePath("emoji.xml");
    TSkinBackGroundItems list;
    list.AddBackColor()->SetSkinName(QStringLiteral("a\U0001F600b"));
    ASSERT_TRUE(list.SaveToXMLFile(xml));
    TSkinBackGroundItems loaded;
    loaded.LoadFromXMLFile(xml);
    ASSERT_EQ(loaded.Count(), 1);
    EXPECT_EQ(loaded.GetItem(0)->SkinName(), QStringLiteral("a\U0001F600b"));
}

TEST_F(SkinBackGroundTest, LoadingAcceptsBooleanSpellingsAndDropsBadOrDeletedItems) {
    const QString xml = FFolder.filePath("hand.xml");
    QFile file(xml);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "<?xml version=\"1.0\"?><SkinNodes>"
        "<SkinNode NodeType=\"SkinBackColor\"><IsUsed>-1</IsUsed><R>255</R></SkinNode>"
        "<SkinNode "
        "NodeType=\"SkinBackColor\"><IsUsed>1</IsUsed><IsCustom>False</IsCustom></SkinNode>"
        "<SkinNode NodeType=\"SkinBackColor\"><IsUsed>True</IsUsed></SkinNode>"
        "<SkinNode NodeType=\"SkinBackColor\"><IsUsed>yes</IsUsed></SkinNode>"
        "<SkinNode NodeType=\"SkinBackColor\"><IsDeleted>-1</IsDeleted></SkinNode>"
        "<SkinNode NodeType=\"Other\"/>"
        "<SkinNode NodeType=\"SkinBackFile\"><PictureFile>../escape.png</PictureFile></SkinNode>"
        "<SkinNode NodeType=\"SkinBackFile\"><PictureFile>gone.png</PictureFile></SkinNode>"
        "<SkinNode NodeType=\"SkinBackFile\"><FileStoredPosition>1</FileStoredPosition>"
        "<PictureFile>No\\Such\\Node</PictureFile></SkinNode>"
        "</SkinNodes>");
    file.close();
    TSkinBackGroundItems list;
    list.SetUserSkinConfigPath(FFolder.path());
    list.LoadFromXMLFile(xml);
    ASSERT_EQ(list.Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(list.GetItem(i)->IsUsed());
    auto* red = dynamic_cast<TSkinBackGroundColorItem*>(list.GetItem(0));
    EXPECT_EQ(red->BackGroundColor(), 0x00FF0000u); // missing channels count as 0
    EXPECT_FALSE(dynamic_cast<TSkinBackGroundColorItem*>(list.GetItem(1))->IsCustom());
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("AdditionalMsg:LoadFromXMLNode"));
}

TEST_F(SkinBackGroundTest, FileItemsAreFoundOnlyBelowTheListsFolder) {
    QTemporaryDir other;
    const QString xml = FFolder.filePath("files.xml");
    TSkinBackGroundItems list;
    list.SetUserSkinConfigPath(FFolder.path());
    list.AddSkinPictureFile(WritePicture("pic.png", fixtures::Solid(2, 2, 0xFF000000)));
    ASSERT_TRUE(list.SaveToXMLFile(xml));
    TSkinBackGroundItems elsewhere;
    elsewhere.SetUserSkinConfigPath(other.path());
    elsewhere.LoadFromXMLFile(xml);
    EXPECT_EQ(elsewhere.Count(), 0);
    QFile::copy(FFolder.filePath("pic.png"), other.filePath("pic.png"));
    elsewhere.LoadFromXMLFile(xml);
    ASSERT_EQ(elsewhere.Count(), 1);
    EXPECT_EQ(dynamic_cast<TSkinBackGroundFileItem*>(elsewhere.GetItem(0))->PictureFile(),
              other.path() + "/pic.png");
}

TEST_F(SkinBackGroundTest, AppUsedSkinItemSetsTheSkinType) {
    TSkinMng mng;
    TUserSkinConfig& config = mng.UserSkinConfig();
    EXPECT_EQ(config.SkinType(), stPicture);
    TSkinBackGroundColorItem preset;
    preset.SetIsCustom(false);
    config.SetAppUsedSkinItem(&preset);
    EXPECT_EQ(config.SkinType(), stColor);
    config.SetAppUsedSkinItem(nullptr);
    EXPECT_EQ(config.SkinType(), stColor);
    EXPECT_EQ(config.AppUsedSkinItem(), nullptr);
    TSkinBackGroundColorItem custom;
    config.SetAppUsedSkinItem(&custom);
    EXPECT_EQ(config.SkinType(), stCustomColor);
    TBaseSkinItem plain;
    config.SetAppUsedSkinItem(&plain);
    EXPECT_EQ(config.SkinType(), stCustomColor);
    config.SetAppUsedSkinItem(config.DefaultSkinItem());
    EXPECT_EQ(config.SkinType(), stPicture);
    EXPECT_EQ(config.RecentSkinBackGroundItems().ItemOwnership(), ioReference);
    EXPECT_EQ(config.SkinBackGroundFileItems().BackGroundType(), bgtPicture);
    EXPECT_EQ(config.SkinBackGroundColorItems().BackGroundType(), bgtColor);
    EXPECT_EQ(config.SkinBackGroundCustomColorItems().BackGroundType(), bgtCustomColor);
}

TEST_F(SkinBackGroundTest, DefaultSkinItemIsReadFromTheSkin) {
    TSkinMng mng;
    TSkinDocBuilder skin;
    const QImage jpegSource = fixtures::Solid(16, 16, 0xFF4080C0);
    skin.Bytes("SkinMgr\\DefaultSkins\\Image", fixtures::EncodeJpeg(jpegSource));
    skin.Int("SkinMgr\\DefaultSkins\\StretchMode", 4);
    skin.String("SkinMgr\\DefaultSkins\\Margin", "0,0,0,0");
    skin.String("SkinMgr\\DefaultSkins\\ClipMargin", "1,2");
    ASSERT_TRUE(mng.ChangeSkinFile(skin.SaveTo(FFolder, "default.btd"), true));
    TBaseSkinItem* used = mng.UserSkinConfig().AppUsedSkinItem();
    ASSERT_EQ(used, mng.UserSkinConfig().DefaultSkinItem());
    EXPECT_EQ(used->StretchMode(), smAvgColor);
    EXPECT_EQ(used->ClipMargin(), (TMargin{2, 1, 0, 0}));
    ASSERT_TRUE(used->GPImage());
    EXPECT_EQ(used->GPImage()->Width(), 16);
    const TGPColor average = used->AverageGPColor();
    EXPECT_NEAR(qRed(average), 0x40, 3);
    EXPECT_NEAR(qBlue(average), 0xC0, 3);
    EXPECT_EQ(used->TextureGdiImage()->StrecthMode(), smAvgColor);
}

TEST_F(SkinBackGroundTest, ASkinChangeGivesTheDefaultItemTheNewSkinsPicture) {
    // Both skins keep their background at the same path; the second one's must show.
    TSkinMng mng;
    const auto skinWith = [this](QRgb colour, const char* file) {
        TSkinDocBuilder skin;
        skin.Bytes("SkinMgr\\DefaultSkins\\Image",
                   fixtures::EncodeJpeg(fixtures::Solid(16, 16, colour)));
        skin.Int("SkinMgr\\DefaultSkins\\StretchMode", 4);
        return skin.SaveTo(FFolder, file);
    };
    ASSERT_TRUE(mng.ChangeSkinFile(skinWith(0xFF2040E0, "blue.btd"), true));
    TBaseSkinItem* item = mng.UserSkinConfig().DefaultSkinItem();
    ASSERT_TRUE(item->TextureGdiImage()->Image());
    EXPECT_NEAR(qBlue(item->TextureGdiImage()->Image()->GetPixel(8, 8)), 0xE0, 4);

    ASSERT_TRUE(mng.ChangeSkinFile(skinWith(0xFFE04020, "red.btd"), true));
    item = mng.UserSkinConfig().DefaultSkinItem();
    ASSERT_TRUE(item->TextureGdiImage()->Image());
    EXPECT_NEAR(qRed(item->TextureGdiImage()->Image()->GetPixel(8, 8)), 0xE0, 4);
    EXPECT_NEAR(qRed(item->AverageGPColor()), 0xE0, 4);
}

TEST_F(SkinBackGroundTest, FreeNoUseSkinItemImageSparesTheItemInUse) {
    TSkinMng mng;
    TUserSkinConfig& config = mng.UserSkinConfig();
    TSkinBackGroundColorItem* a = config.SkinBackGroundColorItems().AddBackColor();
    TSkinBackGroundColorItem* b = config.SkinBackGroundCustomColorItems().AddBackColor();
    ASSERT_TRUE(a->GPImage());
    ASSERT_TRUE(b->GPImage());
    config.SetAppUsedSkinItem(b);
    config.FreeNoUseSkinItemImage();
    EXPECT_FALSE(a->ImageLoaded());
    EXPECT_TRUE(b->ImageLoaded());
}

TEST_F(SkinBackGroundTest, ClearingAListForgetsItsItemsInUseAndInTheRecentList) {
    TSkinMng mng;
    TUserSkinConfig& config = mng.UserSkinConfig();
    TSkinBackGroundColorItem* colour = config.SkinBackGroundColorItems().AddBackColor();
    TSkinBackGroundColorItem* kept = config.SkinBackGroundCustomColorItems().AddBackColor();
    config.RecentSkinBackGroundItems().AddSKinItem(colour);
    config.RecentSkinBackGroundItems().AddSKinItem(kept);
    config.SetAppUsedSkinItem(colour);
    config.SkinBackGroundColorItems().LoadFromXMLFile(FFolder.filePath("none.xml"));
    EXPECT_EQ(config.AppUsedSkinItem(), nullptr);
    ASSERT_EQ(config.RecentSkinBackGroundItems().Count(), 1);
    EXPECT_EQ(config.RecentSkinBackGroundItems().GetItem(0), kept);
    // A background change now has no freed item to release.
    mng.ChangeSkinBackGround(kept);
    EXPECT_EQ(config.SkinBackGroundColorItems().Count(), 102);
}

} // namespace
} // namespace velmora
