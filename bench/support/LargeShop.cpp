#include "LargeShop.h"

#include "LargeLedger.h"

#include "base/Gbk.h"
#include "data/CAdoDb.h"
#include "data/engine/file/DatabaseOpen.h"
#include "data/engine/file/SchemaKeys.h"
#include "data/shop/ShopDatabase.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <vector>

namespace {
constexpr std::uint64_t kSeed = 0x5eed2024;
// The shop's history: seven years up to a fixed "today", so the dates never depend on the clock.
const QDate kFirstDay(2018, 1, 1);
const QDate kToday(2024, 12, 31);
constexpr int kRowsPerCommit = 50000;
constexpr double kOutShare = 0.02;
constexpr double kMonthlyShare = 0.55;
constexpr int kOutWithinDays = 45; // films still out were lent in the last weeks
constexpr int kFieldBytes = 20;    // the editors' limit for codes, titles and actors

// SplitMix64 with our own range mapping: the same numbers on every platform and library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int Below(int n) { return n <= 0 ? 0 : int(Next() % std::uint64_t(n)); }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    double Unit() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
    bool Chance(double p) { return Unit() < p; }
    template <typename T, std::size_t N> const T& Pick(const T (&items)[N]) { return items[Below(int(N))]; }

private:
    std::uint64_t m_state;
};

const char* const kGenres[] = {"动作片", "喜剧片", "爱情片", "科幻片", "恐怖片", "战争片",
                               "文艺片", "记录片", "动漫片", "连续片", "其它片"};
const char* const kRegions[] = {"大陆", "港台", "日本", "欧美", "其它"};

const char* const kTitleWords[] = {
    "无间", "英雄",   "风云", "天下", "龙门",   "江湖",   "少林", "功夫", "大话",   "西游", "东邪", "西毒",
    "倩女", "幽魂",   "霸王", "重庆", "森林",   "花样",   "年华", "阿飞", "黄金",   "甲子", "警察", "故事",
    "新龙", "客栈",   "卧虎", "藏龙", "十面",   "埋伏",   "天若", "有情", "半生",   "缘分", "星空", "时光",
    "夜行", "杀手",   "秘密", "花园", "海上",   "烟花",   "红色", "恋人", "城市",   "猎人", "黑夜", "传说",
    "最后", "一战",   "失落", "帝国", "末日",   "危机",   "明天", "奇迹", "雪山",   "飞狐", "鹿鼎", "神雕",
    "侠侣", "倚天",   "屠龙", "旋风", "小子",   "疯狂",   "赛车", "机器", "战警",   "午夜", "凶铃", "深海",
    "迷城", "古惑仔", "家有", "喜事", "唐伯虎", "点秋香", "变形", "金刚", "终结者", "异形"};
const char* const kTitleJoins[] = {"之", "的", "与"};
const char* const kTitleTails[] = {"2", "3", "续集", "(上)", "(下)", "外传", "前传", "完整版"};

const char* const kSurnames[] = {"周", "刘", "梁", "张", "成", "李", "王", "黄", "吴", "林",
                                 "郑", "陈", "赵", "孙", "杨", "徐", "朱", "舒", "巩", "章",
                                 "汤", "葛", "邱", "任", "古", "谢", "莫", "郭", "姜", "甄"};
const char* const kGivenNames[] = {"德华", "朝伟", "星驰", "学友", "龙",   "连杰", "曼玉", "青霞", "嘉玲",
                                   "子怡", "俐",   "淇",   "优",   "达华", "天乐", "富城", "慧敏", "芝",
                                   "文",   "家辉", "秀文", "莉",   "伟",   "敏",   "华",   "丹",   "涛",
                                   "静",   "明",   "强",   "海燕", "子丹", "润发", "国荣", "小刚", "冰冰"};

const char* const kFilmRemarks[] = {"封面破损", "含花絮", "国语配音", "粤语原声", "双碟装", "导演剪辑版"};
const char* const kClientRemarks[] = {"学生",       "老顾客",       "常借港台片",
                                      "住附近小区", "押金已退一半", "喜欢动作片"};

struct Staff {
    const char* name;
    const char* password;
    const char* type;
    int weight; // how often this operator stands at the counter
};
// "Admin" comes with the prepared database; the others are added.
const Staff kStaff[] = {{"Admin", nullptr, nullptr, 1},
                        {"张敏", "1234", "操作员", 5},
                        {"李强", "5678", "操作员", 4},
                        {"王芳", "0000", "操作员", 3},
                        {"老陈", "8888", "管理员", 2}};

struct Film {
    QByteArray code, name, actor, remark;
    bool vcd = false;
    int genre = 0, region = 0, stocked = 0, rentals = 0;
    bool out = false;
};

struct Client {
    QByteArray code, phone, remark;
    int created = 0, foregift = 0;
    double balance = 0;
};

struct Rental {
    int borrowed = 0, returned = -1; // day numbers; -1 while out
    int film = 0, client = -1;       // client -1: a per-day rental
    double foregift = 0;
    int staff = 0;
};

struct ShopPrices {
    double dayVcd = 3, dayDvd = 5;
};

QByteArray Utf8(const char* text) {
    return QByteArray(text);
}

QByteArray Fits(const QByteArray& text, const QByteArray& shorter) {
    return Gbk::ByteLength(QString::fromUtf8(text)) <= kFieldBytes ? text : shorter;
}

QByteArray FilmTitle(Rng& rng) {
    const QByteArray base = Utf8(rng.Pick(kTitleWords)) + rng.Pick(kTitleWords);
    QByteArray title = base;
    if (rng.Chance(0.2))
        title += QByteArray(rng.Pick(kTitleJoins)) + rng.Pick(kTitleWords);
    if (rng.Chance(0.15))
        title += rng.Pick(kTitleTails);
    return Fits(title, base);
}

QByteArray PersonName(Rng& rng) {
    return Utf8(rng.Pick(kSurnames)) + rng.Pick(kGivenNames);
}

QByteArray Actors(Rng& rng) {
    if (rng.Chance(0.05))
        return {};
    const QByteArray first = PersonName(rng);
    return rng.Chance(0.6) ? Fits(first + " " + PersonName(rng), first) : first;
}

// Shop codes in the styles a shop mixes over the years: "F000123", a genre letter with five
// digits ("C01234"), or a bare number from a barcode label. The running number keeps them unique.
QByteArray FilmCode(int number, int genre, Rng& rng) {
    const int style = rng.Below(10);
    if (style < 7)
        return QByteArray("F") + QByteArray::number(number).rightJustified(6, '0');
    if (style < 9)
        return QByteArray(1, char('A' + genre)) + QByteArray::number(number).rightJustified(5, '0');
    return QByteArray::number(number).rightJustified(7, '0');
}

QByteArray ClientCode(int index) {
    if (index % 25 == 0)
        return "VIP" + QByteArray::number(index / 25 + 1).rightJustified(4, '0');
    return QByteArray::number(100001 + index);
}

QByteArray Phone(Rng& rng) {
    static const char* const kMobile[] = {"130", "135", "138", "139", "150", "158", "186", "189"};
    if (rng.Chance(0.2))
        return QByteArray::number(rng.Between(6, 8)) +
               QByteArray::number(rng.Below(10000000)).rightJustified(7, '0');
    return QByteArray(rng.Pick(kMobile)) + QByteArray::number(rng.Below(100000000)).rightJustified(8, '0');
}

// Shops buy most of their catalogue at opening, then a steady trickle.
int StockDay(Rng& rng, int lastStockDay) {
    return rng.Chance(0.3) ? rng.Below(std::min(60, lastStockDay + 1)) : rng.Below(lastStockDay + 1);
}

std::vector<Film> MakeFilms(int count, int lastDay, Rng& rng) {
    std::vector<int> days(count);
    for (int& day : days)
        day = StockDay(rng, lastDay - 30);
    std::sort(days.begin(), days.end()); // row IDs follow the order of stocking
    std::vector<Film> films(count);
    for (int i = 0; i < count; ++i) {
        Film& film = films[i];
        film.stocked = days[i];
        film.vcd = rng.Chance(0.4);
        film.genre = rng.Below(int(std::size(kGenres)));
        film.region = rng.Below(int(std::size(kRegions)));
        film.code = FilmCode(i + 1, film.genre, rng);
        film.name = FilmTitle(rng);
        film.actor = Actors(rng);
        if (rng.Chance(0.05))
            film.remark = rng.Pick(kFilmRemarks);
    }
    return films;
}

std::vector<Client> MakeClients(int count, int lastDay, Rng& rng) {
    std::vector<int> days(count);
    for (int& day : days)
        day = rng.Chance(0.05) ? 0 : rng.Below(lastDay - 10 + 1);
    std::sort(days.begin(), days.end());
    std::vector<Client> clients(count);
    for (int i = 0; i < count; ++i) {
        Client& client = clients[i];
        client.created = days[i];
        client.code = ClientCode(i);
        client.phone = Phone(rng);
        static const int kForegifts[] = {50, 100, 100, 200};
        client.foregift = rng.Pick(kForegifts);
        // Most balances are comfortable; some are down to a few yuan, at or below a month's price.
        client.balance = rng.Chance(0.85) ? rng.Between(30, 500) : rng.Below(31);
        if (rng.Chance(0.3))
            client.balance += 0.5;
        if (rng.Chance(0.1))
            client.remark = rng.Pick(kClientRemarks);
    }
    return clients;
}

// Spreads the rentals over the films: popular titles and titles long in stock are lent more.
void CountRentals(std::vector<Film>& films, int rentals, int lastDay, Rng& rng) {
    if (films.empty())
        return;
    std::vector<double> cumulative(films.size());
    double total = 0;
    for (std::size_t i = 0; i < films.size(); ++i) {
        const double popularity = 0.2 + 20 * std::pow(rng.Unit(), 3);
        total += popularity * (lastDay - films[i].stocked + 1);
        cumulative[i] = total;
    }
    for (int r = 0; r < rentals; ++r) {
        const auto it = std::lower_bound(cumulative.begin(), cumulative.end(), rng.Unit() * total);
        films[std::min<std::size_t>(it - cumulative.begin(), films.size() - 1)].rentals++;
    }
}

void ChooseOutFilms(std::vector<Film>& films, int rentals, Rng& rng) {
    std::vector<int> lent;
    for (std::size_t i = 0; i < films.size(); ++i) {
        if (films[i].rentals > 0)
            lent.push_back(int(i));
    }
    const int wanted = std::min<int>(int(rentals * kOutShare + 0.5), int(lent.size()));
    for (int i = 0; i < wanted; ++i) {
        std::swap(lent[i], lent[i + rng.Below(int(lent.size()) - i)]);
        films[lent[i]].out = true;
    }
}

int PickStaff(Rng& rng) {
    int total = 0;
    for (const Staff& s : kStaff)
        total += s.weight;
    int pick = rng.Below(total);
    for (int i = 0;; ++i) {
        pick -= kStaff[i].weight;
        if (pick < 0)
            return i;
    }
}

double DayForegift(const Film& film, const ShopPrices& prices, Rng& rng) {
    static const int kDeposits[] = {10, 20, 20, 30, 50, 50, 100};
    // Now and then a customer leaves less than a day's price: the deposit goes negative.
    const int deposit = rng.Chance(0.01) ? rng.Between(1, 4) : rng.Pick(kDeposits);
    return deposit - (film.vcd ? prices.dayVcd : prices.dayDvd);
}

// Each film's rentals follow one another: a copy is lent again only once it is back, and a film
// that is out has its last rental open, lent in the last weeks.
std::vector<Rental> MakeRentals(const std::vector<Film>& films, const std::vector<Client>& clients, int total,
                                int lastDay, const ShopPrices& prices, Rng& rng) {
    std::vector<int> clientsBy(lastDay + 1, 0); // clients registered on or before each day
    for (const Client& client : clients)
        clientsBy[client.created]++;
    for (int day = 1; day <= lastDay; ++day)
        clientsBy[day] += clientsBy[day - 1];

    std::vector<Rental> rentals;
    rentals.reserve(total);
    std::vector<int> days;
    for (int f = 0; f < int(films.size()); ++f) {
        const Film& film = films[f];
        const int n = film.rentals;
        if (n == 0)
            continue;
        const int lastBorrow =
            film.out ? std::max(film.stocked, lastDay - rng.Below(kOutWithinDays)) : lastDay;
        days.assign(n, lastBorrow);
        for (int k = 0; k < (film.out ? n - 1 : n); ++k)
            days[k] = rng.Between(film.stocked, lastBorrow);
        std::sort(days.begin(), days.end());
        for (int k = 0; k < n; ++k) {
            Rental rental;
            rental.film = f;
            rental.borrowed = days[k];
            rental.staff = PickStaff(rng);
            const int known = clientsBy[days[k]];
            const bool monthly = known > 0 && rng.Chance(kMonthlyShare);
            if (monthly)
                rental.client = rng.Below(known);
            else
                rental.foregift = DayForegift(film, prices, rng);
            if (!(film.out && k == n - 1)) {
                const int kept = monthly ? rng.Between(1, 14) : rng.Below(5);
                const int next = k + 1 < n ? days[k + 1] : lastDay;
                rental.returned = std::min(days[k] + kept, next);
            }
            rentals.push_back(rental);
        }
    }
    // Row IDs follow the day of lending, as in a shop's ledger.
    std::stable_sort(rentals.begin(), rentals.end(),
                     [](const Rental& a, const Rental& b) { return a.borrowed < b.borrowed; });
    return rentals;
}

// ---- Writing through the engine

class Writer {
public:
    explicit Writer(sqlite3* db) : m_db(db) {}
    ~Writer() { sqlite3_finalize(m_stmt); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    bool Exec(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
            return true;
        Fail(message ? message : sqlite3_errmsg(m_db));
        sqlite3_free(message);
        return false;
    }
    // Starts the rows of one table; they are committed in batches.
    bool Begin(const char* insertSql) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, insertSql, -1, &m_stmt, nullptr) != SQLITE_OK) {
            Fail(sqlite3_errmsg(m_db));
            return false;
        }
        return m_inTransaction || (m_inTransaction = Exec("BEGIN"));
    }
    Writer& Text(const QByteArray& value) {
        sqlite3_bind_text(m_stmt, ++m_column, value.constData(), int(value.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Writer& Int(int value) {
        sqlite3_bind_int(m_stmt, ++m_column, value);
        return *this;
    }
    Writer& Real(double value) {
        // Stored as the program stores it: single precision.
        sqlite3_bind_double(m_stmt, ++m_column, double(float(value)));
        return *this;
    }
    bool Row() {
        m_column = 0;
        const int rc = sqlite3_step(m_stmt);
        sqlite3_reset(m_stmt);
        if (rc != SQLITE_DONE) {
            Fail(sqlite3_errmsg(m_db));
            return false;
        }
        if (++m_rows % kRowsPerCommit == 0)
            return Commit() && (m_inTransaction = Exec("BEGIN"));
        return true;
    }
    bool Commit() {
        if (!m_inTransaction)
            return true;
        m_inTransaction = false;
        return Exec("COMMIT");
    }
    const QString& Error() const { return m_error; }

private:
    void Fail(const char* message) {
        if (m_error.isEmpty())
            m_error = QString::fromUtf8(message);
    }

    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    int m_column = 0;
    long long m_rows = 0;
    bool m_inTransaction = false;
    QString m_error;
};

ShopPrices ReadPrices(sqlite3* db) {
    ShopPrices prices;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT DayVcd, DayDvd FROM Setting", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        prices.dayVcd = sqlite3_column_double(stmt, 0);
        prices.dayDvd = sqlite3_column_double(stmt, 1);
    }
    sqlite3_finalize(stmt);
    return prices;
}

std::vector<QByteArray> DateTexts(int lastDay) {
    std::vector<QByteArray> texts(lastDay + 1);
    for (int day = 0; day <= lastDay; ++day)
        texts[day] = kFirstDay.addDays(day).toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
    return texts;
}

bool WriteShop(sqlite3* db, const LargeShopSize& size, QString* error) {
    Writer out(db);
    // A throw-away build: no need to wait for the disk at every commit.
    if (!out.Exec("PRAGMA synchronous = OFF; PRAGMA cache_size = -131072;")) {
        *error = out.Error();
        return false;
    }
    const ShopPrices prices = ReadPrices(db);
    const int lastDay = int(kFirstDay.daysTo(kToday));
    const std::vector<QByteArray> date = DateTexts(lastDay);
    Rng rng(kSeed);
    std::vector<Film> films = MakeFilms(size.films, lastDay, rng);
    const std::vector<Client> clients = MakeClients(size.clients, lastDay, rng);
    CountRentals(films, size.rentals, lastDay, rng);
    ChooseOutFilms(films, size.rentals, rng);
    const std::vector<Rental> rentals = MakeRentals(films, clients, size.rentals, lastDay, prices, rng);

    bool ok = out.Begin("INSERT INTO Operator (OptName, OptPwd, Type) VALUES (?, ?, ?)");
    for (const Staff& s : kStaff) {
        if (ok && s.password)
            ok = out.Text(s.name).Text(s.password).Text(s.type).Row();
    }
    ok = ok &&
         out.Begin("INSERT INTO Film (FilmID, FilmName, Playactor, Type, Class1, Class2, StgDate, Degree, "
                   "Remark) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (std::size_t i = 0; ok && i < films.size(); ++i) {
        const Film& f = films[i];
        ok = out.Text(f.code)
                 .Text(f.name)
                 .Text(f.actor)
                 .Text(f.vcd ? "VCD" : "DVD")
                 .Text(kGenres[f.genre])
                 .Text(kRegions[f.region])
                 .Text(date[f.stocked])
                 .Int(f.rentals)
                 .Text(f.remark)
                 .Row();
    }
    ok = ok && out.Begin("INSERT INTO Client (ClientID, PhoneNum, CreateDate, Foregift, Balance, Remark) "
                         "VALUES (?, ?, ?, ?, ?, ?)");
    for (std::size_t i = 0; ok && i < clients.size(); ++i) {
        const Client& c = clients[i];
        ok = out.Text(c.code)
                 .Text(c.phone)
                 .Text(date[c.created])
                 .Real(c.foregift)
                 .Real(c.balance)
                 .Text(c.remark)
                 .Row();
    }
    ok = ok &&
         out.Begin("INSERT INTO Record (ClientID, FilmID, Type, Foregift, BorrowDate, ReturnDate, OptUser) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?)");
    const QByteArray monthly("月租"), daily("零租"), none;
    for (std::size_t i = 0; ok && i < rentals.size(); ++i) {
        const Rental& r = rentals[i];
        ok = out.Text(r.client < 0 ? none : clients[r.client].code)
                 .Text(films[r.film].code)
                 .Text(r.client < 0 ? daily : monthly)
                 .Real(r.foregift)
                 .Text(date[r.borrowed])
                 .Text(r.returned < 0 ? none : date[r.returned])
                 .Text(kStaff[r.staff].name)
                 .Row();
    }
    // The films' and clients' pinyin search keys, as the file's upgrade writes them.
    EngineError keys;
    ok = ok && SchemaKeys::RegisterFunctions(db, &keys) && out.Exec(SchemaKeys::kFileUpgrade);
    // Fold the log into the file: the finished file stands alone and can be copied as it is.
    ok = ok && out.Commit();
    if (!ok) {
        *error = out.Error();
        return false;
    }
    return (size.ledger <= 0 || LargeLedger::Write(db, size.ledger, error)) &&
           out.Exec("PRAGMA wal_checkpoint(TRUNCATE)");
}

bool HasLedger(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    const bool rows =
        sqlite3_prepare_v2(db, "SELECT 1 FROM Ledger LIMIT 1", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW;
    sqlite3_finalize(stmt);
    return rows;
}

void RemoveShopFiles(const QString& path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
}
} // namespace

bool BuildLargeShop(const QString& path, const LargeShopSize& size, QString* error) {
    if (size.films < 0 || size.clients < 0 || size.rentals < 0 || (size.rentals > 0 && size.films == 0)) {
        *error = QStringLiteral("rentals need films, and no count may be negative");
        return false;
    }
    if (!ShopDatabase::Prepare(path, error))
        return false;
    ConnectionSettings settings =
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
    settings.dataSource = path;
    DatabaseHandle db = DatabaseOpen::OpenDatabase(settings, error);
    const bool ok = db && WriteShop(db.get(), size, error);
    db.reset(); // WriteShop finalizes its statements and folds the log into the file
    if (!ok)
        RemoveShopFiles(path);
    return ok;
}

QString EnsureLargeShop(const LargeShopSize& size) {
    QString path = qEnvironmentVariable("VORIX_LARGE_SHOP");
    if (path.isEmpty()) {
        const QString dir =
            QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
        path = QStringLiteral("%1/large-shop-%2-%3-%4.mdb")
                   .arg(dir)
                   .arg(size.films)
                   .arg(size.clients)
                   .arg(size.rentals);
    }
    if (QFile::exists(path)) {
        // A shop kept from an older program is brought up to date here, once, so that no benchmark
        // times the upgrade of its copy.
        ConnectionSettings settings =
            DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
        settings.dataSource = path;
        QString error;
        const DatabaseHandle db = DatabaseOpen::OpenDatabaseDescribed(settings, &error);
        if (!db) {
            std::fprintf(stderr, "cannot open the large shop %s: %s\n", qPrintable(path), qPrintable(error));
            std::exit(1);
        }
        // A shop built before the generator wrote a ledger gets its ledger now, once.
        if (size.ledger > 0 && !HasLedger(db.get())) {
            std::fprintf(stderr, "adding the ledger to the large shop %s...\n", qPrintable(path));
            if (!LargeLedger::Write(db.get(), size.ledger, &error)) {
                std::fprintf(stderr, "cannot add the ledger: %s\n", qPrintable(error));
                std::exit(1);
            }
        }
        return path;
    }
    std::fprintf(stderr, "building the large shop %s (kept for later runs)...\n", qPrintable(path));
    // Built under a temporary name: an interrupted build never passes for a finished one.
    const QString partial = path + QStringLiteral(".part");
    RemoveShopFiles(partial);
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!BuildLargeShop(partial, size, &error)) {
        std::fprintf(stderr, "cannot build the large shop: %s\n", qPrintable(error));
        std::exit(1);
    }
    if (!QFile::rename(partial, path)) {
        std::fprintf(stderr, "cannot rename %s to %s\n", qPrintable(partial), qPrintable(path));
        RemoveShopFiles(partial);
        std::exit(1);
    }
    std::fprintf(stderr, "built in %.1f s\n", timer.elapsed() / 1000.0);
    return path;
}

bool CopyShopFile(const QString& source, const QString& target, QString* error) {
    RemoveShopFiles(target);
    QFile file(source);
    if (!file.copy(target)) {
        *error = QStringLiteral("cannot copy %1 to %2: %3").arg(source, target, file.errorString());
        return false;
    }
    // A log left by a connection that did not finish belongs with the file.
    const QString log = source + QStringLiteral("-wal");
    if (QFile::exists(log) && !QFile::copy(log, target + QStringLiteral("-wal"))) {
        *error = QStringLiteral("cannot copy %1").arg(log);
        RemoveShopFiles(target);
        return false;
    }
    return true;
}
