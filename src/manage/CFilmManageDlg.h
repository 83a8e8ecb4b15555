#pragma once
#include "toolkit/CDialog.h"

#include <memory>

class CAdodc;
namespace Ui {
class CFilmManageDlg;
}

// "影片管理": the film catalogue in a grid, narrowed by genre and region or searched by code, title
// or actor. Administrators add, change and delete films; everyone else only browses.
class CFilmManageDlg : public CDialog {
    Q_OBJECT
public:
    explicit CFilmManageDlg(QWidget* parent = nullptr);
    ~CFilmManageDlg() override;

    bool OnInitDialog() override;
    void OnSelchangeFilter();
    void OnSearch();
    void OnAdd();
    void OnModify();
    void OnDelete();

    // The statement the grid shows; each filter or search replaces it whole.
    QString m_strQuery;
    QString m_strSearch;
    int m_nSearchKind = 0; // 编号, 片名, 主演

    Ui::CFilmManageDlg* Form() const { return m_ui.get(); }
    CAdodc* DataControl() const { return m_adodc; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    // Runs the current query again and lays out the columns.
    void ShowQuery();
    // Opens the editor on a key ("" for a new film); true when it saved.
    bool Edit(const QString& key);

    std::unique_ptr<Ui::CFilmManageDlg> m_ui;
    CAdodc* m_adodc;
};
