#include "toolkit/CQuickFind.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>

namespace {
// How long typing pauses before the rows follow the text, as at the desk's pickers.
constexpr int kPauseMs = 250;

// Enter finds at once and goes no further: the dialog's default button belongs to its own search.
class FindEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        QLineEdit::keyPressEvent(event);
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            event->accept();
    }
};
} // namespace

CQuickFind::CQuickFind(const QString& label, const QString& hint, QWidget* parent)
    : QWidget(parent), m_edit(new FindEdit(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(m_edit);
    layout->addWidget(caption);
    layout->addWidget(m_edit);
    m_edit->setObjectName(QStringLiteral("quickFindEdit"));
    m_edit->setPlaceholderText(hint);
    m_edit->setAccessibleName(QString(label).remove(QLatin1Char('&')).remove(QStringLiteral("(Q)")));
    m_edit->setAccessibleDescription(hint);
    m_edit->setMinimumWidth(160);
    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(m_edit, &QLineEdit::textEdited, &m_pause, qOverload<>(&QTimer::start));
    connect(&m_pause, &QTimer::timeout, this, &CQuickFind::FindNow);
    connect(m_edit, &QLineEdit::returnPressed, this, &CQuickFind::FindNow);
}

void CQuickFind::FindNow() {
    m_pause.stop();
    emit Find(m_edit->text());
}
