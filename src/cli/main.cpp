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
constexpr int kStandardOutput = 1;

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

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelvano-cipher"));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(kZelvanoVersion));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Scrambles a text as Zelvano's \"Cripta\" button does, or restores it as \"Decripta\" "
        "does, byte for byte the window's result, leading blank included. The files, or "
        "standard input, are read one after the other as one text.\n\n"
        "Exit status: 0 done; 1 unreadable input, unwritable output or wrong command line; "
        "2 text refused (a character outside Windows-1252, or bytes that are not UTF-8); "
        "3 output stopped early at a character whose code names no character."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption outputOption(
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Write to <file> instead of standard output. The file is replaced only "
                       "when the text went through (or stopped early); otherwise it stays as "
                       "it was."),
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

    QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty()) {
        complain(QStringLiteral("no command given: encrypt (cripta) or decrypt (decripta)"));
        return cli::kStatusIoError;
    }
    cli::FilterOptions options;
    const auto direction = directionNamed(arguments.takeFirst());
    if (!direction) {
        complain(QStringLiteral("unknown command; use encrypt (cripta) or decrypt (decripta)"));
        return cli::kStatusIoError;
    }
    options.direction = *direction;
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
            return cli::kStatusIoError;
        }
        for (cli::Encoding* slot : target) {
            *slot = *encoding;
        }
    }

    // Every input is opened before anything is written, so that a missing
    // file costs no output.
    if (arguments.isEmpty()) {
        arguments << QStringLiteral("-");
    }
    std::vector<std::unique_ptr<QFile>> files;
    std::vector<cli::Input> inputs;
    for (const QString& name : arguments) {
        auto file = std::make_unique<QFile>(name == QLatin1String("-") ? QString() : name);
        const bool opened =
            name == QLatin1String("-")
                ? file->open(kStandardInput, QIODevice::ReadOnly | QIODevice::Unbuffered)
                : file->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        const QString shownName =
            name == QLatin1String("-") ? QStringLiteral("standard input") : name;
        if (!opened) {
            complain(QStringLiteral("cannot read %1: %2").arg(shownName, file->errorString()));
            return cli::kStatusIoError;
        }
        inputs.push_back({shownName, file.get()});
        files.push_back(std::move(file));
    }

    const QString outputPath = parser.value(outputOption);
    if (outputPath.isEmpty() || outputPath == QLatin1String("-")) {
        QFile out;
        if (!out.open(kStandardOutput, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            complain(QStringLiteral("cannot write standard output: %1").arg(out.errorString()));
            return cli::kStatusIoError;
        }
        const cli::FilterResult result =
            cli::runFilter(options, inputs, out, QStringLiteral("standard output"));
        if (!result.message.isEmpty()) {
            complain(result.message);
        }
        return result.status;
    }

    cli::SafeOutput out(outputPath);
    if (!out.open()) {
        complain(QStringLiteral("cannot write %1: %2").arg(outputPath, out.errorString()));
        return cli::kStatusIoError;
    }
    const cli::FilterResult result = cli::runFilter(options, inputs, out.device(), outputPath);
    // An early stop is the window's result too, so its text is kept.
    const bool keep = result.status == cli::kStatusDone || result.status == cli::kStatusStopped;
    if (!keep) {
        out.discard();
    } else if (!out.commit()) {
        complain(QStringLiteral("cannot write %1: %2").arg(outputPath, out.errorString()));
        return cli::kStatusIoError;
    }
    if (!result.message.isEmpty()) {
        complain(result.message);
    }
    return result.status;
}
