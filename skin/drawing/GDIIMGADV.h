#pragma once

#include "skin/drawing/GDIIMGSliced.h"

namespace velmora {

// Keeps the nine pieces cut for the largest size it was asked for; any size up to that only
// recomposes the buffer from them.
class TGDIIMGADV : public TGDIIMGSliced {
public:
    TGDIIMGADV() = default;
    QString ClassName() const override { return QStringLiteral("TGDIIMGADV"); }

    void Build() override;
    int LastPartHeight() const { return FLastPartHeight; }
    const TNinePieces& Pieces() const { return FPieces; }

protected:
    void PiecesStale(bool clipChanged) override;
    void ForgetLastBuild() override;

private:
    void BuildBuffer(bool imageChanged);

    TNinePieces FPieces;
    int FLastDrawWidth = 0;
    int FLastDrawHeight = 0;
    int FLastPartWidth = 0;
    int FLastPartHeight = 0;
    bool FClipMarginChanged = true;
    bool FMarginChanged = true;
};

} // namespace velmora
