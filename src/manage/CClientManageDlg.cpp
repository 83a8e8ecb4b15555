#include "manage/CClientManageDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/AuditFields.h"
#include "data/CAdoDb.h"
#include "data/CClientInfo.h"
#include "data/CLedgerInfo.h"
#include "data/CRentInfo.h"
#include "data/PinyinKeys.h"
#include "data/Reservations.h"
#include "data/RowKey.h"
#include "manage/CClientEditDlg.h"
#include "manage/CMemberCardDlg.h"
#include "manage/ImportButton.h"
#include "toolkit/CQuickFind.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Prompts.h"
#include "ui_CClientManageDlg.h"

CClientManageDlg::CClientManageDlg(QWidget* parent)
    : CBrowseDlg(parent), m_ui(std::make_unique<Ui::CClientManageDlg>()) {
    m_ui->setupUi(this);
    BindGrid(m_ui->grid, {0, 40, 60, 45, 25, 25, 200});
    OfferExport(m_ui->buttonLayout);
    AllowManyRows();
    auto* cards = new QPushButton(QStringLiteral("打印会员卡"), this);
    cards->setObjectName(QStringLiteral("cardsButton"));
    m_ui->topLayout->addWidget(cards); // at the right of the search: the row of buttons is full
    connect(cards, &QPushButton::clicked, this, &CClientManageDlg::OnCards);
    connect(m_ui->searchButton, &QPushButton::clicked, this, &CClientManageDlg::OnSearch);
    connect(m_ui->addButton, &QPushButton::clicked, this, &CClientManageDlg::OnAdd);
    connect(m_ui->modifyButton, &QPushButton::clicked, this, &CClientManageDlg::OnModify);
    connect(m_ui->deleteButton, &QPushButton::clicked, this, &CClientManageDlg::OnDelete);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CDialog::OnCancel);
    ModifyOnDoubleClick(m_ui->modifyButton);
    // Beside the search by number: part of a number, phone or remark, or the remark's initials.
    m_quickFind = new CQuickFind(QStringLiteral("快速查找(&Q)："),
                                 QStringLiteral("编号、电话、备注或拼音首字母"), this);
    m_ui->topLayout->insertWidget(m_ui->topLayout->count() - 1, m_quickFind);
    connect(m_quickFind, &CQuickFind::Find, this, &CClientManageDlg::OnQuickFind);
    ImportButton::Offer(this, m_ui->topLayout, m_ui->topLayout->count(), Import::What::Clients,
                        [this] { ShowQuery(); });
}

void CClientManageDlg::OnQuickFind(const QString& text) {
    m_strQuery = ClientGrid::QuickFind(text);
    ShowQuery();
}

CClientManageDlg::~CClientManageDlg() = default;

void CClientManageDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_ui->searchEdit, m_strSearch, CClientInfo::kNumberBytes);
}

bool CClientManageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_strQuery = ClientGrid::All();
    ShowQuery();
    const bool administrator = Session::Current().IsAdministrator();
    m_ui->addButton->setEnabled(administrator);
    m_ui->modifyButton->setEnabled(administrator);
    m_ui->deleteButton->setEnabled(administrator);
    m_ui->searchEdit->setFocus();
    return true;
}

// An empty field brings back every customer; a number shows the customer who has it.
void CClientManageDlg::OnSearch() {
    if (!UpdateData(true))
        return;
    m_strQuery = m_strSearch.isEmpty() ? ClientGrid::All() : ClientGrid::ByClientId(m_strSearch);
    ShowQuery();
}

void CClientManageDlg::OnAdd() {
    EditRow<CClientEditDlg>(QString());
}

void CClientManageDlg::OnModify() {
    if (HasCurrentRow(QStringLiteral("请选择要修改的记录")))
        EditRow<CClientEditDlg>(CurrentText(0));
}

// The client's reservations still open, said under the question that asks to delete him.
bool CClientManageDlg::ReservedNote(const QString& clientId, QString* note) {
    const int open = Reservations::OpenOfClient(clientId);
    *note = open > 0 ? QStringLiteral("\n该客户有 %1 个预约,将一并取消。").arg(open) : QString();
    return open >= 0; // a failed read stops the deletion after its message
}

void CClientManageDlg::OnCards() {
    CMemberCardDlg cards(this);
    for (const QString& key : SelectedTexts(0))
        cards.m_selected << RowKey::FromText(key);
    cards.DoModal();
}

// The customer's rentals, out or returned, go with the customer, in one transaction: when either
// delete fails, both stay and the engine's message is shown.
void CClientManageDlg::OnDelete() {
    QString note;
    if (!HasCurrentRow(QStringLiteral("请选择要删除的记录")) || !ReservedNote(CurrentText(1), &note) ||
        !Prompts::Ask(QStringLiteral("是否删除当前客户?") + note, QStringLiteral("请确认"), IDNO) ||
        !Prompts::Ask(QStringLiteral("该客户所有租借记录将一并删除,是否继续?"), QStringLiteral("请确认"),
                      IDNO))
        return;
    const QString clientId = CurrentText(1);
    const RowKey key = RowKey::FromText(CurrentText(0));
    {
        CTransaction deleting;
        // The ledger keeps what the client held when deleted; a client gone already leaves no row.
        CClientInfo held;
        if (held.LoadById(key) == Lookup::Found) {
            CLedgerInfo note;
            note.Day = Clock::Now().date().toString(QStringLiteral("yyyy-MM-dd"));
            note.OptUser = Session::Current().UserName();
            note.Kind = CLedgerInfo::kClientDeleted;
            note.ClientID = held.ClientID;
            note.Note =
                QString::asprintf("余额 %.2f 元,押金 %.2f 元", double(held.Balance), double(held.Foregift));
            note.Insert();
            AuditTrail::Write(note.OptUser, AuditTrail::kClientDeleted, held.ClientID,
                              AuditTrail::Listed(AuditFields::Of(held)));
        }
        Reservations::CancelOfClient(clientId, Clock::Now().date());
        CRentInfo().DeleteByClientId(clientId);
        CClientInfo().DeleteById(key);
        PinyinKeys::DeleteClient(key);
        deleting.Commit();
    }
    ShowQuery();
}
