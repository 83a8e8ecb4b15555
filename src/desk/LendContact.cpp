#include "desk/LendContact.h"

#include "desk/DeskRules.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
QLineEdit* AddField(QGridLayout* form, int row, int column, const QString& label, const QString& name,
                    const QString& tip) {
    auto* field = new QLineEdit(form->parentWidget());
    field->setObjectName(name);
    field->setToolTip(tip);
    field->setAccessibleDescription(tip);
    auto* caption = new QLabel(label, form->parentWidget());
    caption->setBuddy(field);
    form->addWidget(caption, row, column);
    form->addWidget(field, row, column + 1);
    return field;
}
} // namespace

void LendContact::AddFields(QGridLayout* form, QLineEdit** name, QLineEdit** phone) {
    const int row = form->rowCount();
    *name = AddField(form, row, 0, QStringLiteral("联系人："), QStringLiteral("contactNameEdit"),
                     QStringLiteral("零租客人的姓名,可不填"));
    *phone = AddField(form, row, 2, QStringLiteral("联系电话："), QStringLiteral("contactPhoneEdit"),
                      QStringLiteral("零租客人的电话,影片未还时可以找到他;可不填"));
}

QString LendContact::SlipClient(const RentContact::Contact& contact) {
    return contact.IsEmpty() ? Desk::kDaily : Desk::kDaily + QLatin1Char(' ') + contact.Text();
}
