#pragma once
#include "data/AuditTrail.h"
#include "toolkit/CDialog.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

// "小票": the shop's name and the receipts after a lending, a return and a top-up, to the printer
// or as PDF files beside the shop's file; kept in the shop's file for every desk. Off until an
// administrator turns them on; everyone may look.
class CReceiptSettingDlg : public CDialog {
    Q_OBJECT
public:
    explicit CReceiptSettingDlg(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;

    QString m_strShopName;
    QLineEdit* m_shopName;
    QCheckBox* m_receipts;
    QRadioButton* m_toPrinter;
    QRadioButton* m_toPdf;
    QPushButton* m_okButton;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    static AuditTrail::Fields Stored();
    static bool WriteTrail(const AuditTrail::Fields& before);
};
