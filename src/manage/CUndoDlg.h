#pragma once
#include "toolkit/CDialog.h"

#include <memory>

namespace Ui {
class CUndoDlg;
}

// "撤销": names a lending or a return of today and asks why it is undone; 撤销 undoes it
// (DeskUndo.h), or says why it cannot.
class CUndoDlg : public CDialog {
    Q_OBJECT
public:
    explicit CUndoDlg(QWidget* parent = nullptr);
    ~CUndoDlg() override;

    // The dialog for the last action the operator signed in did today that still stands, or for
    // the last one of a rental; without one, says so and opens nothing. *done gets what was undone.
    static bool UndoLast(QWidget* parent, QString* done);
    static bool UndoRent(QWidget* parent, int rentId, QString* done);

    bool OnInitDialog() override;
    void OnOK() override;

    int m_nActionID = 0;
    QString m_strAction; // what it was, for the clerk
    QString m_strReason;
    QString m_strDone;

    Ui::CUndoDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    std::unique_ptr<Ui::CUndoDlg> m_ui;
};
