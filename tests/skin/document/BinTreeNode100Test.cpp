// Node construction, names, parents and the owning child list.
#include "skin/document/BinaryTreeDocument100.h"

#include <gtest/gtest.h>
#include <memory>

namespace velmora {
namespace {

class BinTreeNodeTest : public ::testing::Test {
protected:
    std::unique_ptr<TDirectoryNode100> root = std::make_unique<TDirectoryNode100>(nullptr, "ROOT");
    QStringList Names(const TBinTreeNode100& node) {
        QStringList names;
        for (const TBinTreeNode100* child : node.ChildNodes())
            names << child->NodeName();
        return names;
    }
};

TEST_F(BinTreeNodeTest, BlankNamesAreRefusedBeforeTheNodeExists) {
    for (const char* name : {"", "   ", "\t\r\n", " \x01 "}) {
        try {
            new TInt32Node100(root.get(), name);
            FAIL() << "accepted '" << name << "'";
        } catch (const EInvalidNodeName& error) {
            EXPECT_EQ(error.Message(), "Invalid NodeName");
            EXPECT_STREQ(error.ClassName(), "EInvalidNodeName");
        }
    }
    EXPECT_EQ(root->ChildNodes().Count(), 0);
}

TEST_F(BinTreeNodeTest, ConstructorKeepsTheNameButTheWriterDropsCarriageReturns) {
    auto* node = new TDirectoryNode100(root.get(), " Sk\rin ");
    EXPECT_EQ(node->NodeName(), " Sk\rin ");
    node->SetNodeName("A\rB\r\nC\r");
    EXPECT_EQ(node->NodeName(), "AB\nC");
}

TEST_F(BinTreeNodeTest, NewNodesStartAtZeroWithTheirKindsWidth) {
    TBinaryTreeDocument100 doc;
    for (std::uint32_t tag = 0; tag < KNodeTypeCount100; ++tag) {
        TBinTreeNode100* node = doc.CreateNode(tag, doc.TopNode(), "N");
        EXPECT_EQ(node->NodeType(), tag);
        EXPECT_EQ(node->NodeID(), 0u);
        EXPECT_EQ(node->NodeSubType(), 0u);
        const int width = FixedWidthOf(tag);
        EXPECT_EQ(node->DataSize(), width < 0 ? 0u : static_cast<std::uint32_t>(width)) << tag;
        EXPECT_EQ(node->ParentNode(), doc.TopNode());
    }
    EXPECT_EQ(doc.Nodes().Count(), 24);
}

TEST_F(BinTreeNodeTest, UnknownTagIsAnInvalidNode) {
    TBinaryTreeDocument100 doc;
    EXPECT_THROW(doc.CreateNode(24, doc.TopNode(), "X"), EInvalidNode);
    EXPECT_THROW(doc.CreateNode(0xFFFFFFFF, nullptr, "X"), EInvalidNode);
    EXPECT_EQ(doc.Nodes().Count(), 0);
}

TEST_F(BinTreeNodeTest, SettingTheParentMovesTheNodeToTheEnd) {
    auto* a = new TDirectoryNode100(root.get(), "a");
    auto* b = new TDirectoryNode100(root.get(), "b");
    auto* x = new TInt8Node100(a, "x");
    x->SetParentNode(b);
    EXPECT_EQ(a->ChildNodes().Count(), 0);
    EXPECT_EQ(b->ChildNodes()[0], x);
    x->SetParentNode(b);
    EXPECT_EQ(b->ChildNodes().Count(), 1);
    x->SetParentNode(nullptr);
    EXPECT_EQ(b->ChildNodes().Count(), 0);
    delete x;
}

TEST_F(BinTreeNodeTest, ANodeCannotBecomeItsOwnAncestor) {
    auto* a = new TDirectoryNode100(root.get(), "a");
    auto* b = new TDirectoryNode100(a, "b");
    EXPECT_THROW(a->SetParentNode(b), EAssertionFailed);
    EXPECT_THROW(a->SetParentNode(a), EAssertionFailed);
    EXPECT_EQ(a->ParentNode(), root.get());
    EXPECT_THROW(b->ChildNodes().Add(a), EAssertionFailed);
}

TEST_F(BinTreeNodeTest, AddKeepsAnExistingIndexAndDetachesFromTheFormerParent) {
    auto* a = new TDirectoryNode100(root.get(), "a");
    auto* b = new TDirectoryNode100(root.get(), "b");
    auto* x = new TInt8Node100(a, "x");
    EXPECT_EQ(root->ChildNodes().Add(b), 1);
    EXPECT_EQ(root->ChildNodes().Count(), 2);
    EXPECT_EQ(b->ChildNodes().Add(x), 0);
    EXPECT_EQ(x->ParentNode(), b);
    EXPECT_EQ(a->ChildNodes().Count(), 0);
}

TEST_F(BinTreeNodeTest, InsertPlacesOnlyNodesNotYetInTheList) {
    new TDirectoryNode100(root.get(), "a");
    auto* b = new TDirectoryNode100(root.get(), "b");
    auto* loose = new TDirectoryNode100(nullptr, "c");
    root->ChildNodes().Insert(0, loose);
    EXPECT_EQ(Names(*root), QStringList({"c", "a", "b"}));
    EXPECT_EQ(loose->ParentNode(), root.get());
    root->ChildNodes().Insert(0, b);
    root->ChildNodes().Insert(9, b);
    EXPECT_EQ(Names(*root), QStringList({"c", "a", "b"}));
    auto* other = new TDirectoryNode100(nullptr, "d");
    EXPECT_THROW(root->ChildNodes().Insert(5, other), EListIndexError);
    delete other;
}

TEST_F(BinTreeNodeTest, RemoveHandsTheNodeBackAlive) {
    auto* a = new TDirectoryNode100(root.get(), "a");
    new TInt8Node100(a, "child");
    EXPECT_EQ(root->ChildNodes().Remove(a), 0);
    EXPECT_EQ(a->ParentNode(), nullptr);
    EXPECT_EQ(a->ChildNodes().Count(), 1);
    EXPECT_LT(root->ChildNodes().Remove(a), 0);
    delete a;
}

TEST_F(BinTreeNodeTest, DeleteAndClearDestroyWholeSubtrees) {
    auto* a = new TDirectoryNode100(root.get(), "a");
    new TDirectoryNode100(new TDirectoryNode100(a, "b"), "c");
    new TDirectoryNode100(root.get(), "d");
    root->ChildNodes().Delete(0);
    EXPECT_EQ(Names(*root), QStringList({"d"}));
    EXPECT_THROW(root->ChildNodes().Delete(1), EListIndexError);
    EXPECT_THROW(root->ChildNodes().Delete(-1), EListIndexError);
    root->ChildNodes().Clear();
    EXPECT_EQ(root->ChildNodes().Count(), 0);
}

TEST_F(BinTreeNodeTest, DeletingAListedNodeDirectlyLeavesNoDanglingEntry) {
    auto* a = new TDirectoryNode100(root.get(), "a");
    new TDirectoryNode100(root.get(), "b");
    delete a;
    EXPECT_EQ(Names(*root), QStringList({"b"}));
}

TEST_F(BinTreeNodeTest, SetItemsTakesAParentlessNodeAndDestroysTheDisplacedOne) {
    new TDirectoryNode100(root.get(), "a");
    auto* b = new TDirectoryNode100(root.get(), "b");
    auto* fresh = new TDirectoryNode100(nullptr, "fresh");
    root->ChildNodes().SetItems(0, fresh);
    EXPECT_EQ(Names(*root), QStringList({"fresh", "b"}));
    EXPECT_EQ(fresh->ParentNode(), root.get());
    EXPECT_THROW(root->ChildNodes().SetItems(0, b), EAssertionFailed);
    EXPECT_THROW(root->ChildNodes().SetItems(0, nullptr), EAssertionFailed);
    EXPECT_THROW(root->ChildNodes().GetItems(2), EListIndexError);
}

TEST_F(BinTreeNodeTest, MoveReordersInBothDirections) {
    for (const char* name : {"a", "b", "c", "d"})
        new TDirectoryNode100(root.get(), name);
    root->ChildNodes().Move(0, 2);
    EXPECT_EQ(Names(*root), QStringList({"b", "c", "a", "d"}));
    root->ChildNodes().Move(3, 0);
    EXPECT_EQ(Names(*root), QStringList({"d", "b", "c", "a"}));
    EXPECT_THROW(root->ChildNodes().Move(0, 4), EListIndexError);
}

TEST_F(BinTreeNodeTest, FindByNodeNameSearchesFromTheLastChild) {
    auto* first = new TDirectoryNode100(root.get(), "Same");
    auto* second = new TDirectoryNode100(root.get(), "Same");
    new TDirectoryNode100(root.get(), "Other");
    EXPECT_EQ(root->ChildNodes().FindByNodeName("Same"), second);
    EXPECT_NE(root->ChildNodes().FindByNodeName("Same"), first);
    EXPECT_EQ(root->ChildNodes().FindByNodeName("same"), nullptr);
    EXPECT_EQ(root->ChildNodes().FindByNodeName("Missing"), nullptr);
}

TEST_F(BinTreeNodeTest, AListWithoutOwnerIsAnAssertionFailure) {
    try {
        TBinTreeNodeList100 list(nullptr);
        FAIL();
    } catch (const EAssertionFailed& error) {
        EXPECT_EQ(error.Message(), "Assertion failure");
    }
}

} // namespace
} // namespace velmora
