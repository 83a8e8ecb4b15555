#pragma once
#include "data/RowKey.h"
#include "toolkit/CBrowseDlg.h"

#include <memory>

class CQuickFind;

namespace Ui {
class CFilmManageDlg;
}

// "影片管理": the film catalogue in a grid, narrowed by genre and region or searched by code, title
// or actor. Administrators add, change and delete films; everyone else only browses.
class CFilmManageDlg : public CBrowseDlg {
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
    // 打印标签: labels for the films picked in the grid, or others chosen in its dialog.
    void OnLabels();
    void OnQuickFind(const QString& text);

    QString m_strSearch;
    int m_nSearchKind = 0; // 编号, 片名, 主演

    Ui::CFilmManageDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    static bool ReservedNote(const QString& filmId, QString* note);
    bool DeleteFilm(RowKey key, QString* refusal);

    std::unique_ptr<Ui::CFilmManageDlg> m_ui;
    CQuickFind* m_quickFind;
};
