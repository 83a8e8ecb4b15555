#include "manage/CMemberCardDlg.h"

#include "base/UserSettings.h"
#include "data/COptionInfo.h"
#include "data/LabelRows.h"
#include "toolkit/CSheetBox.h"
#include "toolkit/LabelPreview.h"
#include "toolkit/MemberCard.h"
#include "toolkit/Prompts.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {
const QString kTitle = QStringLiteral("打印会员卡");
const QString kPhoneKey = QStringLiteral("cards/phone");
} // namespace

LabelSheet::Layout CMemberCardDlg::DefaultLayout() {
    LabelSheet::Layout layout;
    layout.single = MemberCard::Size();
    layout.rows = 5;
    layout.columns = 2;
    layout.top = layout.bottom = (297.0 - 5 * 54.0) / 2;
    layout.left = layout.right = (210.0 - 2 * 85.6) / 2;
    return layout;
}

CMemberCardDlg::CMemberCardDlg(QWidget* parent)
    : CDialog(parent), m_count(new QLabel(this)),
      m_phone(new QCheckBox(QStringLiteral("卡上印电话号码(&T)"), this)),
      m_sheet(new CSheetBox(QStringLiteral("cards"), DefaultLayout(), QStringLiteral("卡片打印机单张(&J)"),
                            this)),
      m_preview(new QPushButton(QStringLiteral("预览(&V)..."), this)) {
    setWindowTitle(kTitle);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    m_preview->setObjectName(QStringLiteral("previewButton"));
    m_preview->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_preview);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_count);
    layout->addWidget(m_phone);
    layout->addWidget(m_sheet);
    layout->addLayout(buttons);
    connect(m_preview, &QPushButton::clicked, this, &CMemberCardDlg::OnPreview);
    connect(close, &QPushButton::clicked, this, &CDialog::OnCancel);
}

bool CMemberCardDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const QString count = QStringLiteral("选中的客户：%1 位").arg(m_selected.size());
    m_count->setText(count);
    m_count->setAccessibleName(count);
    m_phone->setChecked(UserSettings::Open()->value(kPhoneKey, false).toBool());
    m_preview->setFocus();
    return true;
}

void CMemberCardDlg::OnPreview() {
    if (m_selected.isEmpty()) {
        Prompts::Refuse(QStringLiteral("请先在客户列表中选中要打印会员卡的客户。"));
        return;
    }
    m_clients.clear();
    m_placed.clear();
    QList<LabelRows::Client> clients;
    QString error;
    if (!LabelRows::ReadClients(LabelRows::ClientsByKeys(m_selected), &clients, &error)) {
        Prompter::ReportDatabaseError(error);
        return;
    }
    if (clients.isEmpty()) {
        Prompts::Refuse(QStringLiteral("选中的客户已不存在。"));
        return;
    }
    const LabelSheet::Layout layout = m_sheet->Layout();
    const QString fault = LabelSheet::Fault(layout, MemberCard::Size());
    if (!fault.isEmpty()) {
        Prompts::Refuse(fault);
        return;
    }
    m_sheet->Keep();
    m_clients = clients;
    UserSettings::Open()->setValue(kPhoneKey, m_phone->isChecked());
    Lookup found = Lookup::Found;
    const QString shopName = COptionInfo::Get(COptionInfo::kShopName, QString(), &found);
    if (found == Lookup::Failed)
        return;
    QList<MemberCard::Symbols> symbols;
    QStringList failed;
    m_qrOnly.clear();
    for (const LabelRows::Client& client : clients) {
        symbols << MemberCard::Make(client.number);
        if (!symbols.last().qr.IsMade())
            failed << client.number;
        else if (!symbols.last().code128.IsMade())
            m_qrOnly << client.number;
    }
    QStringList notes;
    notes << LabelPreview::Naming(QStringLiteral("会员号含 Code 128 不能表示的字符,只印二维码的卡"), m_qrOnly)
          << LabelPreview::Naming(QStringLiteral("会员号无法印成条码的卡"), failed);
    notes.removeAll(QString());
    const bool phone = m_phone->isChecked();
    const bool outline = !layout.roll;
    LabelPreview::Run(
        this, kTitle, m_sheet->PrinterKey(), layout, m_sheet->StartCell(), int(clients.size()),
        [&](QPainter& painter, int position, const QRectF& cell) {
            const LabelRows::Client& client = clients.at(position);
            MemberCard::Paint(painter, {client.number, client.phone}, symbols.at(position), shopName, phone,
                              outline, cell);
        },
        notes.join(QLatin1Char('\n')), &m_placed);
}
