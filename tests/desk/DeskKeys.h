#pragma once
// The desk's forms as the clerk's keys reach them: shown and active, codes ended by Enter.
#include <QApplication>
#include <QTest>
#include <QWidget>

// Shows the form as the counter opens it and waits until it has the keyboard.
template <typename Dialog> void ShowForKeys(Dialog& dialog) {
    dialog.show();
    dialog.OnInitDialog();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

// Keys as a scanner sends them: the code, then Enter, to whatever has the focus.
inline void ScanCode(const QString& code) {
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClicks(focus, code);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}
