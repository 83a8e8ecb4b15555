#pragma once
// One row of the Client table and the table's statements.
#include "data/CAdoDb.h"

#include <QString>

class CClientInfo {
public:
    virtual ~CClientInfo() = default;

    bool Insert();
    bool Update(const QString& idText);
    bool DeleteById(const QString& idText);
    // A load that finds no row, or fails, leaves the record as it was.
    Lookup LoadById(const QString& idText); // ID keeps its value
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
