#include "data/CDeskAction.h"

#include "base/Clock.h"
#include "data/Sql.h"

const QString CDeskAction::kLend = QStringLiteral("借出");
const QString CDeskAction::kReturn = QStringLiteral("还回");

namespace {
QString Now() {
    return Clock::Now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// The client's balance, as a subquery: the row a client number finds first.
QString BalanceOf(const QString& clientExpression) {
    return QStringLiteral("(SELECT Balance FROM Client WHERE ClientID=%1 ORDER BY ID LIMIT 1)")
        .arg(clientExpression);
}

// The row Begin wrote: the last one, the desk's writes being one at a time.
const QString kLast = QStringLiteral("(SELECT MAX(ID) FROM DeskAction)");
} // namespace

bool CDeskAction::Begin(const QString& kind, const QString& optUser, const QString& clientId, int rentId,
                        const QString& filmId) {
    const QString client = QLatin1Char('\'') + Sql::Text(clientId) + QLatin1Char('\'');
    CAdoDb db;
    return db.Execute(
        QStringLiteral(
            "INSERT INTO DeskAction (At,OptUser,Kind,RentID,FilmID,ClientID,BalanceBefore,RentUser,"
            "FirstLedger) VALUES('%1','%2','%3',%4,'%5',%6,IFNULL(%7,0),IFNULL((SELECT OptUser "
            "FROM Record WHERE ID=%4),''),IFNULL((SELECT MAX(ID) FROM Ledger),0))")
            .arg(Now(), Sql::Text(optUser), Sql::Text(kind), Sql::Int(rentId), Sql::Text(filmId), client,
                 BalanceOf(client)));
}

bool CDeskAction::Finish() {
    CAdoDb db;
    return db.Execute(
        QStringLiteral("UPDATE DeskAction SET RentID=CASE WHEN RentID=0 THEN IFNULL((SELECT ID FROM Record "
                       "WHERE FilmID=DeskAction.FilmID AND ReturnDate=''),0) ELSE RentID END, "
                       "BalanceAfter=IFNULL(%1,0), LastLedger=IFNULL((SELECT MAX(ID) FROM Ledger),0) "
                       "WHERE ID=%2")
            .arg(BalanceOf(QStringLiteral("DeskAction.ClientID")), kLast));
}

Lookup CDeskAction::Read(const QString& where) {
    CAdoDb db;
    const CRecordset& rs = db.Query(
        QStringLiteral("SELECT ID,At,OptUser,Kind,RentID,FilmID,ClientID,RentUser,FirstLedger,LastLedger,"
                       "UndoneAt,CASE WHEN BalanceBefore=BalanceAfter THEN 0 ELSE 1 END AS Changed FROM "
                       "DeskAction WHERE ") +
        where);
    if (rs.Result() != Lookup::Found)
        return rs.Result();
    ID = rs.GetInt("ID");
    At = rs.GetText("At");
    OptUser = rs.GetText("OptUser");
    Kind = rs.GetText("Kind");
    RentID = rs.GetInt("RentID");
    FilmID = rs.GetText("FilmID");
    ClientID = rs.GetText("ClientID");
    RentUser = rs.GetText("RentUser");
    FirstLedger = rs.GetInt("FirstLedger");
    LastLedger = rs.GetInt("LastLedger");
    BalanceChanged = rs.GetInt("Changed") != 0;
    UndoneAt = rs.GetText("UndoneAt");
    return Lookup::Found;
}

Lookup CDeskAction::Load(int id) {
    return Read(QStringLiteral("ID=") + Sql::Int(id));
}

Lookup CDeskAction::LoadLastOf(const QString& optUser, const QDate& day) {
    return Read(QStringLiteral("At >= '%1' AND At < '%2' AND OptUser='%3' AND UndoneAt='' ORDER BY ID DESC "
                               "LIMIT 1")
                    .arg(day.toString(QStringLiteral("yyyy-MM-dd")),
                         day.addDays(1).toString(QStringLiteral("yyyy-MM-dd")), Sql::Text(optUser)));
}

Lookup CDeskAction::LoadLastOfRent(int rentId) {
    return Read(QStringLiteral("RentID=%1 AND UndoneAt='' ORDER BY ID DESC LIMIT 1").arg(Sql::Int(rentId)));
}

Lookup CDeskAction::BalanceUnchanged(bool* same) const {
    if (ClientID.isEmpty()) {
        *same = true;
        return Lookup::Found;
    }
    CAdoDb db;
    const CRecordset& rs =
        db.Query(QStringLiteral("SELECT CASE WHEN %1=BalanceAfter THEN 1 ELSE 0 END AS Same FROM DeskAction "
                                "WHERE ID=%2")
                     .arg(BalanceOf(QStringLiteral("DeskAction.ClientID")), Sql::Int(ID)));
    if (rs.Result() == Lookup::Found)
        *same = rs.GetInt("Same") == 1;
    return rs.Result();
}

Lookup CDeskAction::RentNow(QString* filmId, QString* returnDate) const {
    CAdoDb db;
    const CRecordset& rs =
        db.Query(QStringLiteral("SELECT FilmID,ReturnDate FROM Record WHERE ID=") + Sql::Int(RentID));
    if (rs.Result() == Lookup::Found) {
        *filmId = rs.GetText("FilmID");
        *returnDate = rs.GetText("ReturnDate");
    }
    return rs.Result();
}

bool CDeskAction::ReopenRental() const {
    CAdoDb db;
    return db.Execute(QStringLiteral("UPDATE Record SET ReturnDate='',OptUser='%1' WHERE ID=%2")
                          .arg(Sql::Text(RentUser), Sql::Int(RentID)));
}

bool CDeskAction::RestoreBalance() const {
    CAdoDb db;
    return db.Execute(QStringLiteral("UPDATE Client SET Balance=(SELECT BalanceBefore FROM DeskAction WHERE "
                                     "ID=%1) WHERE ID=(SELECT ID FROM Client WHERE ClientID='%2' ORDER BY ID "
                                     "LIMIT 1)")
                          .arg(Sql::Int(ID), Sql::Text(ClientID)));
}

bool CDeskAction::ReverseLedger(const QString& optUser, const QString& note) const {
    CAdoDb db;
    return db.Execute(
        QStringLiteral("INSERT INTO Ledger (At,Day,OptUser,Kind,Fen,ClientID,FilmID,RentID,Note) SELECT "
                       "'%1',Day,'%2',Kind,-Fen,ClientID,FilmID,RentID,'%3' FROM Ledger WHERE ID>%4 AND "
                       "ID<=%5 ORDER BY ID")
            .arg(Now(), Sql::Text(optUser), Sql::Text(note), Sql::Int(FirstLedger), Sql::Int(LastLedger)));
}

bool CDeskAction::MarkUndone(const QString& optUser, const QString& reason) const {
    CAdoDb db;
    return db.Execute(
        QStringLiteral("UPDATE DeskAction SET UndoneAt='%1',UndoneBy='%2',Reason='%3' WHERE ID=%4")
            .arg(Now(), Sql::Text(optUser), Sql::Text(reason), Sql::Int(ID)));
}

QString CDeskAction::Text() const {
    QString text = Kind + QLatin1Char(' ') + FilmID;
    if (!ClientID.isEmpty())
        text += (Kind == kLend ? QStringLiteral(" 给 ") : QStringLiteral(" 客户 ")) + ClientID;
    return text + QStringLiteral("(") + At.mid(11, 5) + QStringLiteral(")");
}
