// Page list, page changes, mouse, keyboard and loading of the page control.
#include "tests/skin/widgets/PageControlFixture.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

namespace velmora::testing {
namespace {

TEST_F(PageControlTest, OnChangingCanRefuseAndOnlyTabIndexFiresEvents) {
    AddSheets(5);
    std::vector<int> changing;
    int changes = 0;
    bool allow = false;
    FControl->OnChanging = [&](QObject*, int index, bool& ok) {
        changing.push_back(index);
        ok = allow;
    };
    FControl->OnChange = [&](QObject*) { ++changes; };

    FControl->SetActivePageIndex(2);
    EXPECT_EQ(changing, std::vector<int>{2});
    EXPECT_EQ(FControl->TabIndex(), 0);
    EXPECT_EQ(FControl->ActivePage(), FSheets[0]);
    EXPECT_FALSE(FSheets[0]->isHidden());
    EXPECT_TRUE(FSheets[2]->isHidden());
    EXPECT_EQ(changes, 0);

    allow = true;
    FControl->SetActivePageIndex(2);
    EXPECT_EQ(FControl->TabIndex(), 2);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(FSheets[0]->isHidden());
    EXPECT_FALSE(FSheets[2]->isHidden());
    EXPECT_EQ(FSheets[2]->geometry(), QRect(0, 26, 554, 194));

    // Out of range: the index goes to -1 quietly, the shown sheet stays.
    FControl->SetActivePageIndex(7);
    EXPECT_EQ(FControl->TabIndex(), -1);
    EXPECT_EQ(FControl->ActivePage(), FSheets[2]);
    EXPECT_FALSE(FSheets[2]->isHidden());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(changing.size(), 2u);
}

TEST_F(PageControlTest, HidingTabsMovesTheActivePageOnAndWraps) {
    AddSheets(5);
    FControl->SetActivePageIndex(4);
    FSheets[4]->SetTabVisible(false);
    EXPECT_EQ(FControl->ActivePage(), FSheets[0]);
    EXPECT_EQ(FControl->VisiblePageCount(), 4);
    EXPECT_EQ(FSheets[3]->TabIndex(), 3);
    EXPECT_EQ(FSheets[4]->TabIndex(), -1);

    // The only visible sheet is its own next page.
    for (int i = 1; i < 4; ++i)
        FSheets[i]->SetTabVisible(false);
    EXPECT_EQ(FControl->FindNextPage(FSheets[0], true, true), FSheets[0]);
    EXPECT_EQ(FControl->FindNextPage(FSheets[0], false, true), FSheets[0]);
    EXPECT_EQ(FControl->FindNextPage(FSheets[0], false, false), FSheets[4]);

    // A sheet whose tab is hidden becomes active only by an ActivePage write, without index.
    FControl->SetActivePage(FSheets[3]);
    EXPECT_EQ(FControl->ActivePage(), FSheets[3]);
    EXPECT_EQ(FControl->TabIndex(), -1);
    EXPECT_FALSE(FSheets[3]->isHidden());

    // Any rebuild moves on from a hidden-tab page to the next visible one, here the first.
    FControl->ShowAllTabs();
    EXPECT_EQ(FControl->VisiblePageCount(), 5);
    EXPECT_EQ(FControl->ActivePage(), FSheets[0]);
    EXPECT_EQ(FControl->TabIndex(), 0);
    FControl->HideAllTabs();
    EXPECT_EQ(FControl->VisiblePageCount(), 0);
}

TEST_F(PageControlTest, PageIndexMovesSheetsAndRefusesPositionsOutsideTheList) {
    AddSheets(5);
    for (int bad : {5, -1}) {
        try {
            FSheets[1]->SetPageIndex(bad);
            ADD_FAILURE() << bad << " was accepted";
        } catch (const EInvalidPageIndex& error) {
            EXPECT_EQ(error.Message(),
                      QStringLiteral("%1 is an invalid PageIndex value. PageIndex must be between "
                                     "0 and 4")
                          .arg(bad));
        }
    }
    EXPECT_EQ(FSheets[1]->PageIndex(), 1);
    FSheets[1]->SetPageIndex(4);
    EXPECT_EQ(FControl->GetPage(4), FSheets[1]);
    EXPECT_EQ(FControl->GetPage(1), FSheets[2]);
    EXPECT_EQ(FSheets[1]->TabIndex(), 4);

    TSkinTabSheet loose;
    EXPECT_EQ(loose.PageIndex(), -1);
    loose.SetPageIndex(3); // nothing to move within
}

TEST_F(PageControlTest, SheetsLeaveAndJoinAndDieSafely) {
    AddSheets(3);
    FControl->SetActivePageIndex(1);
    TSkinPageControl other(FForm.get());
    FSheets[1]->SetPageControl(&other);
    EXPECT_EQ(FControl->PageCount(), 2);
    EXPECT_EQ(FControl->ActivePage(), FSheets[0]);
    EXPECT_EQ(other.ActivePage(), FSheets[1]);
    EXPECT_EQ(FSheets[1]->parentWidget(), &other);

    // Plain reparenting follows the page list too.
    FSheets[1]->setParent(FControl);
    EXPECT_EQ(other.PageCount(), 0);
    EXPECT_EQ(FControl->GetPage(2), FSheets[1]);

    delete FSheets[0]; // the active page
    EXPECT_EQ(FControl->PageCount(), 2);
    EXPECT_EQ(FControl->ActivePage(), FSheets[2]);
    EXPECT_EQ(FControl->TabAtPos(5, 5), 0);

    QPointer<TSkinTabSheet> survivor = FSheets[2];
    delete FControl;
    EXPECT_TRUE(survivor.isNull());
    FSheets.clear();
}

TEST_F(PageControlTest, MouseSelectsTabsAndAPressOnEmptyStripClearsOnlyTheIndex) {
    AddSheets(3);
    ShowActive();
    int changes = 0;
    FControl->OnChange = [&](QObject*) { ++changes; };
    const TGPRect tab2 = FSheets[2]->DisplayRect();
    ASSERT_GT(tab2.Width, 0);
    QTest::mouseMove(FControl, Centre(tab2));
    EXPECT_EQ(FControl->MouseOverPageIndex(), 2);
    QTest::mouseClick(FControl, Qt::LeftButton, {}, Centre(tab2));
    EXPECT_EQ(FControl->TabIndex(), 2);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(FControl->MouseDown());

    QTest::mouseClick(FControl, Qt::LeftButton, {}, QPoint(500, 10));
    EXPECT_EQ(FControl->TabIndex(), -1);
    EXPECT_EQ(FControl->ActivePage(), FSheets[2]);
    EXPECT_EQ(FControl->ActivePageIndex(), 2);
    EXPECT_EQ(changes, 1);

    // Every way the mouse stops acting on the control forgets the press.
    QTest::mousePress(FControl, Qt::LeftButton, {}, Centre(FSheets[0]->DisplayRect()));
    EXPECT_TRUE(FControl->MouseDown());
    FControl->setEnabled(false);
    EXPECT_FALSE(FControl->MouseDown());
    EXPECT_EQ(FControl->MouseOverPageIndex(), -1);
}

TEST_F(PageControlTest, ControlButtonsFireOnReleaseAndPagingScrollsAndResizeScrollsBack) {
    AddSheets(30);
    FControl->SetShowCloseButton(true);
    FControl->SetAlwaysShowFirstPage(true);
    ShowActive();
    int closes = 0;
    FControl->OnCloseBtnClick = [&](QObject*) { ++closes; };
    const TTabStripLayout& layout = FControl->TabLayout();
    ASSERT_TRUE(layout.PageScrollVisible);
    EXPECT_EQ(FControl->PageScrollStart(), 1);
    const QPoint down = Centre(layout.Button(cbPageDown));
    const QPoint up = Centre(FControl->TabLayout().Button(cbPageUp));
    const QPoint close = Centre(FControl->TabLayout().Button(cbClose));

    QTest::mouseMove(FControl, close);
    QTest::mouseMove(FControl, close + QPoint(1, 0));
    EXPECT_EQ(FControl->TabCtrlBtn(), cbClose);
    QTest::mouseClick(FControl, Qt::LeftButton, {}, close);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(FControl->TabIndex(), -1); // a press on a button is a press outside the tabs

    QTest::mouseClick(FControl, Qt::LeftButton, {}, up);
    EXPECT_EQ(FControl->PageScrollStart(), 1); // page-up stops at the first scrolled tab
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(FControl, Qt::LeftButton, {}, down);
    EXPECT_EQ(FControl->PageScrollStart(), 4);
    EXPECT_EQ(FControl->TabLayout().Tabs[0].X, 0);
    EXPECT_EQ(FControl->TabLayout().Tabs[4].X, FControl->TabLayout().Tabs[0].Width);
    // Paging down stops once the last tab is in view.
    for (int i = 0; i < 40; ++i)
        QTest::mouseClick(FControl, Qt::LeftButton, {}, down);
    const int end = FControl->PageScrollStart();
    EXPECT_TRUE(FControl->TabLayout().TabPlaced(29));
    EXPECT_FALSE(FControl->TabLayout().TabPlaced(end - 1));
    QTest::mouseClick(FControl, Qt::LeftButton, {}, down);
    EXPECT_EQ(FControl->PageScrollStart(), end);

    FControl->resize(500, 220);
    EXPECT_EQ(FControl->PageScrollStart(), 1);
}

TEST_F(PageControlTest, CtrlTabWalksTheVisibleSheetsFromInsideAPage) {
    AddSheets(4);
    FSheets[2]->SetTabVisible(false);
    std::vector<QLineEdit*> edits;
    for (TSkinTabSheet* sheet : FSheets)
        edits.push_back(new QLineEdit(sheet));
    ShowActive();
    edits[0]->setFocus();
    ASSERT_TRUE(edits[0]->hasFocus());

    std::vector<TSkinTabSheet*> walk;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(FForm->focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        walk.push_back(FControl->ActivePage());
    }
    EXPECT_EQ(walk, (std::vector<TSkinTabSheet*>{FSheets[1], FSheets[3], FSheets[0], FSheets[1]}));
    // Focus followed into the new page's first control.
    EXPECT_TRUE(edits[1]->hasFocus());

    QTest::keyClick(FForm->focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(FControl->ActivePage(), FSheets[0]);
    EXPECT_TRUE(edits[0]->hasFocus());
}

TEST_F(PageControlTest, LoadingSelectsTheRememberedSheetAfterTheFirst) {
    TSkinPageControl loaded(FForm.get());
    loaded.BeginLoad();
    std::vector<int> changing;
    loaded.OnChanging = [&](QObject*, int index, bool&) { changing.push_back(index); };
    auto* a = new TSkinTabSheet(&loaded);
    auto* b = new TSkinTabSheet(&loaded);
    loaded.SetActivePage(b);
    loaded.SetTabIndex(1);
    EXPECT_TRUE(b->isHidden());
    loaded.EndLoad();
    EXPECT_EQ(loaded.ActivePage(), b);
    EXPECT_EQ(loaded.TabIndex(), 1);
    EXPECT_TRUE(a->isHidden());
    EXPECT_EQ(changing, (std::vector<int>{0, 1}));

    // Without a remembered sheet the first one stays shown.
    TSkinPageControl plain(FForm.get());
    plain.BeginLoad();
    auto* only = new TSkinTabSheet(&plain);
    plain.EndLoad();
    EXPECT_EQ(plain.ActivePage(), only);
    EXPECT_FALSE(only->isHidden());
}

TEST_F(PageControlTest, MakeControlVisibleSelectsTheSheetHoldingTheControl) {
    AddSheets(4);
    FSheets[0]->SetTabVisible(false);
    auto* edit = new QLineEdit(new QWidget(FSheets[2]));
    FControl->MakeControlVisible(edit);
    EXPECT_EQ(FControl->ActivePage(), FSheets[2]);
    FControl->MakeControlVisible(FSheets[0]);
    EXPECT_EQ(FControl->ActivePage(), FSheets[0]);
    EXPECT_EQ(FControl->TabIndex(), -1);
}

TEST_F(PageControlTest, FailingShowHandlerIsLoggedAndTheSheetStillShows) {
    AddSheets(2);
    FSheets[1]->setObjectName(QStringLiteral("tsSecond"));
    FSheets[1]->OnShow = [](TSkinTabSheet*) { throw std::runtime_error("show failed"); };
    int hides = 0;
    FSheets[0]->OnHide = [&](TSkinTabSheet*) { ++hides; };
    ShowActive();
    FControl->SetActivePageIndex(1);
    EXPECT_TRUE(FSheets[1]->isVisible());
    EXPECT_EQ(hides, 1);
    const QStringList lines = Log()->Lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("ObjectName:tsSecond")));
    EXPECT_TRUE(lines[0].contains(QStringLiteral("AdditionalMsg:CMShowingChanged")));
}

} // namespace
} // namespace velmora::testing

namespace velmora::testing {
namespace {

TEST_F(PageControlTest, AccessibilityReportsAPageTabListWithItsVisibleTabs) {
    AddSheets(3);
    FSheets[1]->SetTabVisible(false);
    FControl->SetActivePageIndex(1); // the third sheet
    Picture();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(FControl);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::PageTabList);
    ASSERT_GE(list->childCount(), 2);
    QAccessibleInterface* first = list->child(0);
    QAccessibleInterface* second = list->child(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->role(), QAccessible::PageTab);
    EXPECT_EQ(first->text(QAccessible::Name), QStringLiteral("Page 0"));
    EXPECT_FALSE(first->state().selected);
    EXPECT_EQ(second->text(QAccessible::Name), QStringLiteral("Page 2"));
    EXPECT_TRUE(second->state().selected);
    EXPECT_EQ(list->indexOfChild(second), 1);
    EXPECT_EQ(second->parent(), list);
    EXPECT_EQ(list->child(1), second); // the same tab keeps its interface
    // The sheets stay reachable as ordinary children after the tabs.
    EXPECT_EQ(list->childCount(), 2 + 3);
}

} // namespace
} // namespace velmora::testing
