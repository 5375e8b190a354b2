#include "skin/widgets/SkinImageBox.h"

#include "skin/drawing/GdiSkinHelper.h"
#include "skin/drawing/SkinTimer.h"

#include <QMouseEvent>

namespace velmora {

TSkinImageBox::TSkinImageBox(QWidget* parent)
    : TSkinCustomControl(parent), FDrawTimer(CreateSkinTimer()) {
    FDrawTimer->SetInterval(10);
    FDrawTimer->OnTimer = [this] { TimerTick(); };
    EnsureSkinWidgetClassRegistered();
}

TSkinImageBox::~TSkinImageBox() {
    FDrawTimer->Stop();
}

bool TSkinImageBox::TimerActive() const {
    return FDrawTimer->IsActive();
}

void TSkinImageBox::LoadFromFile(const QString& AFileName) {
    // A picture that cannot be read or decoded is logged by the helper; the box keeps what it had.
    IGPBitmap bitmap = TSkinHelper::CreateOriginalBitmap(AFileName);
    if (!bitmap)
        return;
    FImage = std::move(bitmap);
    FAnimated = FImage->IsGif();
    InitAnimated();
    RepaintSelfImage();
}

void TSkinImageBox::LoadFromStream(QIODevice* AStream, bool AAnimated) {
    IGPBitmap bitmap = TSkinHelper::CreateOriginalBitmap(AStream);
    if (!bitmap)
        return;
    FImage = std::move(bitmap);
    FAnimated = AAnimated;
    InitAnimated();
    RepaintSelfImage();
}

void TSkinImageBox::LoadFromImage(const IGPBitmap& AImage, bool AAnimated) {
    FImage = AImage;
    FAnimated = AAnimated;
    InitAnimated();
    RepaintSelfImage();
}

void TSkinImageBox::Assign(const TSkinImageBox& ASource) {
    LoadFromImage(ASource.FImage, ASource.FAnimated);
}

void TSkinImageBox::SetImage(const IGPBitmap& Value) {
    if (!Value)
        return;
    const bool animated = FAnimated;
    FAnimated = false;
    InitAnimated();
    FImage = Value;
    SetAnimated(animated);
}

void TSkinImageBox::SetAnimated(bool Value) {
    FAnimated = Value;
    InitAnimated();
}

void TSkinImageBox::SelectActiveFrame(int AFrameIndex) {
    GuardedStep(*this, QStringLiteral("SelectActiveFrame"), [&] {
        try {
            if (FImage)
                FImage->SelectActiveFrame(AFrameIndex);
        } catch (...) {
            FDrawTimer->Stop();
            throw;
        }
    });
}

void TSkinImageBox::InitAnimated() {
    if (!FAnimated || !FImage) {
        FDrawTimer->Stop();
        return;
    }
    if (FImage->IsGif()) {
        const bool ok = GuardedStep(*this, QStringLiteral("InitAnimated"), [&] {
            const std::vector<quint32>& delays = FImage->FrameDelays();
            FFrameCount = static_cast<int>(delays.size());
            FFrameIndex = 0;
            FFrameTimeArr = delays;
            FWaitTime = 0;
        });
        if (!ok) {
            FFrameCount = 0;
            FAnimated = false;
            FDrawTimer->Stop();
            return;
        }
        SelectActiveFrame(0);
        if (!FDrawTimer->IsActive() && FAnimated)
            FDrawTimer->Start();
        return;
    }
    FFrameCount = FImage->FrameCount();
}

void TSkinImageBox::TimerTick() {
    if (!isVisible() || FFrameCount <= 0)
        return;
    ++FWaitTime;
    const size_t index = static_cast<size_t>(FFrameIndex);
    const quint32 delay = index < FFrameTimeArr.size() ? FFrameTimeArr[index] : 0;
    // A delay of 0 still shows its frame for one tick.
    if (static_cast<quint32>(FWaitTime) < delay)
        return;
    FWaitTime = 0;
    const int next = (FFrameIndex + 1) % FFrameCount;
    if (next == FFrameIndex)
        return; // a one-frame picture has nothing to show anew
    FFrameIndex = next;
    SelectActiveFrame(FFrameIndex);
    RepaintSelfImage();
}

void TSkinImageBox::CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) {
    TSkinCustomControl::CustomPaint(Graphics, ADrawRect);
    if (FImage) {
        GuardedStep(*this, QStringLiteral("DrawImage"), [&] {
            Graphics.DrawImage(*FImage,
                               QRectF(ADrawRect.X, ADrawRect.Y, ADrawRect.Width, ADrawRect.Height));
        });
    }
    if (OnPaint)
        GuardedStep(*this, QStringLiteral("FOnPaint"), [&] { OnPaint(Graphics, ADrawRect); });
}

void TSkinImageBox::SetReadableWords(QAccessible::Role ARole, const QString& AWords) {
    if (FWordsRole == ARole && FWords == AWords)
        return;
    FWordsRole = ARole;
    FWords = AWords;
    NotifyAccessibleNameChanged(this);
}

QAccessible::Role TSkinImageBox::AccessibleRole() const {
    return FWords.isEmpty() ? QAccessible::Graphic : FWordsRole;
}

QString TSkinImageBox::AccessibleText() const {
    if (FWords.isEmpty())
        return accessibleDescription();
    return FWords.section(u'\n', 0, 0);
}

} // namespace velmora
