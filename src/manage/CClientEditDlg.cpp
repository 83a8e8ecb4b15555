#include "manage/CClientEditDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/CClientInfo.h"
#include "toolkit/DataExchange.h"
#include "ui_CClientEditDlg.h"

#include <QKeyEvent>

namespace {
constexpr int kNumberBytes = 20;
constexpr int kRemarkBytes = 100;
constexpr float kMaxMoney = 9999;
constexpr float kStartingAmount = 50;

void Prompt(const QString& text) {
    MessageBox(text, QStringLiteral("提示"), MsgIcon::Warning);
}

// Two or four decimal digits at a fixed place of the stored text.
bool Digits(const QString& text, qsizetype from, qsizetype count) {
    for (qsizetype i = from; i < from + count; ++i) {
        if (text.at(i).unicode() < u'0' || text.at(i).unicode() > u'9')
            return false;
    }
    return true;
}
} // namespace

CClientEditDlg::CClientEditDlg(QWidget* parent)
    : CDialog(parent), m_ui(std::make_unique<Ui::CClientEditDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
    m_ui->remarkEdit->installEventFilter(this);
}

CClientEditDlg::~CClientEditDlg() = default;

void CClientEditDlg::DoDataExchange(CDataExchange& dx) {
    dx.Date(m_ui->dateEdit, m_tmCreateDate);
    dx.Real(m_ui->foregiftEdit, m_fForegift, 0, kMaxMoney);
    dx.Text(m_ui->clientEdit, m_strClientID, kNumberBytes);
    dx.Text(m_ui->phoneEdit, m_strPhoneNum, kNumberBytes);
    dx.Real(m_ui->balanceEdit, m_fBalance, 0, kMaxMoney);
    dx.Text(m_ui->remarkEdit, m_strRemark, kRemarkBytes);
}

// Enter in the remark confirms the form, as it does in the one-line fields.
bool CClientEditDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->remarkEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_ui->okButton->click(); // does nothing while "确定" is disabled
            return true;
        }
    }
    return CDialog::eventFilter(watched, event);
}

bool CClientEditDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_strID.isEmpty()) {
        m_tmCreateDate = Clock::Now();
        m_fForegift = kStartingAmount;
        m_fBalance = kStartingAmount;
        UpdateData(false);
        return true;
    }
    if (!LoadClient())
        return false;
    UpdateData(false);
    m_ui->okButton->setEnabled(Session::Current().IsAdministrator());
    return true;
}

// A failed read opens no form (the engine's message is shown); a client that is not there is
// said so, rather than showing an empty form that would save over nothing.
bool CClientEditDlg::LoadClient() {
    m_key = RowKey::FromText(m_strID);
    CClientInfo client;
    const Lookup found = client.LoadById(m_key);
    if (found == Lookup::Failed)
        return false;
    if (found == Lookup::Missing) {
        Prompt(QStringLiteral("找不到这位客户,可能已被删除。"));
        return false;
    }
    m_strClientID = client.ClientID;
    m_strOldClientID = client.ClientID;
    m_strPhoneNum = client.PhoneNum;
    m_fForegift = client.Foregift;
    m_fBalance = client.Balance;
    m_strRemark = client.Remark;
    m_tmCreateDate = QDateTime(StoredDate(client.CreateDate), QTime(0, 0));
    return true;
}

// The stored date is taken apart by position. A text not of the form "yyyy-mm-dd", or a day that
// does not exist or that the picker cannot show, reads as today, so no nonsense date is saved.
QDate CClientEditDlg::StoredDate(const QString& text) const {
    if (text.size() == 10 && Digits(text, 0, 4) && text.at(4) == u'-' && Digits(text, 5, 2) &&
        text.at(7) == u'-' && Digits(text, 8, 2)) {
        const QDate date(text.left(4).toInt(), text.mid(5, 2).toInt(), text.right(2).toInt());
        if (date.isValid() && date >= m_ui->dateEdit->minimumDate() && date <= m_ui->dateEdit->maximumDate())
            return date;
    }
    return Clock::Now().date();
}

void CClientEditDlg::OnOK() {
    if (!m_ui->okButton->isEnabled() || !UpdateData(true))
        return; // Enter on a disabled "确定" saves nothing
    if (m_strClientID.isEmpty())
        return Prompt(QStringLiteral("请填写必要信息!"));

    CClientInfo client;
    client.ClientID = m_strClientID;
    client.PhoneNum = m_strPhoneNum;
    client.CreateDate = m_tmCreateDate.toString(QStringLiteral("yyyy-MM-dd"));
    client.Foregift = m_fForegift;
    client.Balance = m_fBalance;
    client.Remark = m_strRemark;

    const bool adding = m_strID.isEmpty();
    // An unchanged number is this client's own: the table is not asked. The engine compares
    // numbers without letter case, so another case of a taken number is taken too.
    if (adding || m_strClientID != m_strOldClientID) {
        const Lookup taken = CClientInfo().ExistsByClientId(m_strClientID);
        if (taken == Lookup::Failed)
            return;
        if (taken == Lookup::Found)
            return Prompt(QStringLiteral("客户编号重复,请重新输入!"));
    }
    // A rejected write keeps the form open, as typed, after the engine's message.
    if (!(adding ? client.Insert() : client.Update(m_key)))
        return;
    EndDialog(IDOK);
}
