#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "app/CBackdropView.h"

#include <QImage>

namespace {
QImage Picture() {
    return QImage(QStringLiteral(":/background.png")).convertToFormat(QImage::Format_RGB32);
}

QImage Painted(CBackdropView& view) {
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}
} // namespace

class BackdropViewTest : public QObject {
    Q_OBJECT
private slots:
    void pictureIsTheShellSize() {
        CBackdropView view; // registers the pictures
        QCOMPARE(Picture().size(), QSize(650, 380));
    }

    void largerViewShowsThePictureAtItsNaturalSizeAndWindowColourBeyond() {
        CBackdropView view;
        view.resize(720, 450);
        const QImage painted = Painted(view);
        const QImage picture = Picture();
        const QPoint origin = view.contentsRect().topLeft();
        for (const QPoint at :
             {QPoint(0, 0), QPoint(325, 190), QPoint(649, 0), QPoint(0, 379), QPoint(649, 379)})
            QCOMPARE(painted.pixelColor(origin + at), picture.pixelColor(at));
        const QColor window = view.palette().color(QPalette::Base);
        QCOMPARE(painted.pixelColor(origin + QPoint(650, 10)), window);
        QCOMPARE(painted.pixelColor(origin + QPoint(10, 380)), window);
        QCOMPARE(painted.pixelColor(origin + QPoint(700, 420)), window);
    }

    void smallerViewClipsWithoutScaling() {
        CBackdropView view;
        view.resize(300, 200);
        const QImage painted = Painted(view);
        const QImage picture = Picture();
        const QRect inside = view.contentsRect();
        for (const QPoint at : {inside.topLeft(), inside.center(), inside.bottomRight()}) {
            const QPoint inPicture = at - inside.topLeft();
            QCOMPARE(painted.pixelColor(at), picture.pixelColor(inPicture));
        }
    }
};
VORIX_TEST(BackdropViewTest)
#include "tst_BackdropView.moc"
