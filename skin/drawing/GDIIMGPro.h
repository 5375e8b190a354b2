#pragma once

#include "skin/drawing/GDIIMGSliced.h"

namespace velmora {

// Builds its buffer straight from the cropped picture. In the tile and average-colour modes
// the buffer keeps the largest size asked for (at least the screen) so a size change within
// it needs no rebuild; the element then shows the buffer's top-left part of its own size.
class TGDIIMGPro : public TGDIIMGSliced {
public:
    TGDIIMGPro();
    QString ClassName() const override { return QStringLiteral("TGDIIMGPro"); }

    void Build() override;
    int MaxDrawWidth() const { return FMaxDrawWidth; }
    int MaxDrawHeight() const { return FMaxDrawHeight; }

protected:
    void PiecesStale(bool) override { FStale = true; }
    void ForgetLastBuild() override;
    void BuildBuffer();

private:
    int FLastDrawWidth = 0;
    int FLastDrawHeight = 0;
    int FMaxDrawWidth = 0;
    int FMaxDrawHeight = 0;
    bool FStale = false;
    QImage FShown;
    const QImage* BuiltPicture() const override;
};

} // namespace velmora
