// gen_shop: builds a large shop database for the benchmarks and checks what it wrote.
//   gen_shop PATH [--films N] [--clients N] [--rentals N] [--ledger N]
// Defaults: 50000 films, 5000 clients, 1000000 rentals, a ledger of 1000000 rows over three years.
// PATH must not exist yet.
#include "LargeShop.h"

#include "data/CAdoDb.h"
#include "data/engine/file/DatabaseOpen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <sqlite3.h>

namespace {
struct Check {
    const char* label;
    const char* sql;
    bool mustBeZero; // a fault of the generator when not 0
};

const Check kChecks[] = {
    {"films", "SELECT COUNT(*) FROM Film", false},
    {"clients", "SELECT COUNT(*) FROM Client", false},
    {"operators", "SELECT COUNT(*) FROM Operator", false},
    {"rentals", "SELECT COUNT(*) FROM Record", false},
    {"  monthly plan", "SELECT COUNT(*) FROM Record WHERE Type='月租'", false},
    {"  per day", "SELECT COUNT(*) FROM Record WHERE Type='零租'", false},
    {"  out (ReturnDate '')", "SELECT COUNT(*) FROM Record WHERE ReturnDate=''", false},
    {"  per day with a negative deposit", "SELECT COUNT(*) FROM Record WHERE Type='零租' AND Foregift<0",
     false},
    {"films out twice",
     "SELECT COUNT(*) FROM (SELECT FilmID FROM Record WHERE ReturnDate='' GROUP BY FilmID HAVING COUNT(*)>1)",
     true},
    {"returned before lent", "SELECT COUNT(*) FROM Record WHERE ReturnDate<>'' AND ReturnDate<BorrowDate",
     true},
    {"dates not yyyy-mm-dd",
     "SELECT COUNT(*) FROM Record WHERE BorrowDate NOT GLOB '[12][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9]' OR "
     "(ReturnDate<>'' AND ReturnDate NOT GLOB '[12][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9]')",
     true},
    {"monthly rentals of unknown clients",
     "SELECT COUNT(*) FROM Record WHERE Type='月租' AND ClientID NOT IN (SELECT ClientID FROM Client)", true},
    {"monthly rentals lent before the client registered",
     "SELECT COUNT(*) FROM Record r JOIN Client c ON c.ClientID=r.ClientID WHERE r.BorrowDate<c.CreateDate",
     true},
    {"monthly rentals with a deposit", "SELECT COUNT(*) FROM Record WHERE Type='月租' AND Foregift<>0", true},
    {"per day rentals with a client", "SELECT COUNT(*) FROM Record WHERE Type='零租' AND ClientID<>''", true},
    {"rentals of unknown films", "SELECT COUNT(*) FROM Record WHERE FilmID NOT IN (SELECT FilmID FROM Film)",
     true},
    {"films whose Degree is not their rentals",
     "SELECT COUNT(*) FROM Film f WHERE Degree<>(SELECT COUNT(*) FROM Record r WHERE r.FilmID=f.FilmID)",
     true},
    {"duplicate film codes", "SELECT COUNT(*) - COUNT(DISTINCT FilmID) FROM Film", true},
    {"duplicate client codes", "SELECT COUNT(*) - COUNT(DISTINCT ClientID) FROM Client", true},
    {"ledger rows", "SELECT COUNT(*) FROM Ledger", false},
    {"  top-ups (充值)", "SELECT COUNT(*) FROM Ledger WHERE Kind='充值'", false},
    {"ledger rows out of the clock's order",
     "SELECT COUNT(*) FROM Ledger a JOIN Ledger b ON b.ID=a.ID+1 WHERE b.At<a.At", true},
    {"operators of rentals not in Operator",
     "SELECT COUNT(*) FROM Record WHERE OptUser NOT IN (SELECT OptName FROM Operator)", true},
};

bool ParseCount(const QString& text, int* value) {
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value >= 0;
}

int Usage() {
    std::fprintf(stderr, "usage: gen_shop PATH [--films N] [--clients N] [--rentals N] [--ledger N]\n");
    return 2;
}

QString Text(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    QString value = QStringLiteral("(failed: %1)").arg(QString::fromUtf8(sqlite3_errmsg(db)));
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return value;
}

// Rentals of one film that overlap: a film lent again before it came back, or after a rental
// that is still out. One ordered pass; a correlated query would take minutes on a million rows.
QString OverlappingRentals(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT FilmID, BorrowDate, ReturnDate FROM Record ORDER BY FilmID, ID", -1,
                           &stmt, nullptr) != SQLITE_OK)
        return QStringLiteral("(failed: %1)").arg(QString::fromUtf8(sqlite3_errmsg(db)));
    QByteArray film, returned;
    long long overlaps = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const QByteArray thisFilm(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        const QByteArray borrowed(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)));
        if (thisFilm.compare(film, Qt::CaseInsensitive) == 0 && (returned.isEmpty() || borrowed < returned))
            ++overlaps;
        film = thisFilm;
        returned = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2)));
    }
    sqlite3_finalize(stmt);
    return QString::number(overlaps);
}

// Prints the row counts and the consistency checks; false when a check found faults.
bool Report(const QString& path) {
    ConnectionSettings settings =
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
    settings.dataSource = path;
    QString error;
    const DatabaseHandle db = DatabaseOpen::OpenDatabase(settings, &error);
    if (!db) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(error));
        return false;
    }
    sqlite3_exec(db.get(), "PRAGMA cache_size = -262144", nullptr, nullptr, nullptr);
    bool sound = true;
    const auto print = [&sound](const char* label, const QString& value, bool mustBeZero) {
        const bool fault = mustBeZero && value != QLatin1String("0");
        sound = sound && !fault;
        std::printf("%-52s %10s%s\n", label, qPrintable(value), fault ? "   <-- FAULT" : "");
    };
    for (const Check& check : kChecks)
        print(check.label, Text(db.get(), check.sql), check.mustBeZero);
    print("rentals of one film overlapping", OverlappingRentals(db.get()), true);
    std::printf("%-52s %s .. %s\n", "lending dates",
                qPrintable(Text(db.get(), "SELECT MIN(BorrowDate) FROM Record")),
                qPrintable(Text(db.get(), "SELECT MAX(BorrowDate) FROM Record")));
    std::printf("%-52s %s .. %s\n", "ledger's clock",
                qPrintable(Text(db.get(), "SELECT MIN(At) FROM Ledger")),
                qPrintable(Text(db.get(), "SELECT MAX(At) FROM Ledger")));
    return sound;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString path;
    LargeShopSize size;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        int* target = arg == QLatin1String("--films")     ? &size.films
                      : arg == QLatin1String("--clients") ? &size.clients
                      : arg == QLatin1String("--rentals") ? &size.rentals
                      : arg == QLatin1String("--ledger")  ? &size.ledger
                                                          : nullptr;
        if (target) {
            if (++i >= args.size() || !ParseCount(args.at(i), target))
                return Usage();
        } else if (path.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
            path = arg;
        } else {
            return Usage();
        }
    }
    if (path.isEmpty())
        return Usage();

    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!BuildLargeShop(path, size, &error)) {
        std::fprintf(stderr, "gen_shop: %s\n", qPrintable(error));
        return 1;
    }
    const double seconds = timer.elapsed() / 1000.0;
    std::printf("built %s in %.1f s, %.1f MB\n", qPrintable(path), seconds,
                QFileInfo(path).size() / (1024.0 * 1024.0));
    return Report(path) ? 0 : 1;
}
