#include "manage/ImportButton.h"

#include "access/Session.h"
#include "manage/CImportDlg.h"

#include <QBoxLayout>
#include <QPushButton>

void ImportButton::Offer(QWidget* window, QBoxLayout* buttons, int at, Import::What what,
                         std::function<void()> refresh) {
    auto* button = new QPushButton(QStringLiteral("导入"), window);
    button->setObjectName(QStringLiteral("importButton"));
    button->setToolTip(QStringLiteral("从 CSV 文件导入(管理员)"));
    button->setEnabled(Session::Current().IsAdministrator());
    buttons->insertWidget(at, button);
    QObject::connect(button, &QPushButton::clicked, window, [window, what, refresh] {
        if (!Session::Current().IsAdministrator())
            return;
        CImportDlg dialog(what, window);
        dialog.DoModal();
        refresh();
    });
}
