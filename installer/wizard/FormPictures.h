#pragma once

#include "platform/graphics/GPBitmap.h"

#include <QString>

namespace velmora {

// A picture of a wizard form, ":/forms/<form>/<name>.png", with its renderings for screens of
// more device pixels per logical pixel as variants (see LoadFormPicture, which also logs what
// is missing). Null when the build carries none by that name.
TGPBitmap FormPicture(const QString& form, const QString& name);
// The same as a shared bitmap in straight ARGB, for controls that hold a bitmap; empty when
// there is none.
IGPBitmap FormBitmap(const QString& form, const QString& name);

} // namespace velmora
