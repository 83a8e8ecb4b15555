#include "app/Artwork.h"

// The pictures live in a static library: their resource must be registered by hand. (Outside any
// namespace: the macro declares the resource's initialiser in the enclosing one.)
static void RegisterPictures() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(vorix);
        return true;
    }();
    Q_UNUSED(registered);
}

QIcon Artwork::AppIcon() {
    RegisterPictures();
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/vorix-%1.png").arg(size), QSize(size, size));
    return icon;
}

QIcon Artwork::ToolbarPicture(const char* name) {
    RegisterPictures();
    return QIcon(QStringLiteral(":/tool-%1.png").arg(QLatin1String(name)));
}

QPixmap Artwork::Background() {
    RegisterPictures();
    QPixmap picture;
    // QPixmap::load keeps the decoded picture in the pixmap cache, so painting stays cheap.
    picture.load(QStringLiteral(":/background.png"));
    return picture;
}
