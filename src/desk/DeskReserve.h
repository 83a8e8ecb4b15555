#pragma once
// The reservations at the desk: what a return and a lending do for them once the desk's own rules
// have passed, each one call from the dialog, and what the film line says of a disc held.
#include <QString>

namespace DeskReserve {
// In the return's transaction, after its writes: the disc back goes to the first client waiting
// for its title; *callOut is what to tell the clerk once it is committed (empty: no one waits).
bool AtReturn(const QString& filmId, QString* callOut);
// The box that tells the clerk to put the disc aside; nothing for an empty text.
void CallOut(const QString& callOut);
// In the lending's transaction, after its checks: a disc held for another client is refused
// (*refusal names him and the last day it is held); lent to its client, his reservation is taken.
// False with an empty refusal when a statement failed.
bool AtLending(const QString& clientId, const QString& filmId, QString* refusal);
// The same refusal read only, for a lending not yet written: a disc held until today or later for
// another client. False with the refusal, or with none when the read failed.
bool HeldForOther(const QString& clientId, const QString& filmId, QString* refusal);
// In the exchange's transaction, after its write: the new disc as a lending to the rental's client,
// the old one as a return.
bool AtExchange(const QString& clientId, const QString& oldFilmId, const QString& newFilmId, QString* refusal,
                QString* callOut);
// The film line's word for a disc in the shop: "在店", or "已留片" with the client and the last day.
QString InShop(const QString& filmId);
} // namespace DeskReserve
