// Name, identifier and path search.
#include "skin/document/BinaryTreeDocument100.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

class BinTreeSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        info = doc.CreateNode(nt100_Directory, doc.TopNode(), "SkinInfo");
        skinName = doc.CreateNode(nt100_WideString, info, "SkinName");
    }
    TBinaryTreeDocument100 doc;
    TBinTreeNode100* info = nullptr;
    TBinTreeNode100* skinName = nullptr;
};

TEST_F(BinTreeSearchTest, PathIgnoresBlanksAndBackslashesAtBothEnds) {
    EXPECT_EQ(doc.FindNodeByPath("SkinInfo\\SkinName"), skinName);
    EXPECT_EQ(doc.FindNodeByPath("  \\\\SkinInfo\\SkinName\\\\\t "), skinName);
    EXPECT_EQ(doc.FindNodeByPath("SkinInfo"), info);
    EXPECT_EQ(doc.FindNodeByPath("\\SkinInfo\\"), info);
}

TEST_F(BinTreeSearchTest, DoubledBackslashInsideFindsNothing) {
    EXPECT_EQ(doc.FindNodeByPath("SkinInfo\\\\SkinName"), nullptr);
}

TEST_F(BinTreeSearchTest, EmptyOrUnknownPathsFindNothing) {
    EXPECT_EQ(doc.FindNodeByPath(""), nullptr);
    EXPECT_EQ(doc.FindNodeByPath(" \\\\ "), nullptr);
    EXPECT_EQ(doc.FindNodeByPath("SkinInfo\\Missing"), nullptr);
    EXPECT_EQ(doc.FindNodeByPath("skininfo\\SkinName"), nullptr);
}

TEST_F(BinTreeSearchTest, TheTopNodesNameIsNoPartOfAPath) {
    EXPECT_EQ(doc.FindNodeByPath("ROOT\\SkinInfo\\SkinName"), nullptr);
    TBinTreeNode100* root = doc.CreateNode(nt100_Directory, doc.TopNode(), "ROOT");
    TBinTreeNode100* inner = doc.CreateNode(nt100_Directory, root, "SkinInfo");
    EXPECT_EQ(doc.FindNodeByPath("ROOT\\SkinInfo"), inner);
}

TEST_F(BinTreeSearchTest, EqualNamedSiblingsAreTriedInOrder) {
    TBinTreeNode100* first = doc.CreateNode(nt100_Directory, doc.TopNode(), "Twin");
    doc.CreateNode(nt100_Int8, first, "OnlyInFirst");
    TBinTreeNode100* second = doc.CreateNode(nt100_Directory, doc.TopNode(), "Twin");
    TBinTreeNode100* deep = doc.CreateNode(nt100_Int8, second, "OnlyInSecond");
    EXPECT_EQ(doc.FindNodeByPath("Twin\\OnlyInSecond"), deep);
    EXPECT_EQ(doc.FindNodeByPath("Twin"), first);
    EXPECT_EQ(doc.Nodes().FindByNodeName("Twin"), second);
}

TEST_F(BinTreeSearchTest, FindNodeSearchesFromTheLastChildDepthFirst) {
    TBinTreeNode100* a = doc.CreateNode(nt100_Directory, doc.TopNode(), "a");
    TBinTreeNode100* inA = doc.CreateNode(nt100_Int8, a, "x");
    TBinTreeNode100* lastX = doc.CreateNode(nt100_Int8, doc.TopNode(), "x");
    EXPECT_EQ(doc.FindNode(QString("x")), lastX);
    doc.Nodes().Remove(lastX);
    delete lastX;
    EXPECT_EQ(doc.FindNode(QString("x")), inA);
    // The subtree of a later sibling is searched before an earlier sibling itself.
    TBinTreeNode100* b = doc.CreateNode(nt100_Directory, doc.TopNode(), "b");
    TBinTreeNode100* inB = doc.CreateNode(nt100_Int8, b, "a");
    EXPECT_EQ(doc.FindNode(QString("a")), inB);
    EXPECT_EQ(doc.FindNode(QString("ROOT")), nullptr);
}

TEST_F(BinTreeSearchTest, FindNodeByIdentifierFollowsTheSameOrder) {
    EXPECT_EQ(doc.FindNode(0u), info);
    info->SetNodeID(5);
    TBinTreeNode100* later = doc.CreateNode(nt100_Int8, doc.TopNode(), "later");
    later->SetNodeID(5);
    EXPECT_EQ(doc.FindNode(5u), later);
    EXPECT_EQ(doc.FindNode(6u), nullptr);
    doc.TopNode()->SetNodeID(9);
    EXPECT_EQ(doc.FindNode(9u), nullptr);
}

TEST_F(BinTreeSearchTest, TypedAccessRefusesAnotherKind) {
    TBinTreeNode100* narrow = doc.CreateNode(nt100_Int8, doc.TopNode(), "Margin");
    EXPECT_EQ(NodeCast<TInt32Node100>(doc.FindNodeByPath("Margin")), nullptr);
    EXPECT_EQ(NodeCast<TInt8Node100>(doc.FindNodeByPath("Margin")), narrow);
    EXPECT_EQ(NodeCast<TWideStringNode100>(doc.FindNodeByPath("Missing")), nullptr);
    const TBinTreeNode100* constant = skinName;
    EXPECT_NE(NodeCast<TWideStringNode100>(constant), nullptr);
    EXPECT_EQ(NodeCast<TAnsiStringNode100>(constant), nullptr);
    EXPECT_NE(NodeCast<TBufferNode100>(constant), nullptr);
}

TEST_F(BinTreeSearchTest, ClearKeepsTheTopNode) {
    doc.Clear();
    EXPECT_EQ(doc.Nodes().Count(), 0);
    EXPECT_EQ(doc.FindNodeByPath("SkinInfo"), nullptr);
    EXPECT_EQ(doc.DataSize(), 38u);
}

} // namespace
} // namespace velmora
