#pragma once
// One row of the Operator table and the table's statements.
#include <QString>

class COperatorInfo {
public:
    virtual ~COperatorInfo() = default;

    bool Insert();
    bool Update(const QString& idText);
    bool DeleteById(const QString& idText);
    void LoadById(const QString& idText); // ID keeps its value
    bool ExistsByOptName(const QString& name);
    void LoadByOptName(const QString& name);

    int ID = 0;
    QString OptName;
    QString OptPwd;
    QString Type;
};
