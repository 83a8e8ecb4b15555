#include "manage/CFilmEditDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/AuditFields.h"
#include "data/CAdoDb.h"
#include "data/CFilmInfo.h"
#include "data/Films.h"
#include "data/PinyinKeys.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Prompts.h"
#include "ui_CFilmEditDlg.h"

#include <QRegularExpressionValidator>

CFilmEditDlg::CFilmEditDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CFilmEditDlg>()) {
    m_ui->setupUi(this);
    m_ui->class1Combo->addItems(Films::Genres());
    m_ui->class2Combo->addItems(Films::Regions());
    m_ui->degreeEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_ui->degreeEdit));
    EnterPresses(m_ui->remarkEdit, m_ui->okButton);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
}

CFilmEditDlg::~CFilmEditDlg() = default;

// The order of the checks when the form is read: 租次, then the lengths of 片名, 编号, 主演, 备注.
void CFilmEditDlg::DoDataExchange(CDataExchange& dx) {
    dx.Int(m_ui->degreeEdit, m_nDegree, 0, CFilmInfo::kMaxDegree);
    dx.Text(m_ui->filmNameEdit, m_strFilmName, CFilmInfo::kTextBytes);
    dx.Text(m_ui->filmIdEdit, m_strFilmID, CFilmInfo::kTextBytes);
    dx.Text(m_ui->playactorEdit, m_strPlayactor, CFilmInfo::kTextBytes);
    dx.Text(m_ui->remarkEdit, m_strRemark, CFilmInfo::kRemarkBytes);
    dx.ListIndex(m_ui->typeCombo, m_nType);
    dx.ListIndex(m_ui->class1Combo, m_nClass1);
    dx.ListIndex(m_ui->class2Combo, m_nClass2);
    dx.Date(m_ui->dateEdit, m_tmStgDate);
}

bool CFilmEditDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_key = RowKey::FromText(m_strID);
    const bool newFilm = m_strID.isEmpty();
    if (newFilm) {
        m_nType = m_nClass1 = m_nClass2 = 0;
        m_tmStgDate = QDateTime(Clock::Now().date(), QTime(0, 0));
        m_nDegree = 0;
    } else if (!LoadFilm()) {
        return false;
    }
    UpdateData(false);
    m_ui->okButton->setEnabled(newFilm || Session::Current().IsAdministrator());
    m_ui->filmIdEdit->setFocus();
    return true;
}

// A failed read opens no form after the engine's message; a key that finds no film says so, and
// no form opens either. A stored date not in the form "%Y-%m-%d", or not a day the picker can
// show, shows today's date.
bool CFilmEditDlg::LoadFilm() {
    CFilmInfo film;
    const Lookup found = film.LoadById(m_key);
    if (found == Lookup::Failed)
        return false;
    if (found == Lookup::Missing) {
        Prompts::Refuse(QStringLiteral("找不到这部影片,它可能已被删除。"));
        return false;
    }
    m_strFilmID = m_strOldID = film.FilmID;
    m_strFilmName = film.FilmName;
    m_strPlayactor = film.Playactor;
    m_nType = film.Type == QStringLiteral("VCD") ? 0 : 1;
    m_nClass1 = Films::GenreIndex(film.Class1);
    m_nClass2 = Films::RegionIndex(film.Class2);
    m_tmStgDate = QDateTime(FormText::StoredDate(film.StgDate, *m_ui->dateEdit), QTime(0, 0));
    m_nDegree = film.Degree;
    m_strRemark = film.Remark;
    return true;
}

void CFilmEditDlg::OnOK() {
    if (!m_ui->okButton->isEnabled() || !UpdateData(true))
        return; // Enter on a disabled "确定" saves nothing
    if (m_strFilmID.isEmpty() || m_strFilmName.isEmpty())
        return Prompts::Refuse(QStringLiteral("请填写必要信息!"));
    QString refusal;
    if (Save(&refusal))
        return EndDialog(IDOK);
    Prompts::Refuse(refusal);
}

// The code test and the write share one transaction, so two desks cannot both save one code.
// False when the code is taken (*refusal says so, shown once the transaction has ended), or a
// read or the write failed (the engine's message shown).
bool CFilmEditDlg::Save(QString* refusal) {
    CFilmInfo film;
    film.FilmID = m_strFilmID;
    film.FilmName = m_strFilmName;
    film.Playactor = m_strPlayactor;
    film.Type = m_ui->typeCombo->itemText(m_nType);
    film.Class1 = m_ui->class1Combo->itemText(m_nClass1);
    film.Class2 = m_ui->class2Combo->itemText(m_nClass2);
    film.StgDate = m_tmStgDate.date().toString(QStringLiteral("yyyy-MM-dd"));
    film.Degree = m_nDegree;
    film.Remark = m_strRemark;

    const bool newFilm = m_strID.isEmpty();
    CTransaction saving;
    // A film keeping its own code is not tested against itself.
    if (newFilm || m_strFilmID != m_strOldID) {
        const Lookup taken = CFilmInfo().ExistsByFilmId(m_strFilmID);
        if (taken == Lookup::Failed)
            return false;
        if (taken == Lookup::Found) {
            *refusal = QStringLiteral("影片编号重复,请重新输入!");
            return false;
        }
    }
    // The film as it is now, for the trail's before and after.
    CFilmInfo before;
    if (!newFilm && before.LoadById(m_key) == Lookup::Failed)
        return false;
    if (!(newFilm ? film.Insert() : film.Update(m_key)))
        return false;
    // The search keys of the title and actor, beside the film's row.
    return (newFilm ? PinyinKeys::WriteNewFilm(film.FilmID, film.FilmName, film.Playactor)
                    : PinyinKeys::WriteFilm(m_key, film.FilmName, film.Playactor)) &&
           WriteTrail(before, film) && saving.Commit();
}

// One row for a new film (every field), one for a change (the fields that changed), none when
// the form was saved as it was.
bool CFilmEditDlg::WriteTrail(const CFilmInfo& before, const CFilmInfo& after) const {
    const QString user = Session::Current().UserName();
    if (m_strID.isEmpty())
        return AuditTrail::Write(user, AuditTrail::kFilmAdded, after.FilmID,
                                 AuditTrail::Listed(AuditFields::Of(after)));
    const QString changes = AuditTrail::Changes(AuditFields::Of(before), AuditFields::Of(after));
    return changes.isEmpty() || AuditTrail::Write(user, AuditTrail::kFilmChanged, after.FilmID, changes);
}
