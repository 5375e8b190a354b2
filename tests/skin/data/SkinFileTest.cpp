// The skin file: loading from files and resources, and every typed getter.
#include "skin/data/SkinFile.h"

#include "tests/support/SkinDocBuilder.h"
#include "tests/support/SkinTestSupport.h"

#include <QBuffer>
#include <QFile>

namespace velmora {
namespace {

using testing::TSkinDocBuilder;

class SkinFileTest : public testing::SkinTest {
protected:
    QString Save(const TSkinDocBuilder& ASkin, const QString& AName = "skin.btd") {
        return ASkin.SaveTo(FFolder, AName);
    }
    QTemporaryDir FFolder;
    TSkinFile FFile;
};

TEST_F(SkinFileTest, NewFileIsNotLoaded) {
    EXPECT_FALSE(FFile.Loaded());
    EXPECT_TRUE(FFile.SkinName().isEmpty());
}

TEST_F(SkinFileTest, LoadingAFileReadsSkinInfo) {
    TSkinDocBuilder skin;
    skin.String("SkinInfo\\SkinName", "Blue").String("SkinInfo\\SkinVersion", "2013-08-04");
    const QString path = Save(skin);
    ASSERT_TRUE(FFile.LoadSkinFile(path));
    EXPECT_TRUE(FFile.Loaded());
    EXPECT_EQ(FFile.FileName(), path);
    EXPECT_EQ(FFile.SkinName(), QStringLiteral("Blue"));
    EXPECT_EQ(FFile.SkinVersion(), QStringLiteral("2013-08-04"));
    EXPECT_TRUE(Log()->Lines().isEmpty());
}

TEST_F(SkinFileTest, SkinWithoutInfoKeepsThePreviousNameAndVersion) {
    TSkinDocBuilder first;
    first.String("SkinInfo\\SkinName", "First").String("SkinInfo\\SkinVersion", "1");
    ASSERT_TRUE(FFile.LoadSkinFile(Save(first, "first.btd")));
    TSkinDocBuilder second;
    second.Int("Other", 1);
    ASSERT_TRUE(FFile.LoadSkinFile(Save(second, "second.btd")));
    EXPECT_EQ(FFile.SkinName(), QStringLiteral("First"));
    EXPECT_EQ(FFile.SkinVersion(), QStringLiteral("1"));
    std::int32_t other = 0;
    EXPECT_TRUE(FFile.GetSkinInt32ByName("Other", other, 0));
    EXPECT_EQ(other, 1);
}

TEST_F(SkinFileTest, FailedLoadsKeepThePreviousSkinAndLog) {
    TSkinDocBuilder skin;
    skin.String("SkinInfo\\SkinName", "Kept");
    const QString good = Save(skin);
    ASSERT_TRUE(FFile.LoadSkinFile(good));

    EXPECT_FALSE(FFile.LoadSkinFile(FFolder.filePath("missing.btd")));
    QFile broken(FFolder.filePath("broken.btd"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a skin at all");
    broken.close();
    EXPECT_FALSE(FFile.LoadSkinFile(broken.fileName()));
    EXPECT_FALSE(FFile.LoadSkinRes("NoSuchSkin"));

    EXPECT_TRUE(FFile.Loaded());
    EXPECT_EQ(FFile.FileName(), good);
    EXPECT_TRUE(FFile.ResName().isEmpty());
    QString name;
    EXPECT_TRUE(FFile.GetSkinStringByName("SkinInfo\\SkinName", name));
    EXPECT_EQ(name, QStringLiteral("Kept"));
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 3);
    for (const QString& line : lines)
        EXPECT_TRUE(line.contains(QStringLiteral("AdditionalMsg:LoadSkinFile")))
            << line.toStdString();
}

TEST_F(SkinFileTest, LoadingAResourceReadsDataSkin) {
    ASSERT_TRUE(FFile.LoadSkinRes("SKIN"));
    EXPECT_EQ(FFile.ResName(), QStringLiteral("SKIN"));
    EXPECT_EQ(FFile.SkinName(), QStringLiteral("Resource"));
    EXPECT_TRUE(FFile.FileName().isEmpty());
}

TEST(SkinFileVariants, TheTwicePicturesLiveInADocumentBesideTheSkin) {
    EXPECT_EQ(TSkinFile::VariantPath("skins/blue.btd", 2), QStringLiteral("skins/blue@2x.btd"));
    EXPECT_EQ(TSkinFile::VariantPath(":/DATA/SKIN", 2), QStringLiteral(":/DATA/SKIN@2x"));
    EXPECT_EQ(TSkinFile::VariantPath("/a.b/skin", 2), QStringLiteral("/a.b/skin@2x"));
    EXPECT_EQ(TSkinFile::VariantPath("/a/.skin", 3), QStringLiteral("/a/.skin@3x"));
}

// A picture of the skin carries its rendering of twice the pixels from the document beside
// the skin, when that has the same logical size; anything else is logged and left out, and
// the skin's own picture is always there.
TEST_F(SkinFileTest, PicturesCarryTheRenderingsOfTheDocumentBesideTheSkin) {
    TSkinDocBuilder skin;
    skin.Png("V\\Fits.png", 5, 3, 0xFF00FF00).Png("V\\TooWide.png", 4, 4, 0xFF00FF00);
    skin.Png("V\\Broken.png", 4, 4, 0xFF00FF00).Png("V\\OnlyHere.png", 4, 4, 0xFF00FF00);
    TSkinDocBuilder twice;
    twice.Png("V\\Fits.png", 10, 6, 0xFFFF0000).Png("V\\TooWide.png", 9, 8, 0xFFFF0000);
    twice.Bytes("V\\Broken.png", QByteArray("garbage", 7));
    const QString path = Save(skin, "blue.btd");
    Save(twice, "blue@2x.btd");
    ASSERT_TRUE(FFile.LoadSkinFile(path));
    EXPECT_EQ(FFile.VariantDocumentCount(), 1);

    IGPBitmap fits;
    ASSERT_TRUE(FFile.GetSkinImageByName("V\\Fits.png", fits));
    ASSERT_TRUE(fits);
    EXPECT_EQ(QSize(fits->Width(), fits->Height()), QSize(5, 3));
    EXPECT_EQ(fits->GetPixel(0, 0), 0xFF00FF00u);
    ASSERT_EQ(fits->Variants().size(), 1u);
    EXPECT_EQ(fits->Variants()[0].devicePixelRatio(), 2);
    EXPECT_EQ(fits->ImageFor(2).pixel(9, 5), 0xFFFF0000u);
    EXPECT_TRUE(Log()->Lines().isEmpty());

    for (const char* name : {"V\\TooWide.png", "V\\Broken.png", "V\\OnlyHere.png"}) {
        IGPBitmap picture;
        ASSERT_TRUE(FFile.GetSkinImageByName(name, picture));
        ASSERT_TRUE(picture) << name;
        EXPECT_EQ(picture->Width(), 4) << name;
        EXPECT_TRUE(picture->Variants().empty()) << name;
    }
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 2) << "the wrong size and the undecodable rendering";
    EXPECT_TRUE(lines[0].contains(QStringLiteral("V\\TooWide.png at 2x is 9 x 8 pixels")));
    for (const QString& line : lines)
        EXPECT_TRUE(line.contains(QStringLiteral("AdditionalMsg:GetSkinImageByName")));

    // The next skin has no such document: its pictures are its own alone.
    ASSERT_TRUE(FFile.LoadSkinFile(Save(skin, "plain.btd")));
    EXPECT_EQ(FFile.VariantDocumentCount(), 0);
    ASSERT_TRUE(FFile.GetSkinImageByName("V\\Fits.png", fits));
    EXPECT_TRUE(fits->Variants().empty());
}

TEST_F(SkinFileTest, ADamagedTwiceDocumentIsLoggedAndTheSkinStillLoads) {
    TSkinDocBuilder skin;
    skin.String("SkinInfo\\SkinName", "Green").Png("V\\A.png", 4, 4, 0xFF00FF00);
    const QString path = Save(skin, "green.btd");
    QFile broken(FFolder.filePath("green@2x.btd"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a skin at all");
    broken.close();
    ASSERT_TRUE(FFile.LoadSkinFile(path));
    EXPECT_EQ(FFile.SkinName(), QStringLiteral("Green"));
    EXPECT_EQ(FFile.VariantDocumentCount(), 0);
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("AdditionalMsg:LoadVariantDocument")));
    IGPBitmap picture;
    ASSERT_TRUE(FFile.GetSkinImageByName("V\\A.png", picture));
    EXPECT_EQ(picture->GetPixel(3, 3), 0xFF00FF00u);
}

class SkinFileGetterTest : public SkinFileTest {
protected:
    void SetUp() override {
        SkinFileTest::SetUp();
        TSkinDocBuilder skin;
        skin.String("V\\Text", "文字").Int("V\\Int", -7).Bool("V\\True", true);
        skin.Bool("V\\False", false).Bytes("V\\Bytes", QByteArray("\x01\x02\x03", 3));
        skin.Bytes("V\\Empty", QByteArray()).Png("V\\Picture.png", 5, 3, 0xFF00FF00);
        skin.Bytes("V\\NotAPicture", QByteArray("garbage", 7));
        skin.Dir("V\\SubA");
        skin.Dir("V\\SubB");
        TBinTreeNode100* v = skin.Dir("V");
        (new TReal32Node100(v, "Float"))->SetData(1.5f);
        (new TReal64Node100(v, "Double"))->SetData(-2.25);
        (new TInt8Node100(v, "Int8"))->SetData(-1);
        (new TInt16Node100(v, "Int16Zero"))->SetData(0);
        (new TGUIDNode100(v, "Guid"))->SetData(QUuid("{01234567-89ab-cdef-0123-456789abcdef}"));
        ASSERT_TRUE(FFile.LoadSkinFile(Save(skin)));
    }
};

TEST_F(SkinFileGetterTest, EachKindReadsItsValue) {
    QString text;
    EXPECT_TRUE(FFile.GetSkinStringByName("V\\Text", text));
    EXPECT_EQ(text, QStringLiteral("文字"));
    std::int32_t number = 0;
    EXPECT_TRUE(FFile.GetSkinInt32ByName("V\\Int", number, 37));
    EXPECT_EQ(number, -7);
    float f = 0;
    EXPECT_TRUE(FFile.GetSkinFloatByName("V\\Float", f, 0));
    EXPECT_EQ(f, 1.5f);
    double d = 0;
    EXPECT_TRUE(FFile.GetSkinDoubleByName("V\\Double", d, 0));
    EXPECT_EQ(d, -2.25);
    QUuid guid;
    EXPECT_TRUE(FFile.GetSkinGuidByName("V\\Guid", guid));
    EXPECT_EQ(guid, QUuid("{01234567-89ab-cdef-0123-456789abcdef}"));
}

TEST_F(SkinFileGetterTest, MissingNodesGiveTheDefault) {
    std::int32_t number = 0;
    EXPECT_FALSE(
        FFile.GetSkinInt32ByName("SkinForm\\SysBtns\\Position\\CloseBtnRight", number, 37));
    EXPECT_EQ(number, 37);
    QString text = "x";
    EXPECT_FALSE(FFile.GetSkinStringByName("V\\Nothing", text, "dflt"));
    EXPECT_EQ(text, QStringLiteral("dflt"));
    QUuid guid("{11111111-1111-1111-1111-111111111111}");
    EXPECT_FALSE(FFile.GetSkinGuidByName("V\\Nothing", guid));
    EXPECT_EQ(guid, QUuid("{11111111-1111-1111-1111-111111111111}"));
}

TEST_F(SkinFileGetterTest, AnotherKindCountsAsAbsentAndReadsNothingBeyondTheNode) {
    std::int32_t number = 0;
    EXPECT_FALSE(FFile.GetSkinInt32ByName("V\\Int8", number, 99));
    EXPECT_EQ(number, 99);
    EXPECT_FALSE(FFile.GetSkinInt32ByName("V\\Text", number, 5));
    EXPECT_EQ(number, 5);
    double d = 1;
    EXPECT_FALSE(FFile.GetSkinDoubleByName("V\\Float", d, 3));
    EXPECT_EQ(d, 3);
    QString text = "x";
    EXPECT_FALSE(FFile.GetSkinStringByName("V\\Int", text, "none"));
    EXPECT_EQ(text, QStringLiteral("none"));
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    EXPECT_FALSE(FFile.GetSkinStreamByName("V\\Text", stream));
    EXPECT_EQ(stream.size(), 0);
}

TEST_F(SkinFileGetterTest, BooleansCountEveryKindByItsOwnBytes) {
    bool value = false;
    EXPECT_TRUE(FFile.GetSkinBoolByName("V\\True", value, false));
    EXPECT_TRUE(value);
    EXPECT_TRUE(FFile.GetSkinBoolByName("V\\False", value, true));
    EXPECT_FALSE(value);
    EXPECT_TRUE(FFile.GetSkinBoolByName("V\\Int8", value, false));
    EXPECT_TRUE(value);
    EXPECT_TRUE(FFile.GetSkinBoolByName("V\\Int16Zero", value, true));
    EXPECT_FALSE(value);
    EXPECT_TRUE(FFile.GetSkinBoolByName("V\\Bytes", value, false));
    EXPECT_TRUE(value);
    EXPECT_TRUE(FFile.GetSkinBoolByName("V\\Empty", value, true));
    EXPECT_FALSE(value);
    EXPECT_FALSE(FFile.GetSkinBoolByName("V\\Nothing", value, true));
    EXPECT_TRUE(value);
}

TEST_F(SkinFileGetterTest, StreamsAppendAtTheCurrentPosition) {
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    stream.write("ab");
    EXPECT_TRUE(FFile.GetSkinStreamByName("V\\Bytes", stream));
    EXPECT_EQ(stream.data(), QByteArray("ab\x01\x02\x03", 5));
    EXPECT_FALSE(FFile.GetSkinStreamByName("V\\Nothing", stream));
    EXPECT_EQ(stream.size(), 5);
}

TEST_F(SkinFileGetterTest, ImagesDecodeOrStayNone) {
    IGPBitmap bitmap = NewGPBitmap(1, 1);
    EXPECT_TRUE(FFile.GetSkinImageByName("V\\Picture.png", bitmap));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->Width(), 5);
    EXPECT_EQ(bitmap->Height(), 3);
    EXPECT_EQ(bitmap->GetPixel(4, 2), 0xFF00FF00u);
    EXPECT_FALSE(FFile.FetchSkinImageByName("V\\Nothing", bitmap));
    EXPECT_FALSE(bitmap);
}

TEST_F(SkinFileGetterTest, CallerPictureIsLoadedAndDecodingErrorsAreLogged) {
    QImage picture;
    FFile.GetSkinImageByName("V\\Picture.png", picture);
    EXPECT_EQ(picture.size(), QSize(5, 3));
    QImage untouched(2, 2, QImage::Format_ARGB32);
    FFile.GetSkinImageByName("V\\NotAPicture", untouched);
    EXPECT_EQ(untouched.size(), QSize(2, 2));
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("AdditionalMsg:GetSkinImageByName")));
}

TEST_F(SkinFileGetterTest, NodeListsNameDirectoryChildrenOnly) {
    EXPECT_EQ(FFile.GetSkinNodesByName("V"), QStringList({"SubA", "SubB"}));
    EXPECT_TRUE(FFile.GetSkinNodesByName("V\\Nothing").isEmpty());
    EXPECT_TRUE(FFile.GetSkinNodesByName("V\\Text").isEmpty());
}

} // namespace
} // namespace velmora
