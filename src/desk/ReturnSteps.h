#pragma once
// The steps of taking one film back, shared by 影片还回 and the return of several films: the
// checks before the confirmation and, in the caller's transaction, the writes of the return.
#include <QDateTime>
#include <QString>

class CFilmInfo;
class CRentInfo;
struct ReturnBill;

namespace ReturnSteps {
QString NotInStock(); // 影片编号错误,影片库中未包含此编号!
QString NotOut();     // 影片编号错误,此影片未借出!

// The return's checks in their order: a code given, the film in the catalogue, out; then its
// open rental and the film, read for the confirmation. False with the refusal in *refusal, or with
// an empty refusal when a read failed (its message is shown).
bool Find(const QString& filmId, CRentInfo& rent, CFilmInfo& film, QString* refusal);

// What one return writes, inside the caller's transaction: the rental read again under the write
// lock and written back as it is now (it must still be the one confirmed), the desk's action, the
// deposit's ledger row, the days' charge when bill is given (worked out again: what was confirmed
// is written only if it still holds), and the hold of a waiting reservation (*held: what to tell
// the clerk). *rent is the rental as written.
struct Writing {
    QString filmId;
    int confirmedId = 0;
    QDateTime returned;
    QString optUser;
    QString ledgerNote; // the note of the deposit's ledger row
};
bool Write(const Writing& what, ReturnBill* bill, CRentInfo* rent, QString* held, QString* refusal);
} // namespace ReturnSteps
