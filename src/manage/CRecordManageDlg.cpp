#include "manage/CRecordManageDlg.h"

#include "access/Session.h"
#include "data/AuditFields.h"
#include "data/CClientInfo.h"
#include "data/CFilmInfo.h"
#include "data/CRentInfo.h"
#include "data/RowKey.h"
#include "manage/CClientEditDlg.h"
#include "manage/CFilmEditDlg.h"
#include "manage/CUndoDlg.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Prompts.h"
#include "ui_CRecordManageDlg.h"

namespace {
constexpr int kClientColumn = 1;
constexpr int kFilmColumn = 2;
} // namespace

CRecordManageDlg::CRecordManageDlg(QWidget* parent)
    : CBrowseDlg(parent), m_ui(std::make_unique<Ui::CRecordManageDlg>()) {
    m_ui->setupUi(this);
    BindGrid(m_ui->grid, {0, 40, 40, 80, 20, 20, 45, 45, 50});
    OfferExport(m_ui->buttonLayout);
    // A pick applies its filter even when it is the one shown: it brings the list back after a search.
    connect(m_ui->filterCombo, &QComboBox::activated, this, &CRecordManageDlg::OnSelchangeFilter);
    connect(m_ui->searchButton, &QPushButton::clicked, this, &CRecordManageDlg::OnSearch);
    connect(m_ui->clientButton, &QPushButton::clicked, this, &CRecordManageDlg::OnClientInfo);
    connect(m_ui->filmButton, &QPushButton::clicked, this, &CRecordManageDlg::OnFilmInfo);
    connect(m_ui->deleteButton, &QPushButton::clicked, this, &CRecordManageDlg::OnDelete);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CDialog::OnCancel);
    auto* undo = new QPushButton(QStringLiteral("撤销(&U)..."), this);
    undo->setObjectName(QStringLiteral("undoButton"));
    undo->setToolTip(QStringLiteral("撤销这条记录今天的借出或还回"));
    m_ui->buttonLayout->insertWidget(m_ui->buttonLayout->indexOf(m_ui->deleteButton) + 1, undo);
    connect(undo, &QPushButton::clicked, this, &CRecordManageDlg::OnUndo);
}

CRecordManageDlg::~CRecordManageDlg() = default;

void CRecordManageDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_ui->searchEdit, m_strSearch, CRentInfo::kSearchBytes);
    dx.Radio({m_ui->clientRadio, m_ui->filmIdRadio, m_ui->filmNameRadio, m_ui->dateRadio}, m_nSearchKind);
}

bool CRecordManageDlg::OnInitDialog() {
    {
        const QSignalBlocker filter(m_ui->filterCombo);
        m_ui->filterCombo->setCurrentIndex(0);
    }
    m_nSearchKind = 0;
    CDialog::OnInitDialog();
    m_strQuery = RentGrid::All();
    ShowQuery();
    m_ui->deleteButton->setEnabled(Session::Current().IsAdministrator());
    m_ui->searchEdit->setFocus();
    return true;
}

void CRecordManageDlg::OnSelchangeFilter() {
    switch (m_ui->filterCombo->currentIndex()) {
    case 0:
        m_strQuery = RentGrid::All();
        break;
    case 1:
        m_strQuery = RentGrid::Monthly();
        break;
    case 2:
        m_strQuery = RentGrid::Daily();
        break;
    default:
        m_strQuery = RentGrid::Out();
        break;
    }
    ShowQuery();
}

void CRecordManageDlg::OnSearch() {
    if (!UpdateData(true))
        return;
    switch (m_nSearchKind) {
    case 0:
        m_strQuery = RentGrid::ByClientId(m_strSearch);
        break;
    case 1:
        m_strQuery = RentGrid::ByFilmId(m_strSearch);
        break;
    case 2:
        m_strQuery = RentGrid::FilmNameSearch(m_strSearch);
        break;
    default: // 租借日期, or no kind chosen
        m_strQuery = RentGrid::BorrowDateSearch(m_strSearch);
        break;
    }
    ShowQuery();
}

// A rental names its client by number; a number that no client has any more (deleted, or given
// another number since) is said so, and no editor opens on a row that is not there.
void CRecordManageDlg::OnClientInfo() {
    if (!HasCurrentRow(QStringLiteral("请选择要查看的记录")))
        return;
    const QString clientId = CurrentText(kClientColumn);
    if (clientId.isEmpty())
        return Prompts::Refuse(QStringLiteral("不是月租客户,没有客户信息!"));
    CClientInfo client;
    const Lookup found = client.LoadByClientId(clientId);
    OpenNamed<CClientEditDlg>(
        found, client.ID,
        QStringLiteral("找不到客户编号为“%1”的客户,可能已被删除或改了编号。").arg(clientId));
}

void CRecordManageDlg::OnFilmInfo() {
    if (!HasCurrentRow(QStringLiteral("请选择要查看的记录")))
        return;
    const QString filmId = CurrentText(kFilmColumn);
    CFilmInfo film;
    const Lookup found = film.LoadByFilmId(filmId);
    OpenNamed<CFilmEditDlg>(
        found, film.ID, QStringLiteral("找不到影片编号为“%1”的影片,可能已被删除或改了编号。").arg(filmId));
}

// The editor opens on the row a rental names, found as id. A failed read has shown the engine's
// message; a row that is gone is said so.
template <class Editor> void CRecordManageDlg::OpenNamed(Lookup found, int id, const QString& gone) {
    if (found == Lookup::Missing)
        Prompts::Refuse(gone);
    else if (found == Lookup::Found)
        EditRow<Editor>(QString::number(id));
}

void CRecordManageDlg::OnDelete() {
    if (!HasCurrentRow(QStringLiteral("请选择要删除的记录")) ||
        !Prompts::Ask(QStringLiteral("是否删除当前记录?"), QStringLiteral("请确认"), IDNO))
        return;
    // Only the rental row goes; its client and film stay as they are.
    if (DeleteRent(RowKey::FromText(CurrentText(0))))
        ShowQuery();
}

// The row and the trail's copy of it, together; a row gone already is deleted as before.
bool CRecordManageDlg::DeleteRent(RowKey key) {
    CTransaction deleting;
    CRentInfo rent;
    const Lookup found = AuditFields::LoadRent(key, &rent);
    return found != Lookup::Failed && CRentInfo().DeleteById(key) &&
           (found == Lookup::Missing ||
            AuditTrail::Write(Session::Current().UserName(), AuditTrail::kRentDeleted, rent.FilmID,
                              AuditTrail::Listed(AuditFields::Of(rent)))) &&
           deleting.Commit();
}

void CRecordManageDlg::OnUndo() {
    if (!HasCurrentRow(QStringLiteral("请选择要撤销的记录")))
        return;
    QString done;
    if (CUndoDlg::UndoRent(this, RowKey::FromText(CurrentText(0)).Value(), &done))
        ShowQuery();
}
