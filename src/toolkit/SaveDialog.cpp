#include "toolkit/SaveDialog.h"

#include "base/UserSettings.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
const QString kFolderKey = QStringLiteral("files/saveFolder");

SaveDialog::Chooser& Replaced() {
    static SaveDialog::Chooser chooser;
    return chooser;
}
} // namespace

void SaveDialog::SetChooser(Chooser chooser) {
    Replaced() = std::move(chooser);
}

QString SaveDialog::StartPath(const QString& suggested) {
    QString folder = UserSettings::Open()->value(kFolderKey).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(suggested);
}

QString SaveDialog::Ask(QWidget* parent, const QString& caption, const QString& suggested,
                        const QString& filter) {
    const QString path = Replaced()
                             ? Replaced()(parent, suggested)
                             : QFileDialog::getSaveFileName(parent, caption, StartPath(suggested), filter);
    if (!path.isEmpty()) {
        const auto settings = UserSettings::Open();
        settings->setValue(kFolderKey, QFileInfo(path).absolutePath());
        settings->sync();
    }
    return path;
}
