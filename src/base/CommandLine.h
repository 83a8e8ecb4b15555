#pragma once
// The arguments of the program and its tools, read with QCommandLineParser the one way for all:
// --help and --version answer and change nothing; an unknown option, an option without its value
// or too few or too many arguments are refused with the usage and exit code 2, before anything
// is read or written.
#include <QString>
#include <QStringList>

class QCommandLineParser;

namespace CommandLine {
// What the program does after reading its arguments.
enum class Verdict {
    Run,      // the arguments are sound: do the work
    Answered, // --help or --version was answered on standard output: end with 0
    Refused,  // refused on standard error with the usage: end with 2
    Unknown,  // quietly: an option the parser does not know, perhaps one of Qt's own
};

struct Program {
    QString name;  // as the usage and --version name it, e.g. "vorix-restore"
    QString usage; // the forms of the command, one a line, each starting with the name
    int least = 0; // positional arguments, at least and at most
    int most = 0;
};

// Reads arguments (the program's own path first) with parser, to which it adds --help and
// --version. `quiet` reads before Qt has taken its own options (-platform, -style): an option
// the parser does not know then ends the reading without a word, as Unknown.
Verdict Read(QCommandLineParser& parser, const QStringList& arguments, const Program& program,
             bool quiet = false);
// Refuses with why and the usage on standard error, as Read does; returns Verdict::Refused.
Verdict Refuse(const QCommandLineParser& parser, const Program& program, const QString& why);
// The exit code of a program its arguments ended: 0 answered, 2 refused.
int ExitCode(Verdict verdict);
// The arguments of main as Qt reads them.
QStringList FromMain(int argc, char** argv);
} // namespace CommandLine
