// vorix-restore: puts a backup of the shop's database back in place of cddata.mdb.
//   vorix-restore BACKUP          restore into the shop's cddata.mdb: beside this program when it
//                                 is there, else in the shop folder Vorix uses (--shop DIR names one)
//   vorix-restore BACKUP SHOP     restore into the file SHOP
// The backup must open with the shop's password and pass the integrity check; nothing is changed
// while a program has the shop file open. The old file's write-ahead log is removed with it.
// On a large shop this takes seconds: each stage is printed as it begins, with its time when done.
// --help and --version answer; a misread argument is refused with exit code 2, changing nothing.
#include "base/CommandLine.h"
#include "base/ProgramFolder.h"
#include "base/UserSettings.h"
#include "data/AuditTrail.h"
#include "data/CAdoDb.h"
#include "data/shop/ShopBackup.h"
#include "data/shop/ShopFolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
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

// The restored shop's trail says it was put back, from which backup and by which system user.
void WriteTrail(const QString& target, const QByteArray& password, const QString& backup) {
    const QString restored = QStringLiteral("Provider=SQLCipher;Data Source=%1;Database Password=%2")
                                 .arg(QFileInfo(target).absoluteFilePath(), QString::fromUtf8(password));
    const QString user = qEnvironmentVariable("USER");
    if (!AuditTrail::WriteInto(restored, QString(), AuditTrail::kRestore, QFileInfo(backup).fileName(),
                               QStringLiteral("由 vorix-restore 从 %1 恢复,系统用户 %2")
                                   .arg(QFileInfo(backup).absoluteFilePath(), user)))
        std::fprintf(stderr, "vorix-restore: the trail of the restored shop could not be written\n");
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const CommandLine::Program program{
        QStringLiteral("vorix-restore"),
        QStringLiteral("vorix-restore BACKUP [SHOP]\nvorix-restore --shop DIR BACKUP"), 1, 2};
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Puts a backup of the shop's database back in place."));
    const QCommandLineOption shopOption(QStringLiteral("shop"),
                                        QStringLiteral("Restore into the cddata.mdb of the shop folder DIR."),
                                        QStringLiteral("DIR"));
    parser.addOption(shopOption);
    parser.addPositionalArgument(QStringLiteral("BACKUP"), QStringLiteral("The backup to put in place."));
    parser.addPositionalArgument(QStringLiteral("SHOP"),
                                 QStringLiteral("The shop file to replace (else the shop folder's)."),
                                 QStringLiteral("[SHOP]"));
    const CommandLine::Verdict verdict = CommandLine::Read(parser, app.arguments(), program);
    if (verdict != CommandLine::Verdict::Run)
        return CommandLine::ExitCode(verdict);
    const QStringList args = parser.positionalArguments();
    const QString given = parser.value(shopOption);
    const auto refuse = [&](const char* why) {
        return CommandLine::ExitCode(CommandLine::Refuse(parser, program, QString::fromLatin1(why)));
    };
    if (parser.isSet(shopOption) && given.trimmed().isEmpty())
        return refuse("--shop needs a folder.");
    if (parser.isSet(shopOption) && args.size() == 2)
        return refuse("--shop and SHOP name the shop twice.");
    if (args.at(0).isEmpty() || (args.size() == 2 && args.at(1).isEmpty()))
        return refuse("an empty file name.");
    const ConnectionSettings shop =
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
    const std::unique_ptr<QSettings> settings = UserSettings::Open();
    const QString target = args.size() == 2
                               ? args.at(1)
                               : QDir(ShopFolder::Choose(given, Base::ProgramFolder(), *settings).folder)
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
        WriteTrail(target, shop.password, args.at(0));
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
