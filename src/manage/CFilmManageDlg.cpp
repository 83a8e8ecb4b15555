#include "manage/CFilmManageDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/AuditFields.h"
#include "data/CAdoDb.h"
#include "data/CFilmInfo.h"
#include "data/CRentInfo.h"
#include "data/Films.h"
#include "data/PinyinKeys.h"
#include "data/Reservations.h"
#include "data/RowKey.h"
#include "manage/CFilmEditDlg.h"
#include "manage/CLabelPrintDlg.h"
#include "manage/ImportButton.h"
#include "toolkit/CQuickFind.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Prompts.h"
#include "ui_CFilmManageDlg.h"

namespace {
// The text of a filter's pick; none for its first entry, "所有影片".
QString Picked(const QComboBox* filter) {
    return filter->currentIndex() > 0 ? filter->currentText() : QString();
}
} // namespace

CFilmManageDlg::CFilmManageDlg(QWidget* parent)
    : CBrowseDlg(parent), m_ui(std::make_unique<Ui::CFilmManageDlg>()) {
    m_ui->setupUi(this);
    m_ui->genreCombo->addItems(Films::GenreFilter());
    m_ui->regionCombo->addItems(Films::RegionFilter());
    BindGrid(m_ui->grid, {0, 40, 80, 40, 20, 30, 30, 45, 20, 200});
    OfferExport(m_ui->buttonLayout);
    AllowManyRows();
    auto* labels = new QPushButton(QStringLiteral("打印标签"), this);
    labels->setObjectName(QStringLiteral("labelsButton"));
    m_ui->buttonLayout->insertWidget(2, labels);
    connect(labels, &QPushButton::clicked, this, &CFilmManageDlg::OnLabels);
    ImportButton::Offer(this, m_ui->buttonLayout, 3, Import::What::Films, [this] { ShowQuery(); });
    // A pick applies its filter even when it is the one shown: it brings the list back after a search.
    connect(m_ui->genreCombo, &QComboBox::activated, this, &CFilmManageDlg::OnSelchangeFilter);
    connect(m_ui->regionCombo, &QComboBox::activated, this, &CFilmManageDlg::OnSelchangeFilter);
    connect(m_ui->searchButton, &QPushButton::clicked, this, &CFilmManageDlg::OnSearch);
    connect(m_ui->addButton, &QPushButton::clicked, this, &CFilmManageDlg::OnAdd);
    connect(m_ui->modifyButton, &QPushButton::clicked, this, &CFilmManageDlg::OnModify);
    connect(m_ui->deleteButton, &QPushButton::clicked, this, &CFilmManageDlg::OnDelete);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CDialog::OnCancel);
    ModifyOnDoubleClick(m_ui->modifyButton);
    // Beside the searches by code, title and actor: pinyin initials, codes, or part of a title.
    m_quickFind =
        new CQuickFind(QStringLiteral("快速查找(&Q)："), QStringLiteral("拼音首字母、编号或片名"), this);
    m_ui->topLayout->insertWidget(m_ui->topLayout->count() - 1, m_quickFind);
    connect(m_quickFind, &CQuickFind::Find, this, &CFilmManageDlg::OnQuickFind);
}

void CFilmManageDlg::OnQuickFind(const QString& text) {
    m_strQuery = FilmGrid::QuickFind(text);
    ShowQuery();
}

CFilmManageDlg::~CFilmManageDlg() = default;

void CFilmManageDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_ui->searchEdit, m_strSearch, CFilmInfo::kTextBytes);
    dx.Radio({m_ui->codeRadio, m_ui->titleRadio, m_ui->actorRadio}, m_nSearchKind);
}

bool CFilmManageDlg::OnInitDialog() {
    {
        const QSignalBlocker genre(m_ui->genreCombo);
        const QSignalBlocker region(m_ui->regionCombo);
        m_ui->genreCombo->setCurrentIndex(0);
        m_ui->regionCombo->setCurrentIndex(0);
    }
    m_nSearchKind = 0;
    CDialog::OnInitDialog();
    m_strQuery = FilmGrid::All();
    ShowQuery();
    const bool administrator = Session::Current().IsAdministrator();
    m_ui->addButton->setEnabled(administrator);
    m_ui->modifyButton->setEnabled(administrator);
    m_ui->deleteButton->setEnabled(administrator);
    m_ui->searchEdit->setFocus();
    return true;
}

void CFilmManageDlg::OnSelchangeFilter() {
    m_strQuery = FilmGrid::Filtered(Picked(m_ui->genreCombo), Picked(m_ui->regionCombo));
    ShowQuery();
}

void CFilmManageDlg::OnSearch() {
    if (!UpdateData(true))
        return;
    if (m_nSearchKind == 0)
        m_strQuery = FilmGrid::ByFilmId(m_strSearch);
    else if (m_nSearchKind == 1)
        m_strQuery = FilmGrid::TitleContains(m_strSearch);
    else // 主演, or no kind chosen
        m_strQuery = FilmGrid::ActorContains(m_strSearch);
    ShowQuery();
}

void CFilmManageDlg::OnAdd() {
    EditRow<CFilmEditDlg>(QString());
}

void CFilmManageDlg::OnModify() {
    if (HasCurrentRow(QStringLiteral("请选择要修改的记录")))
        EditRow<CFilmEditDlg>(CurrentText(0));
}

void CFilmManageDlg::OnDelete() {
    QString note;
    if (!HasCurrentRow(QStringLiteral("请选择要删除的记录")) || !ReservedNote(CurrentText(1), &note) ||
        !Prompts::Ask(QStringLiteral("是否删除当前记录?") + note, QStringLiteral("请确认"), IDNO))
        return;
    QString refusal;
    DeleteFilm(RowKey::FromText(CurrentText(0)), &refusal);
    Prompts::Refuse(refusal);
    ShowQuery();
}

// The reservations the film's deletion cancels, said under the question that asks.
bool CFilmManageDlg::ReservedNote(const QString& filmId, QString* note) {
    const int open = Reservations::OpenOfFilm(filmId);
    *note = open > 0 ? QStringLiteral("\n此片有 %1 个预约,将一并取消。").arg(open) : QString();
    return open >= 0; // a failed read stops the deletion after its message
}

void CFilmManageDlg::OnLabels() {
    CLabelPrintDlg labels(this);
    for (const QString& key : SelectedTexts(0))
        labels.m_selected << RowKey::FromText(key);
    labels.DoModal();
}

// A film that is out is kept: its open rental would be left without a film, never to be returned.
// The film is read, tested and deleted in one transaction, so that no desk lends it in between;
// a refusal is shown once the transaction has ended.
bool CFilmManageDlg::DeleteFilm(RowKey key, QString* refusal) {
    CTransaction deleting;
    CFilmInfo film;
    const Lookup found = film.LoadById(key);
    if (found != Lookup::Found)
        return found == Lookup::Missing; // another desk deleted it already
    const Lookup out = CRentInfo().ExistsOpenByFilmId(film.FilmID);
    if (out == Lookup::Failed)
        return false;
    if (out == Lookup::Found) {
        *refusal = QStringLiteral("影片“%1”已租出,尚未归还,不能删除。请先归还此片。").arg(film.FilmID);
        return false;
    }
    return Reservations::CancelOfFilm(film.FilmID, Clock::Now().date()) && film.DeleteById(key) &&
           PinyinKeys::DeleteFilm(key) &&
           AuditTrail::Write(Session::Current().UserName(), AuditTrail::kFilmDeleted, film.FilmID,
                             AuditTrail::Listed(AuditFields::Of(film))) &&
           deleting.Commit();
}
