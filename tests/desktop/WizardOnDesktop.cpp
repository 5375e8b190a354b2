#include "tests/desktop/WizardOnDesktop.h"

#include "tests/desktop/ScreenPicture.h"

#include <QDir>
#include <QRegularExpression>
#include <array>

namespace velmora::testing {

namespace wizard {

namespace {

const QImage& Reference(int APage) {
    static const std::array<QImage, 5> pictures = [] {
        std::array<QImage, 5> loaded;
        const char* names[] = {"wizard-0-notice", "wizard-1-options", "wizard-2-path",
                               "wizard-3-installing", "wizard-4-finished"};
        for (size_t page = 0; page < loaded.size(); ++page)
            loaded[page] =
                QImage(
                    QStringLiteral(WIZARD_PICTURES_DIR "/%1.png").arg(QLatin1String(names[page])))
                    .convertToFormat(QImage::Format_RGB32);
        return loaded;
    }();
    static const QImage none;
    return APage >= 0 && APage < 5 ? pictures[static_cast<size_t>(APage)] : none;
}

// The form without its rounded corners, which show the desktop.
QImage Inside(const QImage& AForm) {
    return AForm.copy(AForm.rect().adjusted(6, 6, -6, -6));
}

} // namespace

int PageOf(const QImage& AFormPicture) {
    if (AFormPicture.size() != KFormSize)
        return -1;
    const QImage inside = Inside(AFormPicture);
    int best = -1;
    double bestDistance = 0;
    for (int page = 0; page < 5; ++page) {
        const double distance = MeanDifference(inside, Inside(Reference(page)));
        if (best < 0 || distance < bestDistance) {
            best = page;
            bestDistance = distance;
        }
    }
    // Pages differ from one another by 15 or more; hover, focus marks, a typed path or a
    // changed check box stay far below.
    return bestDistance < 6 ? best : -1;
}

bool ShowsCheckMark(const QImage& AFormPicture, QPoint ABox, int AScale) {
    const QRect inside = QRect((ABox - QPoint(5, 5)) * AScale, QSize(11, 11) * AScale);
    int green = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (!AFormPicture.rect().contains(x, y))
                continue;
            const QRgb pixel = AFormPicture.pixel(x, y);
            if (qGreen(pixel) > qRed(pixel) + 30 && qGreen(pixel) > qBlue(pixel) + 60)
                ++green;
        }
    return green >= 8 * AScale * AScale;
}

} // namespace wizard

TWizardOnDesktop::TWizardOnDesktop(const TRealProcessSandbox& ASandbox,
                                   const TDesktopSession& ASession)
    : FSandbox(ASandbox), FSession(ASession), FInput(ASession.Display()) {}

TWizardOnDesktop::~TWizardOnDesktop() {
    Kill();
}

namespace {

// The processes of the product, by the file name of their program or of their argv[0], as
// the wizard's own check finds them: each as "pid command line".
QStringList RunningProducts() {
    QStringList found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool number = false;
        entry.toInt(&number);
        if (!number)
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = cmdline.readAll();
        const QString program = QFile::decodeName(line.split('\0').value(0));
        const QString exe =
            QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(entry))).fileName();
        const QString name = program.section(QRegularExpression(QStringLiteral("[/\\\\]")), -1);
        if (name.compare(QStringLiteral("Corvex.exe"), Qt::CaseInsensitive) == 0 ||
            exe.compare(QStringLiteral("Corvex.exe"), Qt::CaseInsensitive) == 0)
            found << entry + u' ' + QString::fromUtf8(line).replace(u'\0', u' ').trimmed();
    }
    return found;
}

} // namespace

void TWizardOnDesktop::Start(const QString& AProgram, bool AProductMayRun) {
    // A product that runs makes the wizard show its product dialog instead of the wizard: one
    // another test started (tests that start it hold the same resource lock, so this waits
    // only for one started outside this test run) must end first.
    QStringList products;
    if (!AProductMayRun &&
        !WaitUntil([&] { return (products = RunningProducts()).isEmpty(); }, 60000))
        ADD_FAILURE() << "a product runs, so the wizard would show its product dialog: "
                      << products.join(QStringLiteral("; ")).toStdString();
    FSession.Start(FProcess, FSandbox.Install(AProgram, QStringLiteral("VelmoraSetup")));
}

void TWizardOnDesktop::Kill() {
    Stop(FProcess);
}

QList<TWizardOnDesktop::TWindow> TWizardOnDesktop::Windows() const {
    QList<TWindow> windows;
    if (FSession.IsWayland() || FProcess.state() != QProcess::Running)
        return windows;
    const QString ids = RunXdotool(
        FSession.Display(), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                             QStringLiteral("--pid"), QString::number(FProcess.processId())});
    for (const QString& line : ids.split(u'\n', Qt::SkipEmptyParts)) {
        bool number = false;
        const quint32 id = line.trimmed().toUInt(&number);
        if (!number)
            continue;
        const std::optional<QRect> geometry = FSession.X().WindowGeometry(id);
        if (!geometry || !FSession.X().IsViewable(id))
            continue;
        windows.append(
            {id,
             RunXdotool(FSession.Display(), {QStringLiteral("getwindowname"), line.trimmed()})
                 .trimmed(),
             *geometry});
    }
    return windows;
}

std::optional<QRect> TWizardOnDesktop::FindForm(const QImage& AShot) const {
    const QSize size = wizard::KFormSize * Scale();
    if (FSession.IsWayland())
        return FindSurface(AShot, FSession.EmptyDesktop(), size);
    for (const TWindow& window : Windows())
        if (window.Geometry.size() == size)
            return window.Geometry;
    return std::nullopt;
}

QImage TWizardOnDesktop::Shot() const {
    FInput.Park(FSession.Options().Screen);
    return FSession.SettledGrab();
}

std::optional<QRect> TWizardOnDesktop::WaitForForm(int ATimeoutMs) {
    std::optional<QRect> found;
    QImage shot;
    WaitUntil(
        [&] {
            if (FProcess.state() != QProcess::Running)
                return true;
            shot = FSession.Grab();
            found = FindForm(shot);
            if (!found)
                return false;
            // Faded in: the form's pixels no longer change.
            const QImage before = shot.copy(*found);
            QThread::msleep(150);
            shot = FSession.Grab();
            return DifferingShare(before, shot.copy(*found), 0) == 0.0;
        },
        ATimeoutMs);
    if (found)
        FForm = *found;
    return found;
}

std::optional<QRect> TWizardOnDesktop::Locate(QImage* AShot) {
    const QImage shot = Shot();
    const std::optional<QRect> found = FindForm(shot);
    if (found)
        FForm = *found;
    if (AShot != nullptr)
        *AShot = shot;
    return found;
}

QPoint TWizardOnDesktop::At(QPoint AWindowPoint) const {
    return FForm.topLeft() + AWindowPoint * Scale();
}

int TWizardOnDesktop::WaitForPage(int AExpected, int ATimeoutMs) {
    int page = -1;
    WaitUntil(
        [&] {
            QImage shot;
            page = Locate(&shot) ? wizard::PageOf(FormPicture(shot)) : -1;
            return page == AExpected || FProcess.state() != QProcess::Running;
        },
        ATimeoutMs);
    return page;
}

} // namespace velmora::testing
