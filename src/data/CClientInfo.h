#pragma once
// One row of the Client table and the table's statements.
#include "data/CAdoDb.h"
#include "data/RowKey.h"

#include <QString>

class CClientInfo {
public:
    // The most the forms take, in GBK bytes: a client or phone number; a note.
    static constexpr int kNumberBytes = 20;
    static constexpr int kRemarkBytes = 100;
    // The most the form takes as a deposit or a balance, in yuan; the least is 0.
    static constexpr float kMaxMoney = 9999;

    virtual ~CClientInfo() = default;

    bool Insert();
    bool Update(RowKey key);
    bool DeleteById(RowKey key);
    // A load that finds no row, or fails, leaves the record as it was.
    Lookup LoadById(RowKey key); // ID keeps its value
    Lookup ExistsByClientId(const QString& clientId);
    Lookup LoadByClientId(const QString& clientId);

    int ID = 0;
    QString ClientID;
    QString PhoneNum;
    QString CreateDate;
    float Foregift = 0;
    float Balance = 0;
    QString Remark;

private:
    void ReadColumns(const CRecordset& rs);
};

// The statements of the client window's grid, newest first: every client, or the one of a number.
namespace ClientGrid {
QString All();
QString ByClientId(const QString& clientId);
// The quick find: Latin letters and digits by number, phone digits and the remark's pinyin keys
// (PinyinSearch.h); any other text anywhere in the number, phone or remark; an empty one finds all.
QString QuickFind(const QString& text);
} // namespace ClientGrid
