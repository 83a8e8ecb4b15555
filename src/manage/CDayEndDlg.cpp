#include "manage/CDayEndDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/CLedgerInfo.h"
#include "data/COperatorInfo.h"
#include "data/DrawerFloat.h"
#include "data/RowStream.h"
#include "manage/CFloatDlg.h"
#include "manage/CLedgerDlg.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Money.h"
#include "ui_CDayEndDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr double kMostCounted = 999999.99; // yuan: what a drawer can hold, to the fen

// Enter in the counted cash reads it, with the prompt when it is no count, and goes no further
// (it would open 明细).
class EnterReadsCount : public QObject {
public:
    explicit EnterReadsCount(CDayEndDlg* window) : QObject(window), m_window(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_window->ReadCounted();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    CDayEndDlg* m_window;
};
} // namespace

CDayEndDlg::CDayEndDlg(QWidget* parent) : CBrowseDlg(parent), m_ui(std::make_unique<Ui::CDayEndDlg>()) {
    m_ui->setupUi(this);
    BindGrid(m_ui->grid, {50, 20, 40, 40, 0});
    OfferExport(m_ui->buttonLayout);
    connect(m_ui->dateEdit, &QDateEdit::dateChanged, this, &CDayEndDlg::OnFilter);
    connect(m_ui->operatorCombo, &QComboBox::activated, this, &CDayEndDlg::OnFilter);
    connect(m_ui->countedEdit, &QLineEdit::textChanged, this, &CDayEndDlg::OnCounted);
    m_ui->countedEdit->installEventFilter(new EnterReadsCount(this));
    connect(m_ui->detailButton, &QPushButton::clicked, this, &CDayEndDlg::OnDetail);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CDialog::OnCancel);
    // The day's opening float, which 应有现金 includes.
    m_floatLabel = new QLabel(QStringLiteral("备用金："), m_ui->cashBox);
    m_floatLabel->setObjectName(QStringLiteral("floatLabel"));
    m_floatValue = new QLabel(m_ui->cashBox);
    m_floatValue->setObjectName(QStringLiteral("floatValue"));
    m_floatValue->setMinimumWidth(110);
    m_floatValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_floatValue->setToolTip(QStringLiteral("开门时钱箱里的备用金,每台电脑每天登记一次"));
    m_ui->cashLayout->addWidget(m_floatLabel, 1, 4);
    m_ui->cashLayout->addWidget(m_floatValue, 1, 5);
    m_ui->expectedValue->setToolTip(QStringLiteral("钱箱里应有的现金:备用金加收入减支出"));
    m_ui->countedEdit->setToolTip(QStringLiteral("点出的钱箱里的全部现金,备用金在内"));
}

CDayEndDlg::~CDayEndDlg() = default;

bool CDayEndDlg::OnInitDialog() {
    CBrowseDlg::OnInitDialog();
    const Session& session = Session::Current();
    {
        const QSignalBlocker quiet(m_ui->dateEdit);
        m_ui->dateEdit->setDate(Clock::Now().date());
    }
    m_ui->operatorCombo->clear();
    if (session.IsAdministrator()) {
        m_ui->operatorCombo->addItem(QStringLiteral("全部"));
        QString error;
        RowStream::Each(
            OperatorList::All(), {1},
            [this](const QStringList& cells) {
                m_ui->operatorCombo->addItem(cells.at(0));
                return true;
            },
            &error);
    } else {
        m_ui->operatorCombo->addItem(session.UserName());
    }
    m_ui->operatorCombo->setEnabled(session.IsAdministrator());
    if (m_bAskFloat)
        CFloatDlg::AskOnce(this);
    OnFilter();
    m_ui->countedEdit->setFocus();
    return true;
}

QString CDayEndDlg::Operator() const {
    if (!Session::Current().IsAdministrator())
        return Session::Current().UserName();
    return m_ui->operatorCombo->currentIndex() <= 0 ? QString() : m_ui->operatorCombo->currentText();
}

void CDayEndDlg::OnFilter() {
    const QDate day = m_ui->dateEdit->date();
    const QString who = Operator();
    setWindowTitle(
        QStringLiteral("日结 %1 %2")
            .arg(day.toString(QStringLiteral("yyyy-MM-dd")), who.isEmpty() ? QStringLiteral("全部") : who));
    m_strQuery = Ledger::DaySums(day, who);
    ShowQuery();
    qint64 in = 0;
    qint64 out = 0;
    qint64 opening = 0;
    int desks = 0;
    m_cashKnown = Ledger::DayCash(day, who, &in, &out) && DrawerFloat::DaySum(day, who, &opening, &desks);
    m_expected = opening + in - out;
    m_floatValue->setText(!m_cashKnown ? QString()
                          : desks      ? Money::FromFen(opening)
                                       : QStringLiteral("未登记"));
    m_ui->cashInValue->setText(m_cashKnown ? Money::FromFen(in) : QString());
    m_ui->cashOutValue->setText(m_cashKnown ? Money::FromFen(out) : QString());
    m_ui->expectedValue->setText(m_cashKnown ? Money::FromFen(m_expected) : QString());
    OnCounted();
}

bool CDayEndDlg::ReadCounted() {
    CDataExchange dx(true);
    double counted = 0;
    dx.Real(m_ui->countedEdit, counted, 0, kMostCounted, 2);
    return !dx.Failed();
}

void CDayEndDlg::OnCounted() {
    // While it is typed: a text that is no count of cash shows no difference, and no prompt yet.
    double counted = 0;
    const bool count =
        CDataExchange::ReadReal(m_ui->countedEdit->text(), 0, kMostCounted, 2, &counted).isEmpty();
    if (!m_cashKnown || !count) {
        m_ui->differenceValue->setText(QString());
        return;
    }
    const qint64 difference = CLedgerInfo::Fen(counted) - m_expected;
    m_ui->differenceValue->setText(difference == 0  ? QStringLiteral("相符")
                                   : difference > 0 ? QStringLiteral("长款 ") + Money::FromFen(difference)
                                                    : QStringLiteral("短款 ") + Money::FromFen(-difference));
}

bool CDayEndDlg::PrintNotes(QStringList* notes) {
    // A count is printed as read, or left blank to be written in by hand.
    if (!m_ui->countedEdit->text().trimmed().isEmpty() && !ReadCounted())
        return false;
    double counted = 0;
    const bool count =
        CDataExchange::ReadReal(m_ui->countedEdit->text(), 0, kMostCounted, 2, &counted).isEmpty();
    const QList<std::pair<QLabel*, QString>> lines{
        {m_floatLabel, m_floatValue->text()},
        {m_ui->cashInLabel, m_ui->cashInValue->text()},
        {m_ui->cashOutLabel, m_ui->cashOutValue->text()},
        {m_ui->expectedLabel, m_ui->expectedValue->text()},
        {m_ui->countedLabel, count ? Money::FromFen(CLedgerInfo::Fen(counted)) : QString()},
        {m_ui->differenceLabel, m_ui->differenceValue->text()},
    };
    for (const auto& [label, value] : lines)
        notes->append(label->text() + value);
    return true;
}

void CDayEndDlg::OnDetail() {
    CLedgerDlg detail(this);
    detail.m_day = m_ui->dateEdit->date();
    detail.m_strOperator = Operator();
    detail.DoModal();
}
