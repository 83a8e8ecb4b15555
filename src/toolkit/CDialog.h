#pragma once
// The dialog base of every form: modal run, opening, OK and Cancel, and field exchange.
#include "base/Prompter.h"

#include <QDialog>
#include <QStringList>
#include <functional>

class CDataExchange;
class QAbstractButton;
class QShowEvent;

class CDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDialog(QWidget* parent = nullptr);

    // Runs the opening, then the dialog modally; returns IDOK or IDCANCEL.
    int DoModal();
    // Moves members into the controls; derived dialogs call this first.
    virtual bool OnInitDialog();
    // Reads the controls and closes with OK when that succeeds. A dialog that writes overrides it
    // the one way: UpdateData(true), the write, then EndDialog(IDOK) only when the write succeeded.
    // It never calls this base after its write, which would read the form a second time.
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);
    // true: controls to members, validating; false: members to controls.
    bool UpdateData(bool saveAndValidate = true);

    bool IsEnded() const { return m_ended; }
    int Result() const { return m_result; }

    // What runs a dialog after its opening. Tests replace it to fill and confirm inner dialogs
    // without a nested event loop; an empty runner restores the real modal run.
    using ModalRunner = std::function<void(CDialog&)>;
    static ModalRunner SetModalRunner(ModalRunner runner);

    // The push buttons of a form that leave Enter to the default button (autoDefault off), by
    // object name. Enter on a focused button must press that button: on "取消" it would otherwise
    // confirm the form. Showing a form with such a button stops a debug build; other builds log
    // it as critical, which is fatal under ctest (QT_FATAL_CRITICALS).
    static QStringList ButtonsWithoutAutoDefault(const QWidget& form);

    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

protected:
    void showEvent(QShowEvent* event) override;
    virtual void DoDataExchange(CDataExchange& dx);
    // The form's own OK and Cancel buttons run OnOK and OnCancel.
    void ConnectButtons(QAbstractButton* ok, QAbstractButton* cancel);
    // Enter in a multi-line note presses the button, as it does in a one-line field; a disabled
    // button does nothing.
    static void EnterPresses(QWidget* note, QAbstractButton* button);

private:
    int m_result = 0;
    bool m_ended = false;
};
