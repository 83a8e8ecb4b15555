#include "manage/CAuditDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/AuditTrail.h"
#include "toolkit/CDataGrid.h"
#include "toolkit/Prompts.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int kFirstDays = 30; // the window opens on the last month

QDateEdit* DateEdit(QWidget* parent, const QString& name) {
    auto* edit = new QDateEdit(parent);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    edit->setAccessibleName(name);
    return edit;
}

void AddLabelled(QBoxLayout* row, const QString& text, QWidget* field) {
    auto* label = new QLabel(text, field->parentWidget());
    label->setBuddy(field);
    row->addWidget(label);
    row->addWidget(field);
}
} // namespace

CAuditDlg::CAuditDlg(QWidget* parent)
    : CBrowseDlg(parent), m_from(DateEdit(this, QStringLiteral("从"))),
      m_to(DateEdit(this, QStringLiteral("到"))), m_operator(new QLineEdit(this)),
      m_kind(new QComboBox(this)), m_key(new QLineEdit(this)), m_grid(new CDataGrid(this)) {
    setWindowTitle(QStringLiteral("操作日志"));
    resize(960, 600);
    m_kind->addItem(QStringLiteral("全部"));
    m_kind->addItems(AuditTrail::Kinds());
    m_operator->setPlaceholderText(QStringLiteral("全部"));
    m_key->setPlaceholderText(QStringLiteral("影片或客户编号"));
    auto* filters = new QHBoxLayout;
    AddLabelled(filters, QStringLiteral("从(&F):"), m_from);
    AddLabelled(filters, QStringLiteral("到(&T):"), m_to);
    AddLabelled(filters, QStringLiteral("操作员(&O):"), m_operator);
    AddLabelled(filters, QStringLiteral("类别(&K):"), m_kind);
    AddLabelled(filters, QStringLiteral("编号(&N):"), m_key);
    auto* search = new QPushButton(QStringLiteral("查询(&S)"), this);
    search->setDefault(true);
    filters->addWidget(search);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_grid, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* close = new QPushButton(QStringLiteral("退出"), this);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    m_grid->setAccessibleName(QStringLiteral("操作日志"));
    BindGrid(m_grid, {0, 45, 30, 30, 35, 160, 30});
    OfferExport(buttons);
    connect(search, &QPushButton::clicked, this, &CAuditDlg::OnSearch);
    connect(close, &QPushButton::clicked, this, &CDialog::OnCancel);
}

CAuditDlg::~CAuditDlg() = default;

// Only an administrator reads the trail: the window does not open for anyone else.
bool CAuditDlg::OnInitDialog() {
    if (!Session::Current().IsAdministrator()) {
        Prompts::Refuse(QStringLiteral("只有管理员可以查看操作日志。"));
        return false;
    }
    CBrowseDlg::OnInitDialog();
    const QDate today = Clock::Now().date();
    m_from->setDate(today.addDays(-kFirstDays));
    m_to->setDate(today);
    OnSearch();
    m_grid->setFocus();
    return true;
}

void CAuditDlg::OnSearch() {
    const QString kind = m_kind->currentIndex() > 0 ? m_kind->currentText() : QString();
    m_strQuery = AuditTrail::Rows(m_from->date(), m_to->date(), m_operator->text().trimmed(), kind,
                                  m_key->text().trimmed());
    ShowQuery();
}
