#include "app/CRentalApp.h"
#include "app/CommandTable.h"
#include "app/StartArguments.h"

#include <QApplication>

int main(int argc, char** argv) {
    // Read before the window system starts, so that --help, --version and a misread argument are
    // answered without a display. An option unknown there may be one of Qt's own: the arguments
    // are read again once QApplication has taken those.
    StartArguments arguments;
    CommandLine::Verdict verdict = StartArguments::Read(CommandLine::FromMain(argc, argv), &arguments, true);
    if (verdict != CommandLine::Verdict::Run && verdict != CommandLine::Verdict::Unknown)
        return CommandLine::ExitCode(verdict);
    QApplication app(argc, argv);
    if (verdict == CommandLine::Verdict::Unknown)
        verdict = StartArguments::Read(QApplication::arguments(), &arguments);
    if (verdict != CommandLine::Verdict::Run)
        return CommandLine::ExitCode(verdict);
    if (!theApp.InitInstance(app, Commands::Table(), arguments))
        return 1;
    return theApp.Run();
}
