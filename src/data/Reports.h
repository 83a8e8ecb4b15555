#pragma once
// The statements of 营业报表: what the shop took, what it lends, what sits on the shelf, over a
// period of whole days (from and to included). The money reports read the ledger by the clock's
// date of each row, as 日结 does, so that a period's takings are exactly the sum of its days'
// 日结. Every kind of the ledger takes part as CLedgerInfo lists it, with the cash CashFen gives it:
// a kind added there appears in these reports unchanged. An operator's name restricts the ledger's
// reports to his own rows; empty means everyone's.
#include <QDate>
#include <QString>
#include <QStringList>

namespace Reports {
// How the takings are grouped.
enum class Step { Day, Week, Month };

// Per day, week (from Monday, cut at the period's ends) or month of the period that had ledger rows:
// the period (first column), each kind's amount "<kind>(元)" in CLedgerInfo's order, then 现金收入(元),
// 现金支出(元), 净现金(元); then a last row 合计 over the whole period. A last column, 序, keeps the
// total last; the window hides it.
QString Takings(const QDate& from, const QDate& to, Step step, const QString& optUser);
// The heading of the takings' first column for the step.
QString TakingsHeading(Step step);

// Per title (the discs of one name together) that lent or earned in the period: 影片名字, 借出次数,
// 收入(元), 张数 (the title's discs in stock); the most money first. What a row earns: its cash, or
// for a kind without cash its amount when it charges a client's balance (named "…扣款": 月租扣款,
// 超期扣款), else nothing (a waiver, a price change); deposits held for customers earn nothing.
QString Titles(const QDate& from, const QDate& to, const QString& optUser);

// Discs on the shelf not lent in the days before asOf (included), or never: 影片编号, 影片名字, 类型,
// 入库日期, 最后借出, 闲置天数; never lent first, then the longest idle. A disc out is not on the shelf,
// and one stocked within those days is not idle yet.
QString IdleStock(const QDate& asOf, int days);

// Customers by the money they spent on rentals in the period: 客户编号, 电话, 借出次数, 消费(元), 余额(元);
// the most first.
QString TopCustomers(const QDate& from, const QDate& to, const QString& optUser);

// Customers with no lending in the days before asOf (included), registered before them: 客户编号, 电话,
// 余额(元), 押金(元), 最后借出, 未借天数; the longest away first.
QString DormantCustomers(const QDate& asOf, int days);

// Per operator: 操作员, 借出, 还回, 更换, then the cash he took: 现金收入(元), 现金支出(元), 净现金(元); the
// most cash first.
QString Staff(const QDate& from, const QDate& to, const QString& optUser);

// The kinds whose row is a lending's own charge: one row per lending.
QStringList LendingKinds();
} // namespace Reports
