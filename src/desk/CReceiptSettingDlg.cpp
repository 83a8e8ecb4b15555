#include "desk/CReceiptSettingDlg.h"

#include "access/Session.h"
#include "data/AuditTrail.h"
#include "data/CAdoDb.h"
#include "data/COptionInfo.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Receipt.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

CReceiptSettingDlg::CReceiptSettingDlg(QWidget* parent)
    : CDialog(parent), m_shopName(new QLineEdit(this)),
      m_receipts(new QCheckBox(QStringLiteral("借出、还回和充值后打印小票(&R)"), this)),
      m_toPrinter(new QRadioButton(QStringLiteral("打印机(&P)"), this)),
      m_toPdf(new QRadioButton(QStringLiteral("PDF 文件(&F)"), this)),
      m_okButton(new QPushButton(QStringLiteral("确定"), this)) {
    setWindowTitle(QStringLiteral("小票"));
    m_shopName->setMaxLength(40);
    m_shopName->setPlaceholderText(QStringLiteral("印在小票的最上面"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("店名(&N)："), m_shopName);
    form->addRow(QString(), m_receipts);
    auto* to = new QHBoxLayout;
    to->addWidget(m_toPrinter);
    to->addWidget(m_toPdf);
    to->addStretch();
    form->addRow(QStringLiteral("打印到："), to);
    auto* folder =
        new QLabel(QStringLiteral("PDF 小票存放在 ") + QDir::toNativeSeparators(Receipt::Folder()), this);
    folder->setWordWrap(true);
    form->addRow(QString(), folder);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_okButton);
    buttons->addStretch();
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    buttons->addWidget(cancel);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addLayout(buttons);
    m_okButton->setDefault(true);
    ConnectButtons(m_okButton, cancel);
    resize(420, sizeHint().height());
}

void CReceiptSettingDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_shopName, m_strShopName);
}

bool CReceiptSettingDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    Lookup found = Lookup::Found;
    const QString name = COptionInfo::Get(COptionInfo::kShopName, QString(), &found);
    if (found == Lookup::Failed)
        return false; // its message is shown; nothing would be saved over the settings
    m_strShopName = name;
    UpdateData(false);
    m_receipts->setChecked(COptionInfo::Get(COptionInfo::kReceipts, QString()) == QStringLiteral("1"));
    const bool pdf = COptionInfo::Get(COptionInfo::kReceiptTo, QString()) == QStringLiteral("pdf");
    m_toPdf->setChecked(pdf);
    m_toPrinter->setChecked(!pdf);
    m_okButton->setEnabled(Session::Current().IsAdministrator());
    m_shopName->setFocus();
    return true;
}

void CReceiptSettingDlg::OnOK() {
    if (!m_okButton->isEnabled())
        return; // Enter on a disabled "确定" saves nothing
    // The slip prints what the shop's text can hold (GBK, as every text of the shop): a name with a
    // character beyond it is refused as the editors refuse one, rather than printed without it.
    if (!UpdateData(true))
        return;
    CTransaction saving;
    const AuditTrail::Fields before = Stored();
    if (!COptionInfo::Set(COptionInfo::kShopName, m_strShopName.trimmed()) ||
        !COptionInfo::Set(COptionInfo::kReceipts,
                          m_receipts->isChecked() ? QStringLiteral("1") : QStringLiteral("0")) ||
        !COptionInfo::Set(COptionInfo::kReceiptTo,
                          m_toPdf->isChecked() ? QStringLiteral("pdf") : QStringLiteral("printer")) ||
        !WriteTrail(before) || !saving.Commit())
        return;
    EndDialog(IDOK);
}

// The settings as stored, for the trail's before and after.
AuditTrail::Fields CReceiptSettingDlg::Stored() {
    return {{QStringLiteral("店名"), COptionInfo::Get(COptionInfo::kShopName, QString())},
            {QStringLiteral("打印小票"), COptionInfo::Get(COptionInfo::kReceipts, QString())},
            {QStringLiteral("打印到"), COptionInfo::Get(COptionInfo::kReceiptTo, QString())}};
}

bool CReceiptSettingDlg::WriteTrail(const AuditTrail::Fields& before) {
    const QString changes = AuditTrail::Changes(before, Stored());
    return changes.isEmpty() ||
           AuditTrail::Write(Session::Current().UserName(), AuditTrail::kReceipts, QString(), changes);
}
