#include "desk/CReserveDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/CReserveInfo.h"
#include "data/Reservations.h"
#include "desk/DeskLines.h"
#include "toolkit/Prompts.h"
#include "ui_CReserveDlg.h"

#include <QLabel>

namespace {
constexpr int kKeyColumn = 0;
constexpr int kClientColumn = 1;
constexpr int kTitleColumn = 4;
} // namespace

CReserveDlg::CReserveDlg(QWidget* parent) : CBrowseDlg(parent), m_ui(std::make_unique<Ui::CReserveDlg>()) {
    m_ui->setupUi(this);
    BindGrid(m_ui->grid, {0, 40, 55, 60, 70, 35, 40, 90, 20});
    OfferExport(m_ui->buttonLayout);
    m_ui->stateCombo->addItem(QStringLiteral("全部"));
    m_ui->stateCombo->addItems(CReserveInfo::States());
    m_ui->addButton->setDefault(true);
    // Under the form, what the two codes stand for.
    m_info = DeskLines::AddInfoLine(m_ui->outerLayout, 1, QStringLiteral("reserveInfo"));
    QLineEdit* client = m_ui->clientEdit;
    QLineEdit* film = m_ui->filmEdit;
    auto* line = new CodeInfoLine(client, m_info, [client, film](const QString&) {
        const DeskLines::Line who = DeskLines::Client(client->text());
        const DeskLines::Line what = DeskLines::Film(film->text());
        return DeskLines::Line{QStringList{who.text, what.text}.join(QLatin1Char('\n')).trimmed()};
    });
    line->DependsOn(film);
    new CodePicker(client, m_ui->formLayout, CodePicker::Kind::Client);
    new CodePicker(film, m_ui->formLayout, CodePicker::Kind::Film);
    new EnterMoves(this, {client, film},
                   {{client, EnterMoves::Empty(client)}, {film, EnterMoves::Empty(film)}});
    connect(m_ui->addButton, &QPushButton::clicked, this, &CReserveDlg::OnOK);
    connect(m_ui->cancelReserveButton, &QPushButton::clicked, this, &CReserveDlg::OnCancelReservation);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &CDialog::OnCancel);
    connect(m_ui->stateCombo, &QComboBox::activated, this, &CReserveDlg::OnFilter);
    connect(m_ui->daysSpin, &QSpinBox::valueChanged, this, &CReserveDlg::OnHoldDays);
}

CReserveDlg::~CReserveDlg() = default;

bool CReserveDlg::OnInitDialog() {
    CBrowseDlg::OnInitDialog();
    {
        const QSignalBlocker quiet(m_ui->daysSpin);
        m_ui->daysSpin->setValue(Reservations::HoldDays());
    }
    m_ui->daysSpin->setEnabled(Session::Current().IsAdministrator());
    OnFilter();
    m_ui->clientEdit->setFocus();
    return true;
}

// 预约, pressed or the default of Enter. Enter in the list or the filter, with nothing typed into the
// form, adds nothing and says nothing.
void CReserveDlg::OnOK() {
    const QWidget* focus = focusWidget();
    const bool inForm = focus == m_ui->clientEdit || focus == m_ui->filmEdit ||
                        focus == m_ui->discOnlyCheck || focus == m_ui->addButton;
    if (inForm || !m_ui->clientEdit->text().isEmpty() || !m_ui->filmEdit->text().isEmpty())
        OnAdd();
}

// Lapsed holds are settled before the list is read, so that it shows them 已过期 and their discs
// passed on.
void CReserveDlg::OnFilter() {
    Reservations::Settle(Clock::Now().date());
    const int state = m_ui->stateCombo->currentIndex();
    m_strQuery = ReserveGrid::List(state > 0 ? m_ui->stateCombo->currentText() : QString());
    ShowQuery();
}

void CReserveDlg::OnAdd() {
    Reservations::Hold hold;
    QString refusal;
    const QString client = m_ui->clientEdit->text().trimmed();
    const QString film = m_ui->filmEdit->text().trimmed();
    if (!Reservations::Add(client, film, m_ui->discOnlyCheck->isChecked(), Clock::Now().date(),
                           Session::Current().UserName(), &hold, &refusal)) {
        Prompts::Refuse(refusal);
        if (!refusal.isEmpty())
            DeskLines::Reselect(refusal.contains(QStringLiteral("影片")) ? m_ui->filmEdit : m_ui->clientEdit);
        return;
    }
    if (hold.id != 0)
        Prompter::MessageBox(QStringLiteral("《%1》%2 在店,请把此片留给客户 %3,保留到 %4。")
                                 .arg(hold.title, hold.filmId, hold.clientId, hold.until),
                             QStringLiteral("预约"), MsgIcon::Information);
    m_ui->clientEdit->clear();
    m_ui->filmEdit->clear();
    m_ui->discOnlyCheck->setChecked(false);
    OnFilter();
    m_ui->clientEdit->setFocus();
}

void CReserveDlg::OnCancelReservation() {
    if (!HasCurrentRow(QStringLiteral("请选择要取消的预约")))
        return;
    const int id = CurrentText(kKeyColumn).toInt();
    if (!Prompts::Ask(QStringLiteral("是否取消客户 %1 对《%2》的预约?")
                          .arg(CurrentText(kClientColumn), CurrentText(kTitleColumn)),
                      QStringLiteral("请确认"), IDNO))
        return;
    Reservations::Hold passed;
    QString refusal;
    if (!Reservations::Cancel(id, Clock::Now().date(), &passed, &refusal))
        Prompts::Refuse(refusal);
    else if (passed.id != 0)
        Prompter::MessageBox(QStringLiteral("此片改留给客户 %1:《%2》%3,保留到 %4。")
                                 .arg(passed.clientId, passed.title, passed.filmId, passed.until),
                             QStringLiteral("预约"), MsgIcon::Information);
    OnFilter();
}

void CReserveDlg::OnHoldDays(int days) {
    if (Session::Current().IsAdministrator())
        Reservations::SetHoldDays(days);
}
