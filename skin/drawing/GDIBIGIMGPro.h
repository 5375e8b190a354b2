#pragma once

#include "skin/drawing/GDIIMGSliced.h"

namespace velmora {

enum TBuildBufferImageStyle : int {
    bbisBitmap = 0,   // pieces and buffer as device (premultiplied) pictures, composed by copies
    bbisGPBitmap = 1, // pieces and buffer as drawing-surface bitmaps
};

// The nine-piece cache cut once at screen size, for window backgrounds and textures: window
// resizing only recomposes. With bbisBitmap the buffer is a device picture that forms copy
// behind their client area.
class TGDIBIGIMGPro : public TGDIIMGSliced {
public:
    TGDIBIGIMGPro();
    QString ClassName() const override { return QStringLiteral("TGDIBIGIMGPro"); }

    void Build() override;
    TBuildBufferImageStyle BuildBufferImageStyle() const { return FBuildBufferImageStyle; }
    void SetBuildBufferImageStyle(TBuildBufferImageStyle Value);
    int MaxDrawWidth() const { return FMaxDrawWidth; }
    int MaxDrawHeight() const { return FMaxDrawHeight; }
    void SetMaxDrawWidth(int Value) { FMaxDrawWidth = Value; }
    void SetMaxDrawHeight(int Value) { FMaxDrawHeight = Value; }
    // The device-picture buffer (bbisBitmap), null otherwise.
    const QImage& BufferBitmap() const { return FBufferBitmap; }

protected:
    void PiecesStale(bool clipChanged) override;
    void ForgetLastBuild() override;
    const QImage* BuiltPicture() const override;
    // The screen the cache is sized for; a change rebuilds.
    virtual QSize CurrentScreenSize() const { return SkinScreenSize(); }

private:
    void BuildBuffer(bool imageChanged, bool screenChanged);

    QImage FBufferBitmap;
    TNinePieces FPieces;
    int FLastDrawWidth = 0;
    int FLastDrawHeight = 0;
    QSize FLastScreen;
    int FMaxDrawWidth = 0;
    int FMaxDrawHeight = 0;
    bool FClipMarginChanged = true;
    bool FMarginChanged = true;
    int FPartWidth = 0;
    int FPartHeight = 0;
    TBuildBufferImageStyle FBuildBufferImageStyle = bbisGPBitmap;
};

} // namespace velmora
