#include "tests/layering/LayerRules.h"

#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace velmora::layering {
namespace {
namespace fs = std::filesystem;

std::string Describe(const std::vector<TViolation>& violations) {
    std::string text;
    for (const auto& v : violations)
        text += v.File + ":" + std::to_string(v.Line) + ": " + v.Message + "\n";
    return text;
}

TEST(Layering, TheSourceTreePointsOnlyDownwards) {
    const auto violations = CheckLayers(VELMORA_SOURCE_DIR);
    EXPECT_TRUE(violations.empty()) << Describe(violations);
}

// A copy of the folders the check reads, in a temporary folder, to plant faults in.
class PlantedTree : public ::testing::Test {
protected:
    void SetUp() override {
        FRoot = fs::temp_directory_path() /
                ("velmora-layering-" + std::to_string(std::random_device{}()));
        fs::create_directories(FRoot);
        for (const char* top : {"platform", "installer", "skin", "tools"})
            fs::copy(fs::path(VELMORA_SOURCE_DIR) / top, FRoot / top, fs::copy_options::recursive);
        ASSERT_TRUE(CheckLayers(FRoot).empty()) << Describe(CheckLayers(FRoot));
    }
    void TearDown() override { fs::remove_all(FRoot); }
    void Append(const std::string& file, const std::string& text) {
        std::ofstream(FRoot / file, std::ios::app) << text;
    }
    fs::path FRoot;
};

TEST_F(PlantedTree, CatchesEveryKindOfWrongPointer) {
    struct TCase {
        const char* File;
        const char* Text;
        const char* Message;
    };
    const TCase cases[] = {
        {"skin/drawing/SkinColors.cpp", "#include \"skin/controls/SkinControl.h\"\n",
         "skin/drawing may not include skin/controls/SkinControl.h"},
        {"platform/system/LogFile.cpp", "#include \"platform/graphics/GPBitmap.h\"\n",
         "platform/system may not include platform/graphics/GPBitmap.h"},
        {"installer/InstallLog.cpp", "#include \"skin/data/SkinMng.h\"\n",
         "installer may not include skin/data/SkinMng.h"},
        {"skin/data/SkinMng.cpp", "#include \"tests/support/TestSupport.h\"\n",
         "skin/data may not include tests/support/TestSupport.h"},
        {"tools/setup-cli/main.cpp", "#include \"platform/graphics/GPBitmap.h\"\n",
         "tools/setup-cli may not include platform/graphics/GPBitmap.h"},
        {"skin/document/CMakeLists.txt", "target_link_libraries(x PUBLIC velmora_skin_data)\n",
         "skin/document may not link velmora_skin_data"},
        {"installer/CMakeLists.txt", "target_link_libraries(x PUBLIC velmora_made_up)\n",
         "unregistered library velmora_made_up"},
        {"skin/controls/uShadowFrame.cpp", "#include <xcb/xcb.h>\n",
         "skin/controls may not include <xcb/xcb.h>"},
    };
    for (const auto& c : cases)
        Append(c.File, c.Text);
    std::vector<std::string> found;
    for (const auto& v : CheckLayers(FRoot))
        found.push_back(v.Message);
    for (const auto& c : cases)
        EXPECT_NE(std::find(found.begin(), found.end(), c.Message), found.end()) << c.Message;
    EXPECT_EQ(found.size(), std::size(cases)) << Describe(CheckLayers(FRoot));
}

TEST_F(PlantedTree, CodeInAFolderOutsideTheTableIsReported) {
    fs::create_directories(FRoot / "skin/stray");
    std::ofstream(FRoot / "skin/stray/Stray.cpp") << "int x;\n";
    const auto violations = CheckLayers(FRoot);
    ASSERT_EQ(violations.size(), 1u);
    EXPECT_EQ(violations[0].Message, "folder skin/stray is in no layer");
}

} // namespace
} // namespace velmora::layering
