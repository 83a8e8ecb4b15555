#include "manage/ImportForm.h"

#include <QBoxLayout>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableView>

namespace {
QPushButton* Button(QDialog* dialog, const QString& text, const char* name) {
    auto* button = new QPushButton(text, dialog);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(true);
    return button;
}

// Two choices in a box of their own; the first is checked.
QGroupBox* Choice(QDialog* dialog, const QString& title, QRadioButton* first, QRadioButton* second) {
    auto* box = new QGroupBox(title, dialog);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(first);
    layout->addWidget(second);
    first->setChecked(true);
    return box;
}
} // namespace

ImportForm::Widgets ImportForm::Build(QDialog* dialog, Import::What what) {
    const bool films = what == Import::What::Films;
    dialog->setWindowTitle(films ? QStringLiteral("导入影片") : QStringLiteral("导入客户"));
    Widgets w{};
    auto* outer = new QVBoxLayout(dialog);

    auto* fileRow = new QHBoxLayout;
    auto* fileLabel = new QLabel(QStringLiteral("文件(&F)："), dialog);
    w.fileEdit = new QLineEdit(dialog);
    w.fileEdit->setObjectName(QStringLiteral("fileEdit"));
    w.fileEdit->setReadOnly(true);
    fileLabel->setBuddy(w.fileEdit);
    w.chooseButton = Button(dialog, QStringLiteral("选择文件(&O)..."), "chooseButton");
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(w.fileEdit, 1);
    fileRow->addWidget(w.chooseButton);
    outer->addLayout(fileRow);
    w.fileInfo = new QLabel(
        QStringLiteral("可读 UTF-8(带或不带 BOM)和 GBK 编码,逗号、分号或制表符分隔的 CSV 文件。"), dialog);
    w.fileInfo->setObjectName(QStringLiteral("fileInfo"));
    outer->addWidget(w.fileInfo);

    auto* middle = new QHBoxLayout;
    auto* mappingBox = new QGroupBox(QStringLiteral("文件的列 → 导入为"), dialog);
    auto* scroll = new QScrollArea(mappingBox);
    scroll->setWidgetResizable(true);
    auto* mappingPanel = new QWidget(scroll);
    w.mappingForm = new QFormLayout(mappingPanel);
    scroll->setWidget(mappingPanel);
    (new QVBoxLayout(mappingBox))->addWidget(scroll);
    mappingBox->setMinimumWidth(360);
    middle->addWidget(mappingBox, 1);

    auto* choices = new QVBoxLayout;
    auto* skipRadio = new QRadioButton(QStringLiteral("跳过该行(&S)"), dialog);
    w.updateRadio = new QRadioButton(QStringLiteral("更新文件中有的字段(&P)"), dialog);
    w.updateRadio->setObjectName(QStringLiteral("updateRadio"));
    choices->addWidget(Choice(dialog, QStringLiteral("编号店里已有时"), skipRadio, w.updateRadio));
    if (films) {
        auto* refuseRadio = new QRadioButton(QStringLiteral("拒绝该行(&R)"), dialog);
        w.acceptRadio = new QRadioButton(QStringLiteral("按文件原文接受(&A)"), dialog);
        w.acceptRadio->setObjectName(QStringLiteral("acceptRadio"));
        choices->addWidget(
            Choice(dialog, QStringLiteral("类型、分类、地区不在列表中时"), refuseRadio, w.acceptRadio));
    }
    w.trialButton = Button(dialog, QStringLiteral("试运行(&T)"), "trialButton");
    choices->addWidget(w.trialButton);
    choices->addStretch();
    middle->addLayout(choices);
    outer->addLayout(middle, 2);

    w.counts = new QLabel(dialog);
    w.counts->setObjectName(QStringLiteral("counts"));
    w.counts->setWordWrap(true);
    outer->addWidget(w.counts);
    w.grid = new QTableView(dialog);
    w.grid->setObjectName(QStringLiteral("planGrid"));
    w.grid->setAccessibleName(QStringLiteral("试运行结果"));
    w.grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    w.grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    w.grid->verticalHeader()->hide();
    w.grid->horizontalHeader()->setStretchLastSection(true);
    w.grid->setTabKeyNavigation(false);
    outer->addWidget(w.grid, 3);

    auto* buttons = new QHBoxLayout;
    w.importButton = Button(dialog, QStringLiteral("导入(&I)"), "importButton");
    w.undoButton = Button(dialog, QStringLiteral("撤销上次导入(&U)"), "undoButton");
    w.closeButton = Button(dialog, QStringLiteral("关闭"), "closeButton");
    buttons->addWidget(w.importButton);
    buttons->addWidget(w.undoButton);
    buttons->addStretch();
    buttons->addWidget(w.closeButton);
    outer->addLayout(buttons);
    dialog->resize(900, 620);
    return w;
}
