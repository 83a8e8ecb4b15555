#include "desk/LendCharge.h"

#include "data/CSettingInfo.h"
#include "data/DeskLookup.h"
#include "desk/DeskRules.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Money.h"

namespace {
// The film of a lending as the lines know it: found and in the shop, with the shop's prices;
// false for anything else (the film's own line says why).
bool FilmToLend(const QString& filmId, DeskLookup::Film& film, CSettingInfo& prices) {
    if (filmId.isEmpty())
        return false;
    film = DeskLookup::FindFilm(filmId);
    return film.result == Lookup::Found && !film.out && prices.Load(true) == Lookup::Found;
}
} // namespace

DeskLines::Line LendCharge::Monthly(const QString& clientId, const QString& filmId) {
    DeskLookup::Client client;
    DeskLines::Line line = DeskLines::Client(clientId, &client);
    DeskLookup::Film film;
    CSettingInfo prices;
    if (client.result != Lookup::Found || !FilmToLend(filmId, film, prices))
        return line;
    // The lending's own arithmetic, in single precision, so the line and the status agree.
    const float price = Desk::MonthPrice(prices, film.medium);
    const float left = client.balance - price;
    line.text += QLatin1Char('\n');
    if (left <= 0)
        line.text += QStringLiteral("余额不足:须扣款 %1,余额只有 %2")
                         .arg(Money::Text(price), Money::Text(client.balance));
    else
        line.text += QStringLiteral("将扣款 %1,余额 %2").arg(Money::Text(price), Money::Text(left));
    return line;
}

DeskLines::Line LendCharge::Daily(const QString& filmId, const QString& deposit) {
    DeskLookup::Film film;
    CSettingInfo prices;
    if (!FilmToLend(filmId, film, prices))
        return {};
    const float price = Desk::DayPrice(prices, film.medium);
    double typed = 0;
    if (!FormText::ParseFormNumber(deposit, &typed) || typed <= 0 || typed > Desk::kMaxMoney)
        return {QStringLiteral("零租:将从押金中收租金 %1").arg(Money::Text(price))};
    // No lower bound, as the lending: a deposit below the day's price leaves a negative amount held.
    const float held = float(typed) - price;
    return {QStringLiteral("零租:将从押金中收租金 %1,存押金 %2").arg(Money::Text(price), Money::Text(held))};
}
