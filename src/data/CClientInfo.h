#pragma once
// One row of the Client table and the table's statements.
#include <QString>

class CRecordset;

class CClientInfo {
public:
    virtual ~CClientInfo() = default;

    bool Insert();
    bool Update(const QString& idText);
    bool DeleteById(const QString& idText);
    void LoadById(const QString& idText); // ID keeps its value
    bool ExistsByClientId(const QString& clientId);
    void LoadByClientId(const QString& clientId);

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
