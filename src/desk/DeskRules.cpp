#include "desk/DeskRules.h"

#include "data/CSettingInfo.h"
#include "toolkit/Prompter.h"

#include <QDateTime>

void Desk::Refuse(const QString& message) {
    MessageBox(message, QStringLiteral("提示"), MsgIcon::Warning);
}

float Desk::MonthPrice(const CSettingInfo& prices, const QString& filmType) {
    return filmType == QLatin1String("VCD") ? prices.MonthVcd : prices.MonthDvd;
}

float Desk::DayPrice(const CSettingInfo& prices, const QString& filmType) {
    return filmType == QLatin1String("VCD") ? prices.DayVcd : prices.DayDvd;
}

bool Desk::Confirm(const QString& text) {
    return MessageBox(text, QStringLiteral("请确定"), MsgIcon::Question, MsgButtons::YesNo, IDYES) == IDYES;
}

QString Desk::DateText(const QDateTime& when) {
    return when.date().toString(QStringLiteral("yyyy-MM-dd"));
}
