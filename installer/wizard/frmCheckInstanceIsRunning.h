#pragma once

#include "installer/wizard/frmBaseMsgBox.h"

namespace velmora {

class TWizardImageButton;

// Tells that the product runs. Its message is a picture; two image buttons answer: retry
// (4) closes the dialog only once the product has ended, cancel closes it with 2.
class TfrmCheckInstanceIsRunning : public TfrmBaseMsgBox {
public:
    explicit TfrmCheckInstanceIsRunning(QWidget* parent = nullptr);

    QString ClassName() const override { return QStringLiteral("TfrmCheckInstanceIsRunning"); }

    int ModalShow() override;
    void btnPressClick(QObject* Sender) override;
    void ArrangeButtons() override {}

    TSkinImage* imgMessage = nullptr;
    TWizardImageButton* imgUnStall = nullptr;
    TWizardImageButton* imgCancel = nullptr;
    TSkinImage* imgUnStallHov = nullptr;
    TSkinImage* imgUnStallNor = nullptr;
    TSkinImage* imgUnStallDown = nullptr;
    TSkinImage* imgCancelHov = nullptr;
    TSkinImage* imgCancelNor = nullptr;
    TSkinImage* imgCancelDown = nullptr;

private:
    TSkinImage* MakePicture(const QString& AName, const QString& AFile, QRect AAt);
    TWizardImageButton* MakeImageButton(const QString& AName, QPoint AAt, int ATag,
                                        TSkinImage* ANor, TSkinImage* AHov, TSkinImage* ADown);
};

} // namespace velmora
