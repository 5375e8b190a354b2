#include "installer/wizard/InstallerMainStyle.h"
#include "installer/wizard/WizardImageButton.h"
#include "platform/graphics/SkinApplication.h"
#include "skin/data/SkinMng.h"
#include "skin/widgets/SkinCheckBox.h"
#include "skin/widgets/SkinImage.h"
#include "skin/widgets/SkinLabel.h"
#include "skin/widgets/SkinPageControl.h"
#include "skin/widgets/SkinPanel.h"
#include "skin/widgets/SkinTabSheet.h"
#include "tests/installer/wizard/InstallerMainFixture.h"
#include "tests/installer/wizard/TextFit.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

using namespace velmora;
using namespace velmora::testing;

namespace {

const char* const KPanels[] = {"pnlAnnounce", "pnlInstallOption", "pnlInstallPath", "pnlInstalling",
                               "pnlInstallFinished"};

// Runs check once on the modal window the next step opens, from inside its modal loop; the
// event loop passes before it (the install's own message pumping) are skipped.
void WhenModal(std::function<void(QWidget*)> check) {
    auto* poll = new QTimer(qApp);
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, check] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            return;
        poll->stop();
        poll->deleteLater();
        check(modal);
    });
    poll->start();
}

class TThrowingObject : public QObject {
protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User)
            throw std::runtime_error("licence picture missing");
        return QObject::event(event);
    }
};

TEST_F(InstallerMainTest, FormIsLaidOutFixedCentredAndFadesIn) {
    TfrmInstallerMain& window = Window();
    EXPECT_EQ(window.size(), QSize(562, 371));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_TRUE(window.windowTitle().isEmpty());
    EXPECT_EQ(window.BorderIcons(), biSystemMenu | biMinimize);
    auto* pages = Child<TSkinPageControl>("pcInstallProgress");
    EXPECT_EQ(pages->size(), QSize(554, 320));
    EXPECT_EQ(pages->TabHeight(), 26);
    EXPECT_FALSE(pages->isVisibleTo(&window));
    ASSERT_EQ(pages->PageCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(pages->GetPage(i)->Caption(), InstallerSettings().PageTitles[size_t(i)]);
        // Every page panel now belongs to the form itself.
        EXPECT_EQ(Child<TSkinPanel>(KPanels[i])->parentWidget(), &window);
    }
    EXPECT_EQ(Child<QLineEdit>("edtInstallPath")->text(), FRoots.ProgramFiles + u"/Norvane"_qs);

    QStringList alphas;
    for (int tick = 0; tick < 45; ++tick) {
        alphas << QString::number(window.Alpha());
        FClock->Advance(TfrmInstallerMain::FadeInterval);
    }
    EXPECT_EQ(alphas.first(), u"0"_qs);
    EXPECT_EQ(alphas.at(1), u"6"_qs);
    EXPECT_EQ(alphas.at(42), u"252"_qs);
    EXPECT_EQ(alphas.at(43), u"255"_qs);
    EXPECT_EQ(alphas.at(44), u"255"_qs);
}

// What is on screen for a page: its panel alone, one bar, and the links of that bar.
void ExpectPage(InstallerMainTest& test, TfrmInstallerMain& window, int page, bool operate,
                bool agreement, const QString& operatorCaption, bool prior) {
    SCOPED_TRACE(page);
    EXPECT_EQ(window.PageIndex(), page);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(window.findChild<QWidget*>(QLatin1String(KPanels[i]))->isVisible(), i == page);
    EXPECT_EQ(window.findChild<QWidget*>(u"pnlOperate"_qs)->isVisible(), operate);
    EXPECT_EQ(window.findChild<QWidget*>(u"pnlBack"_qs)->isVisible(), !operate);
    EXPECT_EQ(window.findChild<QWidget*>(u"pnlReaderAnnounce"_qs)->isVisible(), agreement);
    auto* op = window.findChild<TSkinLabel*>(u"lblOperator"_qs);
    EXPECT_EQ(op->isVisible(), !operatorCaption.isEmpty());
    if (!operatorCaption.isEmpty()) {
        EXPECT_EQ(op->Caption(), operatorCaption);
        // One line, inside the bar.
        EXPECT_LT(op->height(), 30);
        EXPECT_LE(op->geometry().right(), op->parentWidget()->width());
    }
    EXPECT_EQ(window.findChild<QWidget*>(u"lblPrior"_qs)->isVisible(), prior);
    (void)test;
}

TEST_F(InstallerMainTest, LinksAndButtonsWalkThePages) {
    TfrmInstallerMain& window = Window();
    ExpectPage(*this, window, 0, false, false, QString(), false);
    Click("imgOKButton");
    ExpectPage(*this, window, 1, true, true, u"自定义安装>>"_qs, true);
    Click("lblPrior");
    ExpectPage(*this, window, 0, false, false, QString(), false);
    Click("imgOKButton");
    Click("lblOperator");
    ExpectPage(*this, window, 2, true, false, u"返回上一步>>"_qs, false);
    Click("lblOperator");
    ExpectPage(*this, window, 1, true, true, u"自定义安装>>"_qs, true);
    EXPECT_EQ(Child<TSkinPageControl>("pcInstallProgress")->ActivePageIndex(), 1);
}

// The path field and the progress bar take their style sheets when their pages are first
// shown, not at start-up, and paint with them from their first frame: the field's text is in
// the page's ink, not the stock black. (The bar's sheet is checked once it has been shown, in
// the install below.)
TEST_F(InstallerMainTest, StyledFieldsTakeTheirLookWhenTheirPageIsFirstShown) {
    TfrmInstallerMain& window = Window();
    auto* edit = Child<QLineEdit>("edtInstallPath");
    EXPECT_TRUE(edit->styleSheet().isEmpty());
    EXPECT_TRUE(Child<QProgressBar>("pbProgress")->styleSheet().isEmpty());
    Click("imgOKButton");
    Click("lblOperator");
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->styleSheet(), InstallerMainStyle::PathEditSheet());
    EXPECT_TRUE(Child<QProgressBar>("pbProgress")->styleSheet().isEmpty())
        << "its page has not been shown";
    edit->setText(QStringLiteral("||||||||"));
    const QImage frame =
        window.grab(edit->geometry().translated(edit->parentWidget()->mapTo(&window, QPoint(0, 0))))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    QRgb darkest = qRgb(255, 255, 255);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if (qGray(frame.pixel(x, y)) < qGray(darkest))
                darkest = frame.pixel(x, y);
    EXPECT_EQ(QColor(darkest), QColor::fromRgba(InstallerMainStyle::Ink));
}

TEST_F(InstallerMainTest, AgreementRuleHoldsForBoxLabelAndDisabledButtons) {
    TfrmInstallerMain& window = Window();
    Click("imgOKButton");
    auto* box = Child<TSkinCheckBox>("chkReadedAnnounce");
    auto* fast = Child<QWidget>("imgFastButtom");
    auto* install = Child<QWidget>("imgOkInstall");
    ASSERT_TRUE(box->Checked());

    Click("chkReadedAnnounce");
    EXPECT_FALSE(box->Checked());
    EXPECT_FALSE(fast->isEnabled());
    EXPECT_FALSE(install->isEnabled());
    Click("imgFastButtom"); // ignored: nothing installs
    EXPECT_EQ(window.PageIndex(), 1);

    Click("lblReadedAnnounce");
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(fast->isEnabled());
    EXPECT_TRUE(install->isEnabled());
    Click("lblReadedAnnounce");
    EXPECT_FALSE(box->Checked());
    EXPECT_FALSE(install->isEnabled());

    Click("lblOperator");
    Click("imgOkInstall"); // disabled on the path page too
    EXPECT_EQ(window.PageIndex(), 2);
    EXPECT_FALSE(window.Installing());
    EXPECT_TRUE(FLauncher.Opened.isEmpty());
    EXPECT_FALSE(QDir(FRoots.ProgramFiles + u"/Norvane"_qs).exists());

    // Drawn faded while disabled.
    auto* button = Child<TWizardImageButton>("imgOkInstall");
    const QImage faded = Grab(*button);
    Click("lblOperator");
    Click("chkReadedAnnounce");
    Click("lblOperator");
    const QImage shown = Grab(*button);
    const QPoint mid = shown.rect().center();
    EXPECT_GT(qAlpha(shown.pixel(mid)), 0);
    EXPECT_NE(faded.pixel(mid), shown.pixel(mid));
}

TEST_F(InstallerMainTest, SharedButtonLooksChangeTogetherAndResetOnShow) {
    Window();
    const auto picture = [this](const char* name) { return Child<TSkinImage>(name)->Picture(); };
    auto* ok = Child<TWizardImageButton>("imgOKButton");
    auto* install = Child<TWizardImageButton>("imgOkInstall");
    EXPECT_NE(picture("imgOKNor"), picture("imgOKHov"));
    EXPECT_EQ(ok->Picture(), picture("imgOKNor"));

    Enter("imgOkInstall");
    EXPECT_EQ(ok->Picture(), picture("imgOKHov"));
    EXPECT_EQ(install->Picture(), picture("imgOKHov"));
    Press("imgOKButton");
    EXPECT_EQ(ok->Picture(), picture("imgOKDown"));
    EXPECT_EQ(install->Picture(), picture("imgOKDown"));
    Leave("imgOKButton");
    EXPECT_EQ(install->Picture(), picture("imgOKNor"));

    Enter("imgOKButton");
    Window().ShowPage(); // showing page 0 again gives its button the normal look
    EXPECT_EQ(ok->Picture(), picture("imgOKNor"));
}

TEST_F(InstallerMainTest, BrowsingAppendsThePublisherFolder) {
    TfrmInstallerMain& window = Window();
    Click("imgOKButton");
    Click("lblOperator");
    auto* edit = Child<QLineEdit>("edtInstallPath");
    const QString chosen = Path(u"choice"_qs);
    QDir().mkpath(chosen);
    edit->setText(Path(u"home"_qs));

    struct TCase {
        QString Folder; // empty: cancel
        QString Expected;
    };
    const TCase cases[] = {
        {chosen, chosen + u"/Norvane"_qs},
        {u"/"_qs, u"/Norvane"_qs}, // a root gets the publisher folder directly
        {QString(), u"/Norvane"_qs},
    };
    for (const TCase& step : cases) {
        SCOPED_TRACE(step.Folder.toStdString());
        bool seen = false;
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            seen = true;
            EXPECT_EQ(dialog->parentWidget(), &window);
            EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
            EXPECT_EQ(dialog->windowTitle(), u"选择文件夹:"_qs);
            EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
            if (step.Folder.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->setDirectory(step.Folder);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        Click("imgSelect");
        EXPECT_TRUE(seen);
        EXPECT_EQ(edit->text(), step.Expected);
    }
}

TEST_F(InstallerMainTest, CustomInstallReportsProgressAndFinishLaunchesInOrder) {
    TfrmInstallerMain& window = Window();
    UsePayload(Release());
    Click("imgOKButton");
    Click("lblOperator");
    const QString folder = Path(u"apps"_qs);
    Child<QLineEdit>("edtInstallPath")->setText(folder);

    // Sampled from inside the sequence's own message pumping.
    auto* label = Child<TSkinLabel>("lblInstallState");
    auto* bar = Child<QProgressBar>("pbProgress");
    QStringList captions;
    QList<int> positions;
    int pageDuringInstall = -1;
    // What the installing page shows around its panel: the back bar alone, no links.
    QStringList shownDuringInstall;
    QTimer sampler;
    sampler.setInterval(0);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (!window.Installing())
            return;
        pageDuringInstall = window.PageIndex();
        if (shownDuringInstall.isEmpty())
            for (const char* name : {"pnlAnnounce", "pnlInstallOption", "pnlInstallPath",
                                     "pnlInstalling", "pnlInstallFinished", "pnlOperate", "pnlBack",
                                     "pnlReaderAnnounce", "lblOperator", "lblPrior"})
                if (window.findChild<QWidget*>(QLatin1String(name))->isVisible())
                    shownDuringInstall << QLatin1String(name);
        if (captions.isEmpty() || captions.last() != label->Caption())
            captions << label->Caption();
        if (positions.isEmpty() || positions.last() != bar->value())
            positions << bar->value();
    });
    sampler.start();
    Click("imgOkInstall");
    sampler.stop();

    EXPECT_EQ(pageDuringInstall, 3);
    EXPECT_EQ(shownDuringInstall, QStringList({u"pnlInstalling"_qs, u"pnlBack"_qs}));
    EXPECT_TRUE(captions.contains(u"正在复制文件: Velmora/Data/big.bin"_qs))
        << captions.join(u'|').toStdString();
    EXPECT_TRUE(captions.contains(u"正在注册安装信息..."_qs));
    EXPECT_EQ(bar->maximum(), 4);
    EXPECT_EQ(bar->value(), 4);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_GT(positions.size(), 2);
    EXPECT_EQ(bar->styleSheet(), InstallerMainStyle::ProgressSheet()) << "shown with its page";

    ExpectPage(*this, window, 4, false, false, QString(), false);
    EXPECT_TRUE(window.InstallSuccess());
    EXPECT_EQ(label->Caption(), u"安装完成"_qs);
    EXPECT_EQ(Child<TSkinLabel>("lblFinishedState")->Caption(), u"安装完成"_qs);
    EXPECT_TRUE(Child<QWidget>("pnlInstallFinished")->isEnabled());
    EXPECT_TRUE(Child<TSkinCheckBox>("chkRunRightNow")->Checked());
    EXPECT_TRUE(Child<TSkinCheckBox>("chkAccessWebgle")->Checked());
    const QString product = folder + u"/Velmora/"_qs;
    EXPECT_EQ(velmora::test::ReadFile(product + u"Data/big.bin"_qs).size(), 300000);
    EXPECT_TRUE(QFileInfo(FState.ShortcutFileName).isFile());
    EXPECT_TRUE(FLauncher.Opened.isEmpty());

    Click("imgFinishedButton");
    EXPECT_EQ(FLauncher.Opened,
              QStringList({product + u"Corvex.exe"_qs, InstallerSettings().WebAddress}));
    EXPECT_FALSE(window.isVisible());
}

TEST_F(InstallerMainTest, QuickInstallGoesToTheDefaultFolderAndFinishHonoursTheBoxes) {
    TfrmInstallerMain& window = Window();
    UsePayload(Release());
    Click("imgOKButton");
    Click("imgFastButtom");
    ASSERT_EQ(window.PageIndex(), 4);
    EXPECT_TRUE(QFileInfo(FRoots.ProgramFiles + u"/Norvane/Velmora/Corvex.exe"_qs).isFile());
    Click("chkRunRightNow");
    FLauncher.Fail = true; // a failed start is logged and the window still closes
    Click("imgFinishedButton");
    EXPECT_EQ(FLauncher.Opened, QStringList({InstallerSettings().WebAddress}));
    EXPECT_TRUE(Log().contains(u"FinishInstall:打开网站\r\nno opener"_qs)) << Log().toStdString();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(InstallerMainTest, FailedExtractionShowsTheBoxThenAFailedFinishedPage) {
    TfrmInstallerMain& window = Window();
    window.OnShowInstallError = TShowInstallError(); // the real box, answered below
    UsePayload(QByteArray("not a zlib stream at all"));
    Click("imgOKButton");
    QString boxText;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        boxText = box->windowTitle() + u'|' + box->text();
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->parentWidget(), nullptr);
        box->accept();
    });
    Click("imgFastButtom");
    EXPECT_EQ(boxText, u"提示|拷贝安装文件失败,安装程序将退出！"_qs);
    EXPECT_EQ(window.PageIndex(), 4);
    EXPECT_FALSE(window.InstallSuccess());
    EXPECT_EQ(Child<TSkinLabel>("lblInstallState")->Caption(), u"安装失败"_qs);
    EXPECT_EQ(Child<TSkinLabel>("lblFinishedState")->Caption(), u"安装失败"_qs);
    EXPECT_FALSE(Child<TSkinCheckBox>("chkRunRightNow")->Checked());
    EXPECT_FALSE(Child<TSkinCheckBox>("chkAccessWebgle")->Checked());
    // Nothing to run or visit, but a way out: the boxes are off, the finish button closes.
    EXPECT_FALSE(Child<QWidget>("chkRunRightNow")->isEnabled());
    EXPECT_FALSE(Child<QWidget>("chkAccessWebgle")->isEnabled());
    EXPECT_TRUE(Child<QWidget>("imgFinishedButton")->isEnabled());
    Click("imgFinishedButton");
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(FLauncher.Opened.isEmpty());
    EXPECT_TRUE(Log().contains(u"ZDecompressStream:提取安装包出错!"_qs));
    EXPECT_FALSE(QDir(FRoots.ProgramFiles + u"/Norvane"_qs).exists());
}

TEST_F(InstallerMainTest, AnErrorEscapingTheSequenceIsLoggedAndEndsOnTheFailedPage) {
    TfrmInstallerMain& window = Window();
    window.PayloadSource = []() -> std::unique_ptr<QIODevice> {
        throw EVelmoraError(u"payload medium vanished"_qs);
    };
    Click("imgOKButton");
    Click("imgFastButtom");
    EXPECT_TRUE(Log().contains(u"payload medium vanished"_qs));
    EXPECT_EQ(window.PageIndex(), 4);
    EXPECT_EQ(Child<TSkinLabel>("lblInstallState")->Caption(), u"安装失败"_qs);
}

TEST_F(InstallerMainTest, ClosingDuringTheInstallWaitsForTheSequence) {
    TfrmInstallerMain& window = Window();
    UsePayload(Release());
    QTimer::singleShot(0, &window, [&window] { window.close(); });
    Click("imgOKButton");
    Click("imgFastButtom");
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.InstallSuccess());
    EXPECT_EQ(
        velmora::test::ReadFile(FRoots.ProgramFiles + u"/Norvane/Velmora/Data/big.bin"_qs).size(),
        300000);
}

TEST_F(InstallerMainTest, CancelAsksThroughItsActionAndErrorsGoToTheLog) {
    TfrmInstallerMain& window = Window();
    int asked = 0;
    bool answer = false;
    window.OnConfirmCancel = [&] {
        ++asked;
        return answer;
    };
    window.CancelInstall();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(window.isVisible());

    int shown = 0;
    window.OnShowAgreement = [&] { ++shown; };
    Click("imgOKButton");
    Click("lblAnnounce");
    EXPECT_EQ(shown, 1);

    // Any error escaping an event handler goes to the install log and nowhere else.
    TThrowingObject thrower;
    QEvent boom(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &boom);
    EXPECT_TRUE(Log().contains(u"licence picture missing"_qs)) << Log().toStdString();
    EXPECT_TRUE(window.isVisible());

    answer = true;
    window.CancelInstall();
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(window.isVisible());

    window.show();
    window.OnConfirmCancel = nullptr; // no question: close at once
    window.CancelInstall();
    EXPECT_FALSE(window.isVisible());
}

} // namespace

namespace {

// The accessible name of the widget holding the keyboard focus.
QString FocusName() {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr)
        return QStringLiteral("(none)");
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(focus);
    return face != nullptr ? face->text(QAccessible::Name) : focus->objectName();
}

void Key(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target =
        QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &window;
    QTest::keyClick(target, key, modifiers);
}

// Every shown control a user can act on, as assistive technology sees it: role, name, actions.
QStringList ActionableControls(QWidget& window) {
    QStringList seen;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window) || widget->focusPolicy() == Qt::NoFocus)
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        if (face == nullptr) {
            seen << widget->objectName() + u":no interface"_qs;
            continue;
        }
        const QString name = face->text(QAccessible::Name);
        QAccessibleActionInterface* actions = face->actionInterface();
        const bool editable = face->role() == QAccessible::EditableText;
        seen << QString::number(int(face->role()), 16) + u'|' + name + u'|' +
                    (editable || (actions != nullptr && !actions->actionNames().isEmpty())
                         ? u"acts"_qs
                         : u"no action"_qs);
    }
    seen.sort();
    return seen;
}

} // namespace

TEST_F(InstallerMainTest, KeyboardAloneWalksTheControlsInReadingOrderAndInstalls) {
    TfrmInstallerMain& window = Window();
    UsePayload(Release());
    QApplication::setActiveWindow(&window);
    if (!window.isActiveWindow())
        GTEST_SKIP() << "the platform activates no window";
    EXPECT_EQ(FocusName(), u"确定"_qs); // page 0's default button
    Key(window, Qt::Key_Return);
    ASSERT_EQ(window.PageIndex(), 1);
    EXPECT_EQ(FocusName(), u"快速安装"_qs);
    QStringList walk;
    for (int i = 0; i < 7; ++i) {
        Key(window, Qt::Key_Tab);
        walk << FocusName();
    }
    EXPECT_EQ(walk, QStringList({u"我已阅读并同意许可协议"_qs, u"许可协议"_qs, u"返回上一步"_qs,
                                 u"自定义安装>>"_qs, u"最小化"_qs, u"关闭"_qs, u"快速安装"_qs}));
    Key(window, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(FocusName(), u"关闭"_qs);

    // Space on the agreement toggles it and with it the install button.
    for (int i = 0; i < 2; ++i)
        Key(window, Qt::Key_Tab);
    ASSERT_EQ(FocusName(), u"我已阅读并同意许可协议"_qs);
    Key(window, Qt::Key_Space);
    EXPECT_FALSE(Child<QWidget>("imgFastButtom")->isEnabled());
    Key(window, Qt::Key_Space);
    EXPECT_TRUE(Child<QWidget>("imgFastButtom")->isEnabled());

    // The custom install link, then a typed path confirmed with Return.
    for (int i = 0; i < 3; ++i)
        Key(window, Qt::Key_Tab);
    ASSERT_EQ(FocusName(), u"自定义安装>>"_qs);
    Key(window, Qt::Key_Space);
    ASSERT_EQ(window.PageIndex(), 2);
    EXPECT_EQ(FocusName(), u"确定"_qs);
    Key(window, Qt::Key_Tab, Qt::ShiftModifier);
    Key(window, Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(FocusName(), u"安装路径"_qs);
    auto* path = Child<QLineEdit>("edtInstallPath");
    path->selectAll();
    QTest::keyClicks(path, Path(u"typed"_qs));
    Key(window, Qt::Key_Return);
    EXPECT_EQ(window.PageIndex(), 4);
    EXPECT_TRUE(window.InstallSuccess());
    EXPECT_TRUE(QFile::exists(Path(u"typed/Velmora/Corvex.exe"_qs)));
    EXPECT_EQ(FocusName(), u"完成"_qs);
    Key(window, Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(FLauncher.Opened.size(), 2);
}

TEST_F(InstallerMainTest, EveryActionableControlHasARoleANameAndAnAction) {
    TfrmInstallerMain& window = Window();
    UsePayload(Release());
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&window);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Window);
    const QString product =
        InstallerSettings().ProductName + InstallerSettings().Version + u" 安装向导 - "_qs;
    EXPECT_EQ(face->text(QAccessible::Name), product + InstallerSettings().PageTitles[0]);
    const auto hex = [](QAccessible::Role role) { return QString::number(int(role), 16); };
    const QString button = hex(QAccessible::Button), link = hex(QAccessible::Link);
    const QString box = hex(QAccessible::CheckBox), field = hex(QAccessible::EditableText);
    const QStringList title = {button + u"|关闭|acts"_qs, button + u"|最小化|acts"_qs};
    auto expect = [&](QStringList controls) {
        controls += title;
        controls.sort();
        EXPECT_EQ(ActionableControls(window), controls) << window.PageIndex();
    };
    expect({button + u"|确定|acts"_qs});
    Click("imgOKButton");
    expect({button + u"|快速安装|acts"_qs, box + u"|我已阅读并同意许可协议|acts"_qs,
            link + u"|许可协议|acts"_qs, link + u"|返回上一步|acts"_qs,
            link + u"|自定义安装>>|acts"_qs});
    EXPECT_EQ(face->text(QAccessible::Name), product + InstallerSettings().PageTitles[1]);
    Click("lblOperator");
    expect({field + u"|安装路径|acts"_qs, button + u"|浏览...|acts"_qs, button + u"|确定|acts"_qs,
            link + u"|返回上一步>>|acts"_qs});
    // The page's words are readable as text, its heading first.
    QAccessibleInterface* info =
        QAccessible::queryAccessibleInterface(Child<QWidget>("imgPathInfo"));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->role(), QAccessible::Heading);
    EXPECT_EQ(info->text(QAccessible::Name), u"选择安装位置"_qs);
    ASSERT_NE(info->textInterface(), nullptr);
    EXPECT_TRUE(info->textInterface()->text(0, -1).contains(u"浏览"_qs));
    // Pressed through assistive technology, the install runs as from a click.
    QAccessibleInterface* install =
        QAccessible::queryAccessibleInterface(Child<QWidget>("imgOkInstall"));
    install->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(window.PageIndex(), 2) << "acted on inside the screen reader's call";
    QCoreApplication::processEvents();
    EXPECT_EQ(window.PageIndex(), 4);
    expect(
        {button + u"|完成|acts"_qs, box + u"|立即运行|acts"_qs, box + u"|访问Velmo网站|acts"_qs});
}

// The desktop's title font sets the skin font (9 to 12 points): no page may cut or overlap its
// text at any of them.
TEST_F(InstallerMainTest, EveryPageHoldsItsTextAtEveryDesktopTitleFont) {
    const TFrameworkFont saved = SkinMng().SkinFont();
    for (int size = 9; size <= 12; ++size) {
        SCOPED_TRACE(size);
        TFrameworkFont font = saved;
        font.Size = size;
        SkinMng().SetSkinFont(font);
        FWindow.reset();
        TfrmInstallerMain& window = Window();
        TSkinCustomControl::AllMembersChangeSkinFile();
        UsePayload(Release());
        for (int page = 0; page < TfrmInstallerMain::PageCount; ++page) {
            SCOPED_TRACE(page);
            if (page == 4)
                window.InstallSoftware();
            if (page > 0)
                window.NextPage();
            ASSERT_EQ(window.PageIndex(), page);
            EXPECT_EQ(TextProblems(window).join(u"; "_qs).toStdString(), "");
        }
    }
    SkinMng().SetSkinFont(saved);
    TSkinCustomControl::AllMembersChangeSkinFile();
}
