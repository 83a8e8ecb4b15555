#include "base/CommandLine.h"

#include <QCommandLineParser>
#include <QFile>
#include <cstdio>

namespace {
// The parser's help without its own first line, which names "<executable_name>" until an
// application object exists: the program's forms stand there instead.
QString HelpText(const QCommandLineParser& parser, const CommandLine::Program& program) {
    QString options = parser.helpText();
    options.remove(0, options.indexOf(QLatin1Char('\n')) + 1);
    QString usage;
    for (const QString& form : program.usage.split(QLatin1Char('\n')))
        usage += (usage.isEmpty() ? QStringLiteral("Usage: ") : QStringLiteral("       ")) + form +
                 QLatin1Char('\n');
    return usage + options;
}

void Print(std::FILE* stream, const QString& text) {
    std::fputs(QFile::encodeName(text).constData(), stream);
    std::fflush(stream);
}
} // namespace

CommandLine::Verdict CommandLine::Read(QCommandLineParser& parser, const QStringList& arguments,
                                       const Program& program, bool quiet) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    if (!parser.parse(arguments))
        return quiet ? Verdict::Unknown : Refuse(parser, program, parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        Print(stdout, HelpText(parser, program));
        return Verdict::Answered;
    }
    if (parser.isSet(version)) {
        Print(stdout, program.name + QStringLiteral(" " VORIX_VERSION "\n"));
        return Verdict::Answered;
    }
    const qsizetype given = parser.positionalArguments().size();
    if (given < program.least)
        return Refuse(parser, program, QStringLiteral("an argument is missing."));
    if (given > program.most) {
        return Refuse(
            parser, program,
            QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().at(program.most)));
    }
    return Verdict::Run;
}

CommandLine::Verdict CommandLine::Refuse(const QCommandLineParser& parser, const Program& program,
                                         const QString& why) {
    Print(stderr, program.name + QStringLiteral(": ") + why + QLatin1Char('\n') + HelpText(parser, program));
    return Verdict::Refused;
}

int CommandLine::ExitCode(Verdict verdict) {
    return verdict == Verdict::Answered || verdict == Verdict::Run ? 0 : 2;
}

QStringList CommandLine::FromMain(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);
    return arguments;
}
