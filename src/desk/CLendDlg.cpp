#include "desk/CLendDlg.h"

#include "app/CRentalApp.h"
#include "data/CAdoDb.h"
#include "data/CClientInfo.h"
#include "data/CFilmInfo.h"
#include "data/CRentInfo.h"
#include "data/CSettingInfo.h"
#include "data/SqlText.h"
#include "desk/DeskRules.h"
#include "toolkit/Clock.h"
#include "toolkit/DataExchange.h"
#include "ui_CLendDlg.h"

CLendDlg::CLendDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CLendDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
    connect(m_ui->typeCombo, &QComboBox::currentIndexChanged, this, &CLendDlg::OnSelchangeRentType);
}

CLendDlg::~CLendDlg() = default;

void CLendDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_ui->clientEdit, m_strClientID, Desk::kNumberBytes);
    dx.Text(m_ui->filmEdit, m_strFilmID, Desk::kNumberBytes);
    dx.Text(m_ui->operatorName, m_strOptName);
    dx.Date(m_ui->dateEdit, m_tmBorrowDate);
    dx.Real(m_ui->depositEdit, m_fForegift, 0, Desk::kMaxMoney);
    dx.ListIndex(m_ui->typeCombo, m_nRentType);
}

bool CLendDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_nRentType = 0;
    m_ui->depositEdit->setEnabled(false);
    m_tmBorrowDate = Clock::Now();
    m_strOptName = theApp.m_strUserName;
    UpdateData(false);
    OnSelchangeRentType();
    return true;
}

void CLendDlg::OnSelchangeRentType() {
    const bool monthly = m_ui->typeCombo->currentIndex() == 0;
    m_ui->clientEdit->setEnabled(monthly);
    m_ui->depositEdit->setEnabled(!monthly);
}

void CLendDlg::OnOK() {
    if (!UpdateData(true))
        return;
    const bool monthly = m_ui->typeCombo->currentIndex() == 0;
    QString rentType;
    if (monthly) {
        if (m_strClientID.isEmpty())
            return Desk::Refuse(QStringLiteral("未填写客户编号!"));
        if (m_strFilmID.isEmpty())
            return Desk::Refuse(QStringLiteral("未填写影片编号!"));
        if (!CClientInfo().ExistsByClientId(m_strClientID))
            return Desk::Refuse(QStringLiteral("客户编号错误!"));
        m_fForegift = 0;
        rentType = Desk::kMonthly;
    } else {
        if (m_strFilmID.isEmpty())
            return Desk::Refuse(QStringLiteral("未填写影片编号!"));
        if (m_fForegift == 0)
            return Desk::Refuse(QStringLiteral("未填写押金!"));
        m_strClientID.clear();
        rentType = Desk::kDaily;
    }
    if (!CFilmInfo().ExistsByFilmId(m_strFilmID))
        return Desk::Refuse(QStringLiteral("影片编号错误!"));
    if (CRentInfo().ExistsOpenByFilmId(m_strFilmID))
        return Desk::Refuse(QStringLiteral("此影片已经借出,请选择其它影片!"));

    CClientInfo client;
    CFilmInfo film;
    CSettingInfo prices;
    if (monthly) {
        client.LoadByClientId(m_strClientID);
        film.LoadByFilmId(m_strFilmID);
        prices.Load();
        const float price = Desk::MonthPrice(prices, film.Type);
        if (client.Balance - price <= 0)
            return Desk::Refuse(QStringLiteral("月租客户的余额不足,不能借出影片!"));
        client.Balance = client.Balance - price;
    } else {
        film.LoadByFilmId(m_strFilmID);
        prices.Load();
        // No lower bound: a deposit below the day's price leaves a negative amount held.
        m_fForegift = m_fForegift - Desk::DayPrice(prices, film.Type);
    }
    film.Degree = film.Degree + 1;

    CRentInfo rent;
    rent.ClientID = m_strClientID;
    rent.FilmID = m_strFilmID;
    rent.Type = rentType;
    rent.Foregift = m_fForegift;
    rent.BorrowDate = Desk::DateText(m_tmBorrowDate);
    rent.ReturnDate.clear();
    rent.OptUser = m_strOptName;

    // The balance, the count and the rental row are written together or not at all; a failure
    // has been shown once the transaction is rolled back, and the form stays open as typed.
    CTransaction lending;
    if (monthly && !client.Update(Sql::Key(static_cast<unsigned long>(client.ID))))
        return;
    if (!film.Update(Sql::Key(static_cast<unsigned long>(film.ID))) || !rent.Insert())
        return;
    if (!lending.Commit())
        return;
    CDialog::OnOK();
}
