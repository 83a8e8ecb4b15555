#include "desk/DeskRules.h"

#include "data/CSettingInfo.h"

#include <QDateTime>

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

float Desk::MonthPrice(const CSettingInfo& prices, const QString& filmType) {
    return filmType == QLatin1String("VCD") ? prices.MonthVcd : prices.MonthDvd;
}

float Desk::DayPrice(const CSettingInfo& prices, const QString& filmType) {
    return filmType == QLatin1String("VCD") ? prices.DayVcd : prices.DayDvd;
}

QString Desk::DateText(const QDateTime& when) {
    return when.date().toString(QStringLiteral("yyyy-MM-dd"));
}
