#pragma once
// One row of the Ledger table (one movement of money, or a change that matters to it) and the
// ledger's statements. Amounts are whole fen: sums of the shop's single-precision yuan would drift.
// A row is written in the transaction of the action it records; nothing ever deletes one.
#include "data/CAdoDb.h"

#include <QDate>
#include <QString>
#include <QStringList>

class CLedgerInfo {
public:
    // The kinds, as stored and shown.
    static const QString kMonthCharge;   // 月租扣款: a month's price taken from the balance
    static const QString kDayPrice;      // 零租租金: the day's price, paid in cash
    static const QString kDepositIn;     // 收押金: the deposit a per-day rental holds
    static const QString kDepositOut;    // 退押金: that deposit handed back at the return
    static const QString kTopUp;         // 充值: a balance raised in the client editor
    static const QString kCorrection;    // 调整: a balance lowered there (a negative amount)
    static const QString kClientDeposit; // 开户押金: a client's own deposit, given or changed (signed)
    static const QString kPriceChange;   // 改价: no cash; the old and new prices in the note
    static const QString kClientDeleted; // 删除客户: no cash; the balance and deposit it held
    // A client's balance and deposit brought in by an import (ImportWrite.h): kinds of their own,
    // outside Kinds(), so that no sum of cash (日结, the reports' takings) counts them.
    static const QString kImportedTopUp;   // 充值(导入)
    static const QString kImportedDeposit; // 开户押金(导入)

    // The charges of a return when the shop charges the days out. A per-day return settles gross:
    // its whole deposit goes back as 退押金 and each charge comes in as a row of its own, so that
    // the rows add up to the cash that crossed the counter, whichever way it went.
    static const QString kLateDays;    // 超期租金: the further days of a per-day rental, less any waiver
    static const QString kLatePeriods; // 超期扣款: the further periods of a month's plan, from the balance
    static const QString kWaiver;      // 减免: what an administrator let off a charge; no cash
    static const QString kDamage;      // 赔偿: a damaged film paid for, from the deposit or in cash

    // Every kind, in the order the day's report lists them.
    static QStringList Kinds();
    // The cash a row of this kind brings into the drawer: the amount, its negative, or nothing.
    static qint64 CashFen(const QString& kind, qint64 fen);
    // An amount in yuan as whole fen, rounded to the nearest.
    static qint64 Fen(double yuan);

    // Writes the row; the time is the clock's now, whatever the day the clerk gave the action.
    bool Insert();

    QString Day; // the date the action carries (a lending's date), yyyy-MM-dd
    QString OptUser;
    QString Kind;
    qint64 Amount = 0; // fen
    QString ClientID;
    QString FilmID;
    // The rental the movement belongs to; 0 for none, kOpenRental for the film's open rental.
    int RentID = 0;
    static constexpr int kOpenRental = -1;
    QString Note;
};

// The statements of 日结: the ledger of one day, by the clock's date, of one operator or of all
// (operator empty).
namespace Ledger {
// Per kind that moved: 类别, 笔数, 金额(元), and the cash it brought, 现金(元); then 合计, the rows
// and the cash of the day: what the drawer should have gained. A last column, 序, orders them.
QString DaySums(const QDate& day, const QString& optUser);
// The rows themselves, in the order written: the time, the date the action carries, and the rest.
QString DayRows(const QDate& day, const QString& optUser);
// The cash the drawer gained that day, in fen: what came in, what went out. False when the read
// failed (the engine's message is shown).
bool DayCash(const QDate& day, const QString& optUser, qint64* in, qint64* out);
} // namespace Ledger
