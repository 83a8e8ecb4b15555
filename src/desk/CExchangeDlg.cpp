#include "desk/CExchangeDlg.h"

#include "access/Session.h"
#include "data/AuditTrail.h"
#include "data/CFilmInfo.h"
#include "data/CRentInfo.h"
#include "desk/DeskLines.h"
#include "desk/DeskReserve.h"
#include "desk/DeskRules.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Prompts.h"
#include "ui_CExchangeDlg.h"

CExchangeDlg::CExchangeDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CExchangeDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
    // Under the form, the old film with its rental and the state of the new one.
    m_oldFilmInfo = DeskLines::AddInfoLine(m_ui->outerLayout, 1, QStringLiteral("oldFilmInfo"));
    m_newFilmInfo = DeskLines::AddInfoLine(m_ui->outerLayout, 2, QStringLiteral("newFilmInfo"));
    auto* oldLine = new CodeInfoLine(m_ui->oldFilmEdit, m_oldFilmInfo, &DeskLines::Rental);
    auto* newLine = new CodeInfoLine(m_ui->newFilmEdit, m_newFilmInfo, &DeskLines::Film);
    new CodePicker(m_ui->oldFilmEdit, m_ui->formLayout, CodePicker::Kind::Film);
    new CodePicker(m_ui->newFilmEdit, m_ui->formLayout, CodePicker::Kind::FilmIn);
    auto* enter = new EnterMoves(this, {m_ui->oldFilmEdit, m_ui->newFilmEdit},
                                 {{m_ui->oldFilmEdit, EnterMoves::Empty(m_ui->oldFilmEdit)},
                                  {m_ui->newFilmEdit, EnterMoves::Empty(m_ui->newFilmEdit)}});
    // An old film not out, or a new one unknown or out, keeps Enter in its field.
    enter->HoldOn(m_ui->oldFilmEdit, oldLine);
    enter->HoldOn(m_ui->newFilmEdit, newLine);
}

CExchangeDlg::~CExchangeDlg() = default;

void CExchangeDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_ui->operatorName, m_strOptName);
    dx.Text(m_ui->newFilmEdit, m_strNewFilmID, CFilmInfo::kTextBytes);
    dx.Text(m_ui->oldFilmEdit, m_strOldFilmID, CFilmInfo::kTextBytes);
}

bool CExchangeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_strOptName = Session::Current().UserName();
    UpdateData(false);
    return true;
}

void CExchangeDlg::OnOK() {
    if (!UpdateData(true))
        return;
    QString refusal;
    CFilmInfo oldFilm;
    CFilmInfo newFilm;
    if (!Find(oldFilm, newFilm, &refusal))
        return Refused(refusal);
    const QString text = QStringLiteral("旧片编号:  ") + m_strOldFilmID + QStringLiteral("\n旧片名字:  ") +
                         oldFilm.FilmName + QStringLiteral("\n新片编号:  ") + m_strNewFilmID +
                         QStringLiteral("\n新片名字:  ") + newFilm.FilmName +
                         QStringLiteral("\n\n以上信息是否正确,请确认?");
    if (!Prompts::Ask(text, QStringLiteral("请确定"), IDYES))
        return;
    // A rejected update leaves the old film out: the form stays open after the engine's message.
    if (!Exchange(&refusal))
        return Refused(refusal);
    m_strDone = QStringLiteral("已更换 %1为 %2")
                    .arg(DeskLines::FilmName(m_strOldFilmID, oldFilm.FilmName),
                         DeskLines::FilmName(m_strNewFilmID, newFilm.FilmName));
    DeskReserve::CallOut(m_strHeld);
    EndDialog(IDOK);
}

bool CExchangeDlg::Find(CFilmInfo& oldFilm, CFilmInfo& newFilm, QString* refusal) {
    QLineEdit* const oldEdit = m_ui->oldFilmEdit;
    QLineEdit* const newEdit = m_ui->newFilmEdit;
    m_refused = m_strOldFilmID.isEmpty() ? oldEdit : newEdit;
    if (m_strOldFilmID.isEmpty() || m_strNewFilmID.isEmpty())
        return Desk::Hold(QStringLiteral("未填写影片编号!"), refusal);
    const QString notInStock = QStringLiteral("影片编号错误,影片库中未包含此编号!");
    return Check(oldEdit, CFilmInfo().ExistsByFilmId(m_strOldFilmID), Lookup::Found, notInStock, refusal) &&
           Check(newEdit, CFilmInfo().ExistsByFilmId(m_strNewFilmID), Lookup::Found, notInStock, refusal) &&
           Check(oldEdit, CRentInfo().ExistsOpenByFilmId(m_strOldFilmID), Lookup::Found, OldNotOut(),
                 refusal) &&
           Check(newEdit, CRentInfo().ExistsOpenByFilmId(m_strNewFilmID), Lookup::Missing, NewOut(),
                 refusal) &&
           Check(oldEdit, oldFilm.LoadByFilmId(m_strOldFilmID), Lookup::Found, notInStock, refusal) &&
           Check(newEdit, newFilm.LoadByFilmId(m_strNewFilmID), Lookup::Found, notInStock, refusal);
}

// The rental is read again under the write lock and written back as it is now, with the new film.
bool CExchangeDlg::Exchange(QString* refusal) {
    CTransaction exchanging;
    CRentInfo rent;
    if (!Check(m_ui->oldFilmEdit, rent.LoadOpenByFilmId(m_strOldFilmID), Lookup::Found, OldNotOut(),
               refusal) ||
        !Check(m_ui->newFilmEdit, CRentInfo().ExistsOpenByFilmId(m_strNewFilmID), Lookup::Missing, NewOut(),
               refusal))
        return false;
    rent.FilmID = m_strNewFilmID;
    rent.OptUser = m_strOptName;
    return rent.Update(rent.ID) &&
           DeskReserve::AtExchange(rent.ClientID, m_strOldFilmID, m_strNewFilmID, refusal, &m_strHeld) &&
           AuditTrail::Write(m_strOptName, AuditTrail::kExchange, m_strOldFilmID,
                             QStringLiteral("旧片: %1; 新片: %2; 客户编号: %3")
                                 .arg(m_strOldFilmID, m_strNewFilmID, rent.ClientID)) &&
           exchanging.Commit();
}

bool CExchangeDlg::Check(QLineEdit* field, Lookup result, Lookup wanted, const QString& text,
                         QString* refusal) {
    m_refused = field;
    return Desk::Check(result, wanted, text, refusal);
}

// The refusal's box, then the clerk is put back into the code it is about to type it again.
void CExchangeDlg::Refused(const QString& refusal) {
    Prompts::Refuse(refusal);
    if (!refusal.isEmpty())
        DeskLines::Reselect(m_refused);
}

QString CExchangeDlg::OldNotOut() {
    return QStringLiteral("旧影片编号错误,此影片未借出!");
}

QString CExchangeDlg::NewOut() {
    return QStringLiteral("新影片编号错误,此影片已借出!");
}
