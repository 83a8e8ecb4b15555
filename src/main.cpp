#include "app/CRentalApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (!theApp.InitInstance(app))
        return 0;
    return theApp.Run();
}
