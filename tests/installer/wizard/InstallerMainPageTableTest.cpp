#include "installer/wizard/InstallerMainLayout.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

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
