#pragma once
// The reservations' window, the return and the lending driven as a clerk drives them, and the
// reservations as the file holds them.
#include "DeskFixture.h"

#include "desk/CExchangeDlg.h"
#include "desk/CLendDlg.h"
#include "desk/CReserveDlg.h"
#include "desk/CReturnDlg.h"
#include "ui_CExchangeDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CReserveDlg.h"
#include "ui_CReturnDlg.h"

namespace ReserveDesk {
// Adds a reservation through the window; the window stays open.
inline void Reserve(const QString& client, const QString& film, bool thisDiscOnly = false) {
    CReserveDlg dlg;
    dlg.show();
    dlg.OnInitDialog();
    TypeText(dlg.Form()->clientEdit, client);
    TypeText(dlg.Form()->filmEdit, film);
    dlg.Form()->discOnlyCheck->setChecked(thisDiscOnly);
    QTest::mouseClick(dlg.Form()->addButton, Qt::LeftButton);
}

// Returns the film through the return's form; true when it closed with OK.
inline bool Return(const QString& film) {
    CReturnDlg dlg;
    dlg.show();
    dlg.OnInitDialog();
    TypeText(dlg.Form()->filmEdit, film);
    QTest::mouseClick(dlg.Form()->okButton, Qt::LeftButton);
    return dlg.IsEnded() && dlg.Result() == IDOK;
}

// Lends the film on the month to the client, or for the day with no client; true when lent.
inline bool Lend(const QString& client, const QString& film) {
    CLendDlg dlg;
    dlg.show();
    dlg.OnInitDialog();
    if (client.isEmpty()) {
        Pick(dlg.Form()->typeCombo, QStringLiteral("零租"));
        dlg.Form()->depositEdit->clear();
        TypeText(dlg.Form()->depositEdit, QStringLiteral("20"));
    } else {
        TypeText(dlg.Form()->clientEdit, client);
    }
    TypeText(dlg.Form()->filmEdit, film);
    QTest::mouseClick(dlg.Form()->okButton, Qt::LeftButton);
    return dlg.IsEnded() && dlg.Result() == IDOK;
}

// Exchanges a film out for another through the form; true when it closed with OK.
inline bool Exchange(const QString& oldFilm, const QString& newFilm) {
    CExchangeDlg dlg;
    dlg.show();
    dlg.OnInitDialog();
    TypeText(dlg.Form()->oldFilmEdit, oldFilm);
    TypeText(dlg.Form()->newFilmEdit, newFilm);
    QTest::mouseClick(dlg.Form()->okButton, Qt::LeftButton);
    return dlg.IsEnded() && dlg.Result() == IDOK;
}

// The client's reservations, oldest first: the state, and the disc and its last day once one was held.
inline QString Of(const QString& client) {
    return Db::Rows(
        QStringLiteral("SELECT State || CASE WHEN HeldFilmID = '' THEN '' ELSE ' ' || HeldFilmID || "
                       "' ' || HeldUntil END FROM Reservation WHERE ClientID='%1' ORDER BY ID")
            .arg(client),
        QLatin1Char(' '), QLatin1Char(','));
}
} // namespace ReserveDesk
