#include "desk/DeskRules.h"

#include "base/Prompter.h"
#include "data/CSettingInfo.h"

#include <QDateTime>

void Desk::Refuse(const QString& message) {
    MessageBox(message, QStringLiteral("提示"), MsgIcon::Warning);
}

bool Desk::Check(Lookup result, Lookup wanted, const QString& text, QString* refusal) {
    if (result == wanted)
        return true;
    if (result != Lookup::Failed)
        *refusal = text;
    return false;
}

bool Desk::Hold(const QString& text, QString* refusal) {
    *refusal = text;
    return false;
}

QString Desk::ChangedMeanwhile() {
    return QStringLiteral("这条租借记录刚刚在另一台电脑上被修改过,请重新输入并确认。");
}

void Desk::RefuseHeld(const QString& refusal) {
    if (!refusal.isEmpty())
        Refuse(refusal);
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
