#pragma once

#include <QString>

namespace velmora {

// The words a picture of the wizard's forms shows, one line each in the order the drawing
// places them (":/forms/<APicture>.words", made at build time from the drawing itself, as
// "TfrmInstallerMain/imgAnnounce"). Empty when the picture carries no words.
QString FormPictureWords(const QString& APicture);

// The words of a picture button as a control name: the spacing the picture uses to spread
// short captions ("确　定") taken out.
QString FormButtonName(const QString& APicture);

} // namespace velmora
