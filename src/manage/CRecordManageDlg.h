#pragma once
#include "data/CAdoDb.h"
#include "data/RowKey.h"
#include "toolkit/CBrowseDlg.h"

#include <memory>

namespace Ui {
class CRecordManageDlg;
}

// "租借记录管理": the rentals, newest first, with their film's name; narrowed by kind or by what is
// still out, or searched by client, film code, film name or lending date. Opens the client or film
// of a rental in its editor; an administrator may delete a rental.
class CRecordManageDlg : public CBrowseDlg {
    Q_OBJECT
public:
    explicit CRecordManageDlg(QWidget* parent = nullptr);
    ~CRecordManageDlg() override;

    bool OnInitDialog() override;
    void OnSelchangeFilter();
    void OnSearch();
    void OnClientInfo();
    void OnFilmInfo();
    void OnDelete();
    // Undoes the last lending or return of the row's rental, if made today.
    void OnUndo();

    QString m_strSearch;
    int m_nSearchKind = 0; // 客户编号, 影片编号, 影片名字, 租借日期

    Ui::CRecordManageDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    template <class Editor> void OpenNamed(Lookup found, int id, const QString& gone);
    bool DeleteRent(RowKey key);

    std::unique_ptr<Ui::CRecordManageDlg> m_ui;
};
