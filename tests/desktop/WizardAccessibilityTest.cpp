// The wizard as a screen reader sees it over the accessibility bus of a real X11 session:
// a complete custom install made with nothing but the screen reader (controls found by role
// and Chinese name, their actions run, the path set through the editable-text interface),
// and a walk of every page and dialog in which every visible actionable object has a role, a
// name a person can read and an action, every window is named (the main window after the
// product and its page), the texts drawn as pictures can be read, and the shadow window is
// not in the tree.
#include "installer/InstallerSettings.h"
#include "tests/desktop/AccessibilityClient.h"
#include "tests/desktop/DesktopTestSupport.h"
#include "tests/desktop/InstallCheck.h"
#include "tests/desktop/WizardOnDesktop.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <memory>

using namespace velmora;
using namespace velmora::testing;
using namespace velmora::testing::wizard;

namespace {

QString Str(const QJsonObject& AObject, const char* AKey) {
    return AObject.value(QLatin1String(AKey)).toString();
}

QStringList List(const QJsonObject& AObject, const char* AKey) {
    QStringList items;
    for (const QJsonValue& item : AObject.value(QLatin1String(AKey)).toArray())
        items << item.toString();
    return items;
}

QRect Extents(const QJsonObject& AObject) {
    const QJsonArray at = AObject.value(QStringLiteral("extents")).toArray();
    return at.size() == 4 ? QRect(at[0].toInt(), at[1].toInt(), at[2].toInt(), at[3].toInt())
                          : QRect();
}

bool HasState(const QJsonObject& AObject, const char* AState) {
    return List(AObject, "states").contains(QLatin1String(AState));
}

// What an object does, without the focus move Qt gives every focusable object.
QStringList Doings(const QJsonObject& AObject) {
    QStringList doings = List(AObject, "actions");
    doings.removeIf([](const QString& AName) {
        return AName.compare(u"SetFocus"_qs, Qt::CaseInsensitive) == 0;
    });
    return doings;
}

QString Line(const QJsonObject& AObject) {
    const QRect at = Extents(AObject);
    return QStringLiteral("%1%2 '%3' actions [%4] at (%5, %6) %7 x %8%9")
        .arg(QString(2 * AObject.value(QStringLiteral("path")).toArray().size(), u' '),
             Str(AObject, "role"), Str(AObject, "name"), List(AObject, "actions").join(u", "))
        .arg(at.x())
        .arg(at.y())
        .arg(at.width())
        .arg(at.height())
        .arg(Str(AObject, "description").isEmpty()
                 ? QString()
                 : QStringLiteral(" described '%1'").arg(Str(AObject, "description").left(40)));
}

std::string Describe(const QJsonArray& AObjects) {
    QStringList lines;
    for (const QJsonValue& object : AObjects)
        lines << Line(object.toObject());
    return lines.join(u'\n').toStdString();
}

QJsonObject Showing(const QString& ARole, const QString& AName) {
    return {{QStringLiteral("role"), ARole}, {QStringLiteral("name"), AName}};
}

QJsonObject ShowingNamedWith(const QString& ARole, const QString& APart) {
    return {{QStringLiteral("role"), ARole}, {QStringLiteral("name_contains"), APart}};
}

class WizardAccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override {
        VELMORA_REQUIRE_SESSION(FSession);
        FReader = std::make_unique<TAccessibilityClient>(FSandbox, FSession);
        if (!FReader->Unavailable().isEmpty())
            GTEST_SKIP() << Text(FReader->Unavailable());
        ASSERT_EQ(Text(FReader->Failure()), "") << Text(FSession.Logs());
    }

    void StartWizard(bool AProductMayRun = false) {
        FWizard.Start(QStringLiteral(VELMORA_SETUP_PROGRAM), AProductMayRun);
        Attach(FWizard);
    }

    void Attach(TWizardOnDesktop& AWizard) {
        const QJsonObject app = FReader->Attach(AWizard.Process());
        ASSERT_TRUE(app.value(QStringLiteral("ok")).toBool())
            << Text(Str(app, "error")) << "\n"
            << Text(FReader->Log()) << Text(FSession.Logs());
    }

    // The first showing object ASelector matches, waited for; a failure shows what the screen
    // reader finds instead.
    std::optional<QJsonObject> Await(const QJsonObject& ASelector, const std::string& AWhat,
                                     int ATimeoutS = 10) {
        const QJsonArray found = FReader->WaitFor(ASelector, ATimeoutS);
        if (!found.isEmpty())
            return found.first().toObject();
        ADD_FAILURE() << "the screen reader finds no " << AWhat << " ("
                      << QJsonDocument(ASelector).toJson(QJsonDocument::Compact).toStdString()
                      << "); what shows is:\n"
                      << Describe(FReader->Tree());
        return std::nullopt;
    }

    // Runs the object's action through the accessibility bus.
    bool Act(const QJsonObject& ASelector, const std::string& AWhat) {
        if (!Await(ASelector, AWhat))
            return false;
        const QJsonObject done = FReader->Action(ASelector);
        EXPECT_TRUE(done.value(QStringLiteral("ok")).toBool() &&
                    done.value(QStringLiteral("done")).toBool())
            << AWhat << ": the action did not run: " << Text(Str(done, "error"));
        return done.value(QStringLiteral("done")).toBool();
    }

    // Waits for the first object ASelector matches to have AState (or not to have it).
    bool AwaitState(const QJsonObject& ASelector, const char* AState, bool AHas) {
        return WaitUntil(
            [&] {
                const QJsonArray found = FReader->Find(ASelector);
                return !found.isEmpty() && HasState(found.first().toObject(), AState) == AHas;
            },
            5000);
    }

    TRealProcessSandbox FSandbox;
    TDesktopSession FSession{FSandbox, {TDesktopKind::Openbox, 1, true}};
    std::unique_ptr<TAccessibilityClient> FReader;
    TInstallCheck FInstall{FSandbox};
    TWizardOnDesktop FWizard{FSandbox, FSession};
};

TEST_F(WizardAccessibilityTest, ACustomInstallDrivenOnlyByTheScreenReader) {
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_TRUE(FWizard.WaitForForm().has_value());
    const QString button = QStringLiteral("push button");
    const QString checkBox = QStringLiteral("check box");

    ASSERT_TRUE(Act(Showing(button, u"确定"_qs), "push button 确定 on the notice page"));
    ASSERT_TRUE(Await(Showing(button, u"快速安装"_qs), "push button 快速安装 on the options page"));

    // The agreement box toggles, and both install buttons follow it.
    const QJsonObject agreement = ShowingNamedWith(checkBox, u"我已阅读并同意"_qs);
    ASSERT_TRUE(Await(agreement, "the agreement check box"));
    EXPECT_TRUE(AwaitState(agreement, "checked", true));
    ASSERT_TRUE(Act(agreement, "the agreement check box"));
    EXPECT_TRUE(AwaitState(agreement, "checked", false)) << "the agreement box did not toggle";
    EXPECT_TRUE(AwaitState(Showing(button, u"快速安装"_qs), "enabled", false))
        << "快速安装 stays enabled without the agreement";
    ASSERT_TRUE(Act(agreement, "the agreement check box"));
    EXPECT_TRUE(AwaitState(agreement, "checked", true)) << "the agreement box did not toggle back";
    EXPECT_TRUE(AwaitState(Showing(button, u"快速安装"_qs), "enabled", true));

    // Custom install: the path through the editable-text interface.
    ASSERT_TRUE(Act(Showing(QStringLiteral("link"), u"自定义安装>>"_qs), "link 自定义安装>>"));
    const QJsonObject field{{QStringLiteral("role"), QStringLiteral("text")}};
    ASSERT_TRUE(Await(field, "the path field"));
    const QJsonObject typed = FReader->SetText(field, FInstall.InstallTo());
    ASSERT_TRUE(typed.value(QStringLiteral("done")).toBool()) << Text(Str(typed, "error"));
    EXPECT_EQ(Text(Str(typed, "text")), Text(FInstall.InstallTo()));
    FReader->Events();
    ASSERT_TRUE(Act(Showing(button, u"确定"_qs), "push button 确定 on the path page"));

    ASSERT_TRUE(Await(Showing(button, u"完成"_qs), "push button 完成 on the finished page", 90))
        << "the install log says: " << Text(FInstall.InstallLogs());
    // The installing page, what the status line said as the install went on and the result
    // were announced, as name changes a screen reader speaks. (Its file-by-file lines while
    // the files are staged do not reach the reader; the steps after them do.)
    // A name change carries no name: the reader asks the label (or the window) for it when
    // the event comes, and by then a quick install may have gone on to a later step, even to
    // its end. So the status line counts as announced when it said a step, or when its
    // changes reached the reader again and again, and the installing page when the window
    // said its name, or when both its name changes (to the installing page, then to the
    // finished one) reached the reader, whatever each one read by then.
    bool page = false;
    bool status = false;
    bool announced = false;
    int labelChanges = 0;
    int frameChanges = 0;
    QStringList heard;
    for (const QJsonValue& event : FReader->Events()) {
        const QJsonObject object = event.toObject();
        const QString name = Str(object, "name");
        if (Str(object, "type").startsWith(u"object:property-change:accessible-name"_qs)) {
            page = page || name == u"Velmora3.0 安装向导 - 正在安装"_qs;
            status = status || name.startsWith(u"正在"_qs);
            announced = announced || name == u"安装完成"_qs;
            labelChanges += Str(object, "role") == u"label"_qs ? 1 : 0;
            frameChanges += Str(object, "role") == u"frame"_qs ? 1 : 0;
        }
        heard << Str(object, "type") + u' ' + Str(object, "role") + u' ' + name;
    }
    status = status || labelChanges >= 3;
    page = page || frameChanges >= 2;
    heard.removeDuplicates();
    EXPECT_TRUE(page && status && announced)
        << "the installing page, the status line or the result was not announced (" << labelChanges
        << " label and " << frameChanges << " frame name changes); heard:\n"
        << Text(heard.join(u'\n'));
    FInstall.ExpectInstalled();

    // "Run now" off, then finish: the web address alone is opened.
    const QJsonObject runNow = Showing(checkBox, u"立即运行"_qs);
    ASSERT_TRUE(Act(runNow, "check box 立即运行"));
    EXPECT_TRUE(AwaitState(runNow, "checked", false)) << "立即运行 did not toggle";
    ASSERT_TRUE(Act(Showing(button, u"完成"_qs), "push button 完成"));
    EXPECT_TRUE(FWizard.Process().waitForFinished(30000)) << "完成 did not end the wizard";
    EXPECT_EQ(FWizard.Process().exitCode(), 0);
    EXPECT_EQ(Text(FInstall.Opened().trimmed()), Text(InstallerSettings().WebAddress));
}

// ---- the walk ---------------------------------------------------------------------------

// Roles a person acts on; an object with one of them, or with an action, is actionable.
const QStringList KActionableRoles = {
    u"push button"_qs, u"toggle button"_qs, u"check box"_qs, u"radio button"_qs, u"link"_qs,
    u"combo box"_qs,   u"menu item"_qs,     u"page tab"_qs,  u"list item"_qs,    u"text"_qs,
    u"entry"_qs,       u"spin button"_qs,   u"slider"_qs};

struct TExpected {
    QString Role;
    QString Name; // the whole name, or its start when StartsWith
    bool StartsWith = false;
};

struct TScreen {
    QString What;
    QList<TExpected> Controls;
    // Words the screen draws as a picture, which the screen reader must be able to read.
    QString Readable;
    // The page title the main window's name carries; empty for a dialog.
    QString PageTitle;
};

// Everything wrong with what the screen reader finds on AScreen, one line each.
QStringList Faults(const QJsonArray& AObjects, const TScreen& AScreen) {
    QStringList faults;
    static const QRegularExpression className(QStringLiteral("^[TQ][A-Z][A-Za-z0-9]+$"));
    QList<QJsonObject> toplevels;
    bool readable = AScreen.Readable.isEmpty();
    for (const QJsonValue& value : AObjects) {
        const QJsonObject object = value.toObject();
        const QString role = Str(object, "role");
        const QString name = Str(object, "name");
        if (object.value(QStringLiteral("path")).toArray().size() == 1)
            toplevels << object;
        for (const char* key : {"name", "description", "text"})
            readable = readable || Str(object, key).contains(AScreen.Readable);
        const bool enabled = HasState(object, "enabled") || HasState(object, "sensitive");
        const bool editable = HasState(object, "editable");
        if (!enabled || (!KActionableRoles.contains(role) && Doings(object).isEmpty()))
            continue;
        if (name.trimmed().isEmpty())
            faults << QStringLiteral("unnamed: ") + Line(object);
        else if (name != name.trimmed() || name.contains(QStringLiteral("  ")))
            faults << QStringLiteral("stray spaces in the name: ") + Line(object);
        else if (className.match(name).hasMatch())
            faults << QStringLiteral("a class name for a name: ") + Line(object);
        if (Doings(object).isEmpty() && !(editable && !List(object, "actions").isEmpty()))
            faults << QStringLiteral("no action: ") + Line(object);
    }
    for (const TExpected& expected : AScreen.Controls) {
        bool found = false;
        for (const QJsonValue& value : AObjects) {
            const QJsonObject object = value.toObject();
            const QString name = Str(object, "name");
            if (Str(object, "role") == expected.Role &&
                (expected.StartsWith ? name.startsWith(expected.Name) : name == expected.Name) &&
                !Doings(object).isEmpty())
                found = true;
        }
        if (!found)
            faults << QStringLiteral("no %1 named '%2' with an action")
                          .arg(expected.Role, expected.Name);
    }
    if (!readable)
        faults << QStringLiteral("nothing reads '%1'").arg(AScreen.Readable);
    // Every window is named; a window drawn close around another one (the shadow's frame)
    // is not there at all.
    for (const QJsonObject& window : toplevels) {
        if (Str(window, "name").trimmed().isEmpty())
            faults << QStringLiteral("an unnamed window: ") + Line(window);
        for (const QJsonObject& other : toplevels) {
            const QRect outer = Extents(window);
            const QRect inner = Extents(other);
            if (&other == &window || outer == inner || !outer.contains(inner))
                continue;
            if (inner.left() - outer.left() <= 12 && inner.top() - outer.top() <= 12 &&
                outer.right() - inner.right() <= 12 && outer.bottom() - inner.bottom() <= 12)
                faults << QStringLiteral("a window framing another one (the shadow): ") +
                              Line(window);
        }
    }
    if (!AScreen.PageTitle.isEmpty()) {
        bool named = false;
        for (const QJsonObject& window : toplevels)
            named = named || (Str(window, "name").contains(InstallerSettings().ProductName) &&
                              Str(window, "name").contains(AScreen.PageTitle));
        if (!named)
            faults << QStringLiteral("no window named after the product and '%1'")
                          .arg(AScreen.PageTitle);
    }
    // The buttons of the title bars are buttons.
    for (const QJsonObject& window : toplevels) {
        const QRect band(Extents(window).topLeft(), QSize(Extents(window).width(), 28));
        for (const QJsonValue& value : AObjects) {
            const QJsonObject object = value.toObject();
            const QRect at = Extents(object);
            const bool enabled = HasState(object, "enabled") || HasState(object, "sensitive");
            if (object.value(QStringLiteral("path")).toArray().size() > 1 && enabled &&
                band.contains(at) && at.width() <= 40 &&
                (Str(object, "role") != u"push button"_qs || Str(object, "name").isEmpty() ||
                 Doings(object).isEmpty()))
                faults << QStringLiteral("a title-bar button that is no named button with an "
                                         "action: ") +
                              Line(object);
        }
    }
    faults.removeDuplicates();
    return faults;
}

class WizardAccessibilityWalkTest : public WizardAccessibilityTest {
protected:
    void Walk(const TScreen& AScreen) {
        // The tree settles after a page change.
        QThread::msleep(300);
        const QJsonArray objects = FReader->Tree();
        const QStringList faults = Faults(objects, AScreen);
        EXPECT_TRUE(faults.isEmpty())
            << Text(AScreen.What) << ":\n  " << Text(faults.join(QStringLiteral("\n  ")))
            << "\nwhat shows is:\n"
            << Describe(objects);
        SaveShot(FSession.SettledGrab(), TestName() + u'-' + AScreen.What.section(u' ', 0, 0));
    }

    // The window of AProcess of ASize, on X11.
    static std::optional<QRect> WindowOf(const TWizardOnDesktop& AWizard, QSize ASize) {
        std::optional<QRect> found;
        WaitUntil([&] {
            for (const TWizardOnDesktop::TWindow& window : AWizard.Windows())
                if (window.Geometry.size() == ASize)
                    found = window.Geometry;
            return found.has_value();
        });
        return found;
    }
};

TEST_F(WizardAccessibilityWalkTest, EveryPageAndDialogNamesItsControlsAndTheirActions) {
    const QString button = QStringLiteral("push button");
    const QString link = QStringLiteral("link");
    const QString checkBox = QStringLiteral("check box");
    const TInstallerSettings& settings = InstallerSettingsOrDefault();
    const auto press = [&](QPoint AAt) { FWizard.Input().Press(AAt, 50); };

    // The product runs: its dialog comes first; retry once it has ended.
    QProcess product;
    FSession.Start(product, FSandbox.Install(QStringLiteral(CORVEX_PROGRAM), u"Corvex.exe"_qs));
    ASSERT_NO_FATAL_FAILURE(StartWizard(true));
    const std::optional<QRect> productDialog = WindowOf(FWizard, QSize(506, 296));
    ASSERT_TRUE(productDialog.has_value()) << "the product dialog did not appear";
    Walk({u"the product-running dialog"_qs,
          {{button, u"重试"_qs}, {button, u"取消"_qs}},
          settings.ProductExe,
          QString()});
    Stop(product);
    press(productDialog->topLeft() + QPoint(95 + 52, 205 + 18));

    ASSERT_TRUE(FWizard.WaitForForm().has_value()) << "the wizard did not follow the retry";
    Walk({u"page 0, the notice"_qs,
          {{button, u"确定"_qs}},
          u"欢迎使用 Velmora 3.0 安装向导"_qs,
          settings.PageTitles[0]});

    // A second installer: its dialog, then it ends.
    TWizardOnDesktop second(FSandbox, FSession);
    second.Start();
    ASSERT_NO_FATAL_FAILURE(Attach(second));
    std::optional<QRect> dialog;
    ASSERT_TRUE(WaitUntil([&] {
        for (const TWizardOnDesktop::TWindow& window : second.Windows())
            if (window.Title == u"安装检测"_qs)
                dialog = window.Geometry;
        return dialog.has_value();
    })) << "the installer-running dialog did not appear";
    Walk({u"the installer-running dialog"_qs,
          {{button, u"确定"_qs}},
          settings.InstallerRunningMessage,
          QString()});
    ASSERT_TRUE(
        Act(Showing(button, u"确定"_qs), "push button 确定 of the installer-running dialog"));
    EXPECT_TRUE(second.Process().waitForFinished(30000)) << "the second installer did not end";
    ASSERT_NO_FATAL_FAILURE(Attach(FWizard));

    press(FWizard.At(KNoticeNext));
    ASSERT_EQ(FWizard.WaitForPage(1), 1);
    Walk({u"page 1, the options"_qs,
          {{button, u"快速安装"_qs},
           {checkBox, u"我已阅读并同意"_qs, true},
           {link, u"许可协议"_qs},
           {link, u"返回上一步"_qs},
           {link, u"自定义安装>>"_qs}},
          u"自定义安装：自行选择安装位置"_qs,
          settings.PageTitles[1]});

    // The licence viewer, closed by its title bar: a second window of the main window's size
    // (centred like it, so in the same place).
    const auto forms = [&] {
        int count = 0;
        for (const TWizardOnDesktop::TWindow& window : FWizard.Windows())
            count += window.Geometry.size() == KFormSize ? 1 : 0;
        return count;
    };
    press(FWizard.At(QPoint(161, 350)));
    ASSERT_TRUE(WaitUntil([&] { return forms() == 2; })) << "the licence viewer did not open";
    Walk({u"the licence viewer"_qs, {}, u"Velmora 3.0 最终用户许可协议"_qs, QString()});
    press(FWizard.At(KCloseButton));
    ASSERT_TRUE(WaitUntil([&] { return forms() == 1; })) << "the licence viewer did not close";

    press(FWizard.At(KOperatorLink));
    ASSERT_EQ(FWizard.WaitForPage(2), 2);
    Walk({u"page 2, the path"_qs,
          {{button, u"浏览"_qs, true}, {button, u"确定"_qs}, {link, u"返回上一步>>"_qs}},
          u"安装程序将把 Velmora 3.0 安装到下面的文件夹中"_qs,
          settings.PageTitles[2]});

    // The folder chooser, left with Escape.
    press(FWizard.At(KBrowseButton));
    ASSERT_TRUE(
        FReader->WaitFor(QJsonObject{{QStringLiteral("role"), QStringLiteral("dialog")}}, 15)
            .size() > 0)
        << "the folder chooser did not open";
    Walk({u"the folder chooser"_qs, {}, QString(), QString()});
    FWizard.Input().Keys({QStringLiteral("Escape")});
    ASSERT_TRUE(WaitUntil([&] {
        return FReader->Find(QJsonObject{{QStringLiteral("role"), QStringLiteral("dialog")}})
            .isEmpty();
    })) << "Escape did not close the folder chooser";

    press(FWizard.At(KPathField));
    FWizard.Input().Keys({QStringLiteral("ctrl+a")});
    FWizard.Input().Type(FInstall.InstallTo());
    press(FWizard.At(KInstallButton));
    ASSERT_TRUE(WaitUntil([&] { return !FInstall.Record().isEmpty(); }, 60000))
        << "the install did not finish: " << Text(FInstall.InstallLogs());
    ASSERT_EQ(FWizard.WaitForPage(4, 30000), 4);
    Walk({u"page 4, finished"_qs,
          {{button, u"完成"_qs}, {checkBox, u"立即运行"_qs}, {checkBox, u"访问Velmo网站"_qs}},
          u"感谢您选择 Velmora"_qs,
          settings.PageTitles[4]});
    // The installing page is gone by now: its progress bar is in the tree all the same.
    bool namedProgress = false;
    QJsonArray all = FReader->Tree(false);
    for (const QJsonValue& value : all)
        namedProgress = namedProgress || (Str(value.toObject(), "role") == u"progress bar"_qs &&
                                          !Str(value.toObject(), "name").trimmed().isEmpty());
    EXPECT_TRUE(namedProgress) << "the installing page's progress bar is unnamed:\n"
                               << Describe(all);

    press(FWizard.At(KFinishButton));
    EXPECT_TRUE(FWizard.Process().waitForFinished(30000));
}

} // namespace
