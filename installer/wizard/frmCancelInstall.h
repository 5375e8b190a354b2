#pragma once

#include "installer/wizard/frmBaseMsgBox.h"

namespace velmora {

// Asks whether to leave the installation: 6 (yes) or 7 (no), 0 when closed by the title bar.
// Its buttons keep their designed places, so arranging and fitting do nothing.
class TfrmCancelInstall : public TfrmBaseMsgBox {
public:
    explicit TfrmCancelInstall(QWidget* parent = nullptr);

    QString ClassName() const override { return QStringLiteral("TfrmCancelInstall"); }

    int ModalShow() override;
    void ArrangeButtons() override {}
    void FitToText() override {}
};

} // namespace velmora
