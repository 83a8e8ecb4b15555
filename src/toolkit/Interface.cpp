#include "toolkit/Interface.h"

#include "base/Prompter.h"
#include "toolkit/ChineseLocale.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
class MessageBoxPrompter : public IPrompter {
public:
    MsgResult Show(const MessageRequest& request) override {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(request.caption);
        box.setText(request.text);
        box.setIcon(Icon(request.icon));
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        if (request.buttons == MsgButtons::YesNo)
            buttons = QMessageBox::Yes | QMessageBox::No;
        else if (request.buttons == MsgButtons::OkCancel)
            buttons = QMessageBox::Ok | QMessageBox::Cancel;
        box.setStandardButtons(buttons);
        box.setDefaultButton(Standard(request.defaultButton));
        switch (box.exec()) {
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        case QMessageBox::Cancel:
            return IDCANCEL;
        default:
            // Escape on a Yes/No box answers No, as the close box does.
            return request.buttons == MsgButtons::YesNo && box.clickedButton() != box.button(QMessageBox::Yes)
                       ? IDNO
                       : IDOK;
        }
    }

private:
    static QMessageBox::Icon Icon(MsgIcon icon) {
        switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::None:
            break;
        }
        return QMessageBox::NoIcon;
    }
    static QMessageBox::StandardButton Standard(MsgResult result) {
        switch (result) {
        case IDYES:
            return QMessageBox::Yes;
        case IDNO:
            return QMessageBox::No;
        case IDCANCEL:
            return QMessageBox::Cancel;
        case IDOK:
            break;
        }
        return QMessageBox::Ok;
    }
};
} // namespace

void Toolkit::InstallInterface(QApplication& app) {
    Prompter::Set(std::make_unique<MessageBoxPrompter>());
    UseChinese(app);
}
