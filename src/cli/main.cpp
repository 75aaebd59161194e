// zelvano-cipher: the window's "Cripta" and "Decripta" as a filter, for files
// of any size and for pipes.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "cli/filter.h"
#include "cli/safeoutput.h"
#include "version.h"

namespace {

constexpr int kStandardInput = 0;

void complain(const QString& message) {
    std::fprintf(stderr, "zelvano-cipher: %s\n", qUtf8Printable(message));
}

std::optional<cli::Encoding> encodingNamed(const QString& name) {
    if (name.compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0) {
        return cli::Encoding::Utf8;
    }
    if (name.compare(QLatin1String("windows-1252"), Qt::CaseInsensitive) == 0) {
        return cli::Encoding::Windows1252;
    }
    return std::nullopt;
}

std::optional<cli::Direction> directionNamed(const QString& name) {
    if (name == QLatin1String("encrypt") || name == QLatin1String("cripta")) {
        return cli::Direction::Encrypt;
    }
    if (name == QLatin1String("decrypt") || name == QLatin1String("decripta")) {
        return cli::Direction::Decrypt;
    }
    return std::nullopt;
}

// What the command line asks for.
struct Command {
    cli::FilterOptions options;
    QStringList files;  // "-": standard input
    QString output;     // empty or "-": standard output
};

// --help, --version and an unknown option end the program here; any other
// mistake is named on standard error and gives no command.
std::optional<Command> readCommandLine(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Scrambles a text as Zelvano's \"Cripta\" button does, or restores it as \"Decripta\" "
        "does, byte for byte the window's result, leading blank included. The files, or "
        "standard input, are read one after the other as one text.\n\n"
        "Exit status: 0 done; 1 unreadable input, unwritable output or wrong command line; "
        "2 text refused (a character outside Windows-1252, or bytes that are not UTF-8); "
        "3 output stopped early at a character whose code names no character (standard "
        "output gets the text before it; an -o file stays as it was)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption outputOption(
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Write to <file> instead of standard output. The file is replaced only "
                       "when the whole text went through; on any other exit status, 3 "
                       "included, it stays as it was. A device or pipe is written directly."),
        QStringLiteral("file"));
    const QCommandLineOption encodingOption(
        QStringLiteral("encoding"),
        QStringLiteral("Encoding of input and output: utf-8 (default) or windows-1252."),
        QStringLiteral("name"));
    const QCommandLineOption inputEncodingOption(
        QStringLiteral("input-encoding"),
        QStringLiteral("Encoding of the input, if it differs from --encoding."),
        QStringLiteral("name"));
    const QCommandLineOption outputEncodingOption(
        QStringLiteral("output-encoding"),
        QStringLiteral("Encoding of the output, if it differs from --encoding."),
        QStringLiteral("name"));
    parser.addOptions({outputOption, encodingOption, inputEncodingOption, outputEncodingOption});
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("encrypt (also: cripta) or decrypt (also: "
                                                "decripta)."),
                                 QStringLiteral("encrypt|decrypt"));
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Input files; none, or -, reads standard input."),
                                 QStringLiteral("[FILE...]"));
    parser.process(app);

    Command command;
    command.files = parser.positionalArguments();
    if (command.files.isEmpty()) {
        complain(QStringLiteral("no command given: encrypt (cripta) or decrypt (decripta)"));
        return std::nullopt;
    }
    const auto direction = directionNamed(command.files.takeFirst());
    if (!direction) {
        complain(QStringLiteral("unknown command; use encrypt (cripta) or decrypt (decripta)"));
        return std::nullopt;
    }
    command.options.direction = *direction;
    cli::FilterOptions& options = command.options;
    for (const auto& [option, target] :
         {std::pair{&encodingOption, std::vector{&options.input, &options.output}},
          std::pair{&inputEncodingOption, std::vector{&options.input}},
          std::pair{&outputEncodingOption, std::vector{&options.output}}}) {
        if (!parser.isSet(*option)) {
            continue;
        }
        const auto encoding = encodingNamed(parser.value(*option));
        if (!encoding) {
            complain(QStringLiteral("unknown encoding '%1'; use utf-8 or windows-1252")
                         .arg(parser.value(*option)));
            return std::nullopt;
        }
        for (cli::Encoding* slot : target) {
            *slot = *encoding;
        }
    }
    if (command.files.isEmpty()) {
        command.files << QStringLiteral("-");
    }
    command.output = parser.value(outputOption);
    return command;
}

struct OpenInputs {
    std::vector<std::unique_ptr<QFile>> files;
    std::vector<cli::Input> inputs;
};

// Every input is opened before anything is written, so that a missing file
// costs no output.
std::optional<OpenInputs> openInputs(const QStringList& names) {
    OpenInputs open;
    for (const QString& name : names) {
        const bool standard = name == QLatin1String("-");
        auto file = std::make_unique<QFile>(standard ? QString() : name);
        const bool opened =
            standard ? file->open(kStandardInput, QIODevice::ReadOnly | QIODevice::Unbuffered)
                     : file->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        const QString shownName = standard ? QStringLiteral("standard input") : name;
        if (!opened) {
            complain(QStringLiteral("cannot read %1: %2").arg(shownName, file->errorString()));
            return std::nullopt;
        }
        open.inputs.push_back({shownName, file.get()});
        open.files.push_back(std::move(file));
    }
    return open;
}

// Only a text that went all the way through replaces an output file. Where
// the output is written directly, standard output above all, the text before
// a fault is out already: before an early stop, that is the window's result.
int finish(cli::SafeOutput& output, const cli::FilterResult& result) {
    if (result.status != cli::kStatusDone) {
        output.discard();
        complain(result.message);
        return result.status;
    }
    if (!output.commit()) {
        complain(QStringLiteral("cannot write %1: %2").arg(output.name(), output.errorString()));
        return cli::kStatusIoError;
    }
    return cli::kStatusDone;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelvano-cipher"));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(kZelvanoVersion));

    const std::optional<Command> command = readCommandLine(app);
    if (!command) {
        return cli::kStatusIoError;
    }
    const std::optional<OpenInputs> inputs = openInputs(command->files);
    if (!inputs) {
        return cli::kStatusIoError;
    }
    cli::SafeOutput output(command->output);
    if (!output.open()) {
        complain(QStringLiteral("cannot write %1: %2").arg(output.name(), output.errorString()));
        return cli::kStatusIoError;
    }
    return finish(output,
                  cli::runFilter(command->options, inputs->inputs, output.device(), output.name()));
}
