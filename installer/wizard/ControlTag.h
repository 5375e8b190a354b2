#pragma once

class QObject;

namespace velmora {

// The integer a form gives a control to tell it apart in a shared handler: the dialogs'
// buttons carry their result code. Widgets have no such field, so it rides on a property.
int ControlTag(const QObject* AControl);
void SetControlTag(QObject* AControl, int Value);

} // namespace velmora
