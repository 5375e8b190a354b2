#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

// The families that skins name for Chinese text ("微软雅黑", "宋体") do not exist on this
// platform. Maps each of them to the installed CJK families, best first, through Qt's
// font substitution table. Needs a running QGuiApplication; without one nothing is installed
// and a later call tries again. Returns the family that now renders them, or empty when no
// CJK family is installed.
QString InstallCjkFontSubstitutions();

// The CJK families tried as substitutes, in order of preference.
QStringList CjkSubstituteCandidates();

// The family names that skins use and that need a substitute.
QStringList SkinCjkFamilies();

} // namespace velmora
