#pragma once
// One row of the Operator table and the table's statements.
#include "data/CAdoDb.h"
#include "data/RowKey.h"

#include <QString>

class COperatorInfo {
public:
    // The most the forms take for a name or a password, in GBK bytes.
    static constexpr int kTextBytes = 20;
    // The administrator and the password a new shop file comes with, as the README gives them.
    static constexpr const char* kFirstAdmin = "Admin";
    static constexpr const char* kFirstPassword = "admin";

    virtual ~COperatorInfo() = default;

    bool Insert();
    bool Update(RowKey key);
    bool DeleteById(RowKey key);
    // A load that finds no row, or fails, leaves the record as it was.
    Lookup LoadById(RowKey key); // ID keeps its value
    Lookup ExistsByOptName(const QString& name);
    Lookup LoadByOptName(const QString& name);

    int ID = 0;
    QString OptName;
    QString OptPwd;
    QString Type;
};

// The statement of the operator window's list.
namespace OperatorList {
QString All();
} // namespace OperatorList
