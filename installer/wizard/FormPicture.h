#pragma once

#include <QImage>
#include <QString>

namespace velmora {

// A picture of the wizard's forms, embedded under ":/forms/" (AName is relative to it, as
// "BaseMsgBox/Hint0.png"). A missing or undecodable picture gives a null image and one skin
// engine log entry naming the form and the picture, so the form still opens without it.
QImage LoadFormPicture(const QString& AName, const QString& AClassName, const QString& AObjectName);

} // namespace velmora
