#include "manage/CClientEditDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/AuditFields.h"
#include "data/CAdoDb.h"
#include "data/CClientInfo.h"
#include "data/CLedgerInfo.h"
#include "data/PinyinKeys.h"
#include "toolkit/ChangedElsewhere.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Money.h"
#include "toolkit/Prompts.h"
#include "ui_CClientEditDlg.h"

namespace {
constexpr float kStartingAmount = 50;
} // namespace

CClientEditDlg::CClientEditDlg(QWidget* parent)
    : CDialog(parent), m_ui(std::make_unique<Ui::CClientEditDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
    EnterPresses(m_ui->remarkEdit, m_ui->okButton); // does nothing while "确定" is disabled
}

CClientEditDlg::~CClientEditDlg() = default;

void CClientEditDlg::DoDataExchange(CDataExchange& dx) {
    dx.Date(m_ui->dateEdit, m_tmCreateDate);
    dx.Real(m_ui->foregiftEdit, m_fForegift, 0, CClientInfo::kMaxMoney);
    dx.Text(m_ui->clientEdit, m_strClientID, CClientInfo::kNumberBytes);
    dx.Text(m_ui->phoneEdit, m_strPhoneNum, CClientInfo::kNumberBytes);
    dx.Real(m_ui->balanceEdit, m_fBalance, 0, CClientInfo::kMaxMoney);
    dx.Text(m_ui->remarkEdit, m_strRemark, CClientInfo::kRemarkBytes);
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
        Prompts::Refuse(QStringLiteral("找不到这位客户,可能已被删除。"));
        return false;
    }
    m_strClientID = client.ClientID;
    m_strOldClientID = client.ClientID;
    m_strPhoneNum = client.PhoneNum;
    m_fForegift = client.Foregift;
    m_fBalance = client.Balance;
    m_loaded = client;
    m_strRemark = client.Remark;
    m_tmCreateDate = QDateTime(FormText::StoredDate(client.CreateDate, *m_ui->dateEdit), QTime(0, 0));
    return true;
}

void CClientEditDlg::OnOK() {
    if (!m_ui->okButton->isEnabled() || !UpdateData(true))
        return; // Enter on a disabled "确定" saves nothing
    if (m_strClientID.isEmpty())
        return Prompts::Refuse(QStringLiteral("请填写必要信息!"));
    // A rejected write keeps the form open, as typed, after the engine's message.
    QString refusal;
    std::optional<CClientInfo> changed;
    if (!Save(&refusal, &changed)) {
        if (changed)
            TakeChanges(*changed);
        return Prompts::Refuse(refusal);
    }
    // A slip for the cash taken: a top-up, or a new client's deposit and balance.
    const qint64 deposit = DepositChange();
    const qint64 balance = BalanceChange();
    if (deposit > 0 || balance > 0) {
        m_slip = {QStringLiteral("充值"), Session::Current().UserName(), m_strClientID, QString(), {}};
        if (deposit > 0)
            m_slip.amounts << qMakePair(QStringLiteral("押金"), Money::FromFen(deposit));
        if (balance > 0)
            m_slip.amounts << qMakePair(QStringLiteral("充值"), Money::FromFen(balance));
        m_slip.amounts << qMakePair(QStringLiteral("余额"), Money::Text(m_fBalance));
        Receipt::After(m_slip);
    }
    EndDialog(IDOK);
}

// The number test and the write share one transaction, so two desks cannot both save one number;
// a refusal is shown once the transaction has ended.
bool CClientEditDlg::Save(QString* refusal, std::optional<CClientInfo>* changed) {
    CClientInfo client;
    client.ClientID = m_strClientID;
    client.PhoneNum = m_strPhoneNum;
    client.CreateDate = m_tmCreateDate.toString(QStringLiteral("yyyy-MM-dd"));
    client.Foregift = m_fForegift;
    client.Balance = m_fBalance;
    client.Remark = m_strRemark;

    const bool adding = m_strID.isEmpty();
    CTransaction saving;
    // An unchanged number is this client's own: the table is not asked. The engine compares
    // numbers without letter case, so another case of a taken number is taken too.
    if (adding || m_strClientID != m_strOldClientID) {
        const Lookup taken = CClientInfo().ExistsByClientId(m_strClientID);
        if (taken == Lookup::Failed)
            return false;
        if (taken == Lookup::Found) {
            *refusal = QStringLiteral("客户编号重复,请重新输入!");
            return false;
        }
    }
    if (!adding && !StillAsLoaded(refusal, changed))
        return false;
    return (adding ? client.Insert() : client.Update(m_key)) &&
           (adding ? PinyinKeys::WriteNewClient(client.ClientID, client.Remark, client.PhoneNum)
                   : PinyinKeys::WriteClient(m_key, client.Remark, client.PhoneNum)) &&
           WriteMoney() && WriteTrail(client) && saving.Commit();
}

// One row for a new client (every field), one for a change (the fields that changed from the row
// as loaded, which the save has found unchanged), none when the form was saved as it was.
bool CClientEditDlg::WriteTrail(const CClientInfo& after) const {
    const QString user = Session::Current().UserName();
    if (m_strID.isEmpty())
        return AuditTrail::Write(user, AuditTrail::kClientAdded, after.ClientID,
                                 AuditTrail::Listed(AuditFields::Of(after)));
    const QString changes = AuditTrail::Changes(AuditFields::Of(m_loaded), AuditFields::Of(after));
    return changes.isEmpty() || AuditTrail::Write(user, AuditTrail::kClientChanged, after.ClientID, changes);
}

// Read under the save's write lock: a lending at another desk may have charged the balance since
// the form opened, and writing the form back over it would give the month away.
bool CClientEditDlg::StillAsLoaded(QString* refusal, std::optional<CClientInfo>* changed) const {
    CClientInfo now;
    const Lookup found = now.LoadById(m_key);
    if (found == Lookup::Failed)
        return false;
    if (found == Lookup::Missing) {
        *refusal = QStringLiteral("找不到这位客户,可能已被删除。");
        return false;
    }
    const QStringList changes = ChangesSinceLoaded(now);
    if (changes.isEmpty())
        return true;
    *refusal = ChangedElsewhere::Sentence(QStringLiteral("该客户的资料"), changes);
    *changed = now;
    return false;
}

QStringList CClientEditDlg::ChangesSinceLoaded(const CClientInfo& now) const {
    QStringList changes;
    if (now.ClientID != m_loaded.ClientID)
        changes << ChangedElsewhere::Text(QStringLiteral("编号"), now.ClientID);
    if (now.PhoneNum != m_loaded.PhoneNum)
        changes << ChangedElsewhere::Text(QStringLiteral("电话"), now.PhoneNum);
    if (now.CreateDate != m_loaded.CreateDate)
        changes << ChangedElsewhere::Text(
            QStringLiteral("日期"),
            FormText::StoredDate(now.CreateDate, *m_ui->dateEdit).toString(QStringLiteral("yyyy-MM-dd")));
    if (now.Foregift != m_loaded.Foregift)
        changes << ChangedElsewhere::Money(QStringLiteral("押金"), now.Foregift);
    if (now.Balance != m_loaded.Balance)
        changes << ChangedElsewhere::Money(QStringLiteral("余款"), now.Balance);
    if (now.Remark != m_loaded.Remark)
        changes << ChangedElsewhere::Text(QStringLiteral("备注"), now.Remark);
    return changes;
}

void CClientEditDlg::TakeChanges(const CClientInfo& now) {
    QWidget* first = nullptr; // the first field that changed gets the focus
    const auto take = [&first](bool differs, QWidget* field, const std::function<void()>& set) {
        if (!differs)
            return;
        set();
        if (!first)
            first = field;
    };
    take(now.ClientID != m_loaded.ClientID, m_ui->clientEdit, [&] { m_strClientID = now.ClientID; });
    take(now.PhoneNum != m_loaded.PhoneNum, m_ui->phoneEdit, [&] { m_strPhoneNum = now.PhoneNum; });
    take(now.CreateDate != m_loaded.CreateDate, m_ui->dateEdit, [&] {
        m_tmCreateDate = QDateTime(FormText::StoredDate(now.CreateDate, *m_ui->dateEdit), QTime(0, 0));
    });
    take(now.Foregift != m_loaded.Foregift, m_ui->foregiftEdit, [&] { m_fForegift = now.Foregift; });
    take(now.Balance != m_loaded.Balance, m_ui->balanceEdit, [&] { m_fBalance = now.Balance; });
    take(now.Remark != m_loaded.Remark, m_ui->remarkEdit, [&] { m_strRemark = now.Remark; });
    m_loaded = now;
    m_strOldClientID = now.ClientID;
    UpdateData(false);
    if (first)
        first->setFocus();
}

qint64 CClientEditDlg::DepositChange() const {
    return CLedgerInfo::Fen(m_fForegift) - CLedgerInfo::Fen(m_loaded.Foregift);
}

qint64 CClientEditDlg::BalanceChange() const {
    return CLedgerInfo::Fen(m_fBalance) - CLedgerInfo::Fen(m_loaded.Balance);
}

bool CClientEditDlg::WriteMoney() const {
    CLedgerInfo money;
    money.Day = Clock::Now().date().toString(QStringLiteral("yyyy-MM-dd"));
    money.OptUser = Session::Current().UserName();
    money.ClientID = m_strClientID;
    const qint64 deposit = DepositChange();
    if (deposit != 0) {
        money.Kind = CLedgerInfo::kClientDeposit;
        money.Amount = deposit;
        if (!money.Insert())
            return false;
    }
    const qint64 balance = BalanceChange();
    if (balance != 0) {
        money.Kind = balance > 0 ? CLedgerInfo::kTopUp : CLedgerInfo::kCorrection;
        money.Amount = balance;
        if (!money.Insert())
            return false;
    }
    return true;
}
