#include "desk/DeskReserve.h"

#include "base/Clock.h"
#include "base/Prompter.h"
#include "data/Reservations.h"

namespace {
QDate Today() {
    return Clock::Now().date();
}

// C2(电话 13800001111)
QString Client(const Reservations::Hold& hold) {
    return hold.phone.isEmpty() ? hold.clientId
                                : QStringLiteral("%1(电话 %2)").arg(hold.clientId, hold.phone);
}
} // namespace

bool DeskReserve::AtReturn(const QString& filmId, QString* callOut) {
    callOut->clear();
    Reservations::Hold hold;
    if (!Reservations::Settle(Today()) || !Reservations::PassOn(filmId, Today(), &hold))
        return false;
    if (hold.id != 0)
        *callOut = QStringLiteral("请把此片留给客户 %1:\n《%2》%3,保留到 %4。")
                       .arg(Client(hold), hold.title, hold.filmId, hold.until);
    return true;
}

void DeskReserve::CallOut(const QString& callOut) {
    if (!callOut.isEmpty())
        Prompter::MessageBox(callOut, QStringLiteral("预约"), MsgIcon::Information);
}

namespace {
QString HeldRefusal(const Reservations::Hold& other) {
    return QStringLiteral("此影片已为 %1 留片,保留到 %2,请选择其它影片!").arg(Client(other), other.until);
}
} // namespace

bool DeskReserve::AtLending(const QString& clientId, const QString& filmId, QString* refusal) {
    Reservations::Hold other;
    if (Reservations::Lend(clientId, filmId, Today(), &other))
        return true;
    if (other.id != 0)
        *refusal = HeldRefusal(other);
    return false;
}

bool DeskReserve::HeldForOther(const QString& clientId, const QString& filmId, QString* refusal) {
    Reservations::Hold hold;
    const Lookup held = Reservations::HeldOn(filmId, &hold);
    if (held == Lookup::Failed)
        return false;
    // A hold whose last day has passed lapses when the lending settles the holds: it refuses nothing.
    if (held == Lookup::Missing || hold.until < Today().toString(QStringLiteral("yyyy-MM-dd")) ||
        clientId.compare(hold.clientId, Qt::CaseInsensitive) == 0)
        return true;
    *refusal = HeldRefusal(hold);
    return false;
}

bool DeskReserve::AtExchange(const QString& clientId, const QString& oldFilmId, const QString& newFilmId,
                             QString* refusal, QString* callOut) {
    callOut->clear();
    return AtLending(clientId, newFilmId, refusal) && AtReturn(oldFilmId, callOut);
}

QString DeskReserve::InShop(const QString& filmId) {
    Reservations::Hold hold;
    if (Reservations::Settle(Today(), true) && Reservations::HeldOn(filmId, &hold, true) == Lookup::Found)
        return QStringLiteral("已留片:%1,保留到 %2").arg(hold.clientId, hold.until);
    return QStringLiteral("在店");
}
