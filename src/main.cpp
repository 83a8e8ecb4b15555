#include "app/CRentalApp.h"
#include "app/CommandTable.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (!theApp.InitInstance(app, CommandTable()))
        return 1;
    return theApp.Run();
}
