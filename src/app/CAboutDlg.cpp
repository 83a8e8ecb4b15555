#include "app/CAboutDlg.h"

#include "app/Artwork.h"
#include "ui_CAboutDlg.h"

#include <QDir>

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CAboutDlg>()) {
    m_ui->setupUi(this);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CAboutDlg::OnOK);
}

CAboutDlg::~CAboutDlg() = default;

bool CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_ui->iconLabel->setPixmap(Artwork::AppIcon().pixmap(48, 48));
    m_ui->folderLabel->setText(QStringLiteral("数据文件夹:") + QDir::toNativeSeparators(m_strShopFolder));
    m_ui->folderLabel->setVisible(!m_strShopFolder.isEmpty());
    m_ui->okButton->setFocus();
    return true;
}
