#include "toolkit/CDialog.h"

#include "base/Prompter.h"
#include "toolkit/DataExchange.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPushButton>

namespace {
CDialog::ModalRunner& Runner() {
    static CDialog::ModalRunner runner;
    return runner;
}
} // namespace

CDialog::CDialog(QWidget* parent) : QDialog(parent) {}

CDialog::ModalRunner CDialog::SetModalRunner(ModalRunner runner) {
    std::swap(Runner(), runner);
    return runner;
}

int CDialog::DoModal() {
    m_result = IDCANCEL;
    m_ended = false;
    if (!OnInitDialog())
        return IDCANCEL;
    if (Runner())
        Runner()(*this);
    else
        exec();
    return m_ended ? m_result : IDCANCEL;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    QDialog::done(result == IDOK ? QDialog::Accepted : QDialog::Rejected);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

void CDialog::DoDataExchange(CDataExchange&) {}

QStringList CDialog::ButtonsWithoutAutoDefault(const QWidget& form) {
    QStringList names;
    for (const QPushButton* button : form.findChildren<QPushButton*>()) {
        if (button->window() == &form && !button->autoDefault())
            names << (button->objectName().isEmpty() ? button->text() : button->objectName());
    }
    return names;
}

void CDialog::showEvent(QShowEvent* event) {
    const QStringList bad = ButtonsWithoutAutoDefault(*this);
    if (!bad.isEmpty()) {
        const QByteArray text = (QString::fromLatin1(metaObject()->className()) +
                                 QStringLiteral(": Enter on a focused ") + bad.join(QStringLiteral(", ")) +
                                 QStringLiteral(" presses the default button; keep autoDefault on"))
                                    .toUtf8();
#ifdef QT_NO_DEBUG
        qCritical("%s", text.constData());
#else
        qFatal("%s", text.constData());
#endif
    }
    QDialog::showEvent(event);
}

namespace {
class EnterFilter : public QObject {
public:
    EnterFilter(QObject* note, QAbstractButton* button) : QObject(note), m_button(button) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_button->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QAbstractButton* m_button;
};
} // namespace

void CDialog::EnterPresses(QWidget* note, QAbstractButton* button) {
    note->installEventFilter(new EnterFilter(note, button));
}

void CDialog::ConnectButtons(QAbstractButton* ok, QAbstractButton* cancel) {
    connect(ok, &QAbstractButton::clicked, this, &CDialog::OnOK);
    connect(cancel, &QAbstractButton::clicked, this, &CDialog::OnCancel);
}
