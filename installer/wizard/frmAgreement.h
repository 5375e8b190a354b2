#pragma once

#include "skin/controls/SkinForms.h"

namespace velmora {

class TLicencePicture;
class TLicenceScrollBox;

// The licence viewer: the licence as one tall picture in a scroll box at the bottom of the
// form. Created once at start-up, shown modally whenever the wizard's licence link is used.
class TfrmAgreement : public TDefaultSkinForm {
public:
    explicit TfrmAgreement(QWidget* parent = nullptr);
    ~TfrmAgreement() override;

    QString ClassName() const override { return QStringLiteral("TfrmAgreement"); }

    // Shows the viewer modally from the top of the licence; returns once it is closed.
    int ModalShow();

    TLicenceScrollBox* scrlbx1 = nullptr;
    TLicencePicture* imgAgreement = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Escape closes the viewer, as the title-bar close does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PlaceScrollBox();
};

// The viewer the start-up created, for the main window's licence link; null before that
// and after it is gone.
TfrmAgreement* AgreementForm();
void SetAgreementForm(TfrmAgreement* AForm);

} // namespace velmora
