#pragma once
#include "data/CAdoDb.h"
#include "toolkit/CDialog.h"

#include <memory>

class CFilmInfo;

namespace Ui {
class CExchangeDlg;
}
class QLabel;
class QLineEdit;

// "租借更换": moves the out rental of one film to another film, within the same rental.
class CExchangeDlg : public CDialog {
    Q_OBJECT
public:
    explicit CExchangeDlg(QWidget* parent = nullptr);
    ~CExchangeDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;

    QString m_strOptName;
    QString m_strNewFilmID;
    QString m_strOldFilmID;
    // What the last successful action did, in one line for the main window's status bar.
    QString m_strDone;
    QString m_strHeld; // the hold the old disc made for a reservation, to tell the clerk

    Ui::CExchangeDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    // The checks before the confirmation, and the films they show.
    bool Find(CFilmInfo& oldFilm, CFilmInfo& newFilm, QString* refusal);
    bool Exchange(QString* refusal);
    // Desk::Check that also notes the field its refusal would be about.
    bool Check(QLineEdit* field, Lookup result, Lookup wanted, const QString& text, QString* refusal);
    void Refused(const QString& refusal);
    static QString OldNotOut();
    static QString NewOut();

    std::unique_ptr<Ui::CExchangeDlg> m_ui;
    QLabel* m_oldFilmInfo;
    QLabel* m_newFilmInfo;
    QLineEdit* m_refused = nullptr; // the field of the refusal held, if any
};
