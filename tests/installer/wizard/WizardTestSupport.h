#pragma once

#include "installer/InstallerSettings.h"
#include "skin/data/SkinMng.h"
#include "tests/support/SkinTestSupport.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <vector>

namespace velmora {
int SkinResourceAnchor();
}

namespace velmora::testing {

// Dialog tests: the application, the captured skin log, the embedded skin and the settings,
// as the installer has them when its first dialog opens.
class WizardDialogTest : public SkinTest {
protected:
    void SetUp() override {
        SkinTest::SetUp();
        SkinResourceAnchor();
        FillInstallerSettings();
        if (!SkinMng().Loaded()) {
            SkinMng().SetIsPrepareBuildBackGndImage(false);
            ASSERT_TRUE(SkinMng().ChangeSkinRes(QStringLiteral("SKIN"), false));
        }
    }
};

// Runs AStep once the modal loop that the next call starts is running.
inline void WhenModal(QObject* AContext, std::function<void()> AStep) {
    QTimer::singleShot(0, AContext, std::move(AStep));
}

// The visible children of AParent of type T, left to right.
template <typename T> std::vector<T*> VisibleLeftToRight(const QWidget* AParent) {
    std::vector<T*> shown;
    // The skinned widgets carry no meta-object of their own, so only a C++ cast tells them
    // apart.
    for (QWidget* widget : AParent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (T* child = dynamic_cast<T*>(widget); child != nullptr && child->isVisibleTo(AParent))
            shown.push_back(child);
    std::sort(shown.begin(), shown.end(), [](T* a, T* b) { return a->x() < b->x(); });
    return shown;
}

} // namespace velmora::testing
