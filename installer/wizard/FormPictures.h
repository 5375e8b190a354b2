#pragma once

#include <QImage>
#include <QString>

namespace velmora {

// A picture of a wizard form, ":/forms/<form>/<name>.png". Null when the build carries none
// by that name.
QImage FormPicture(const QString& form, const QString& name);

} // namespace velmora
