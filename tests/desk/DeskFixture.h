#pragma once
// A shop with a few films and clients for the desk's dialogs, and a fixed "today".
#include "Shop.h"

#include "access/Session.h"
#include "data/CAdoDb.h"

#include <QTest>
#include <optional>

struct DeskShop {
    TempShop shop;
    BoxRecorder boxes;
    SignedIn user;
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(15, 30))};

    explicit DeskShop(const QString& operatorName = QStringLiteral("Admin"),
                      const QString& operatorType = QStringLiteral("管理员"))
        : user(operatorName, operatorType) {
        AddFilm(QStringLiteral("V1"), QStringLiteral("VCD"), QStringLiteral("英雄"));
        AddFilm(QStringLiteral("D1"), QStringLiteral("DVD"), QStringLiteral("无间道"));
        AddClient(QStringLiteral("C1"), 100);
    }

    static void AddFilm(const QString& code, const QString& type, const QString& name, int degree = 0) {
        QVERIFY(
            Db::Exec(QStringLiteral("INSERT INTO Film (FilmID,FilmName,Type,Class1,Class2,StgDate,Degree) "
                                    "VALUES('%1','%2','%3','动作片','大陆','2026-01-01',%4)")
                         .arg(code, name, type)
                         .arg(degree)));
    }
    static void AddClient(const QString& code, double balance) {
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Client (ClientID,PhoneNum,CreateDate,Foregift,Balance) "
                                        "VALUES('%1','123','2026-01-01',50,%2)")
                             .arg(code)
                             .arg(balance, 0, 'f', 6)));
    }
    static void AddOutRental(const QString& film, const QString& client, const QString& type,
                             double deposit) {
        QVERIFY(
            Db::Exec(QStringLiteral("INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,"
                                    "OptUser) VALUES('%1','%2','%3',%4,'2026-12-01','','lender')")
                         .arg(client, film, type)
                         .arg(deposit, 0, 'f', 6)));
    }
    static QString Balance(const QString& client) {
        return Db::Value(QStringLiteral("SELECT printf('%.2f', Balance) AS v FROM Client WHERE ClientID='") +
                         client + QStringLiteral("'"));
    }
    static int Degree(const QString& film) {
        return Db::Value(QStringLiteral("SELECT Degree AS v FROM Film WHERE FilmID='") + film +
                         QStringLiteral("'"))
            .toInt();
    }
    // Everything the desk may change, as one text: a refusal must leave it as it was.
    static QString Snapshot() {
        return Db::Value(QStringLiteral(
            "SELECT (SELECT group_concat(ClientID||':'||Balance, ',') FROM Client) || '|' ||"
            " (SELECT group_concat(FilmID||':'||Degree, ',') FROM Film) || '|' ||"
            " (SELECT group_concat(ID||FilmID||ClientID||Type||Foregift||BorrowDate||ReturnDate||OptUser, "
            "',')"
            "  FROM Record) AS v"));
    }
};

// The one refusal box of the desk.
inline void ExpectRefusal(const BoxRecorder& boxes, const QString& message) {
    QCOMPARE(boxes.Texts(), QStringList{message});
    QCOMPARE(boxes.Boxes().first().caption, QStringLiteral("提示"));
    QCOMPARE(boxes.Boxes().first().icon, MsgIcon::Warning);
    QCOMPARE(boxes.Boxes().first().buttons, MsgButtons::Ok);
}

// The confirmation box before a return or an exchange.
inline void ExpectQuestion(const MessageRequest& box, const QString& text) {
    QCOMPARE(box.text, text);
    QCOMPARE(box.caption, QStringLiteral("请确定"));
    QCOMPARE(box.icon, MsgIcon::Question);
    QCOMPARE(box.buttons, MsgButtons::YesNo);
    QCOMPARE(box.defaultButton, IDYES);
}

class CLendDlg;
// Lends through the dialog as a clerk does, on the month to the client or, with a deposit typed,
// for the day; on that date when one is given. The dialog must close.
void LendAsClerk(CLendDlg& lend, const QString& client, const QString& film,
                 const QString& deposit = QString(), const QDate& day = QDate());

// One statement of another desk, on a connection of its own; its failure's code (Ok when it ran).
EngineError::Code ForeignExec(const char* sql, int busyTimeoutMs = 0);

// A lasting write lock of another program on the test's database.
class ForeignWriteLock {
public:
    ForeignWriteLock();
    ~ForeignWriteLock();

private:
    ConnectionHandle m_db;
};
