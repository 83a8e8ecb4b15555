#pragma once
// The receipts of the desk: when the shop has them on (设置 → 小票), a slip after a lending, a
// return and a top-up, with the shop's name, the time, the operator, the client or 零租, the film
// and the amounts; to the printer, or as a PDF file in the folder 小票 beside the shop's file.
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace Receipt {
struct Slip {
    QString title; // 借出, 还回, 充值
    QString optUser;
    QString client;                         // a client number, or 零租
    QString film;                           // code《title》; empty for a top-up
    QList<QPair<QString, QString>> amounts; // label, amount as shown ("30.00 元")
};

// The lines the slip prints: the heading first, an amount after a tab.
QStringList Lines(const Slip& slip, const QString& shopName, const QDateTime& at);
// The folder of the PDF receipts.
QString Folder();
// Prints the slip when receipts are on. The action is done by then: a slip that cannot be
// printed is said in one box and changes nothing.
void After(const Slip& slip);
} // namespace Receipt
