#include "desk/CLendBasketDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/CClientInfo.h"
#include "data/CFilmInfo.h"
#include "desk/DeskLines.h"
#include "desk/DeskRules.h"
#include "desk/LendContact.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Money.h"
#include "toolkit/Prompts.h"
#include "ui_CLendBasketDlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

CLendBasketDlg::CLendBasketDlg(QWidget* parent)
    : CDialog(parent), m_ui(std::make_unique<Ui::CLendBasketDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
    m_clientInfo = DeskLines::AddInfoLine(m_ui->outerLayout, 1, QStringLiteral("clientInfo"));
    m_scanLine = DeskLines::AddInfoLine(m_ui->outerLayout, 3, QStringLiteral("scanLine"));
    auto* clientLine = new CodeInfoLine(m_ui->clientEdit, m_clientInfo,
                                        [](const QString& client) { return DeskLines::Client(client); });
    new CodePicker(m_ui->clientEdit, m_ui->formLayout, CodePicker::Kind::Client);
    new CodePicker(m_ui->filmEdit, m_ui->filmLayout, CodePicker::Kind::FilmIn);
    QLineEdit* deposit = m_ui->depositEdit;
    // Enter walks from the client and the deposit to the film; only the film field confirms.
    auto* enter = new EnterMoves(this, {m_ui->clientEdit, deposit},
                                 {{m_ui->clientEdit, EnterMoves::Empty(m_ui->clientEdit)},
                                  {deposit, [deposit] { return deposit->text().toFloat() == 0; }},
                                  {m_ui->filmEdit, [] { return true; }}});
    enter->HoldOn(m_ui->clientEdit, clientLine);
    LendContact::AddFields(m_ui->formLayout, &m_contactName, &m_contactPhone);
    QWidget::setTabOrder(m_ui->dateEdit, m_contactName);
    QWidget::setTabOrder(m_contactName, m_contactPhone);
    QWidget::setTabOrder(m_contactPhone, m_ui->filmEdit);
    m_ui->filmEdit->installEventFilter(this);
    m_ui->filmTable->installEventFilter(this);
    m_ui->filmTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_ui->filmTable->horizontalHeader()->setStretchLastSection(true);
    m_typing.setSingleShot(true);
    m_typing.setInterval(Desk::kLookupPauseMs);
    connect(&m_typing, &QTimer::timeout, this, &CLendBasketDlg::Review);
    connect(m_ui->clientEdit, &QLineEdit::textChanged, &m_typing, qOverload<>(&QTimer::start));
    connect(deposit, &QLineEdit::textChanged, &m_typing, qOverload<>(&QTimer::start));
    connect(m_ui->typeCombo, &QComboBox::currentIndexChanged, this, [this, clientLine] {
        OnSelchangeRentType();
        clientLine->Refresh();
        Review();
    });
    connect(m_ui->removeButton, &QPushButton::clicked, this,
            [this] { RemoveRow(m_ui->filmTable->currentRow()); });
}

CLendBasketDlg::~CLendBasketDlg() = default;

void CLendBasketDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_ui->clientEdit, m_strClientID, CClientInfo::kNumberBytes);
    dx.Text(m_ui->operatorName, m_strOptName);
    dx.Date(m_ui->dateEdit, m_tmBorrowDate);
    dx.Real(m_ui->depositEdit, m_fForegift, 0, Desk::kMaxMoney);
    dx.ListIndex(m_ui->typeCombo, m_nRentType);
    dx.Text(m_contactName, m_strContactName, RentContact::kNameBytes);
    dx.Text(m_contactPhone, m_strContactPhone, RentContact::kPhoneBytes);
}

bool CLendBasketDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_nRentType = 0;
    m_tmBorrowDate = Clock::Now();
    m_strOptName = Session::Current().UserName();
    UpdateData(false);
    OnSelchangeRentType();
    for (const QString& film : std::as_const(m_films))
        m_items.append(LendBasket::Item(film));
    Review();
    if (m_strClientID.isEmpty())
        m_ui->clientEdit->setFocus();
    else
        m_ui->filmEdit->setFocus();
    return true;
}

void CLendBasketDlg::OnSelchangeRentType() {
    const bool monthly = m_ui->typeCombo->currentIndex() == 0;
    m_ui->clientEdit->setEnabled(monthly);
    m_ui->depositEdit->setEnabled(!monthly);
    m_contactName->setEnabled(!monthly);
    m_contactPhone->setEnabled(!monthly);
}

// The form as it stands, for the checks made while films are added.
LendFilm::Request CLendBasketDlg::Typed() const {
    LendFilm::Request typed;
    typed.monthly = m_ui->typeCombo->currentIndex() == 0;
    double deposit = 0;
    if (typed.monthly)
        typed.clientId = m_ui->clientEdit->text();
    else if (FormText::ParseFormNumber(m_ui->depositEdit->text(), &deposit))
        typed.deposit = float(deposit);
    typed.optUser = m_ui->operatorName->text();
    typed.contact = {m_contactName->text().trimmed(), m_contactPhone->text().trimmed()};
    return typed;
}

void CLendBasketDlg::AddFilm(const QString& filmId) {
    if (filmId.isEmpty())
        return;
    m_ui->filmEdit->clear();
    for (const LendBasket::Item& item : std::as_const(m_items))
        if (item.filmId.compare(filmId, Qt::CaseInsensitive) == 0) {
            QApplication::beep();
            return Said(QStringLiteral("%1 已在清单中").arg(filmId));
        }
    m_items.append(LendBasket::Item(filmId));
    if (!Review()) {
        // A read failed (its message is shown): the film is not on the list.
        m_items.removeLast();
        return Show();
    }
    const LendBasket::Item& added = m_items.last();
    m_ui->filmTable->setCurrentCell(int(m_items.size()) - 1, 0);
    if (!added.Accepted()) {
        QApplication::beep();
        return Said(LendBasket::Named(added, added.reason));
    }
    Said(QStringLiteral("已加入 %1,%2").arg(LendBasket::Film(added), Money::Text(added.lent.price)));
}

void CLendBasketDlg::RemoveRow(int row) {
    if (row < 0 || row >= m_items.size())
        return;
    const QString gone = m_items.takeAt(row).filmId;
    Review();
    m_ui->filmTable->setCurrentCell(qMin(row, int(m_items.size()) - 1), 0);
    Said(QStringLiteral("已从清单中删除 %1").arg(gone));
}

void CLendBasketDlg::Said(const QString& text) {
    m_scanLine->setText(text);
    m_scanLine->setAccessibleName(text);
}

bool CLendBasketDlg::Review() {
    m_typing.stop();
    if (!LendBasket::Review(Typed(), &m_items))
        return false;
    Show();
    return true;
}

void CLendBasketDlg::Show() {
    QTableWidget* table = m_ui->filmTable;
    const bool monthly = m_ui->typeCombo->currentIndex() == 0;
    table->setRowCount(int(m_items.size()));
    for (int row = 0; row < m_items.size(); ++row) {
        const LendBasket::Item& item = m_items.at(row);
        const bool priced = item.Accepted() || item.lent.price != 0;
        QString said = item.reason;
        if (item.Accepted())
            said = monthly ? QStringLiteral("可借,借后余额 ") + Money::Text(item.left)
                           : QStringLiteral("可借,存押金 ") + Money::Text(item.lent.held);
        const QStringList cells{item.filmId, item.lent.film.FilmName, item.lent.film.Type,
                                priced ? Money::Text(item.lent.price) : QString(), said};
        for (int column = 0; column < cells.size(); ++column) {
            auto* cell = new QTableWidgetItem(cells.at(column));
            if (!item.Accepted())
                cell->setForeground(Qt::red);
            table->setItem(row, column, cell);
        }
    }
    ShowTotals();
}

void CLendBasketDlg::ShowTotals() {
    const LendFilm::Request typed = Typed();
    const LendBasket::Totals sum = LendBasket::Sum(typed, m_items);
    QString text;
    if (sum.films == 0)
        text = QStringLiteral("清单中还没有可以借出的影片");
    else if (typed.monthly)
        text = QStringLiteral("可借 %1 部,月租合计 %2;余额 %3,借后余额 %4")
                   .arg(QString::number(sum.films), Money::FromFen(sum.prices), Money::FromFen(sum.balance),
                        Money::FromFen(sum.left));
    else
        text = QStringLiteral("可借 %1 部(零租):收押金 %2,租金合计 %3,存押金 %4")
                   .arg(QString::number(sum.films), Money::FromFen(sum.deposits), Money::FromFen(sum.prices),
                        Money::FromFen(sum.held));
    const int refused = int(m_items.size()) - sum.films;
    if (refused > 0)
        text += QStringLiteral("\n另有 %1 部不能借出,见说明").arg(refused);
    m_ui->totalLine->setText(text);
    m_ui->totalLine->setAccessibleName(text);
}

bool CLendBasketDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (watched == m_ui->filmEdit && enter && plain) {
        // A scanner ends each code with Enter; an Enter on nothing is the clerk's: confirm.
        if (m_ui->filmEdit->text().isEmpty())
            OnOK();
        else
            AddFilm(m_ui->filmEdit->text());
        return true;
    }
    if (key->key() == Qt::Key_Delete && plain &&
        (watched == m_ui->filmTable || (watched == m_ui->filmEdit && m_ui->filmEdit->text().isEmpty()))) {
        // From the empty film field, Delete takes off the row selected, or else the last one scanned.
        const int row = m_ui->filmTable->currentRow();
        RemoveRow(row >= 0 || watched == m_ui->filmTable ? row : int(m_items.size()) - 1);
        return true;
    }
    return false;
}

void CLendBasketDlg::OnOK() {
    if (!UpdateData(true))
        return;
    const bool monthly = m_nRentType == 0;
    QList<LendBasket::Item> lending;
    for (const LendBasket::Item& item : std::as_const(m_items))
        if (item.Accepted())
            lending.append(item);
    QString refusal;
    // The lending form's own order: the client, the films, the deposit; the rest under the lock.
    if (monthly && m_strClientID.isEmpty())
        refusal = QStringLiteral("未填写客户编号!");
    else if (lending.isEmpty())
        refusal = m_items.isEmpty() ? QStringLiteral("未填写影片编号!")
                                    : QStringLiteral("清单中没有可以借出的影片!");
    else if (!monthly && m_fForegift == 0)
        refusal = QStringLiteral("未填写押金!");
    const LendFilm::Request base{monthly,
                                 monthly ? m_strClientID : QString(),
                                 {},
                                 monthly ? 0 : m_fForegift,
                                 m_tmBorrowDate,
                                 m_strOptName,
                                 {m_strContactName.trimmed(), m_strContactPhone.trimmed()},
                                 {}};
    if (refusal.isEmpty() && LendBasket::Lend(base, &lending, &refusal)) {
        m_strDone = LendBasket::DoneText(base, lending);
        m_slip = LendBasket::SlipOf(base, lending);
        Receipt::After(m_slip);
        return EndDialog(IDOK);
    }
    // The transaction is over: the refusal (none after a failed statement, whose message is shown)
    // and the list as it is now, each film with its reason.
    Prompts::Refuse(refusal);
    Review();
    if (refusal == QStringLiteral("未填写客户编号!") || refusal == QStringLiteral("客户编号错误!"))
        DeskLines::Reselect(m_ui->clientEdit);
    else if (refusal == QStringLiteral("未填写押金!"))
        DeskLines::Reselect(m_ui->depositEdit);
    else
        m_ui->filmEdit->setFocus();
}
