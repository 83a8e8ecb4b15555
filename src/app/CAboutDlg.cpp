#include "app/CAboutDlg.h"

#include "app/Artwork.h"
#include "ui_CAboutDlg.h"

#include <QDir>

namespace {
constexpr int kFolderWidth = 600; // pixels
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CAboutDlg>()) {
    m_ui->setupUi(this);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CAboutDlg::OnOK);
}

CAboutDlg::~CAboutDlg() = default;

bool CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_ui->iconLabel->setPixmap(Artwork::AppIcon().pixmap(48, 48));
    // The path on a line of its own, shortened in the middle where it would make the box wider than
    // a counter's screen; the whole path is in the tooltip.
    const QString folder = QDir::toNativeSeparators(m_strShopFolder);
    m_ui->folderLabel->setText(QStringLiteral("数据文件夹:\n") + m_ui->folderLabel->fontMetrics().elidedText(
                                                                     folder, Qt::ElideMiddle, kFolderWidth));
    m_ui->folderLabel->setToolTip(folder);
    m_ui->folderLabel->setVisible(!m_strShopFolder.isEmpty());
    m_ui->okButton->setFocus();
    return true;
}
