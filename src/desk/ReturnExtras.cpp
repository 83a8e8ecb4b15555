#include "desk/ReturnExtras.h"

#include "data/CLedgerInfo.h"
#include "desk/DeskRules.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Money.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {
QLineEdit* Field(QWidget* parent, const char* name, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(width);
    return edit;
}

QLabel* Label(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

// An amount typed, in fen; 0 for an empty field. False when it is no amount of 0 to 9999.
bool Amount(const QLineEdit* edit, qint64* fen) {
    double value = 0;
    if (edit->text().trimmed().isEmpty()) {
        *fen = 0;
        return true;
    }
    if (!CDataExchange::ReadReal(edit->text(), 0, Desk::kMaxMoney, 2, &value).isEmpty())
        return false;
    *fen = CLedgerInfo::Fen(value);
    return true;
}
} // namespace

ReturnExtras::ReturnExtras(QWidget* parent)
    : QGroupBox(QStringLiteral("超期收费"), parent), waiver(Field(this, "waiverEdit", 80)),
      waiverReason(Field(this, "waiverReasonEdit", 150)), damage(Field(this, "damageEdit", 80)),
      damageReason(Field(this, "damageReasonEdit", 150)),
      fromDeposit(new QRadioButton(QStringLiteral("从押金扣(&K)"), this)),
      inCash(new QRadioButton(QStringLiteral("收现金(&X)"), this)) {
    setObjectName(QStringLiteral("returnExtras"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label(this, QStringLiteral("减免(元)(&W)："), waiver), 0, 0);
    grid->addWidget(waiver, 0, 1);
    grid->addWidget(Label(this, QStringLiteral("减免原因(&R)："), waiverReason), 0, 2);
    grid->addWidget(waiverReason, 0, 3);
    grid->addWidget(Label(this, QStringLiteral("赔偿(元)(&G)："), damage), 1, 0);
    grid->addWidget(damage, 1, 1);
    grid->addWidget(Label(this, QStringLiteral("赔偿原因(&Y)："), damageReason), 1, 2);
    grid->addWidget(damageReason, 1, 3);
    auto* from = new QHBoxLayout;
    from->addWidget(fromDeposit);
    from->addWidget(inCash);
    from->addStretch();
    grid->addWidget(new QLabel(QStringLiteral("赔偿来自："), this), 2, 0);
    grid->addLayout(from, 2, 1, 1, 3);
    fromDeposit->setChecked(true);
    fromDeposit->setAccessibleName(QStringLiteral("赔偿从押金扣"));
    inCash->setAccessibleName(QStringLiteral("赔偿收现金"));
    for (QLineEdit* edit : {waiver, waiverReason, damage, damageReason})
        connect(edit, &QLineEdit::textChanged, this, &ReturnExtras::Edited);
    connect(fromDeposit, &QRadioButton::toggled, this, &ReturnExtras::Edited);
}

void ReturnExtras::AllowWaiver(bool allowed) {
    for (QLineEdit* edit : {waiver, waiverReason}) {
        edit->setEnabled(allowed);
        edit->setToolTip(allowed ? QString() : QStringLiteral("只有管理员可以减免"));
    }
}

bool ReturnExtras::Read(Entered* entered) {
    CDataExchange dx(true);
    const auto amount = [&dx](QLineEdit* edit, qint64* fen) {
        double value = 0;
        if (!edit->text().trimmed().isEmpty())
            dx.Real(edit, value, 0, Desk::kMaxMoney, 2);
        *fen = CLedgerInfo::Fen(value);
    };
    if (waiver->isEnabled()) {
        amount(waiver, &entered->waivedFen);
        dx.Text(waiverReason, entered->waiverReason, kReasonBytes);
    } else if (Amount(waiver, &entered->waivedFen)) {
        // Closed to this operator, yet not empty: the return refuses it rather than pass it over.
        entered->waiverReason = waiverReason->text();
    }
    amount(damage, &entered->damageFen);
    dx.Text(damageReason, entered->damageReason, kReasonBytes);
    entered->waiverReason = entered->waiverReason.trimmed();
    entered->damageReason = entered->damageReason.trimmed();
    entered->damageFromDeposit = fromDeposit->isChecked();
    return !dx.Failed();
}

ReturnExtras::Entered ReturnExtras::Peek() const {
    Entered entered;
    if (!Amount(waiver, &entered.waivedFen))
        entered.waivedFen = 0;
    if (!Amount(damage, &entered.damageFen))
        entered.damageFen = 0;
    entered.waiverReason = waiverReason->text().trimmed();
    entered.damageReason = damageReason->text().trimmed();
    entered.damageFromDeposit = fromDeposit->isChecked();
    return entered;
}

QString ReturnExtras::Refusal(const Entered& entered, qint64 chargeFen, bool monthly, bool administrator,
                              QWidget** field) const {
    *field = waiver;
    if (entered.waivedFen > 0 && !administrator)
        return QStringLiteral("只有管理员才能减免超期租金!");
    if (entered.waivedFen > chargeFen)
        return QStringLiteral("减免不能超过应收的超期租金 %1!").arg(Money::FromFen(chargeFen));
    *field = waiverReason;
    if (entered.waivedFen > 0 && entered.waiverReason.isEmpty())
        return QStringLiteral("请填写减免原因!");
    *field = damageReason;
    if (entered.damageFen > 0 && entered.damageReason.isEmpty())
        return QStringLiteral("请填写赔偿原因!");
    *field = inCash;
    if (entered.damageFen > 0 && monthly && entered.damageFromDeposit)
        return QStringLiteral("月租没有押金,赔偿请选择收现金!");
    *field = nullptr;
    return {};
}
