#pragma once

#include "skin/controls/SkinControl.h"
#include "skin/widgets/SkinWidgetSupport.h"

#include <QIODevice>
#include <functional>
#include <memory>
#include <vector>

namespace velmora {

class TSkinTimer;

// One bitmap stretched over the control; a GIF plays frame by frame on a 10 ms timer with
// the frame delays of the picture.
class TSkinImageBox : public TSkinCustomControl, public ISkinAccessible {
public:
    explicit TSkinImageBox(QWidget* parent = nullptr);
    ~TSkinImageBox() override;

    QString ClassName() const override { return QStringLiteral("TSkinImageBox"); }

    void LoadFromFile(const QString& AFileName);
    void LoadFromStream(QIODevice* AStream, bool AAnimated);
    void LoadFromImage(const IGPBitmap& AImage, bool AAnimated);
    // Copying a box: the target loads this box's image and animation flag.
    void Assign(const TSkinImageBox& ASource);

    const IGPBitmap& Image() const { return FImage; }
    // Ignored for none; otherwise stops the animation, holds the bitmap and restarts the
    // animation as it was. No repaint.
    void SetImage(const IGPBitmap& Value);
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool Value);
    void SelectActiveFrame(int AFrameIndex);

    int FrameCount() const { return FFrameCount; }
    int FrameIndex() const { return FFrameIndex; }
    const std::vector<quint32>& FrameTimeArr() const { return FFrameTimeArr; }
    bool TimerActive() const;

    std::function<void(TGPGraphics& Graphics, const TGPRect& ADrawRect)> OnPaint;

    // A picture is a graphic named by its description; one that carries words (a heading and
    // its text, a message) is read as that text: ARole (heading, paragraph, document), named by
    // its first line, with the words behind the text interface.
    void SetReadableWords(QAccessible::Role ARole, const QString& AWords);
    QAccessible::Role AccessibleRole() const override;
    QString AccessibleText() const override;
    QString AccessibleWords() const override { return FWords; }

protected:
    void CustomPaint(TGPGraphics& Graphics, const TGPRect& ADrawRect) override;
    void InitAnimated();
    void TimerTick();

    IGPBitmap FImage;

private:
    int FFrameCount = 0;
    int FFrameIndex = 0;
    std::vector<quint32> FFrameTimeArr;
    std::unique_ptr<TSkinTimer> FDrawTimer;
    int FWaitTime = 0;
    bool FAnimated = false;
    QAccessible::Role FWordsRole = QAccessible::Graphic;
    QString FWords;
};

} // namespace velmora
