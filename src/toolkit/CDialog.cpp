#include "toolkit/CDialog.h"

#include "toolkit/DataExchange.h"
#include "toolkit/Prompter.h"

#include <QAbstractButton>

namespace {
CDialog::ModalRunner& Runner() {
    static CDialog::ModalRunner runner;
    return runner;
}
} // namespace

CDialog::CDialog(QWidget* parent) : QDialog(parent) {}

CDialog::ModalRunner CDialog::SetModalRunner(ModalRunner runner) {
    std::swap(Runner(), runner);
    return runner;
}

int CDialog::DoModal() {
    m_result = IDCANCEL;
    m_ended = false;
    if (!OnInitDialog())
        return IDCANCEL;
    if (Runner())
        Runner()(*this);
    else
        exec();
    return m_ended ? m_result : IDCANCEL;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    QDialog::done(result == IDOK ? QDialog::Accepted : QDialog::Rejected);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

void CDialog::DoDataExchange(CDataExchange&) {}

void CDialog::ConnectButtons(QAbstractButton* ok, QAbstractButton* cancel) {
    connect(ok, &QAbstractButton::clicked, this, [this] { OnOK(); });
    connect(cancel, &QAbstractButton::clicked, this, [this] { OnCancel(); });
}
