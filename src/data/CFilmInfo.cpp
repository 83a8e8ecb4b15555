#include "data/CFilmInfo.h"

#include "data/CAdoDb.h"
#include "data/PinyinSearch.h"
#include "data/Sql.h"

namespace {
QString SelectByFilmId(const QString& filmId) {
    return QStringLiteral("SELECT * FROM Film WHERE FilmID='") + Sql::Text(filmId) + QStringLiteral("'");
}

// The grid's columns and order around a condition (empty, or beginning with its blank).
QString FilmGridSql(const QString& condition, const QString& order = QStringLiteral(" ORDER BY ID DESC")) {
    return QStringLiteral("SELECT ID, FilmID AS 编号, FilmName AS 片名, Playactor AS 主演, Type AS 类型,"
                          "Class1 AS 分类1, Class2 AS 分类2, StgDate AS 入库日期, Degree AS 租次,"
                          "Remark AS 备注 FROM Film") +
           condition + order;
}
} // namespace

bool CFilmInfo::Insert() {
    CAdoDb db;
    return db.Execute(
        QStringLiteral(
            "INSERT INTO Film (FilmID,FilmName,Playactor,Type,Class1,Class2,StgDate,Degree,Remark) "
            "VALUES('") +
        Sql::Text(FilmID) + QStringLiteral("', '") + Sql::Text(FilmName) + QStringLiteral("', '") +
        Sql::Text(Playactor) + QStringLiteral("', '") + Sql::Text(Type) + QStringLiteral("', '") +
        Sql::Text(Class1) + QStringLiteral("', '") + Sql::Text(Class2) + QStringLiteral("', '") +
        Sql::Text(StgDate) + QStringLiteral("', ") + Sql::Int(Degree) + QStringLiteral(",'") +
        Sql::Text(Remark) + QStringLiteral("')"));
}

// Degree goes in quoted here; the engine turns it into the integer column's number.
bool CFilmInfo::Update(RowKey key) {
    CAdoDb db;
    return db.Execute(
        QStringLiteral("UPDATE Film SET FilmID='") + Sql::Text(FilmID) + QStringLiteral("',FilmName='") +
        Sql::Text(FilmName) + QStringLiteral("', Playactor='") + Sql::Text(Playactor) +
        QStringLiteral("', Type='") + Sql::Text(Type) + QStringLiteral("', Class1='") + Sql::Text(Class1) +
        QStringLiteral("',Class2='") + Sql::Text(Class2) + QStringLiteral("',StgDate='") +
        Sql::Text(StgDate) + QStringLiteral("',Degree='") + Sql::Int(Degree) + QStringLiteral("',Remark='") +
        Sql::Text(Remark) + QStringLiteral("' WHERE ID=") + Sql::Key(key));
}

bool CFilmInfo::DeleteById(RowKey key) {
    CAdoDb db;
    return db.Execute(QStringLiteral("DELETE FROM Film WHERE ID=") + Sql::Key(key));
}

Lookup CFilmInfo::LoadById(RowKey key) {
    CAdoDb db;
    const CRecordset& rs = db.Query(QStringLiteral("SELECT * FROM Film WHERE ID=") + Sql::Key(key));
    if (rs.Result() != Lookup::Found)
        return rs.Result();
    ReadColumns(rs);
    return Lookup::Found;
}

Lookup CFilmInfo::ExistsByFilmId(const QString& filmId) {
    CAdoDb db;
    return db.Query(SelectByFilmId(filmId)).Result();
}

Lookup CFilmInfo::LoadByFilmId(const QString& filmId) {
    CAdoDb db;
    const CRecordset& rs = db.Query(SelectByFilmId(filmId));
    if (rs.Result() != Lookup::Found)
        return rs.Result();
    ID = rs.GetInt("ID");
    ReadColumns(rs);
    return Lookup::Found;
}

// Every column but the key, in the table's order.
void CFilmInfo::ReadColumns(const CRecordset& rs) {
    FilmID = rs.GetText("FilmID");
    FilmName = rs.GetText("FilmName");
    Playactor = rs.GetText("Playactor");
    Type = rs.GetText("Type");
    Class1 = rs.GetText("Class1");
    Class2 = rs.GetText("Class2");
    StgDate = rs.GetText("StgDate");
    Degree = rs.GetInt("Degree");
    Remark = rs.GetText("Remark");
}

QString FilmGrid::All() {
    return FilmGridSql(QString());
}

QString FilmGrid::Filtered(const QString& genre, const QString& region) {
    if (genre.isEmpty() && region.isEmpty())
        return All();
    if (region.isEmpty()) // two blanks before WHERE, as this statement has always had them
        return FilmGridSql(QStringLiteral("  WHERE Class1='") + Sql::Text(genre) + QLatin1Char('\''));
    if (genre.isEmpty())
        return FilmGridSql(QStringLiteral(" WHERE Class2='") + Sql::Text(region) + QLatin1Char('\''));
    return FilmGridSql(QStringLiteral(" WHERE Class1='") + Sql::Text(genre) +
                       QStringLiteral("' AND Class2='") + Sql::Text(region) + QLatin1Char('\''));
}

QString FilmGrid::ByFilmId(const QString& filmId) {
    return FilmGridSql(QStringLiteral(" WHERE FilmID='") + Sql::Text(filmId) + QLatin1Char('\''));
}

QString FilmGrid::TitleContains(const QString& text) {
    return FilmGridSql(QStringLiteral(" WHERE FilmName LIKE ") + Sql::Contains(text));
}

QString FilmGrid::ActorContains(const QString& text) {
    return FilmGridSql(QStringLiteral(" WHERE Playactor LIKE ") + Sql::Contains(text));
}

QString FilmGrid::QuickFind(const QString& text) {
    if (text.trimmed().isEmpty())
        return All();
    if (!PinyinSearch::ByKeys(text))
        return TitleContains(text);
    return PinyinSearch::Films(FilmGridSql(QString(), QString()), text, QString(), QStringLiteral("ID DESC"));
}
