#pragma once
// A dialog built from its table in res/: every control placed by dialog units of the dialog's
// font (x · average character width / 4, y · character height / 8), carrying its id, in tab order.
// The controls of a group box that holds option buttons are its children, as a screen reader
// expects of a group.
// The default button and Enter call OnOK, the Cancel button and Escape OnCancel.
//
// Dialogs are run modally on the user-interface thread. Prepare() builds the controls and runs
// OnInitDialog without blocking, so tests and the screenshot tool can show a dialog and drive it.

#include <QDialog>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "res/dialog_templates.h"

class MessageBoxes;

class TemplateDialog : public QDialog {
public:
    TemplateDialog(int templateId, MessageBoxes& boxes, QWidget* parent = nullptr);

    // Builds, initialises and runs the dialog; QDialog::Accepted after OK.
    int DoModal();
    // Builds and initialises the dialog once (DoModal does it too).
    void Prepare();

    QWidget* Item(int id) const;
    template <class T>
    T* ItemAs(int id) const { return qobject_cast<T*>(Item(id)); }
    int templateId() const { return templateId_; }
    // The font whose dialog units placed the controls.
    const QFont& layoutFont() const { return layoutFont_; }

    // The pixel size of (x, y) dialog units in `font`.
    static QPoint DialogUnitsToPixels(const QFont& font, int x, int y);

protected:
    virtual void OnInitDialog() {}
    // Places the table's controls again by the dialog units of the interface font chosen now.
    void LayOut();
    // `replacement` takes control `id`'s place and rectangle (also in a later LayOut); the old
    // control is deleted.
    void ReplaceItem(int id, QWidget* replacement);
    virtual void OnOK() { done(Accepted); }
    virtual void OnCancel() { done(Rejected); }
    void reject() override { OnCancel(); }

    // Runs `handler` when the user acts on control `id`: a button click, a list choice.
    void OnCommand(int id, std::function<void()> handler);

    std::string ItemText(int id) const;
    void SetItemText(int id, const std::string& text);
    void ShowItem(int id, bool show);
    // The number typed in edit `id`; none (after the message, with the focus in the edit) when it
    // is not a number or `check` refuses it.
    std::optional<double> ExchangeNumber(int id,
                                         const std::function<std::optional<std::string>(double)>& check);
    void SetNumber(int id, double value);
    // A message owned by this dialog, with an OK button.
    void Message(const std::string& text, const std::string& caption = "");

    MessageBoxes& boxes_;

private:
    struct PlacedControl {
        const ControlTemplate* table;
        QPointer<QWidget> widget;
        const ControlTemplate* holder;  // the group box it is nested in, or none
    };

    void Build();
    // Radio buttons in one group box are one choice; those outside any are another.
    void GroupRadioButtons(const DialogTemplate& t);

    int templateId_;
    QFont layoutFont_;
    bool prepared_ = false;
    std::vector<PlacedControl> placed_;
};
