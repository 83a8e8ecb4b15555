#include "manage/CReportsDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "base/UserSettings.h"
#include "data/CAdodc.h"
#include "data/COperatorInfo.h"
#include "data/RowStream.h"
#include "toolkit/CChart.h"
#include "toolkit/CDataGrid.h"
#include "toolkit/GridExport.h"
#include "toolkit/GridPrint.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QSpinBox>
#include <QTabBar>
#include <QTimer>

using namespace ReportPages;

namespace {
constexpr int kSettleMs = 400;
const QString kAll = QStringLiteral("全部");

QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QDateEdit* DateEdit(QWidget* parent) {
    auto* edit = new QDateEdit(parent);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}
} // namespace

CReportsDlg::CReportsDlg(QWidget* parent)
    : CBrowseDlg(parent), m_from(DateEdit(this)), m_to(DateEdit(this)), m_operator(new QComboBox(this)),
      m_tabs(new QTabBar(this)), m_step(new QComboBox(this)), m_days(new QSpinBox(this)),
      m_chart(new CChart(this)), m_grid(new CDataGrid(this)), m_status(new QLabel(this)),
      m_settle(new QTimer(this)) {
    setWindowTitle(QStringLiteral("营业报表"));
    resize(980, 700);
    for (int page = 0; page < kPages; ++page)
        m_tabs->addTab(QStringLiteral("%1(&%2)").arg(Name(ReportPages::Page(page))).arg(page + 1));
    m_tabs->setAccessibleName(QStringLiteral("报表"));
    m_step->addItems({QStringLiteral("日"), QStringLiteral("周"), QStringLiteral("月")});
    m_days->setRange(1, 3650);
    m_days->setValue(90);
    m_days->setSuffix(QStringLiteral(" 天"));
    m_stepLabel = BuddyLabel(QStringLiteral("按(&B):"), m_step, this);
    m_daysLabel = BuddyLabel(QStringLiteral("未借天数(&N):"), m_days, this);
    m_chart->setMinimumHeight(190);
    m_status->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_status->setAccessibleName(QStringLiteral("报表说明"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildFilters());
    auto* pages = new QHBoxLayout;
    pages->addWidget(m_tabs);
    pages->addStretch();
    pages->addWidget(m_stepLabel);
    pages->addWidget(m_step);
    pages->addWidget(m_daysLabel);
    pages->addWidget(m_days);
    layout->addLayout(pages);
    layout->addWidget(m_chart);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_status);
    auto* buttons = new QHBoxLayout;
    auto* exportButton = new QPushButton(QStringLiteral("导出(&E)"), this);
    exportButton->setObjectName(QStringLiteral("exportButton"));
    auto* printButton = new QPushButton(QStringLiteral("打印(&P)"), this);
    printButton->setObjectName(QStringLiteral("printButton"));
    auto* close = new QPushButton(QStringLiteral("退出"), this);
    buttons->addWidget(exportButton);
    buttons->addWidget(printButton);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    BindGrid(m_grid, {});

    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, &CReportsDlg::OnRefresh);
    for (QDateEdit* edit : {m_from, m_to}) {
        connect(edit, &QDateEdit::dateChanged, this, [this] {
            if (!m_quiet) {
                m_pick = -1;
                m_settle->start();
            }
        });
    }
    connect(m_tabs, &QTabBar::currentChanged, this, &CReportsDlg::OnRefresh);
    connect(m_operator, &QComboBox::activated, this, &CReportsDlg::OnRefresh);
    connect(m_step, &QComboBox::activated, this, &CReportsDlg::OnRefresh);
    connect(m_days, &QSpinBox::valueChanged, m_settle, qOverload<>(&QTimer::start));
    connect(exportButton, &QPushButton::clicked, this, &CReportsDlg::OnExport);
    connect(printButton, &QPushButton::clicked, this, &CReportsDlg::OnPrint);
    connect(close, &QPushButton::clicked, this, &CDialog::OnCancel);
    // The next and the previous report from anywhere in the window.
    const auto step = [this](int by) {
        for (int i = 1; i < kPages; ++i) {
            const int tab = (m_tabs->currentIndex() + by * i + kPages) % kPages;
            if (m_tabs->isTabEnabled(tab)) {
                m_tabs->setCurrentIndex(tab);
                return;
            }
        }
    };
    for (const auto& [keys, by] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                   std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                                   std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                                   std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [step, by] { step(by); });
}

CReportsDlg::~CReportsDlg() = default;

QWidget* CReportsDlg::BuildFilters() {
    auto* filters = new QWidget(this);
    auto* row = new QHBoxLayout(filters);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(BuddyLabel(QStringLiteral("从(&F):"), m_from, filters));
    row->addWidget(m_from);
    row->addWidget(BuddyLabel(QStringLiteral("至(&T):"), m_to, filters));
    row->addWidget(m_to);
    static const char* const kKeys[] = {"D", "W", "M", "L", "Y"};
    for (int pick = 0; pick < kPicks; ++pick) {
        m_picks[pick] = new QPushButton(
            QStringLiteral("%1(&%2)").arg(PickName(Pick(pick)), QString::fromLatin1(kKeys[pick])), filters);
        connect(m_picks[pick], &QPushButton::clicked, this, [this, pick] { OnPick(Pick(pick)); });
        row->addWidget(m_picks[pick]);
    }
    row->addStretch();
    row->addWidget(BuddyLabel(QStringLiteral("操作员(&O):"), m_operator, filters));
    row->addWidget(m_operator);
    return filters;
}

bool CReportsDlg::OnInitDialog() {
    CBrowseDlg::OnInitDialog();
    const Session& session = Session::Current();
    m_operator->clear();
    if (session.IsAdministrator()) {
        m_operator->addItem(kAll);
        QString error;
        RowStream::Each(
            OperatorList::All(), {1},
            [this](const QStringList& cells) {
                m_operator->addItem(cells.at(0));
                return true;
            },
            &error);
    } else {
        m_operator->addItem(session.UserName());
    }
    m_operator->setEnabled(session.IsAdministrator());
    for (int page = 0; page < kPages; ++page)
        m_tabs->setTabEnabled(page, session.IsAdministrator() || !ForAdministrators(ReportPages::Page(page)));
    Recall();
    OnRefresh();
    m_grid->setFocus();
    return true;
}

ReportPages::Page CReportsDlg::Page() const {
    return ReportPages::Page(std::clamp(m_tabs->currentIndex(), 0, kPages - 1));
}

ReportPages::Choice CReportsDlg::Choice() const {
    ReportPages::Choice choice;
    choice.from = m_from->date();
    choice.to = m_to->date();
    choice.step = Reports::Step(std::clamp(m_step->currentIndex(), 0, 2));
    choice.days = m_days->value();
    const Session& session = Session::Current();
    if (!session.IsAdministrator())
        choice.optUser = session.UserName();
    else if (m_operator->currentIndex() > 0)
        choice.optUser = m_operator->currentText();
    return choice;
}

QString CReportsDlg::ReportTitle() const {
    const ReportPages::Choice choice = Choice();
    if (UsesDays(Page()))
        return QStringLiteral("营业报表 %1 截至%2 %3天未借")
            .arg(Name(Page()), DayText(choice.to))
            .arg(choice.days);
    return QStringLiteral("营业报表 %1 %2至%3 %4")
        .arg(Name(Page()), DayText(choice.from), DayText(choice.to),
             choice.optUser.isEmpty() ? kAll : choice.optUser);
}

void CReportsDlg::ShowChoices() {
    const bool days = UsesDays(Page());
    m_stepLabel->setVisible(Page() == Takings);
    m_step->setVisible(Page() == Takings);
    m_daysLabel->setVisible(days);
    m_days->setVisible(days);
    m_operator->setEnabled(Session::Current().IsAdministrator() && !days);
}

void CReportsDlg::OnRefresh() {
    m_settle->stop();
    ShowChoices();
    const ReportPages::Choice choice = Choice();
    if (!UsesDays(Page()) && choice.from > choice.to) {
        m_status->setText(QStringLiteral("开始日期晚于结束日期,请改正。"));
        m_chart->SetData({});
        return;
    }
    m_strQuery = Statement(Page(), choice);
    ShowQuery();
    CAdodc& rows = *DataControl();
    const ChartColumns columns = ReportPages::Chart(Page(), rows.columnCount());
    Chart::Data data = Chart::FromModel(rows, columns.label, columns.bar, columns.line, columns.most,
                                        columns.money, {QStringLiteral("合计")});
    data.title = columns.title;
    data.lineName = columns.lineName;
    m_chart->SetData(data);
    const QList<int> hidden = Hidden(Page(), rows);
    for (int column = 0; column < rows.columnCount(); ++column)
        m_grid->SetColumnWidth(column, hidden.contains(column) ? 0 : column == 0 ? 60 : 40);
    m_status->setText(ReportTitle());
    m_status->setAccessibleDescription(ReportTitle());
}

void CReportsDlg::OnPick(Pick pick) {
    QDate from;
    QDate to;
    PickPeriod(pick, Clock::Now().date(), &from, &to);
    {
        m_quiet = true;
        m_from->setDate(from);
        m_to->setDate(to);
        m_quiet = false;
    }
    m_pick = pick;
    OnRefresh();
}

void CReportsDlg::OnExport() {
    GridExport::Run(this, *DataControl(), *m_grid, ReportTitle());
}

void CReportsDlg::OnPrint() {
    const Chart::Data chart = m_chart->Data();
    GridPrint::Preview(this, *DataControl(), *m_grid, ReportTitle(), GridPrint::kMaxPreviewPages, {},
                       [chart](QPainter& painter, const QRect& band) {
                           Chart::Paint(painter, band, chart, GridPrint::Font());
                       });
}

void CReportsDlg::hideEvent(QHideEvent* event) {
    Remember();
    CBrowseDlg::hideEvent(event);
}
