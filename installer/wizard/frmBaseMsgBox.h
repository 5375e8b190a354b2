#pragma once

#include "skin/controls/SkinForms.h"
#include "skin/drawing/SkinIconList.h"

#include <QWidget>
#include <array>
#include <vector>

namespace velmora {

class TSkinButton;
class TSkinImage;
class TSkinLabel;
class TSkinPanel;

// What a dialog's form description gives the message box before the box's own creation
// step runs: its design caption, client size and the place of the content panel.
struct TMsgBoxDesign {
    QString Caption = QStringLiteral("提示");
    QSize ClientSize = QSize(300, 145);
    QRect PanelRect = QRect(5, 28, 289, 112);
};

// The skinned message box: a text, a hint icon and a row of buttons chosen by a box type
// laid out like the system message box's style flags. A box lives for one modal display;
// its owner reads ReturnValue afterwards (0 when the title bar closed it).
class TfrmBaseMsgBox : public TDefaultSkinForm {
public:
    explicit TfrmBaseMsgBox(QWidget* parent = nullptr, const TMsgBoxDesign& ADesign = {});
    ~TfrmBaseMsgBox() override;

    QString ClassName() const override { return QStringLiteral("TfrmBaseMsgBox"); }

    // Resets the box (stored texts, result, icon, button list) before it selects buttons,
    // icon and default button, so texts must be set before the type.
    void SetBoxType(int Value);
    const QString& CaptionStr() const { return FCaptionStr; }
    void SetCaptionStr(const QString& Value);
    const QString& ContentText() const { return FContentText; }
    void SetContentText(const QString& Value);
    // The window the box belongs to (0: none): the box stays above it while it is shown.
    WId FatherHWND() const { return FHWND; }
    void SetFatherHWND(WId Value) { FHWND = Value; }
    int ReturnValue() const { return FReturnValue; }
    bool InUsed() const { return FInUsed; }

    int HintIconIndex() const { return FHintIconIndex; }
    int DefaultBtnIndex() const { return FDefaultBtnIndex; }
    const std::vector<TSkinButton*>& UsedBtnList() const { return FUsedBtnList; }

    // Sets owner, text, caption and type in that order, prepares and shows the box modally.
    int MessageBox(WId AhWnd, const QString& AText, const QString& ACaption, int AType);
    // Shows the box modally and returns ReturnValue; dialogs set their texts and type first.
    virtual int ModalShow();
    // The shared click handler: the sender's tag becomes the result and the box closes.
    virtual void btnPressClick(QObject* Sender);

    virtual void ArrangeButtons();
    virtual void ShowHintIcon();
    virtual void FitToText();
    void PrepareBox();

    TSkinPanel* pnlMain = nullptr;
    TSkinImage* imgHint = nullptr;
    TSkinLabel* lblText = nullptr;
    TSkinButton* btnOK = nullptr;
    TSkinButton* btnCancel = nullptr;
    TSkinButton* btnAbort = nullptr;
    TSkinButton* BtnRetry = nullptr;
    TSkinButton* btnIgnore = nullptr;
    TSkinButton* btnYes = nullptr;
    TSkinButton* btnNo = nullptr;
    TSkinImageList imglstHint;

protected:
    void closeEvent(QCloseEvent* event) override;
    // The box opens with the focus on its default button (the default-button bits of its type),
    // so Return answers it and Tab walks its buttons.
    void showEvent(QShowEvent* event) override;
    // Escape answers the box's cancel choice where it has one (a shown control tagged Cancel),
    // or its only button; Return a focused button, else the default one.
    void keyPressEvent(QKeyEvent* event) override;
    // The shown control answering with ATag, or null.
    QWidget* ShownControlOfTag(int ATag) const;
    // Shows this form modally and returns ReturnValue.
    int ShowBoxModal();
    // The button whose tag is ATag, or null.
    TSkinButton* ButtonOfTag(int ATag) const;

private:
    void FormCreate();
    void FitButtonsToCaptions();
    TSkinButton* MakeButton(const QString& ACaption, int ATag);

    QString FContentText;
    QString FCaptionStr;
    int FType = 0;
    int FButtonType = 0;
    int FHintIconType = 0;
    int FHintIconIndex = -1;
    int FDefautBtnType = 0;
    WId FHWND = 0;
    std::vector<TSkinButton*> FUsedBtnList;
    int FDefaultBtnIndex = 0;
    int FReturnValue = 0;
    bool FInUsed = true;
    std::array<TSkinButton*, 7> FButtons{};
};

} // namespace velmora
