#include "ImportShop.h"

#include "Shop.h"

#include "base/CsvRead.h"

#include <QTest>

using namespace Qt::StringLiterals;

QString ImportShop::Everything() {
    const char* const tables[] = {"Client",      "Film",       "Record",     "Operator",  "Setting",
                                  "Ledger",      "Options",    "FilmKey",    "ClientKey", "RentContact",
                                  "DrawerFloat", "DeskAction", "Reservation"};
    QString all;
    for (const char* table : tables) {
        QStringList rows = Db::Rows(u"SELECT * FROM "_s + QLatin1String(table), u'|', u'\n').split(u'\n');
        rows.sort();
        all += QLatin1String(table) + u":\n"_s + rows.join(u'\n') + u'\n';
    }
    return all;
}

Import::Plan ImportShop::TrialOf(Import::What what, const QByteArray& bytes, Import::Options options) {
    const CsvRead::Table table = CsvRead::Parse(bytes);
    Import::Plan plan;
    QString error;
    if (!Import::Trial(what, table, Import::Match(what, table.headings), options, &plan, &error))
        qWarning() << error;
    return plan;
}

Import::Outcome ImportShop::Imported(Import::What what, const QByteArray& bytes, Import::Options options,
                                     QString* refusal) {
    QString ignored;
    return Import::Write(TrialOf(what, bytes, options), u"shop.csv"_s, u"Admin"_s, {},
                         refusal ? refusal : &ignored);
}
