#include "desk/CPriceSettingDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/AuditTrail.h"
#include "data/CLedgerInfo.h"
#include "data/CSettingInfo.h"
#include "desk/CLateChargeDlg.h"
#include "desk/CReceiptSettingDlg.h"
#include "desk/DeskRules.h"
#include "toolkit/ChangedElsewhere.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Prompts.h"
#include "ui_CPriceSettingDlg.h"

CPriceSettingDlg::CPriceSettingDlg(QWidget* parent)
    : CDialog(parent), m_ui(std::make_unique<Ui::CPriceSettingDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
    // The receipts' settings, beside the prices.
    auto* receipts = new QPushButton(QStringLiteral("小票(&T)..."), this);
    receipts->setObjectName(QStringLiteral("receiptButton"));
    m_ui->buttonLayout->insertWidget(2, receipts);
    connect(receipts, &QPushButton::clicked, this, [this] {
        CReceiptSettingDlg receiptSettings(this);
        receiptSettings.DoModal();
    });
    // Whether a return charges the days out, beside them.
    auto* lateCharge = new QPushButton(QStringLiteral("超期收费(&O)..."), this);
    lateCharge->setObjectName(QStringLiteral("lateChargeButton"));
    m_ui->buttonLayout->insertWidget(3, lateCharge);
    connect(lateCharge, &QPushButton::clicked, this, [this] {
        CLateChargeDlg lateChargeSettings(this);
        lateChargeSettings.DoModal();
    });
}

CPriceSettingDlg::~CPriceSettingDlg() = default;

void CPriceSettingDlg::DoDataExchange(CDataExchange& dx) {
    dx.Real(m_ui->monthVcdEdit, m_fMonthVcd, 0, Desk::kMaxMoney);
    dx.Real(m_ui->monthDvdEdit, m_fMonthDvd, 0, Desk::kMaxMoney);
    dx.Real(m_ui->dayVcdEdit, m_fDayVcd, 0, Desk::kMaxMoney);
    dx.Real(m_ui->dayDvdEdit, m_fDayDvd, 0, Desk::kMaxMoney);
}

bool CPriceSettingDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CSettingInfo prices;
    // A failed read opens no form: its zeros would be saved over the real prices.
    if (prices.Load() == Lookup::Failed)
        return false;
    m_fMonthVcd = prices.MonthVcd;
    m_fMonthDvd = prices.MonthDvd;
    m_fDayVcd = prices.DayVcd;
    m_fDayDvd = prices.DayDvd;
    m_loaded = prices;
    UpdateData(false);
    m_ui->okButton->setEnabled(Session::Current().IsAdministrator());
    m_ui->monthVcdEdit->setFocus();
    return true;
}

void CPriceSettingDlg::OnOK() {
    if (!m_ui->okButton->isEnabled() || !UpdateData(true))
        return; // Enter on a disabled "确定" saves nothing
    CSettingInfo prices;
    prices.MonthVcd = m_fMonthVcd;
    prices.MonthDvd = m_fMonthDvd;
    prices.DayVcd = m_fDayVcd;
    prices.DayDvd = m_fDayDvd;
    CSettingInfo now;
    QStringList changedElsewhere;
    if (!Save(prices, &now, &changedElsewhere)) {
        // Shown once the transaction has ended, over the prices as they are now.
        if (!changedElsewhere.isEmpty()) {
            TakeChanges(now);
            Prompts::Refuse(ChangedElsewhere::Sentence(QStringLiteral("价格"), changedElsewhere));
        }
        return;
    }
    EndDialog(IDOK);
}

bool CPriceSettingDlg::Save(CSettingInfo prices, CSettingInfo* now, QStringList* changedElsewhere) {
    // The new prices and the ledger's note of the change, together.
    CTransaction saving;
    if (!StillAsLoaded(now, changedElsewhere) || !changedElsewhere->isEmpty())
        return false;
    if (!prices.Update())
        return false;
    QStringList changes;
    const auto change = [&changes](const char* name, float from, float to) {
        if (CLedgerInfo::Fen(from) != CLedgerInfo::Fen(to))
            changes << QString::asprintf("%s %.2f→%.2f", name, double(from), double(to));
    };
    change("月租VCD", m_loaded.MonthVcd, prices.MonthVcd);
    change("月租DVD", m_loaded.MonthDvd, prices.MonthDvd);
    change("零租VCD", m_loaded.DayVcd, prices.DayVcd);
    change("零租DVD", m_loaded.DayDvd, prices.DayDvd);
    if (!changes.isEmpty()) {
        CLedgerInfo note;
        note.Day = Clock::Now().date().toString(QStringLiteral("yyyy-MM-dd"));
        note.OptUser = Session::Current().UserName();
        note.Kind = CLedgerInfo::kPriceChange;
        note.Note = changes.join(QStringLiteral(","));
        if (!note.Insert() || !AuditTrail::Write(note.OptUser, AuditTrail::kPrices, QString(), note.Note))
            return false;
    }
    return saving.Commit();
}

// Read under the save's write lock: prices saved at another desk since the form opened would be
// written back over by the ones the form still shows.
bool CPriceSettingDlg::StillAsLoaded(CSettingInfo* now, QStringList* changes) const {
    *now = m_loaded; // a table emptied outside the program changes nothing the form shows
    if (now->Load() == Lookup::Failed)
        return false;
    const auto compare = [changes](const char* name, float before, float after) {
        if (before != after)
            *changes << ChangedElsewhere::Money(QString::fromUtf8(name), after);
    };
    compare("月租VCD", m_loaded.MonthVcd, now->MonthVcd);
    compare("月租DVD", m_loaded.MonthDvd, now->MonthDvd);
    compare("零租VCD", m_loaded.DayVcd, now->DayVcd);
    compare("零租DVD", m_loaded.DayDvd, now->DayDvd);
    return true;
}

void CPriceSettingDlg::TakeChanges(const CSettingInfo& now) {
    QWidget* first = nullptr; // the first price that changed gets the focus
    const auto take = [&first](float before, float after, float* member, QWidget* field) {
        if (before == after)
            return;
        *member = after;
        if (!first)
            first = field;
    };
    take(m_loaded.MonthVcd, now.MonthVcd, &m_fMonthVcd, m_ui->monthVcdEdit);
    take(m_loaded.MonthDvd, now.MonthDvd, &m_fMonthDvd, m_ui->monthDvdEdit);
    take(m_loaded.DayVcd, now.DayVcd, &m_fDayVcd, m_ui->dayVcdEdit);
    take(m_loaded.DayDvd, now.DayDvd, &m_fDayDvd, m_ui->dayDvdEdit);
    m_loaded = now;
    UpdateData(false);
    if (first)
        first->setFocus();
}
