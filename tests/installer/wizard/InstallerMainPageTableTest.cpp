#include "installer/wizard/InstallerMainPageTable.h"

#include "installer/wizard/InstallerMainLayout.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct TLookRow {
    int Page;
    bool OperateBar, AgreementRow, OperatorShown, PriorShown, HasPage;
    const char* Caption; // nullptr: left as it is
    TOperatorAction Action;
};

TEST(InstallerMainPageTable, EachPageShowsItsBarLinksAndCaption) {
    const TLookRow rows[] = {
        {0, false, false, false, false, true, "继续安装>>", TOperatorAction::Next},
        {1, true, true, true, true, true, "自定义安装>>", TOperatorAction::Next},
        {2, true, false, true, false, true, "返回上一步>>", TOperatorAction::Prior},
        {3, false, false, false, false, true, nullptr, TOperatorAction::None},
        {4, false, false, false, false, true, "完成安装", TOperatorAction::Finish},
        {-1, false, false, false, false, false, nullptr, TOperatorAction::None},
        {5, false, false, false, false, false, nullptr, TOperatorAction::None},
    };
    for (const TLookRow& row : rows) {
        SCOPED_TRACE(row.Page);
        const TInstallerMainPageLook look = InstallerMainPageLook(row.Page);
        EXPECT_EQ(look.OperateBar, row.OperateBar);
        EXPECT_EQ(look.AgreementRow, row.AgreementRow);
        EXPECT_EQ(look.OperatorShown, row.OperatorShown);
        EXPECT_EQ(look.PriorShown, row.PriorShown);
        EXPECT_EQ(look.HasPage, row.HasPage);
        EXPECT_EQ(look.OperatorCaption.has_value(), row.Caption != nullptr);
        if (row.Caption != nullptr) {
            EXPECT_EQ(*look.OperatorCaption, QString::fromUtf8(row.Caption));
        }
        EXPECT_EQ(InstallerMainOperatorAction(row.Page), row.Action);
    }
}

TEST(InstallerMainLayout, BarsSitAtTheBottomAndThePageFillsTheRest) {
    const QRect client(3, 28, 556, 340);
    EXPECT_EQ(TInstallerMainLayout::BarRect(client, 35), QRect(3, 333, 556, 35));
    EXPECT_EQ(TInstallerMainLayout::PageRect(client, 35), QRect(3, 28, 556, 305));
    EXPECT_EQ(TInstallerMainLayout::PageRect(client, 30), QRect(3, 28, 556, 310));
    // A bar taller than the client takes all of it, and the page none.
    EXPECT_EQ(TInstallerMainLayout::BarRect(client, 500), client);
    EXPECT_TRUE(TInstallerMainLayout::PageRect(client, 500).isEmpty());

    const QRect op = TInstallerMainLayout::OperatorRect(QSize(556, 35), QSize(90, 17));
    EXPECT_EQ(op, QRect(556 - 16 - 90, 9, 90, 17));
    EXPECT_EQ(TInstallerMainLayout::PriorRect(op, 35, QSize(70, 17)),
              QRect(op.left() - 12 - 70, 9, 70, 17));
    EXPECT_EQ(TInstallerMainLayout::CentredAt(556, 200, QSize(120, 36)), QRect(218, 200, 120, 36));
}

} // namespace
