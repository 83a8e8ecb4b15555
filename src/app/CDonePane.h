#pragma once
// The status bar's line of what the desk has just done ("已借出 F001《英雄》给 C001,…"). It stands
// in place of the idle text for a while, as a label, so that the accessibility tree carries it;
// too long for the bar it is elided in the middle, and the whole text is its tooltip and its
// accessible name.
#include <QLabel>
#include <QTimer>

class CDonePane : public QLabel {
    Q_OBJECT
public:
    // idle: the pane it covers while it shows.
    CDonePane(QLabel* idle, QWidget* parent);

    // Shows the text for this long, then the idle text again.
    void Show(const QString& text, int ms);
    QString WholeText() const { return m_whole; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Fit();
    void Done();

    QLabel* m_idle;
    QString m_whole;
    QTimer m_shown;
};
