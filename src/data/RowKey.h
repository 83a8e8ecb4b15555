#pragma once
// The key of one row, the ID column every table has.
#include <QString>
#include <QtGlobal>

// A record's number is a key as it is; text (a grid cell, a typed field) becomes one only through
// FromText, which takes nothing but a whole number in range. A statement given no key matches no
// row: a load finds Lookup::Missing, and Update and DeleteById run, change nothing and return
// true, as they do for the key of a row that does not exist. False stays the answer of a statement
// the engine refused, which has been shown.
class RowKey {
public:
    // Implicit, so that a record's own ID passes as its key; text never converts.
    constexpr RowKey(qint64 id) : m_id(id), m_valid(true) {}
    RowKey(const QString&) = delete;

    // An optional '-' and decimal digits, nothing around them, within 64 bits; anything else is no key.
    static RowKey FromText(const QString& text);

    bool IsValid() const { return m_valid; }
    qint64 Value() const { return m_id; } // 0 when there is no key

private:
    constexpr RowKey() = default;

    qint64 m_id = 0;
    bool m_valid = false;
};
