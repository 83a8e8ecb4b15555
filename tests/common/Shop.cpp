#include "Shop.h"

#include "TestEngine.h"

#include "data/CAdoDb.h"
#include "data/shop/ShopDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>
#include <memory>
#include <utility>

#include "base/Clock.h"

namespace {
// The prepared database is made once per test program and copied for every test case.
QString TemplateDatabase() {
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("template.mdb"));
        QString error;
        if (!ShopDatabase::Prepare(path, &error))
            qFatal("cannot prepare the test database: %s", qPrintable(error));
    }
    return path;
}

BoxRecorder* g_recorder = nullptr;
} // namespace

class RecordingPrompter : public IPrompter {
public:
    MsgResult Show(const MessageRequest& request) override {
        if (!g_recorder)
            return request.defaultButton;
        g_recorder->m_boxes << request;
        if (auto action = std::exchange(g_recorder->m_whileUp, nullptr))
            action();
        return g_recorder->m_answers.isEmpty() ? request.defaultButton : g_recorder->m_answers.takeFirst();
    }
};

TempShop::TempShop() : m_previousDir(QDir::currentPath()) {
    const QString source = TemplateDatabase();
    if (!QFile::copy(source, DatabasePath()))
        qFatal("cannot copy the test database");
    QFile::setPermissions(DatabasePath(), QFile::ReadOwner | QFile::WriteOwner);
    QDir(m_dir.path()).mkdir(QStringLiteral("dbBak"));
    QDir::setCurrent(m_dir.path());
    if (TestEngine::OnServer())
        ShopConnection::Use(TestEngine::FreshServerShop());
}

TempShop::~TempShop() {
    ShopConnection::Use({});
    QDir::setCurrent(m_previousDir);
}

QString TempShop::DatabasePath() const {
    return m_dir.filePath(QStringLiteral("cddata.mdb"));
}

BoxRecorder::BoxRecorder() {
    g_recorder = this;
    Prompter::Set(std::make_unique<RecordingPrompter>());
}

BoxRecorder::~BoxRecorder() {
    g_recorder = nullptr;
}

QStringList BoxRecorder::Texts() const {
    QStringList texts;
    for (const MessageRequest& box : m_boxes)
        texts << box.text;
    return texts;
}

StatementRecorder::StatementRecorder() {
    CAdoDb::SetStatementObserver([this](const QString& sql) { m_statements << sql; });
}

StatementRecorder::~StatementRecorder() {
    CAdoDb::SetStatementObserver(nullptr);
}

FixedClock::FixedClock(const QDateTime& now) {
    Clock::SetSource([now] { return now; });
}

FixedClock::~FixedClock() {
    Clock::SetSource(nullptr);
}

// The dialog is shown, as a modal run shows it, so that keys such as Enter reach its buttons.
ModalScript::ModalScript(CDialog::ModalRunner runner)
    : m_previous(CDialog::SetModalRunner([runner = std::move(runner)](CDialog& dialog) {
          dialog.show();
          runner(dialog);
          dialog.hide();
      })) {}

ModalScript::~ModalScript() {
    CDialog::SetModalRunner(std::move(m_previous));
}

QString Db::Value(const QString& sql) {
    CAdoDb db;
    const CRecordset& rs = db.Query(sql);
    if (rs.IsEOF())
        return {};
    return rs.GetText("v");
}

int Db::Count(const QString& fromWhere) {
    return Value(QStringLiteral("SELECT COUNT(*) AS v FROM ") + fromWhere).toInt();
}

bool Db::Exec(const QString& sql) {
    CAdoDb db;
    return db.Execute(sql);
}

QString Db::Rows(const QString& sql, QChar cellSeparator, QChar rowSeparator, int most) {
    EngineError error;
    const ConnectionHandle db = Engine::Open(ShopConnection::Current(), &error);
    bool ok = false;
    const std::unique_ptr<EngineStatement> stmt = db ? db->Prepare(sql, &ok) : nullptr;
    QStringList rows;
    while (stmt && rows.size() < most && stmt->Next() == EngineStatement::Row) {
        QStringList cells;
        for (int c = 0; c < stmt->Columns(); ++c)
            cells << stmt->Text(c);
        rows << cells.join(cellSeparator);
    }
    return rows.join(rowSeparator);
}

QString Db::Row(const QString& sql) {
    return Rows(sql, QLatin1Char(' '), QLatin1Char(' '), 1);
}

bool Db::FailOn(const char* when, const char* table, const char* message) {
    const QString name = QStringLiteral("stop_%1_%2").arg(QLatin1String(when), QLatin1String(table));
    if (!TestEngine::OnServer())
        return Exec(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 BEGIN SELECT RAISE(ABORT,'%4'); END")
                        .arg(name, QLatin1String(when), QLatin1String(table), QString::fromUtf8(message)));
    EngineError error;
    const ConnectionHandle db = Engine::Open(ShopConnection::Current(), &error);
    const QByteArray sql =
        QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                       "RAISE EXCEPTION '%4'; END $$; CREATE TRIGGER %1 BEFORE %2 ON %3 FOR "
                       "EACH ROW EXECUTE FUNCTION %1()")
            .arg(name, QLatin1String(when), QLatin1String(table), QString::fromUtf8(message))
            .toUtf8();
    return db && db->Run(sql.constData());
}

QString EngineText(const char* file, const char* server) {
    return QString::fromUtf8(TestEngine::OnServer() ? server : file);
}

void Pick(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void DoubleClickRow(QTableView* grid, int row) {
    int column = 0;
    while (grid->isColumnHidden(column))
        ++column;
    const QModelIndex cell = grid->model()->index(row, column);
    grid->scrollTo(cell);
    // The first click of the two presses the row; the double click then lands on the pressed row.
    const QPoint at = grid->visualRect(cell).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

void TypeText(QWidget* widget, const QString& text) {
    widget->setFocus();
    bool ascii = true;
    for (const QChar ch : text)
        ascii = ascii && ch.unicode() < 0x80;
    if (ascii) {
        QTest::keyClicks(widget, text);
        return;
    }
    // keyClicks cannot carry Chinese text: commit it as an input method would.
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(widget, &event);
}

void ExpectDescribed(const QString& box, const char* sentenceStart, const char* engineText) {
    QVERIFY2(box.startsWith(QString::fromUtf8(sentenceStart)), qPrintable(box));
    QVERIFY2(box.endsWith(QStringLiteral("\n\n") + QString::fromUtf8(engineText)), qPrintable(box));
}

QByteArray ShellReads(const QByteArray& query) {
    // On a server, its own shell looks in beside the desks.
    if (TestEngine::OnServer())
        return TestEngine::PsqlReads(query);
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    QProcess child;
    child.start(shell, {QStringLiteral("cddata.mdb")});
    if (shell.isEmpty() || !child.waitForStarted())
        return {};
    // It waits out a desk's moment of folding its log into the file, as every desk does.
    child.write(".timeout 5000\nPRAGMA key='mqvetra531';\n" + query + "\n.quit\n");
    child.closeWriteChannel();
    if (!child.waitForFinished(10000) || child.exitCode() != 0)
        return {};
    return child.readAllStandardOutput();
}

int PdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = file.readAll();
    return int(pdf.count("/Type /Page")) - int(pdf.count("/Type /Pages"));
}

const char* const Db::kSummariesAstray =
    "SELECT 'LedgerDay', g.d, g.k, g.u FROM (SELECT substr(At,1,10) AS d, Kind AS k, OptUser AS u, COUNT(*) "
    "AS n, SUM(Fen) AS f, SUM(CASE WHEN Fen>0 THEN Fen ELSE 0 END) AS p, SUM(CASE WHEN Fen<0 THEN -Fen ELSE "
    "0 "
    "END) AS m FROM Ledger GROUP BY substr(At,1,10), Kind, OptUser) g LEFT JOIN LedgerDay s ON s.Day=g.d AND "
    "s.Kind=g.k AND s.OptUser=g.u WHERE s.N IS NULL OR s.N<>g.n OR s.Fen<>g.f OR s.Plus<>g.p OR s.Minus<>g.m "
    "UNION ALL SELECT 'LedgerDay', s.Day, s.Kind, s.OptUser FROM LedgerDay s WHERE NOT EXISTS (SELECT 1 FROM "
    "Ledger l WHERE substr(l.At,1,10)=s.Day AND l.Kind=s.Kind AND l.OptUser=s.OptUser) "
    "UNION ALL SELECT 'FilmKinds', g.k, g.d, '' FROM (SELECT FilmID AS k, Kind AS d, COUNT(*) AS n, SUM(Fen) "
    "AS "
    "f FROM Ledger WHERE FilmID<>'' GROUP BY FilmID, Kind) g LEFT JOIN FilmKinds s ON s.FilmID=g.k AND "
    "s.Kind=g.d WHERE s.N IS NULL OR s.N<>g.n OR s.Fen<>g.f "
    "UNION ALL SELECT 'FilmKinds', s.FilmID, s.Kind, '' FROM FilmKinds s WHERE NOT EXISTS (SELECT 1 FROM "
    "Ledger "
    "l WHERE l.FilmID=s.FilmID AND l.Kind=s.Kind) "
    "UNION ALL SELECT 'TitleDiscs', g.k, '', '' FROM (SELECT FilmName AS k, COUNT(*) AS n FROM Film GROUP BY "
    "FilmName) g LEFT JOIN TitleDiscs s ON s.FilmName=g.k WHERE s.N IS NULL OR s.N<>g.n "
    "UNION ALL SELECT 'TitleDiscs', s.FilmName, '', '' FROM TitleDiscs s WHERE NOT EXISTS (SELECT 1 FROM "
    "Film "
    "f WHERE f.FilmName=s.FilmName) "
    "UNION ALL SELECT 'FilmLent', g.k, g.m, IFNULL(s.LastLent,'') FROM (SELECT FilmID AS k, MAX(BorrowDate) "
    "AS m, "
    "(SELECT r.BorrowDate FROM Record r WHERE r.FilmID=o.FilmID ORDER BY r.BorrowDate DESC LIMIT 1 OFFSET 1) "
    "AS "
    "p FROM Record o GROUP BY FilmID) g LEFT JOIN FilmLent s ON s.FilmID=g.k WHERE s.LastLent IS NULL OR "
    "s.LastLent<>g.m OR IFNULL(s.PrevLent,'')<>IFNULL(g.p,'') "
    "UNION ALL SELECT 'FilmLent', s.FilmID, '', s.LastLent FROM FilmLent s WHERE NOT EXISTS (SELECT 1 FROM "
    "Record r "
    "WHERE r.FilmID=s.FilmID) "
    "UNION ALL SELECT 'ClientLent', g.k, g.m, IFNULL(s.LastLent,'') FROM (SELECT ClientID AS k, "
    "MAX(BorrowDate) AS m, "
    "(SELECT r.BorrowDate FROM Record r WHERE r.ClientID=o.ClientID ORDER BY r.BorrowDate DESC LIMIT 1 "
    "OFFSET 1) AS "
    "p FROM Record o GROUP BY ClientID) g LEFT JOIN ClientLent s ON s.ClientID=g.k WHERE s.LastLent IS NULL "
    "OR "
    "s.LastLent<>g.m OR IFNULL(s.PrevLent,'')<>IFNULL(g.p,'') "
    "UNION ALL SELECT 'ClientLent', s.ClientID, '', s.LastLent FROM ClientLent s WHERE NOT EXISTS (SELECT 1 "
    "FROM Record r "
    "WHERE r.ClientID=s.ClientID)";
