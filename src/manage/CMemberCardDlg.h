#pragma once
// "打印会员卡" of the client window: a card for each client picked there, on A4 sheets of cards or
// one card a page for a card printer; shown in a print preview, from which it goes to the printer or
// to a PDF file.
#include "data/LabelRows.h"
#include "data/RowKey.h"
#include "toolkit/CDialog.h"
#include "toolkit/LabelSheet.h"

#include <QList>
#include <QStringList>

class CSheetBox;
class QCheckBox;
class QLabel;
class QPushButton;

class CMemberCardDlg : public CDialog {
    Q_OBJECT
public:
    explicit CMemberCardDlg(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    // Reads the clients, and shows their cards in the preview.
    void OnPreview();

    // The clients picked in the client window, by key.
    QList<RowKey> m_selected;

    QCheckBox* PhoneCheck() const { return m_phone; }
    CSheetBox* Sheet() const { return m_sheet; }
    QPushButton* PreviewButton() const { return m_preview; }
    // The clients of the last preview, in the order of their cards.
    const QList<LabelRows::Client>& Clients() const { return m_clients; }
    const QList<LabelSheet::Place>& Placed() const { return m_placed; }
    // The numbers printed as the QR code alone in the last preview.
    const QStringList& QrOnly() const { return m_qrOnly; }

    // A4 sheets of 2 × 5 cards, the cards edge to edge in the middle of the sheet.
    static LabelSheet::Layout DefaultLayout();

private:
    QLabel* m_count;
    QCheckBox* m_phone;
    CSheetBox* m_sheet;
    QPushButton* m_preview;
    QList<LabelRows::Client> m_clients;
    QList<LabelSheet::Place> m_placed;
    QStringList m_qrOnly;
};
