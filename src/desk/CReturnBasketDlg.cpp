#include "desk/CReturnBasketDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/CFilmInfo.h"
#include "desk/DeskLines.h"
#include "desk/DeskRules.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Money.h"
#include "toolkit/Prompts.h"

#include <QApplication>
#include <QDateEdit>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace {
enum Column { kCode, kName, kPlan, kClient, kLent, kDays, kBack, kCharge, kNote, kColumns };

QLabel* Label(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}
} // namespace

CReturnBasketDlg::CReturnBasketDlg(QWidget* parent)
    : CDialog(parent), filmEdit(new QLineEdit(this)), dateEdit(new QDateEdit(this)),
      operatorName(new QLabel(this)), hintLine(nullptr), table(new QTableWidget(0, kColumns, this)),
      totalLine(new QLabel(this)), removeButton(new QPushButton(QStringLiteral("删除一行(&D)"), this)),
      okButton(new QPushButton(QStringLiteral("确定"), this)),
      cancelButton(new QPushButton(QStringLiteral("取消"), this)) {
    setWindowTitle(QStringLiteral("多片还回"));
    setObjectName(QStringLiteral("CReturnBasketDlg"));
    filmEdit->setObjectName(QStringLiteral("filmEdit"));
    filmEdit->setMinimumWidth(150);
    filmEdit->setAccessibleName(QStringLiteral("影片编号"));
    dateEdit->setObjectName(QStringLiteral("dateEdit"));
    dateEdit->setCalendarPopup(true);
    dateEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dateEdit->setMinimumWidth(130);
    operatorName->setObjectName(QStringLiteral("operatorName"));
    operatorName->setFrameShape(QFrame::StyledPanel);
    operatorName->setMinimumWidth(120);

    auto* outer = new QVBoxLayout(this);
    auto* form = new QGridLayout;
    form->setHorizontalSpacing(10);
    form->addWidget(Label(this, QStringLiteral("影片编号(&F)："), filmEdit), 0, 0);
    form->addWidget(filmEdit, 0, 1);
    form->addWidget(Label(this, QStringLiteral("还回日期(&T)："), dateEdit), 0, 2);
    form->addWidget(dateEdit, 0, 3);
    form->addWidget(new QLabel(QStringLiteral("操作员："), this), 0, 4);
    form->addWidget(operatorName, 0, 5);
    form->setColumnStretch(6, 1);
    outer->addLayout(form);
    new CodePicker(filmEdit, form, CodePicker::Kind::Film);
    hintLine = DeskLines::AddInfoLine(outer, 1, QStringLiteral("hintLine"));
    hintLine->setAccessibleName(QStringLiteral("扫描结果"));

    table->setObjectName(QStringLiteral("basketTable"));
    table->setAccessibleName(QStringLiteral("还回清单"));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("影片编号"), QStringLiteral("片名"), QStringLiteral("类型"), QStringLiteral("客户"),
         QStringLiteral("借出日期"), QStringLiteral("天数"), QStringLiteral("退押金"),
         QStringLiteral("超期费"), QStringLiteral("说明")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    const int widths[kColumns - 1] = {80, 140, 50, 70, 90, 45, 80, 80};
    for (int column = 0; column < kColumns - 1; ++column)
        table->setColumnWidth(column, widths[column]);
    table->setMinimumSize(860, 260);
    table->installEventFilter(this);
    outer->addWidget(table, 1);

    totalLine->setObjectName(QStringLiteral("totalLine"));
    totalLine->setAccessibleName(QStringLiteral("合计"));
    outer->addWidget(totalLine);

    auto* buttons = new QHBoxLayout;
    removeButton->setObjectName(QStringLiteral("removeButton"));
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    buttons->addWidget(removeButton);
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    outer->addLayout(buttons);
    okButton->setDefault(true);
    ConnectButtons(okButton, cancelButton);
    connect(removeButton, &QPushButton::clicked, this, &CReturnBasketDlg::OnRemove);
    connect(dateEdit, &QDateEdit::dateChanged, this, &CReturnBasketDlg::OnDateChanged);
    filmEdit->installEventFilter(this);
    setTabOrder(filmEdit, dateEdit);
    setTabOrder(dateEdit, table);
    setTabOrder(table, removeButton);
    setTabOrder(removeButton, okButton);
    setTabOrder(okButton, cancelButton);
}

void CReturnBasketDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(filmEdit, m_strFilmID, CFilmInfo::kTextBytes);
    dx.Text(operatorName, m_strOptName);
    dx.Date(dateEdit, m_tmReturnDate);
}

bool CReturnBasketDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_tmReturnDate = Clock::Now();
    m_strOptName = Session::Current().UserName();
    {
        const QSignalBlocker quiet(dateEdit);
        UpdateData(false);
    }
    Lookup found = Lookup::Found;
    ReturnCharge::Rule rule = ReturnCharge::Load(&found);
    m_basket.SetRule(found == Lookup::Failed ? ReturnCharge::Rule() : rule);
    table->setColumnHidden(kCharge, !m_basket.Rule().on);
    hintLine->setText(QStringLiteral("扫描或输入影片编号后按回车加入清单;编号为空时再按回车确认。"));
    for (const QString& code : std::as_const(m_firstCodes))
        Add(code);
    ShowRows();
    filmEdit->setFocus();
    return true;
}

bool CReturnBasketDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return CDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (watched == filmEdit && plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        OnEnter();
        return true;
    }
    if (plain && key->key() == Qt::Key_Delete &&
        (watched == table || (watched == filmEdit && filmEdit->text().isEmpty()))) {
        OnRemove();
        return true;
    }
    return CDialog::eventFilter(watched, event);
}

void CReturnBasketDlg::OnEnter() {
    if (filmEdit->text().isEmpty())
        return OnOK();
    CDataExchange dx(true);
    QString code;
    dx.Text(filmEdit, code, CFilmInfo::kTextBytes);
    if (dx.Failed())
        return;
    Add(code);
    ShowRows();
    filmEdit->clear();
    filmEdit->setFocus();
}

void CReturnBasketDlg::Add(const QString& code) {
    bool already = false;
    const int index = m_basket.Add(code, dateEdit->date(), &already);
    if (index < 0)
        return; // a read failed: its message is shown
    const ReturnBasket::Row& row = m_basket.Rows().at(index);
    if (already) {
        hintLine->setText(QStringLiteral("%1 已在清单中。").arg(row.Film()));
        QApplication::beep();
    } else if (!row.Accepted()) {
        hintLine->setText(QStringLiteral("%1 不能还回:%2").arg(row.Film(), row.refusal));
        QApplication::beep();
    } else {
        hintLine->setText(QStringLiteral("已加入 %1(%2)。").arg(row.Film(), row.rent.Type));
    }
    table->selectRow(index);
}

void CReturnBasketDlg::OnRemove() {
    int index = table->currentRow();
    if (index < 0 || !table->selectionModel()->hasSelection())
        index = int(m_basket.Rows().size()) - 1;
    if (index < 0)
        return;
    hintLine->setText(QStringLiteral("已从清单中删除 %1。").arg(m_basket.Rows().at(index).Film()));
    m_basket.Remove(index);
    ShowRows();
}

void CReturnBasketDlg::OnDateChanged() {
    // The days out, and with them the charges, are counted to the return date.
    QStringList changed;
    if (m_basket.Rule().on && m_basket.Recheck(dateEdit->date(), &changed))
        ShowRows();
}

void CReturnBasketDlg::ShowRows() {
    const QList<ReturnBasket::Row>& rows = m_basket.Rows();
    const int current = table->currentRow();
    table->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const ReturnBasket::Row& row = rows.at(i);
        const bool in = row.Accepted();
        const QString note = !in                                    ? row.refusal
                             : !row.heldFor.isEmpty()               ? row.heldFor
                             : row.Monthly() && row.ChargeFen() > 0 ? QStringLiteral("超期费从客户余额扣")
                                                                    : QString();
        const QStringList cells{row.code,
                                row.filmName,
                                in ? row.rent.Type : QString(),
                                in ? (row.Monthly() ? row.rent.ClientID : Desk::kDaily) : QString(),
                                in ? row.rent.BorrowDate : QString(),
                                in ? QString::number(row.charged ? row.bill.figures.daysOut
                                                                 : DeskLines::DaysOut(row.rent.BorrowDate))
                                   : QString(),
                                in && !row.Monthly() ? Money::FromFen(row.BackFen()) : QString(),
                                row.ChargeFen() > 0 ? Money::FromFen(row.ChargeFen()) : QString(),
                                note};
        for (int column = 0; column < kColumns; ++column) {
            auto* item = new QTableWidgetItem(cells.at(column));
            if (column == kBack || column == kCharge || column == kDays)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!in)
                item->setForeground(Qt::darkRed);
            item->setToolTip(note);
            table->setItem(i, column, item);
        }
    }
    if (current >= 0 && current < rows.size())
        table->selectRow(current);
    const ReturnBasket::Totals totals = m_basket.Total();
    QString total = QStringLiteral("共 %1 部可还回 · 退押金合计 %2")
                        .arg(totals.films)
                        .arg(Money::FromFen(totals.backFen));
    if (totals.chargeFen > 0)
        total += QStringLiteral(" · 超期费合计 ") + Money::FromFen(totals.chargeFen);
    if (totals.dueFen > 0)
        total += QStringLiteral(" · 还须付 ") + Money::FromFen(totals.dueFen);
    const int refused = int(rows.size()) - totals.films;
    if (refused > 0)
        total += QStringLiteral(" · %1 部不能还回").arg(refused);
    totalLine->setText(total);
    removeButton->setEnabled(!rows.isEmpty());
}

void CReturnBasketDlg::OnOK() {
    if (!UpdateData(true))
        return;
    // A code typed but not yet added joins the list first: the clerk sees its row before confirming.
    if (!m_strFilmID.isEmpty())
        return OnEnter();
    if (m_basket.Total().films == 0) {
        Prompts::Refuse(QStringLiteral("清单中没有可以还回的影片!"));
        return DeskLines::Reselect(filmEdit);
    }
    // What another desk did since the films were scanned stops the whole list.
    QStringList changed;
    if (!m_basket.Recheck(m_tmReturnDate.date(), &changed))
        return;
    ShowRows();
    if (!changed.isEmpty()) {
        Prompts::Refuse(changed.join(QLatin1Char('\n')) +
                        QStringLiteral("\n\n本单的影片都没有还回。请看清单后再按确定。"));
        return DeskLines::Reselect(filmEdit);
    }
    if (!Prompts::Ask(m_basket.ConfirmText(), QStringLiteral("请确定"), IDYES))
        return;
    QString refusal;
    const bool written = m_basket.Write(m_tmReturnDate, m_strOptName, &refusal);
    ShowRows();
    if (!written) {
        Prompts::Refuse(refusal);
        return DeskLines::Reselect(filmEdit);
    }
    m_strDone = m_basket.Done();
    m_slip = m_basket.Slip(m_strOptName);
    Prompter::MessageBox(m_basket.Final(), QStringLiteral("多片还回"), MsgIcon::Information);
    Receipt::After(m_slip);
    EndDialog(IDOK);
}
