#pragma once

#include "installer/wizard/frmBaseMsgBox.h"

namespace velmora {

// Tells that another copy of the installer runs. Only its OK button shows, in its designed
// place; the box still fits its text.
class TfrmCheckInstallerIsRunning : public TfrmBaseMsgBox {
public:
    explicit TfrmCheckInstallerIsRunning(QWidget* parent = nullptr);

    QString ClassName() const override { return QStringLiteral("TfrmCheckInstallerIsRunning"); }

    int ModalShow() override;
    void ArrangeButtons() override {}
};

} // namespace velmora
