#include "Shop.h"
#include "TestRegistry.h"

#include "data/shop/ShopBackup.h"
#include "data/shop/ShopDatabase.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {
struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

QByteArray CommandLineBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The film codes of a shop file, or the engine's failure.
QString FilmCodes(const QString& path) {
    ConnectionSettings file = DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
    file.dataSource = path;
    QString error;
    const DatabaseHandle db = DatabaseOpen::OpenDatabase(file, &error);
    sqlite3_stmt* stmt = nullptr;
    if (!db || sqlite3_prepare_v2(db.get(), "SELECT group_concat(FilmID) FROM Film", -1, &stmt, nullptr) !=
                   SQLITE_OK)
        return u"error "_s + error;
    QString codes;
    if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_text(stmt, 0))
        codes = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return codes;
}

// Every file and folder under root, relative to it.
QStringList Tree(const QString& root) {
    QStringList found;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(root).relativeFilePath(it.next());
    found.sort();
    return found;
}
} // namespace

// The program and its tools read their arguments one way: --help and --version answer and change
// nothing, a misread argument is refused with the usage and exit code 2 and writes nothing.
class CommandLineTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_root;

    QString Path(const QString& relative) const { return m_root.filePath(relative); }
    // The program as installed: no shop beside it, so it would use the user's folders, which are
    // the test's own here.
    QString Program(const QString& name) const {
        return name == u"vorix"_s ? Path(u"bin/vorix"_s)
                                  : QCoreApplication::applicationDirPath() + u'/' + name;
    }
    // Runs a program in the folder "work", with a home of the test's own.
    Run Start(const QString& name, const QStringList& arguments, bool display = true) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, Path(u"home"_s));
        env.insert(u"XDG_DATA_HOME"_s, Path(u"home/.local/share"_s));
        env.insert(u"XDG_CONFIG_HOME"_s, Path(u"home/.config"_s));
        env.insert(u"XDG_RUNTIME_DIR"_s, Path(u"runtime"_s));
        env.remove(u"DISPLAY"_s);
        env.remove(u"WAYLAND_DISPLAY"_s);
        if (display)
            env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        else
            env.remove(u"QT_QPA_PLATFORM"_s);
        QProcess child;
        child.setProcessEnvironment(env);
        child.setWorkingDirectory(Path(u"work"_s));
        child.start(Program(name), arguments);
        Run run;
        if (!child.waitForFinished(20000)) {
            child.kill();
            child.waitForFinished();
            return run;
        }
        run.out = child.readAllStandardOutput();
        run.err = child.readAllStandardError();
        run.code = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
        return run;
    }
    // The home and the working folder as they stand, with the shop and its backup.
    QStringList Everything() const { return Tree(Path(u"home"_s)) + Tree(Path(u"work"_s)); }

private slots:
    void initTestCase() {
        QVERIFY(QDir().mkpath(Path(u"bin"_s)));
        QVERIFY(QDir().mkpath(Path(u"runtime"_s)));
        QVERIFY(QFile::setPermissions(Path(u"runtime"_s),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + u"/vorix"_s, Program(u"vorix"_s)));
    }
    // A shop remembered by the program, a file named like an option that is a sound backup of
    // another shop, and nothing else.
    void init() {
        QDir(Path(u"home"_s)).removeRecursively();
        QDir(Path(u"work"_s)).removeRecursively();
        QVERIFY(QDir().mkpath(Path(u"work"_s)));
        QVERIFY(QDir().mkpath(Path(u"home/.config/vorix"_s)));
        QFile conf(Path(u"home/.config/vorix/vorix.conf"_s));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[shop]\nfolder=" + QFile::encodeName(Path(u"home/remembered"_s)) + "\n");
        conf.close();
        QString error;
        QVERIFY(QDir().mkpath(Path(u"home/shop"_s)));
        QVERIFY2(ShopDatabase::Prepare(Path(u"home/shop/cddata.mdb"_s), &error), qPrintable(error));
        TempShop other;
        QVERIFY(Db::Exec(u"INSERT INTO Film (FilmID) VALUES ('F1')"_s));
        ConnectionSettings source =
            DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
        QVERIFY2(ShopBackup::Copy(source, Path(u"work/--help"_s), &error), qPrintable(error));
    }

    void helpAndVersionAnswerAndChangeNothing_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("answer"); // how standard output begins
        for (const QString& program :
             {u"vorix"_s, u"vorix-initdb"_s, u"vorix-restore"_s, u"vorix-migrate"_s}) {
            const QByteArray name = program.toUtf8();
            QTest::addRow("%s --help", name.constData())
                << program << QStringList{u"--help"_s} << u"Usage: "_s + program;
            QTest::addRow("%s -h", name.constData())
                << program << QStringList{u"-h"_s} << u"Usage: "_s + program;
            QTest::addRow("%s --version", name.constData())
                << program << QStringList{u"--version"_s} << program + u" 1.0\n"_s;
        }
        // The file "--help" beside it is a backup: it is not taken for one.
        QTest::newRow("vorix-restore --help SHOP")
            << u"vorix-restore"_s << QStringList{u"--help"_s, u"../home/shop/cddata.mdb"_s} << u"Usage: "_s;
        QTest::newRow("vorix-initdb --keep --help")
            << u"vorix-initdb"_s << QStringList{u"--keep"_s, u"--help"_s} << u"Usage: "_s;
        QTest::newRow("vorix --shop DIR --help")
            << u"vorix"_s << QStringList{u"--shop"_s, Path(u"home/given"_s), u"--help"_s} << u"Usage: "_s;
    }
    void helpAndVersionAnswerAndChangeNothing() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, answer);
        const QStringList before = Everything();
        const QByteArray shop = CommandLineBytes(Path(u"home/shop/cddata.mdb"_s));
        // The program answers without a display.
        const Run run = Start(program, arguments, false);
        QCOMPARE(run.code, 0);
        QVERIFY2(run.out.startsWith(answer.toUtf8()), run.out.constData());
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(Everything(), before);
        QCOMPARE(CommandLineBytes(Path(u"home/shop/cddata.mdb"_s)), shop);
    }

    void misreadArgumentsAreRefused_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("why"); // a part of the first line on standard error
        const QString shop = u"../home/shop/cddata.mdb"_s;
        QTest::newRow("vorix --shop without a folder")
            << u"vorix"_s << QStringList{u"--shop"_s} << u"--shop"_s;
        QTest::newRow("vorix --shop empty")
            << u"vorix"_s << QStringList{u"--shop"_s, QString()} << u"--shop"_s;
        QTest::newRow("vorix --shop=") << u"vorix"_s << QStringList{u"--shop="_s} << u"--shop"_s;
        QTest::newRow("vorix --server without a text")
            << u"vorix"_s << QStringList{u"--server"_s} << u"--server"_s;
        QTest::newRow("vorix unknown option")
            << u"vorix"_s << QStringList{u"--shopp"_s, u"x"_s} << u"shopp"_s;
        QTest::newRow("vorix an argument") << u"vorix"_s << QStringList{u"shop"_s} << u"shop"_s;
        QTest::newRow("initdb nothing") << u"vorix-initdb"_s << QStringList() << u"missing"_s;
        QTest::newRow("initdb --keep alone") << u"vorix-initdb"_s << QStringList{u"--keep"_s} << u"missing"_s;
        QTest::newRow("initdb unknown option")
            << u"vorix-initdb"_s << QStringList{u"--kep"_s, u"new.mdb"_s} << u"kep"_s;
        QTest::newRow("initdb two paths")
            << u"vorix-initdb"_s << QStringList{u"a.mdb"_s, u"b.mdb"_s} << u"b.mdb"_s;
        QTest::newRow("initdb empty path") << u"vorix-initdb"_s << QStringList{QString()} << u"PATH"_s;
        QTest::newRow("initdb --server without a text")
            << u"vorix-initdb"_s << QStringList{u"--server"_s} << u"--server"_s;
        QTest::newRow("initdb --server and a path")
            << u"vorix-initdb"_s << QStringList{u"--server"_s, u"dbname=x"_s, u"new.mdb"_s} << u"--server"_s;
        QTest::newRow("restore nothing") << u"vorix-restore"_s << QStringList() << u"missing"_s;
        QTest::newRow("restore unknown option")
            << u"vorix-restore"_s << QStringList{u"--hlep"_s, u"--"_s, u"--help"_s, shop} << u"hlep"_s;
        QTest::newRow("restore three files")
            << u"vorix-restore"_s << QStringList{u"--"_s, u"--help"_s, shop, shop} << u"unexpected"_s;
        QTest::newRow("restore --shop without a folder")
            << u"vorix-restore"_s << QStringList{u"x.bak"_s, u"--shop"_s} << u"--shop"_s;
        QTest::newRow("restore --shop empty")
            << u"vorix-restore"_s << QStringList{u"--shop"_s, QString(), u"--"_s, u"--help"_s} << u"--shop"_s;
        QTest::newRow("restore --shop and a shop")
            << u"vorix-restore"_s
            << QStringList{u"--shop"_s, Path(u"home/shop"_s), u"--"_s, u"--help"_s, shop} << u"twice"_s;
        QTest::newRow("migrate no server") << u"vorix-migrate"_s << QStringList{u"a.mdb"_s} << u"--server"_s;
        QTest::newRow("migrate no file")
            << u"vorix-migrate"_s << QStringList{u"--server"_s, u"dbname=x"_s} << u"missing"_s;
        QTest::newRow("migrate --back alone")
            << u"vorix-migrate"_s << QStringList{u"--back"_s} << u"missing"_s;
        QTest::newRow("migrate unknown option")
            << u"vorix-migrate"_s << QStringList{u"--bak"_s, u"a.mdb"_s, u"--server"_s, u"dbname=x"_s}
            << u"bak"_s;
    }
    void misreadArgumentsAreRefused() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, why);
        const QStringList before = Everything();
        const QByteArray shop = CommandLineBytes(Path(u"home/shop/cddata.mdb"_s));
        const Run run = Start(program, arguments);
        QCOMPARE(run.code, 2);
        QCOMPARE(run.out, QByteArray());
        const QList<QByteArray> lines = run.err.split('\n');
        QVERIFY2(lines.size() > 2 && lines[0].startsWith(program.toUtf8() + ": ") &&
                     lines[0].contains(why.toUtf8()) && lines[1].startsWith("Usage: " + program.toUtf8()),
                 run.err.constData());
        QCOMPARE(Everything(), before);
        QCOMPARE(CommandLineBytes(Path(u"home/shop/cddata.mdb"_s)), shop);
    }

    // Written the way the usage says, a file whose name looks like an option is a file.
    void afterTwoDashesAFileMayLookLikeAnOption() {
        const Run run = Start(u"vorix-restore"_s, {u"--"_s, u"--help"_s, u"../home/shop/cddata.mdb"_s});
        QVERIFY2(run.code == 0, run.err.constData());
        QCOMPARE(FilmCodes(Path(u"home/shop/cddata.mdb"_s)), u"F1"_s);
    }
};
VORIX_TEST_ON_FILE_ONLY(CommandLineTest)
#include "tst_CommandLine.moc"
