#pragma once
// One row of the Film table and the table's statements.
#include "data/CAdoDb.h"
#include "data/RowKey.h"

#include <QString>

class CFilmInfo {
public:
    // The most the forms take, in GBK bytes: a code, a title or a lead actor; a note.
    static constexpr int kTextBytes = 20;
    static constexpr int kRemarkBytes = 100;
    // The most rentals (租次) the form takes.
    static constexpr int kMaxDegree = 9999;

    virtual ~CFilmInfo() = default;

    bool Insert();
    bool Update(RowKey key);
    bool DeleteById(RowKey key);
    // A load that finds no row, or fails, leaves the record as it was.
    Lookup LoadById(RowKey key); // ID keeps its value
    Lookup ExistsByFilmId(const QString& filmId);
    Lookup LoadByFilmId(const QString& filmId);

    int GetID() const { return ID; }
    void SetID(int value) { ID = value; }
    QString GetFilmID() const { return FilmID; }
    void SetFilmID(const QString& value) { FilmID = value; }
    QString GetFilmName() const { return FilmName; }
    void SetFilmName(const QString& value) { FilmName = value; }
    QString GetPlayactor() const { return Playactor; }
    void SetPlayactor(const QString& value) { Playactor = value; }
    QString GetType() const { return Type; }
    void SetType(const QString& value) { Type = value; }
    QString GetClass1() const { return Class1; }
    void SetClass1(const QString& value) { Class1 = value; }
    QString GetClass2() const { return Class2; }
    void SetClass2(const QString& value) { Class2 = value; }
    QString GetStgDate() const { return StgDate; }
    void SetStgDate(const QString& value) { StgDate = value; }
    int GetDegree() const { return Degree; }
    void SetDegree(int value) { Degree = value; }
    QString GetRemark() const { return Remark; }
    void SetRemark(const QString& value) { Remark = value; }

    int ID = 0;
    QString FilmID;
    QString FilmName;
    QString Playactor;
    QString Type;
    QString Class1;
    QString Class2;
    QString StgDate;
    int Degree = 0;
    QString Remark;

private:
    void ReadColumns(const CRecordset& rs);
};

// The statements of the film window's grid: the catalogue, newest first, whole or narrowed.
namespace FilmGrid {
QString All();
// Films of a genre (Class1) and of a region (Class2); an empty one narrows nothing.
QString Filtered(const QString& genre, const QString& region);
// The film of a code; the films whose title or lead actor holds the text, % and _ taken as typed.
QString ByFilmId(const QString& filmId);
QString TitleContains(const QString& text);
QString ActorContains(const QString& text);
// The quick find beside those: Latin letters and digits by the pinyin keys and codes, the
// initials' prefix first (PinyinSearch.h); any other text in the titles; an empty one finds all.
QString QuickFind(const QString& text);
} // namespace FilmGrid
