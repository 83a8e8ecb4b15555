#include "desk/CExchangeDlg.h"

#include "app/CRentalApp.h"
#include "data/CFilmInfo.h"
#include "data/CRentInfo.h"
#include "data/SqlText.h"
#include "desk/DeskRules.h"
#include "toolkit/DataExchange.h"
#include "ui_CExchangeDlg.h"

CExchangeDlg::CExchangeDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CExchangeDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
}

CExchangeDlg::~CExchangeDlg() = default;

void CExchangeDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_ui->operatorName, m_strOptName);
    dx.Text(m_ui->newFilmEdit, m_strNewFilmID, Desk::kNumberBytes);
    dx.Text(m_ui->oldFilmEdit, m_strOldFilmID, Desk::kNumberBytes);
}

bool CExchangeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_strOptName = theApp.m_strUserName;
    UpdateData(false);
    return true;
}

void CExchangeDlg::OnOK() {
    if (!UpdateData(true))
        return;
    if (m_strOldFilmID.isEmpty() || m_strNewFilmID.isEmpty())
        return Desk::Refuse(QStringLiteral("未填写影片编号!"));
    if (!CFilmInfo().ExistsByFilmId(m_strOldFilmID) || !CFilmInfo().ExistsByFilmId(m_strNewFilmID))
        return Desk::Refuse(QStringLiteral("影片编号错误,影片库中未包含此编号!"));
    if (!CRentInfo().ExistsOpenByFilmId(m_strOldFilmID))
        return Desk::Refuse(QStringLiteral("旧影片编号错误,此影片未借出!"));
    if (CRentInfo().ExistsOpenByFilmId(m_strNewFilmID))
        return Desk::Refuse(QStringLiteral("新影片编号错误,此影片已借出!"));

    CFilmInfo oldFilm;
    oldFilm.LoadByFilmId(m_strOldFilmID);
    CFilmInfo newFilm;
    newFilm.LoadByFilmId(m_strNewFilmID);
    const QString text = QStringLiteral("旧片编号:  ") + m_strOldFilmID + QStringLiteral("\n旧片名字:  ") +
                         oldFilm.FilmName + QStringLiteral("\n新片编号:  ") + m_strNewFilmID +
                         QStringLiteral("\n新片名字:  ") + newFilm.FilmName +
                         QStringLiteral("\n\n以上信息是否正确,请确认?");
    if (!Desk::Confirm(text))
        return;

    CRentInfo rent;
    rent.LoadOpenByFilmId(m_strOldFilmID);
    rent.FilmID = m_strNewFilmID;
    rent.OptUser = m_strOptName;
    // The database refuses a second out row for the new film; the old film then stays out.
    if (!rent.Update(Sql::Key(static_cast<unsigned long>(rent.ID))))
        return;
    CDialog::OnOK();
}
