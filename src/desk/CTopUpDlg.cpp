#include "desk/CTopUpDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/CClientInfo.h"
#include "data/CLedgerInfo.h"
#include "data/DeskLookup.h"
#include "desk/DeskLines.h"
#include "desk/DeskRules.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Money.h"
#include "toolkit/Prompts.h"
#include "ui_CTopUpDlg.h"

#include <QPushButton>

namespace {
// The client, and once an amount is typed, the balance it makes, in the top-up's own arithmetic.
DeskLines::Line TopUpLine(const QString& clientId, const QString& amount) {
    DeskLookup::Client client;
    DeskLines::Line line = DeskLines::Client(clientId, &client);
    double typed = 0;
    if (client.result != Lookup::Found ||
        !CDataExchange::ReadReal(amount, 0.01, Desk::kMaxMoney, 2, &typed).isEmpty())
        return line;
    const float balance = client.balance + float(typed);
    line.text += QLatin1Char('\n');
    if (balance > CTopUpDlg::kMostBalance)
        line.text += QStringLiteral("充值后余额 %1,超过了 %2")
                         .arg(Money::Text(balance), Money::Text(CTopUpDlg::kMostBalance));
    else
        line.text += QStringLiteral("充值 %1,余额 %2 → %3")
                         .arg(Money::Text(float(typed)), Money::Text(client.balance), Money::Text(balance));
    return line;
}
} // namespace

CTopUpDlg::CTopUpDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CTopUpDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
    m_clientInfo = DeskLines::AddInfoLine(m_ui->outerLayout, 1, QStringLiteral("clientInfo"));
    QLineEdit* amount = m_ui->amountEdit;
    auto* line = new CodeInfoLine(m_ui->clientEdit, m_clientInfo, [amount](const QString& client) {
        return TopUpLine(client, amount->text());
    });
    line->DependsOn(amount);
    new CodePicker(m_ui->clientEdit, m_ui->formLayout, CodePicker::Kind::Client);
    auto* enter = new EnterMoves(
        this, {m_ui->clientEdit},
        {{m_ui->clientEdit, EnterMoves::Empty(m_ui->clientEdit)}, {amount, EnterMoves::Empty(amount)}});
    enter->HoldOn(m_ui->clientEdit, line);
}

CTopUpDlg::~CTopUpDlg() = default;

void CTopUpDlg::OfferAt(QBoxLayout* buttons, QLineEdit* client, std::function<void()> refreshed) {
    auto* button = new QPushButton(QStringLiteral("充值(&T)..."), client->window());
    button->setObjectName(QStringLiteral("topUpButton"));
    button->setToolTip(QStringLiteral("给这位客户的余额充值"));
    buttons->insertWidget(0, button);
    QObject::connect(button, &QPushButton::clicked, client, [client, refreshed] {
        CTopUpDlg topUp(client->window());
        topUp.m_strClientID = client->text().trimmed();
        if (topUp.DoModal() == IDOK && refreshed)
            refreshed();
    });
}

void CTopUpDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_ui->clientEdit, m_strClientID, CClientInfo::kNumberBytes);
    dx.Real(m_ui->amountEdit, m_fAmount, 0.01, Desk::kMaxMoney, 2);
    dx.Text(m_ui->operatorName, m_strOptName);
}

bool CTopUpDlg::OnInitDialog() {
    m_strOptName = Session::Current().UserName();
    CDialog::OnInitDialog();
    // The amount starts empty, for the clerk to type.
    m_ui->amountEdit->clear();
    if (m_strClientID.isEmpty())
        m_ui->clientEdit->setFocus();
    else
        m_ui->amountEdit->setFocus();
    return true;
}

void CTopUpDlg::OnOK() {
    // The client first: its refusal comes before a prompt about an amount.
    if (m_ui->clientEdit->text().trimmed().isEmpty()) {
        Prompts::Refuse(QStringLiteral("未填写客户编号!"));
        return DeskLines::Reselect(m_ui->clientEdit);
    }
    if (!UpdateData(true))
        return;
    QString refusal;
    if (!TopUp(&refusal)) {
        Prompts::Refuse(refusal);
        if (!refusal.isEmpty())
            DeskLines::Reselect(refusal.contains(QStringLiteral("客户")) ? m_ui->clientEdit
                                                                         : m_ui->amountEdit);
        return;
    }
    Receipt::After(m_slip);
    EndDialog(IDOK);
}

// The client is read under the write lock and its balance written back raised, with the ledger's
// row, in one transaction: a lending at another desk meanwhile cannot be lost.
bool CTopUpDlg::TopUp(QString* refusal) {
    CTransaction topUp;
    CClientInfo client;
    if (!Desk::Check(client.LoadByClientId(m_strClientID), Lookup::Found, QStringLiteral("客户编号错误!"),
                     refusal))
        return false;
    const float amount = float(m_fAmount);
    const float before = client.Balance;
    client.Balance = before + amount;
    if (client.Balance > kMostBalance)
        return Desk::Hold(QStringLiteral("充值后余额将是 %1,超过了最多的 %2。请少充一些。")
                              .arg(Money::Text(client.Balance), Money::Text(kMostBalance)),
                          refusal);
    if (!client.Update(client.ID))
        return false;
    CLedgerInfo money;
    money.Day = Desk::DateText(Clock::Now());
    money.OptUser = m_strOptName;
    money.Kind = CLedgerInfo::kTopUp;
    money.Amount = CLedgerInfo::Fen(m_fAmount);
    money.ClientID = m_strClientID;
    money.Note = QStringLiteral("余额 %1 → %2").arg(Money::Text(before), Money::Text(client.Balance));
    if (!money.Insert() || !topUp.Commit())
        return false;
    m_strDone = QStringLiteral("已为 %1 充值 %2,余额 %3")
                    .arg(m_strClientID, Money::Text(amount), Money::Text(client.Balance));
    m_slip = {QStringLiteral("充值"),
              m_strOptName,
              m_strClientID,
              {},
              {{QStringLiteral("充值"), Money::Text(amount)},
               {QStringLiteral("余额"), Money::Text(client.Balance)}}};
    return true;
}
