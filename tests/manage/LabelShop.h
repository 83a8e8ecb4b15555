#pragma once
// The shop of the label and card tests: films and clients with codes a scanner must give back as
// typed (a quote, lower case, 20 bytes, Chinese), and the print previews they open.
#include "Shop.h"

#include "access/Session.h"
#include "toolkit/CPrintPreview.h"

#include <QString>
#include <QStringList>
#include <functional>

struct LabelShop {
    TempShop shop;
    BoxRecorder boxes;
    SignedIn user{QStringLiteral("Admin"), QStringLiteral("管理员")};

    // A film stored on day (yyyy-MM-dd).
    static void AddFilm(const QString& code, const QString& title, const QString& medium, const QString& day);
    static void AddClient(const QString& number, const QString& phone);
    // The codes that test what a scanner gives back: a quote, lower case, 20 bytes, Chinese.
    static QStringList HardCodes();
};

// Runs action on the print preview once it is up, then closes it; the preview's pages are made first.
void WhilePreviewIsUp(std::function<void(CPrintPreview& preview)> action);
// The preview's 导出PDF into path.
bool SavePdf(CPrintPreview& preview, const QString& path);
