#pragma once
#include "toolkit/CBrowseDlg.h"

#include <memory>

class CQuickFind;

namespace Ui {
class CClientManageDlg;
}

// "客户管理": the shop's customers in a grid, looked up by client number. Administrators add,
// change and delete customers (with their rentals); everyone else only looks.
class CClientManageDlg : public CBrowseDlg {
    Q_OBJECT
public:
    explicit CClientManageDlg(QWidget* parent = nullptr);
    ~CClientManageDlg() override;

    bool OnInitDialog() override;
    void OnSearch();
    void OnAdd();
    void OnModify();
    void OnDelete();
    // 打印会员卡: cards for the clients picked in the grid.
    void OnCards();
    void OnQuickFind(const QString& text);

    QString m_strSearch;

    Ui::CClientManageDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    static bool ReservedNote(const QString& clientId, QString* note);
    std::unique_ptr<Ui::CClientManageDlg> m_ui;
    CQuickFind* m_quickFind;
};
