#pragma once
// The arguments of vorix: --shop DIR and --server CONNECTION, read with CommandLine.h's rules.
#include "base/CommandLine.h"

#include <QString>
#include <QStringList>

struct StartArguments {
    QString shop;             // the folder of --shop, as given (relative to the current directory)
    QString server;           // the connection text of --server; empty brings the shop back to its file
    bool serverGiven = false; // --server came, an empty text included

    // Reads the program's arguments. --shop with an empty folder is refused: an empty text must not
    // fall back to the remembered folder. `quiet` as CommandLine::Read.
    static CommandLine::Verdict Read(const QStringList& arguments, StartArguments* read, bool quiet = false);
};
