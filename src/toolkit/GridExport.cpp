#include "toolkit/GridExport.h"

#include "base/Prompter.h"
#include "data/CAdodc.h"
#include "data/CsvExport.h"
#include "toolkit/CDataGrid.h"
#include "toolkit/SaveDialog.h"

#include <QDir>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <thread>

void GridExport::Run(QWidget* parent, const CAdodc& adodc, const CDataGrid& grid, const QString& title) {
    QList<CsvExport::Column> columns;
    for (int column = 0; column < adodc.columnCount(); ++column) {
        if (!grid.isColumnHidden(column))
            columns.append({column, adodc.headerData(column, Qt::Horizontal).toString()});
    }
    if (adodc.RecordSource().isEmpty() || columns.isEmpty())
        return;
    const QString path = SaveDialog::Ask(parent, QStringLiteral("导出"), title + QStringLiteral(".csv"),
                                         QStringLiteral("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;

    QProgressDialog progress(QStringLiteral("正在导出……"), QStringLiteral("取消"), 0, 0, parent);
    progress.setWindowTitle(QStringLiteral("导出"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setValue(0); // starts the 300 ms: a busy dialog would otherwise wait the default 4 s
    std::atomic<qint64> written{0};
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    CsvExport::Result result = CsvExport::Result::Failed;
    qint64 rows = 0;
    QString error;
    const QString sql = adodc.RecordSource();
    std::thread worker([&] {
        result = CsvExport::Write(
            sql, columns, path,
            [&](qint64 count) {
                written = count;
                return !cancel.load();
            },
            &rows, &error);
        done = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (progress.wasCanceled())
            cancel = true;
        progress.setLabelText(QStringLiteral("正在导出……已写 %1 行").arg(written.load()));
        if (done)
            loop.quit();
    });
    poll.start(50);
    loop.exec();
    worker.join();
    progress.close();

    const QString shown = QDir::toNativeSeparators(path);
    switch (result) {
    case CsvExport::Result::Written:
        Prompter::MessageBox(QStringLiteral("已导出 %1 行到\n%2").arg(rows).arg(shown),
                             QStringLiteral("导出"), MsgIcon::Information);
        break;
    case CsvExport::Result::Cancelled:
        Prompter::MessageBox(QStringLiteral("导出已取消,没有写入文件。"), QStringLiteral("导出"),
                             MsgIcon::Information);
        break;
    case CsvExport::Result::Failed:
        Prompter::MessageBox(
            QStringLiteral("无法导出到\n%1\n\n%2\n原有的同名文件没有改动。").arg(shown, error),
            QStringLiteral("导出"), MsgIcon::Error);
        break;
    }
}
