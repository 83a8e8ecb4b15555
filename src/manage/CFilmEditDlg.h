#pragma once
#include "data/RowKey.h"
#include "toolkit/CDialog.h"

#include <QDateTime>
#include <memory>

class CFilmInfo;
namespace Ui {
class CFilmEditDlg;
}

// "编辑影片信息": enters a new film or changes one. Set m_strID to the film's row key as text ("" for
// a new film) before DoModal; IDOK means a row was written.
class CFilmEditDlg : public CDialog {
    Q_OBJECT
public:
    explicit CFilmEditDlg(QWidget* parent = nullptr);
    ~CFilmEditDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;

    QString m_strID;     // the key passed in
    QString m_strOldID;  // the code as loaded, to tell whether it was changed
    QString m_strFilmID; // 编号
    QString m_strFilmName;
    QString m_strPlayactor;
    int m_nType = 0; // 0 "VCD", 1 "DVD"
    int m_nClass1 = 0;
    int m_nClass2 = 0;
    QDateTime m_tmStgDate;
    int m_nDegree = 0;
    QString m_strRemark;

    Ui::CFilmEditDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    bool LoadFilm();
    bool Save(QString* refusal);
    bool WriteTrail(const CFilmInfo& before, const CFilmInfo& after) const;

    RowKey m_key = RowKey::FromText(QString()); // m_strID, parsed once when the form opens
    std::unique_ptr<Ui::CFilmEditDlg> m_ui;
};
