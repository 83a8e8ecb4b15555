#include "desk/CLendDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/CAdoDb.h"
#include "data/CClientInfo.h"
#include "data/CFilmInfo.h"
#include "data/RentContact.h"
#include "desk/CLendBasketDlg.h"
#include "desk/CTopUpDlg.h"
#include "desk/DeskLines.h"
#include "desk/DeskRules.h"
#include "desk/LendCharge.h"
#include "desk/LendContact.h"
#include "desk/LendFilm.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Money.h"
#include "toolkit/Prompts.h"
#include "ui_CLendDlg.h"

CLendDlg::CLendDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CLendDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
    connect(m_ui->typeCombo, &QComboBox::currentIndexChanged, this, &CLendDlg::OnSelchangeRentType);
    // Under the form, what the two codes stand for.
    m_clientInfo = DeskLines::AddInfoLine(m_ui->outerLayout, 1, QStringLiteral("clientInfo"));
    m_filmInfo = DeskLines::AddInfoLine(m_ui->outerLayout, 2, QStringLiteral("filmInfo"));
    QLineEdit* film = m_ui->filmEdit;
    QLineEdit* deposit = m_ui->depositEdit;
    // The client's line also tells what the lending will take, so it follows the film, the
    // deposit and the plan as well.
    auto* clientLine =
        new CodeInfoLine(m_ui->clientEdit, m_clientInfo, [this, film, deposit](const QString& client) {
            return m_ui->typeCombo->currentIndex() == 0 ? LendCharge::Monthly(client, film->text())
                                                        : LendCharge::Daily(film->text(), deposit->text());
        });
    clientLine->DependsOn(film);
    clientLine->DependsOn(deposit);
    connect(m_ui->typeCombo, &QComboBox::currentIndexChanged, clientLine, &CodeInfoLine::Refresh);
    auto* filmLine = new CodeInfoLine(film, m_filmInfo, &DeskLines::Film);
    new CodePicker(m_ui->clientEdit, m_ui->formLayout, CodePicker::Kind::Client);
    new CodePicker(film, m_ui->formLayout, CodePicker::Kind::FilmIn);
    auto* enter = new EnterMoves(this, {m_ui->clientEdit, film},
                                 {{m_ui->clientEdit, EnterMoves::Empty(m_ui->clientEdit)},
                                  {film, EnterMoves::Empty(film)},
                                  {deposit, [deposit] { return deposit->text().toFloat() == 0; }}});
    enter->HoldOn(m_ui->clientEdit, clientLine);
    enter->HoldOn(film, filmLine);
    LendContact::AddFields(m_ui->formLayout, &m_contactName, &m_contactPhone);
    QWidget::setTabOrder(deposit, m_contactName);
    QWidget::setTabOrder(m_contactName, m_contactPhone);
    QWidget::setTabOrder(m_contactPhone, m_ui->dateEdit);
    CTopUpDlg::OfferAt(m_ui->buttonLayout, m_ui->clientEdit, [clientLine] { clientLine->Refresh(); });
    CLendBasketDlg::OfferAt(this, m_ui->buttonLayout, m_ui->clientEdit, film, &m_strDone);
}

CLendDlg::~CLendDlg() = default;

void CLendDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_ui->clientEdit, m_strClientID, CClientInfo::kNumberBytes);
    dx.Text(m_ui->filmEdit, m_strFilmID, CFilmInfo::kTextBytes);
    dx.Text(m_ui->operatorName, m_strOptName);
    dx.Date(m_ui->dateEdit, m_tmBorrowDate);
    dx.Real(m_ui->depositEdit, m_fForegift, 0, Desk::kMaxMoney);
    dx.ListIndex(m_ui->typeCombo, m_nRentType);
    dx.Text(m_contactName, m_strContactName, RentContact::kNameBytes);
    dx.Text(m_contactPhone, m_strContactPhone, RentContact::kPhoneBytes);
}

bool CLendDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_nRentType = 0;
    m_ui->depositEdit->setEnabled(false);
    m_tmBorrowDate = Clock::Now();
    m_strOptName = Session::Current().UserName();
    UpdateData(false);
    OnSelchangeRentType();
    return true;
}

void CLendDlg::OnSelchangeRentType() {
    const bool monthly = m_ui->typeCombo->currentIndex() == 0;
    m_ui->clientEdit->setEnabled(monthly);
    m_ui->depositEdit->setEnabled(!monthly);
    m_contactName->setEnabled(!monthly);
    m_contactPhone->setEnabled(!monthly);
}

void CLendDlg::OnOK() {
    if (!UpdateData(true))
        return;
    QString refusal;
    if (!Lend(&refusal)) {
        Prompts::Refuse(refusal);
        return Reselect(refusal);
    }
    Receipt::After(m_slip);
    EndDialog(IDOK);
}

// After a refusal the clerk is put back into the field it is about, to type it again; the texts
// of the client's refusals all name the client. A failed read (no refusal) leaves the focus.
void CLendDlg::Reselect(const QString& refusal) {
    if (refusal.isEmpty())
        return;
    if (refusal == QStringLiteral("未填写押金!"))
        DeskLines::Reselect(m_ui->depositEdit);
    else if (refusal.contains(QStringLiteral("客户")))
        DeskLines::Reselect(m_ui->clientEdit);
    else
        DeskLines::Reselect(m_ui->filmEdit);
}

// The checks, the reads and the writes of a lending run in one transaction that takes the write
// lock at its first statement: what is written back (the balance, the count) was read under
// that lock, so another desk lending at the same moment cannot overwrite it.
bool CLendDlg::Lend(QString* refusal) {
    const bool monthly = m_ui->typeCombo->currentIndex() == 0;
    CTransaction lending;
    if (monthly) {
        if (m_strClientID.isEmpty())
            return Desk::Hold(QStringLiteral("未填写客户编号!"), refusal);
        if (m_strFilmID.isEmpty())
            return Desk::Hold(QStringLiteral("未填写影片编号!"), refusal);
        if (!Desk::Check(CClientInfo().ExistsByClientId(m_strClientID), Lookup::Found,
                         QStringLiteral("客户编号错误!"), refusal))
            return false;
        m_fForegift = 0;
    } else {
        if (m_strFilmID.isEmpty())
            return Desk::Hold(QStringLiteral("未填写影片编号!"), refusal);
        if (m_fForegift == 0)
            return Desk::Hold(QStringLiteral("未填写押金!"), refusal);
        m_strClientID.clear();
    }
    const LendFilm::Request ask{monthly,
                                m_strClientID,
                                m_strFilmID,
                                m_fForegift,
                                m_tmBorrowDate,
                                m_strOptName,
                                {m_strContactName.trimmed(), m_strContactPhone.trimmed()},
                                {}};
    LendFilm::Lent lent;
    // All the rows or none; a failure is shown once the transaction is rolled back, and the form
    // stays open as typed.
    if (!LendFilm::Check(ask, &lent, refusal) || !LendFilm::Write(ask, &lent, refusal) || !lending.Commit())
        return false;
    const float price = lent.price;
    const float deposit = monthly ? 0 : lent.held;
    const QString lentFilm = DeskLines::FilmName(m_strFilmID, lent.film.FilmName);
    if (monthly)
        m_strDone = QStringLiteral("已借出 %1给 %2,扣款 %3,余额 %4")
                        .arg(lentFilm, m_strClientID, Money::Text(price), Money::Text(lent.client.Balance));
    else
        m_strDone = QStringLiteral("已借出 %1(零租),收押金 %2,租金 %3,存押金 %4")
                        .arg(lentFilm, Money::Text(m_fForegift), Money::Text(price), Money::Text(deposit));
    m_slip = {QStringLiteral("借出"),
              m_strOptName,
              monthly ? m_strClientID : LendContact::SlipClient(ask.contact),
              lentFilm,
              {}};
    if (monthly)
        m_slip.amounts = {{QStringLiteral("扣款"), Money::Text(price)},
                          {QStringLiteral("余额"), Money::Text(lent.client.Balance)}};
    else
        m_slip.amounts = {{QStringLiteral("收押金"), Money::Text(m_fForegift)},
                          {QStringLiteral("租金"), Money::Text(price)},
                          {QStringLiteral("存押金"), Money::Text(deposit)}};
    m_fForegift = deposit;
    return true;
}
