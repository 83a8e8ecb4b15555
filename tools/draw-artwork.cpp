// draw-artwork: paints Vorix's pictures into PNG files.
//   draw-artwork [FOLDER]   writes the application icon (16, 32, 48 px), the nine toolbar pictures
//                           (32 px) and the 650x380 background into FOLDER (default: res)
// The pictures share one warm palette and a dark brown outline, so they read as one family.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {
const QColor kOutline(0x4a, 0x2c, 0x1a);
const QColor kRed(0xc8, 0x32, 0x24);
const QColor kOrange(0xe8, 0x6a, 0x2e);
const QColor kAmber(0xf4, 0xb2, 0x3e);
const QColor kGold(0xf8, 0xd4, 0x6b);
const QColor kCream(0xff, 0xf4, 0xe0);
const QColor kTeal(0x2a, 0x9d, 0x8f);
const QColor kTealDark(0x1d, 0x6f, 0x66);

QPen Outline(qreal width = 1.2) {
    return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QImage Blank(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A disc seen from the front: a shimmering silver-gold face, a clear hub and the centre hole.
// The hole shows `behind`; without it the hole is cut clear through the picture.
void Disc(QPainter& p, QPointF c, qreal r, qreal outline = 1.2, const QBrush* behind = nullptr) {
    QConicalGradient face(c, 35);
    face.setColorAt(0.00, QColor(0xff, 0xf6, 0xe4));
    face.setColorAt(0.15, QColor(0xf6, 0xc8, 0x7a));
    face.setColorAt(0.30, QColor(0xf0, 0x9a, 0x7a));
    face.setColorAt(0.45, QColor(0xfd, 0xee, 0xd8));
    face.setColorAt(0.62, QColor(0xd9, 0xc6, 0xb0));
    face.setColorAt(0.78, QColor(0xf7, 0xd0, 0x8c));
    face.setColorAt(0.90, QColor(0xf4, 0xa6, 0x86));
    face.setColorAt(1.00, QColor(0xff, 0xf6, 0xe4));
    p.setPen(Outline(outline));
    p.setBrush(face);
    p.drawEllipse(c, r, r);
    p.setPen(QPen(QColor(0xa0, 0x84, 0x6c), outline * 0.7));
    p.setBrush(QColor(0xf4, 0xee, 0xe6));
    p.drawEllipse(c, r * 0.36, r * 0.36);
    p.save();
    if (!behind)
        p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(Qt::NoPen);
    p.setBrush(behind ? *behind : QBrush(Qt::black));
    p.drawEllipse(c, r * 0.14, r * 0.14);
    p.restore();
    p.setPen(QPen(QColor(0xa0, 0x84, 0x6c), outline * 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.14, r * 0.14);
}

// A bold straight arrow from `from` to `to`.
void Arrow(QPainter& p, QPointF from, QPointF to, qreal shaft, qreal head, const QColor& fill) {
    const QLineF line(from, to);
    const qreal len = line.length();
    QPainterPath path;
    path.moveTo(0, -shaft / 2);
    path.lineTo(len - head, -shaft / 2);
    path.lineTo(len - head, -head * 0.7);
    path.lineTo(len, 0);
    path.lineTo(len - head, head * 0.7);
    path.lineTo(len - head, shaft / 2);
    path.lineTo(0, shaft / 2);
    path.closeSubpath();
    QTransform t;
    t.translate(from.x(), from.y());
    t.rotate(-line.angle());
    QLinearGradient g(0, -head, 0, head);
    g.setColorAt(0, fill.lighter(130));
    g.setColorAt(1, fill.darker(110));
    p.setPen(Outline());
    p.setBrush(g);
    p.drawPath(t.map(path));
}

// A piece of film: a dark strip with sprocket holes and warm frames.
void FilmStrip(QPainter& p, const QRectF& r, int frames, bool withOutline = true) {
    p.setPen(withOutline ? Outline() : Qt::NoPen);
    p.setBrush(QColor(0x3a, 0x22, 0x16));
    p.drawRect(r);
    const qreal hole = r.height() * 0.13;
    const qreal band = r.height() * 0.2;
    p.setPen(Qt::NoPen);
    p.setBrush(kCream);
    for (qreal x = r.left() + hole * 0.8; x + hole < r.right(); x += hole * 2.2) {
        p.drawRoundedRect(QRectF(x, r.top() + (band - hole) / 2, hole, hole), hole * 0.25, hole * 0.25);
        p.drawRoundedRect(QRectF(x, r.bottom() - band + (band - hole) / 2, hole, hole), hole * 0.25,
                          hole * 0.25);
    }
    const qreal frameW = r.width() / frames;
    for (int i = 0; i < frames; ++i) {
        const QRectF f(r.left() + i * frameW + frameW * 0.08, r.top() + band, frameW * 0.84,
                       r.height() - 2 * band);
        QLinearGradient g(f.topLeft(), f.bottomRight());
        g.setColorAt(0, kGold);
        g.setColorAt(1, kOrange);
        p.setBrush(g);
        p.drawRect(f);
    }
}

QLinearGradient Vertical(const QRectF& r, const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

QFont Font(const char* family, qreal pixels, int weight = QFont::Bold) {
    QFont font(QString::fromUtf8(family));
    font.setPixelSize(int(pixels));
    font.setWeight(QFont::Weight(weight));
    return font;
}

// ---- Application icon --------------------------------------------------------------------------

QImage AppIcon(int size) {
    QImage image = Blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    const qreal line = size <= 16 ? 2.4 : 1.4;
    // A warm tile...
    const QRectF tile(2, 2, 44, 44);
    const QBrush tileFill(Vertical(tile, kAmber, kRed));
    p.setPen(QPen(kOutline, line));
    p.setBrush(tileFill);
    p.drawRoundedRect(tile, 10, 10);
    if (size > 16) {
        // ...crossed by a strip of film...
        p.save();
        p.setClipPath([&] {
            QPainterPath clip;
            clip.addRoundedRect(tile.adjusted(1, 1, -1, -1), 9, 9);
            return clip;
        }());
        FilmStrip(p, QRectF(0, 31, 48, 13), 4, false);
        p.restore();
        p.setPen(QPen(kOutline, line));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(tile, 10, 10);
    }
    // ...with a disc in front.
    Disc(p, size > 16 ? QPointF(24, 21) : QPointF(24, 24), size > 16 ? 15 : 17, line, &tileFill);
    return image;
}

// ---- Toolbar pictures (32 x 32) ----------------------------------------------------------------

void Lend(QPainter& p) {
    Disc(p, QPointF(13, 13), 11);
    Arrow(p, QPointF(8, 24), QPointF(31, 24), 6, 8, kOrange);
}

void Return(QPainter& p) {
    Disc(p, QPointF(19, 13), 11);
    Arrow(p, QPointF(25, 24), QPointF(1, 24), 6, 8, kTeal);
}

void Exchange(QPainter& p) {
    // One disc goes out, the other comes in.
    Arrow(p, QPointF(4, 5.5), QPointF(29, 5.5), 4, 6, kOrange);
    Disc(p, QPointF(9, 16.5), 7.5);
    Disc(p, QPointF(23, 16.5), 7.5);
    Arrow(p, QPointF(28, 27.5), QPointF(3, 27.5), 4, 6, kTeal);
}

void Films(QPainter& p) {
    // A clapperboard: striped sticks over a board holding a strip of film.
    const QRectF board(3, 12, 26, 18);
    p.setPen(Outline());
    p.setBrush(Vertical(board, QColor(0x5a, 0x36, 0x24), QColor(0x34, 0x1e, 0x12)));
    p.drawRoundedRect(board, 2, 2);
    FilmStrip(p, QRectF(6, 17, 20, 9), 3);
    p.save();
    p.translate(3, 11);
    p.rotate(-16);
    QPainterPath stick;
    stick.addRoundedRect(QRectF(0, -6, 27, 6), 1.5, 1.5);
    p.setClipPath(stick);
    p.fillRect(QRectF(0, -6, 27, 6), kCream);
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    for (int x = -4; x < 30; x += 8) {
        QPolygonF stripe;
        stripe << QPointF(x, 0) << QPointF(x + 4, 0) << QPointF(x + 8, -6) << QPointF(x + 4, -6);
        p.drawPolygon(stripe);
    }
    p.setClipping(false);
    p.setPen(Outline());
    p.setBrush(Qt::NoBrush);
    p.drawPath(stick);
    p.restore();
    p.setPen(Outline());
    p.setBrush(kGold);
    p.drawEllipse(QPointF(4.5, 11), 2, 2);
}

void Person(QPainter& p, QPointF head, qreal scale, const QColor& top, const QColor& bottom) {
    const QRectF body(head.x() - 9 * scale, head.y() + 5 * scale, 18 * scale, 13 * scale);
    QPainterPath shoulders;
    shoulders.moveTo(body.bottomLeft());
    shoulders.lineTo(body.left(), body.top() + 6 * scale);
    shoulders.quadTo(body.left(), body.top(), body.left() + 6 * scale, body.top());
    shoulders.lineTo(body.right() - 6 * scale, body.top());
    shoulders.quadTo(body.right(), body.top(), body.right(), body.top() + 6 * scale);
    shoulders.lineTo(body.bottomRight());
    shoulders.closeSubpath();
    p.setPen(Outline());
    p.setBrush(Vertical(body, top, bottom));
    p.drawPath(shoulders);
    p.setBrush(Vertical(QRectF(head.x() - 5, head.y() - 5, 10, 10), QColor(0xff, 0xe0, 0xc0),
                        QColor(0xf0, 0xb8, 0x8c)));
    p.drawEllipse(head, 5 * scale, 5.2 * scale);
}

void Clients(QPainter& p) {
    Person(p, QPointF(21, 8), 0.85, kGold, kAmber);
    Person(p, QPointF(12, 12), 1.0, kOrange, kRed);
}

void Records(QPainter& p) {
    // A ledger on a clipboard: lines of rentals, one ticked.
    const QRectF board(5, 4, 22, 27);
    p.setPen(Outline());
    p.setBrush(Vertical(board, QColor(0xc2, 0x7a, 0x42), QColor(0x8e, 0x52, 0x2a)));
    p.drawRoundedRect(board, 2.5, 2.5);
    const QRectF sheet(8, 7, 16, 21);
    p.setBrush(kCream);
    p.drawRect(sheet);
    p.setPen(QPen(QColor(0xb0, 0x8c, 0x6c), 1.4, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(14, 12.5 + i * 4), QPointF(22, 12.5 + i * 4));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(i == 3 ? kOrange : kTeal);
        p.drawEllipse(QPointF(11, 12.5 + i * 4), 1.5, 1.5);
    }
    const QRectF clip(11, 2, 10, 5);
    p.setPen(Outline());
    p.setBrush(Vertical(clip, QColor(0xd8, 0xd0, 0xc8), QColor(0x90, 0x84, 0x78)));
    p.drawRoundedRect(clip, 1.5, 1.5);
}

void Settings(QPainter& p) {
    // A price tag marked with the yuan sign.
    QPainterPath tag;
    tag.moveTo(3, 10);
    tag.lineTo(10, 3);
    tag.lineTo(28, 3);
    tag.quadTo(30, 3, 30, 5);
    tag.lineTo(30, 27);
    tag.quadTo(30, 29, 28, 29);
    tag.lineTo(10, 29);
    tag.lineTo(3, 22);
    tag.closeSubpath();
    p.setPen(Outline());
    p.setBrush(Vertical(QRectF(0, 3, 32, 26), kGold, kAmber));
    p.drawPath(tag);
    p.setBrush(kCream);
    p.drawEllipse(QPointF(8.5, 16), 2.2, 2.2);
    p.setPen(kRed.darker(120));
    p.setFont(Font("DejaVu Sans", 21));
    p.drawText(QRectF(11, 3, 19, 26), Qt::AlignCenter, QString::fromUtf8("¥"));
}

void Backup(QPainter& p) {
    // The database as a drum, with a copy going into the safe folder.
    const qreal x = 4, w = 19, rh = 3.2;
    for (int i = 2; i >= 0; --i) {
        const qreal y = 7 + i * 7;
        QPainterPath slice;
        slice.moveTo(x, y);
        slice.lineTo(x, y + 7);
        slice.arcTo(QRectF(x, y + 7 - rh, w, 2 * rh), 180, 180);
        slice.lineTo(x + w, y);
        slice.closeSubpath();
        p.setPen(Outline());
        QLinearGradient g(x, 0, x + w, 0);
        g.setColorAt(0, kAmber.darker(115));
        g.setColorAt(0.4, kGold);
        g.setColorAt(1, kOrange);
        p.setBrush(g);
        p.drawPath(slice);
    }
    p.setBrush(kGold.lighter(115));
    p.drawEllipse(QRectF(x, 7 - rh, w, 2 * rh));
    // A green badge with a downward arrow: the copy is being kept.
    p.setBrush(Vertical(QRectF(16, 16, 15, 15), kTeal.lighter(120), kTealDark));
    p.drawEllipse(QPointF(23.5, 23.5), 7.5, 7.5);
    QPolygonF arrow;
    arrow << QPointF(22, 18.5) << QPointF(25, 18.5) << QPointF(25, 23) << QPointF(28, 23)
          << QPointF(23.5, 28.5) << QPointF(19, 23) << QPointF(22, 23);
    p.setPen(Qt::NoPen);
    p.setBrush(kCream);
    p.drawPolygon(arrow);
}

void About(QPainter& p) {
    const QPointF c(16, 16);
    QRadialGradient g(QPointF(12, 10), 18);
    g.setColorAt(0, kAmber);
    g.setColorAt(1, kRed);
    p.setPen(Outline());
    p.setBrush(g);
    p.drawEllipse(c, 13.5, 13.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kCream);
    p.drawEllipse(QPointF(16, 9.5), 2.4, 2.4);
    p.drawRoundedRect(QRectF(13.8, 13.5, 4.4, 11.5), 1.2, 1.2);
    p.drawRoundedRect(QRectF(12, 23, 8, 2.4), 1, 1);
}

QImage ToolbarPicture(const std::function<void(QPainter&)>& draw) {
    QImage image = Blank(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p);
    return image;
}

// ---- Background (650 x 380) --------------------------------------------------------------------

QImage Background() {
    QImage image(650, 380, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF all(0, 0, 650, 380);

    // Evening in the shop window: deep red at the top fading to a warm glow.
    QLinearGradient sky(0, 0, 0, 380);
    sky.setColorAt(0, QColor(0x4a, 0x12, 0x16));
    sky.setColorAt(0.55, QColor(0x9c, 0x2e, 0x1e));
    sky.setColorAt(1, QColor(0xe0, 0x7a, 0x30));
    p.fillRect(all, sky);
    const QBrush behind(sky);
    QRadialGradient glow(QPointF(200, 150), 320);
    glow.setColorAt(0, QColor(255, 210, 140, 90));
    glow.setColorAt(1, QColor(255, 210, 140, 0));
    p.fillRect(all, glow);

    // Soft spotlight beams from the top left corner.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        QPolygonF beam;
        beam << QPointF(-20, -20) << QPointF(260 + i * 120, 380) << QPointF(320 + i * 120, 380);
        p.setBrush(QColor(255, 230, 180, 14));
        p.drawPolygon(beam);
    }

    // Discs stacked on the right, partly beyond the window's edge.
    p.save();
    p.setOpacity(0.95);
    Disc(p, QPointF(540, 110), 95, 2, &behind);
    Disc(p, QPointF(455, 215), 80, 2, &behind);
    p.restore();

    // A strip of film running across the lower part.
    p.save();
    p.translate(-30, 318);
    p.rotate(-7);
    p.setOpacity(0.92);
    FilmStrip(p, QRectF(0, 0, 760, 58), 11, false);
    p.restore();

    // The name.
    const QFont name = Font("DejaVu Serif", 96, QFont::Bold);
    const QRectF nameBox(40, 56, 360, 120);
    p.setFont(name);
    p.setPen(QColor(0x2a, 0x08, 0x08, 150));
    p.drawText(nameBox.translated(4, 5), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vorix"));
    QLinearGradient ink(0, nameBox.top() + 20, 0, nameBox.bottom() - 20);
    ink.setColorAt(0, QColor(0xff, 0xf8, 0xe8));
    ink.setColorAt(1, kGold);
    p.setPen(QPen(QBrush(ink), 1));
    p.drawText(nameBox, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vorix"));

    QFont motto = Font("WenQuanYi Micro Hei", 38, QFont::Bold);
    motto.setLetterSpacing(QFont::AbsoluteSpacing, 10);
    p.setFont(motto);
    const QRectF mottoBox(46, 176, 360, 56);
    p.setPen(QColor(0x2a, 0x08, 0x08, 150));
    p.drawText(mottoBox.translated(3, 3), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8("影像租赁"));
    p.setPen(kCream);
    p.drawText(mottoBox, Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8("影像租赁"));

    p.setPen(QPen(kGold, 2));
    p.drawLine(QPointF(48, 242), QPointF(300, 242));
    QFont media = Font("DejaVu Sans", 17, QFont::DemiBold);
    media.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(media);
    p.setPen(kGold);
    p.drawText(QRectF(48, 248, 360, 28), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8("VCD · DVD"));
    return image;
}

bool Save(const QImage& image, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "draw-artwork: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return true;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("res"));
    bool ok = true;
    for (int size : {16, 32, 48, 64, 128, 256}) // the window uses 16-48; the desktop all of them
        ok = Save(AppIcon(size), dir, QStringLiteral("vorix-%1.png").arg(size)) && ok;
    const std::pair<const char*, void (*)(QPainter&)> pictures[] = {
        {"lend", Lend},         {"return", Return},   {"exchange", Exchange},
        {"films", Films},       {"clients", Clients}, {"records", Records},
        {"settings", Settings}, {"backup", Backup},   {"about", About},
    };
    for (const auto& [name, draw] : pictures)
        ok = Save(ToolbarPicture(draw), dir, QStringLiteral("tool-%1.png").arg(QLatin1String(name))) && ok;
    ok = Save(Background(), dir, QStringLiteral("background.png")) && ok;
    return ok ? 0 : 1;
}
