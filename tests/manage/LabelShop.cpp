#include "LabelShop.h"

#include "toolkit/SaveDialog.h"

#include <QApplication>
#include <QPrintPreviewWidget>
#include <QTest>
#include <QTimer>

namespace {
QString Quoted(const QString& text) {
    return QString(text).replace(QLatin1Char('\''), QStringLiteral("''"));
}
} // namespace

void LabelShop::AddFilm(const QString& code, const QString& title, const QString& medium,
                        const QString& day) {
    QVERIFY(Db::Exec(
        QStringLiteral("INSERT INTO Film (FilmID,FilmName,Playactor,Type,Class1,Class2,StgDate,Degree,"
                       "Remark) VALUES('%1','%2','','%3','动作片','大陆','%4',0,'')")
            .arg(Quoted(code), Quoted(title), medium, day)));
}

void LabelShop::AddClient(const QString& number, const QString& phone) {
    QVERIFY(
        Db::Exec(QStringLiteral("INSERT INTO Client (ClientID,PhoneNum,CreateDate,Foregift,Balance,Remark) "
                                "VALUES('%1','%2','2026-01-01',50,50,'')")
                     .arg(Quoted(number), Quoted(phone))));
}

QStringList LabelShop::HardCodes() {
    return {QStringLiteral("O'Neil-7"), QStringLiteral("abc-xyz"), QStringLiteral("ABCDEFGHIJ0123456789"),
            QStringLiteral("大话西游01")};
}

void WhilePreviewIsUp(std::function<void(CPrintPreview& preview)> action) {
    QTimer::singleShot(0, [action] {
        auto* preview = qobject_cast<CPrintPreview*>(QApplication::activeModalWidget());
        QVERIFY(preview);
        preview->View()->updatePreview();
        action(*preview);
        preview->reject();
    });
}

bool SavePdf(CPrintPreview& preview, const QString& path) {
    SaveDialog::SetChooser([path](QWidget*, const QString&) { return path; });
    const QString written = preview.OnPdf();
    SaveDialog::SetChooser(nullptr);
    return written == path;
}
