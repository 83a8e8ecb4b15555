#include "app/BackupProgress.h"

#include "data/engine/Engine.h"
#include "data/engine/ShopConnection.h"
#include "data/shop/ServerDatabase.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <memory>

namespace {
// How far a backup is. It has no button and does not close before the copy is done: a copy
// cannot be stopped half-way, and the window's commands wait behind it meanwhile.
class ProgressDialog : public QProgressDialog {
public:
    explicit ProgressDialog(QWidget* parent) : QProgressDialog(parent) {
        setWindowTitle(QStringLiteral("备份"));
        setLabelText(QStringLiteral("正在备份数据库..."));
        setCancelButton(nullptr);
        setWindowModality(Qt::ApplicationModal);
        setAutoClose(false);
        setAutoReset(false);
        setMinimumDuration(0);
        setRange(0, 0); // moving until the copy knows its size
    }

    // The check of the copy takes about half as long again as the copy.
    void Show(ShopBackup::Stage stage, int done, int total) {
        if (stage == ShopBackup::Stage::Copying) {
            setRange(0, total + total / 2);
            setValue(done);
        } else if (done == 0) {
            setLabelText(QStringLiteral("正在检查备份..."));
        } else {
            setValue(maximum());
        }
    }

    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

} // namespace

// The copy of a large shop takes seconds: it runs on a thread of its own while the window's
// thread waits in an event loop, so that the windows keep painting and the dialog shows progress.
bool BackupProgress::CopyShowingProgress(QWidget* parent, const QString& connectionString,
                                         const QString& target, QString* reason) {
    ProgressDialog dialog(parent);
    dialog.show();
    bool copied = false;
    const auto progress = [&dialog](ShopBackup::Stage stage, int done, int total) {
        QMetaObject::invokeMethod(
            &dialog, [&dialog, stage, done, total] { dialog.Show(stage, done, total); },
            Qt::QueuedConnection);
    };
    const std::unique_ptr<QThread> copying(QThread::create([&] {
        if (!Engine::IsServer(connectionString)) {
            copied = ShopBackup::Copy(DatabaseOpen::ParseConnectionString(connectionString), target, reason,
                                      progress);
            return;
        }
        // The server's copy tells the tables it has copied; a second backup in the minute replaces the first.
        ServerDatabase::Counts counts;
        copied = ServerDatabase::CopyToFile(ShopConnection::ServerInfo(connectionString), target, &counts,
                                            reason, ServerDatabase::Existing::Replace, progress);
    }));
    QEventLoop waiting;
    QObject::connect(copying.get(), &QThread::finished, &waiting, &QEventLoop::quit);
    copying->start();
    waiting.exec();
    copying->wait();
    return copied;
}
