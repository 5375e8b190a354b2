#pragma once

#include "skin/document/BinaryTreeDocument100.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

namespace velmora::testing {

// The embedded default skin, read once from ":/DATA/SKIN" the way the skin manager reads it.
const TBinaryTreeDocument100& DefaultSkin();
QByteArray EmbeddedSkinBytes();

// Typed reads of the default skin by path; a missing node or another kind gives nothing.
std::optional<std::int32_t> SkinInt(const QString& APath);
std::optional<bool> SkinBool(const QString& APath);
std::optional<QString> SkinString(const QString& APath);
QByteArray SkinBytes(const QString& APath);
QImage SkinImage(const QString& APath);
QStringList SkinDirectories(const QString& APath);

// A margin string ("left,top,right,bottom") read the way the skin reads it; nothing when an
// item is not a decimal integer.
struct TMarginText {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Items = 0;
};
std::optional<TMarginText> ParseMargin(const QString& AText);

// A font description ("\"face\", size, [styles], [BBGGRR]") parsed by the positions the skin uses.
struct TFontSpec {
    QString Face;
    int Size = 0;
    QStringList Styles;
    std::uint32_t Colour = 0; // 0xBBGGRR
};
std::optional<TFontSpec> ParseFontSpec(const QString& AText);

} // namespace velmora::testing
