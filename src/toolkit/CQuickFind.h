#pragma once
// A quick find beside a window's own search: a labelled line whose text is looked up as typing
// pauses, or at once on Enter (which it keeps from the dialog's default button).
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

class QLabel;

class CQuickFind : public QWidget {
    Q_OBJECT
public:
    // label: the label's text with its mnemonic; hint: what may be typed, told to screen readers
    // and shown as the line's placeholder.
    CQuickFind(const QString& label, const QString& hint, QWidget* parent = nullptr);

    QLineEdit* Edit() const { return m_edit; }
    // Looks up the text as it is now.
    void FindNow();

signals:
    void Find(const QString& text);

private:
    QLineEdit* m_edit;
    QTimer m_pause;
};
