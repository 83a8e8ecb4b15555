#pragma once
// Several films lent to one customer at once (多片借出): each film checked as the lending form
// checks one, the month's balance running down from film to film, and all of them lent in one
// transaction, each with exactly the rows of a lending of its own.
#include "desk/LendFilm.h"
#include "toolkit/Receipt.h"

#include <QList>

namespace LendBasket {
struct Item {
    explicit Item(const QString& film = QString()) : filmId(film) {}
    QString filmId;
    LendFilm::Lent lent;
    QString reason; // why it cannot be lent; empty when it can
    // Monthly: the balance before this film and after it, the films before it lent.
    float before = 0;
    float left = 0;
    bool Accepted() const { return reason.isEmpty(); }
};

// Checks the films in order as the lending does, each after those before it that can be lent (a
// film whose price the balance left cannot bear is refused as a single lending would be); then
// whether the disc is held for another client. No write. False when a read failed (shown).
bool Review(const LendFilm::Request& base, QList<Item>* items);

// What the films that can be lent come to, in whole fen.
struct Totals {
    int films = 0;
    qint64 prices = 0;   // the months' or the days' prices
    qint64 balance = 0;  // monthly: the balance before
    qint64 left = 0;     // monthly: the balance after them all
    qint64 deposits = 0; // per day: the deposits taken
    qint64 held = 0;     // per day: the deposits held, less the days' prices
};
Totals Sum(const LendFilm::Request& base, const QList<Item>& items);

// Lends every film of items in one transaction, its checks made again under the write lock
// before the first write: all of them, or none. A refusal names its film. False with no refusal
// when a statement failed (shown).
bool Lend(const LendFilm::Request& base, QList<Item>* items, QString* refusal);

// The film as the desk names it, "V1《英雄》" (its code alone when unknown); with a reason after it,
// "V1《英雄》:此影片已经借出,请选择其它影片!".
QString Film(const Item& item);
QString Named(const Item& item, const QString& text);
// After Lend: the status line of what was done, and the slip listing every film and the total.
QString DoneText(const LendFilm::Request& base, const QList<Item>& items);
Receipt::Slip SlipOf(const LendFilm::Request& base, const QList<Item>& items);
} // namespace LendBasket
