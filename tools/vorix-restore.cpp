// vorix-restore: puts a backup of the shop's database back in place of cddata.mdb.
//   vorix-restore BACKUP          restore into the shop's cddata.mdb: beside this program when it
//                                 is there, else in the shop folder Vorix uses (--shop DIR names one)
//   vorix-restore BACKUP SHOP     restore into the file SHOP
// The backup must open with the shop's password and pass the integrity check; nothing is changed
// while a program has the shop file open. The old file's write-ahead log is removed with it.
// On a large shop this takes seconds: each stage is printed as it begins, with its time when done.
#include "base/ProgramFolder.h"
#include "base/UserSettings.h"
#include "data/CAdoDb.h"
#include "data/engine/file/DatabaseOpen.h"
#include "data/shop/ShopBackup.h"
#include "data/shop/ShopFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <cstdio>

namespace {
// One line per stage on standard output; the copy adds its tenths as they are written.
class ProgressLines {
public:
    void operator()(ShopBackup::Stage stage, int done, int total) {
        using ShopBackup::Stage;
        if (stage == Stage::Copying) {
            if (!m_open) {
                Begin("copying " + QByteArray::number(total) + " pages");
                m_tenths = 0;
            }
            const int tenths = total > 0 ? int(qint64(done) * 10 / total) : 10;
            for (; m_tenths < tenths; ++m_tenths)
                std::printf(" %d%%", (m_tenths + 1) * 10);
            if (done == total)
                End();
        } else if (done == 0) {
            Begin(stage == Stage::CheckingBackup ? "checking the backup (integrity check)"
                                                 : "checking the copy (quick check)");
        } else {
            End();
        }
        std::fflush(stdout);
    }
    // A stage that failed ends its line before the failure is told.
    void Interrupted() {
        if (m_open)
            std::printf("\n");
        m_open = false;
        std::fflush(stdout);
    }

private:
    void Begin(const QByteArray& what) {
        std::printf("vorix-restore: %s...", what.constData());
        m_open = true;
        m_clock.start();
    }
    void End() {
        std::printf(" done, %.1f s\n", double(m_clock.elapsed()) / 1000);
        m_open = false;
    }

    bool m_open = false;
    int m_tenths = 0;
    QElapsedTimer m_clock;
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bool noFolder = false;
    const QString given = ShopFolder::Argument(app.arguments(), &noFolder);
    QStringList args;
    const QStringList all = app.arguments();
    for (int i = 1; i < all.size(); ++i) {
        if (all.at(i) == QLatin1String("--shop"))
            ++i; // and its folder
        else if (!all.at(i).startsWith(QLatin1String("--shop=")))
            args << all.at(i);
    }
    if (noFolder || (args.size() != 1 && args.size() != 2) || (!given.isEmpty() && args.size() == 2)) {
        std::fprintf(stderr, "usage: vorix-restore BACKUP [SHOP]\n       vorix-restore --shop DIR BACKUP\n");
        return 2;
    }
    const ConnectionSettings shop = ParseConnectionString(QString::fromUtf8(kConnectionString));
    const std::unique_ptr<QSettings> settings = UserSettings::Open();
    const QString target =
        args.size() == 2 ? args.at(1)
                         : QDir(ShopFolder::Choose(app.arguments(), Base::ProgramFolder(), *settings).folder)
                               .filePath(shop.dataSource);
    QString error;
    ProgressLines lines;
    const ShopBackup::RestoreResult result = ShopBackup::Restore(
        args.at(0), target, shop.password, &error,
        [&lines](ShopBackup::Stage stage, int done, int total) { lines(stage, done, total); });
    lines.Interrupted();
    switch (result) {
    case ShopBackup::RestoreResult::Restored:
        std::printf("restored %s from %s\n", qPrintable(target), qPrintable(args.at(0)));
        return 0;
    case ShopBackup::RestoreResult::BadBackup:
        std::fprintf(stderr, "vorix-restore: not a sound backup, nothing changed: %s\n", qPrintable(error));
        return 1;
    case ShopBackup::RestoreResult::InUse:
        std::fprintf(stderr, "vorix-restore: nothing changed: %s\n", qPrintable(error));
        return 3;
    case ShopBackup::RestoreResult::Failed:
        break;
    }
    std::fprintf(stderr, "vorix-restore: nothing changed: %s\n", qPrintable(error));
    return 1;
}
