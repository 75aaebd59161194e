// zelvano-cipher against the cipher functions that the window's commands use:
// the streaming unit in blocks of every size and split, and the built program
// for its exit statuses, messages and output file.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <vector>

#include "cipher/cipher.h"
#include "cli/cipherstream.h"
#include "cli/filter.h"

using cli::Direction;
using cli::Encoding;
using Kind = cli::StreamFault::Kind;

namespace {

QByteArray encode(const std::u16string& text, Encoding encoding) {
    if (encoding == Encoding::Utf8) {
        return QString::fromStdU16String(text).toUtf8();
    }
    QByteArray bytes;
    for (const char16_t ch : text) {
        bytes.append(static_cast<char>(*cipher::CharToCode(ch)));
    }
    return bytes;
}

bool representable(const std::u16string& text) {
    for (const char16_t ch : text) {
        if (!cipher::CharToCode(ch)) {
            return false;
        }
    }
    return true;
}

// What the filter must give for a text: the window's result, except that a
// stop before the first character outside Windows-1252 wins, since a stream
// cannot look ahead.
struct Expected {
    std::u16string text;  // output, when the text is not refused
    Kind kind = Kind::None;
    std::uint64_t position = 0;
};

Expected expected(Direction direction, const std::u16string& text) {
    const auto run = [direction](std::u16string_view t) {
        return direction == Direction::Encrypt ? cipher::EncryptText(t) : cipher::DecryptText(t);
    };
    const cipher::TextResult window = run(text);
    if (window.unsupportedAt) {
        const cipher::TextResult before =
            run(std::u16string_view(text).substr(0, *window.unsupportedAt - 1));
        if (!before.stoppedAt) {
            return {{}, Kind::Unsupported, *window.unsupportedAt};
        }
        return {before.text, Kind::Stop, *before.stoppedAt};
    }
    if (window.stoppedAt) {
        return {window.text, Kind::Stop, *window.stoppedAt};
    }
    return {window.text, Kind::None, 0};
}

struct Outcome {
    QByteArray output;
    cli::StreamFault fault;
};

// The bytes through a CipherStream, cut at the given offsets.
Outcome stream(Direction direction, Encoding in, Encoding out, const QByteArray& bytes,
               const std::vector<qsizetype>& cuts) {
    cli::CipherStream s(direction, in, out);
    Outcome outcome;
    qsizetype from = 0;
    std::vector<qsizetype> ends = cuts;
    ends.push_back(bytes.size());
    for (const qsizetype to : ends) {
        const auto size = static_cast<std::size_t>(to - from);
        std::vector<char> buffer(cli::CipherStream::outputCapacity(size));
        const std::size_t written = s.feed(bytes.constData() + from, size, buffer.data());
        outcome.output.append(buffer.data(), static_cast<qsizetype>(written));
        from = to;
    }
    char tail[cli::CipherStream::outputCapacity(0)];
    outcome.output.append(tail, static_cast<qsizetype>(s.finish(tail)));
    outcome.fault = s.fault();
    return outcome;
}

void compare(const Outcome& got, const Expected& want, Encoding out) {
    QCOMPARE(got.fault.kind, want.kind);
    QCOMPARE(got.fault.position, want.position);
    if (want.kind != Kind::Unsupported) {
        QCOMPARE(got.output, encode(want.text, out));
    }
}

std::u16string u16(const QString& s) {
    return s.toStdU16String();
}

constexpr Encoding kEncodings[] = {Encoding::Utf8, Encoding::Windows1252};
constexpr Direction kDirections[] = {Direction::Encrypt, Direction::Decrypt};

}  // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void everyCodeAtBothParities();
    void textsInBlocks_data();
    void textsInBlocks();
    void badUtf8_data();
    void badUtf8();
    void program_data();
    void program();
    void outputFileOnFailure_data();
    void outputFileOnFailure();
};

// Each code alone (an odd position) and after a letter (an even one), in
// every pair of encodings.
void TestCli::everyCodeAtBothParities() {
    for (const Direction direction : kDirections) {
        for (const Encoding in : kEncodings) {
            for (const Encoding out : kEncodings) {
                for (int code = 0; code < 256; ++code) {
                    for (const std::u16string& text :
                         {std::u16string{cipher::CodeToChar(code)},
                          std::u16string{u'a', cipher::CodeToChar(code)}}) {
                        compare(stream(direction, in, out, encode(text, in), {}),
                                expected(direction, text), out);
                    }
                }
            }
        }
    }
}

void TestCli::textsInBlocks_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("worked example") << QStringLiteral("Salve mondo");
    QTest::newRow("encrypted example") << QStringLiteral(" XDqYj rRsGt");
    QTest::newRow("accents and lines") << QStringLiteral(
        "Perché la città è lì?\r\nÈ già così: però più tardi.\nÀ presto, Œdipe ÿ Ž!");
    QTest::newRow("three-byte characters") << QStringLiteral("€ 5 – “sì” … ‰ ™ ‹x› • Ÿ");
    QTest::newRow("unassigned codes") << QStringLiteral("a\u0081b\u008d\u008f\u0090\u009dz|~");
    QTest::newRow("control characters") << QStringLiteral("\t\x01\x02\x03\x04\x05 \x7f");
    QTest::newRow("stop late") << QStringLiteral("ciao mondo, ciaoû e poi altro");
    QTest::newRow("stop first") << QStringLiteral("ûabc");
    QTest::newRow("refused") << QStringLiteral("abc\u202edef");
    QTest::newRow("refused, four bytes") << QStringLiteral("abcdé\U0001F600x");
    QTest::newRow("stop before refusal") << QStringLiteral("aaaaû\u0101");
    QTest::newRow("refusal before stop") << QStringLiteral("aa\u0101û");
    QTest::newRow("empty") << QString();
    QTest::newRow("long ASCII runs") << QStringLiteral("Salve mondo, ").repeated(5) +
                                            QStringLiteral("abcxyz{|}~\x7f").repeated(3) +
                                            QStringLiteral("fine del testo\x01\x02 e poi ") +
                                            QStringLiteral("z").repeated(40);
    QTest::newRow("long, accents and a late stop")
        << QStringLiteral("Più tardi la città è già lì. ").repeated(6) +
               QStringLiteral("ÿû alla fine");
}

// Every split into blocks of a small size at every offset (and the whole text
// as one block), the first piece also as a file of its own, must give the
// window's result for the whole.
void TestCli::textsInBlocks() {
    QFETCH(QString, text);
    const std::u16string chars = u16(text);
    for (const Direction direction : kDirections) {
        const Expected want = expected(direction, chars);
        for (const Encoding in : kEncodings) {
            if (in == Encoding::Windows1252 && !representable(chars)) {
                continue;
            }
            const QByteArray bytes = encode(chars, in);
            for (const Encoding out : kEncodings) {
                for (const qsizetype block : {1, 2, 3, 4, 5, 6, 7, 17, 64, 4096}) {
                    for (qsizetype offset = 0; offset < std::min(block, bytes.size() + 1);
                         ++offset) {
                        std::vector<qsizetype> cuts;
                        for (qsizetype at = offset; at < bytes.size(); at += block) {
                            if (at > 0) {
                                cuts.push_back(at);
                            }
                        }
                        compare(stream(direction, in, out, bytes, cuts), want, out);

                        // The same through runFilter: two inputs, read in blocks.
                        QBuffer first;
                        first.setData(bytes.left(offset));
                        QBuffer second;
                        second.setData(bytes.mid(offset));
                        QBuffer output;
                        first.open(QIODevice::ReadOnly);
                        second.open(QIODevice::ReadOnly);
                        output.open(QIODevice::WriteOnly);
                        cli::FilterOptions options{direction, in, out,
                                                   static_cast<std::size_t>(block)};
                        const cli::FilterResult result =
                            cli::runFilter(options, {{"a", &first}, {"b", &second}}, output, "out");
                        const int status = want.kind == Kind::None   ? cli::kStatusDone
                                           : want.kind == Kind::Stop ? cli::kStatusStopped
                                                                     : cli::kStatusRefused;
                        QCOMPARE(result.status, status);
                        if (want.kind != Kind::Unsupported) {
                            QCOMPARE(output.data(), encode(want.text, out));
                        }
                        if (want.kind != Kind::None) {
                            QVERIFY2(result.message.startsWith(
                                         QStringLiteral("position %1: ").arg(want.position)),
                                     qPrintable(result.message));
                        }
                    }
                }
            }
        }
    }
}

void TestCli::badUtf8_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("named");
    const int invalid = static_cast<int>(Kind::InvalidUtf8);
    const int cut = static_cast<int>(Kind::CutUtf8);
    QTest::newRow("lone continuation") << QByteArray("ab\x80z") << invalid << 3 << "0x80";
    QTest::newRow("overlong") << QByteArray("\xc0\xafz") << invalid << 1 << "0xC0";
    QTest::newRow("overlong three") << QByteArray("x\xe0\x80\xafz") << invalid << 2 << "0xE0 0x80";
    QTest::newRow("surrogate") << QByteArray("x\xed\xa0\x80") << invalid << 2 << "0xED 0xA0";
    QTest::newRow("beyond U+10FFFF")
        << QByteArray("\xf4\x90\x80\x80") << invalid << 1 << "0xF4 0x90";
    QTest::newRow("interrupted") << QByteArray("\xc3(\xc3\xa8") << invalid << 1 << "0xC3 0x28";
    QTest::newRow("cut at the end") << QByteArray("è\xe2\x82") << cut << 2 << "0xE2 0x82";
    QTest::newRow("stop first") << QByteArray("\xc3\xbb\xff") << static_cast<int>(Kind::Stop) << 1
                                << "U+00FB";
}

// Bytes that are not UTF-8 are refused where they begin, however the blocks
// cut them, and the message names them.
void TestCli::badUtf8() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QFETCH(int, position);
    QFETCH(QString, named);
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
        const Outcome got =
            stream(Direction::Encrypt, Encoding::Utf8, Encoding::Utf8, bytes, {cut});
        QCOMPARE(static_cast<int>(got.fault.kind), kind);
        QCOMPARE(got.fault.position, static_cast<std::uint64_t>(position));
        const QString message = cli::describeFault(got.fault);
        QVERIFY2(message.contains(named), qPrintable(message));
    }
}

void TestCli::program_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("message");
    const QStringList encrypt{QStringLiteral("encrypt")};
    QTest::newRow("encrypt") << encrypt << QByteArray("Salve mondo") << 0
                             << QByteArray(" XDqYj rRsGt") << QString();
    QTest::newRow("decripta") << QStringList{"decripta", "-"} << QByteArray(" XDqYj rRsGt") << 0
                              << QByteArray("  Salve mondo") << QString();
    QTest::newRow("empty") << encrypt << QByteArray() << 0 << QByteArray(" ") << QString();
    QTest::newRow("windows-1252 both ways")
        << QStringList{"cripta", "--encoding", "Windows-1252"} << QByteArray("a\xff") << 0
        << QByteArray(" f\xa2") << QString();
    QTest::newRow("windows-1252 in, utf-8 out")
        << QStringList{"encrypt", "--input-encoding", "windows-1252"} << QByteArray("a\xff") << 0
        << QByteArray(" f¢") << QString();
    QTest::newRow("utf-8 in, windows-1252 out")
        << QStringList{"encrypt", "--output-encoding", "windows-1252"} << QByteArray("aÿ") << 0
        << QByteArray(" f\xa2") << QString();
    QTest::newRow("stop") << encrypt << QByteArray("ciaoû") << 3 << QByteArray(" hLfR")
                          << "position 5: 'û' (U+00FB) gives code 256";
    QTest::newRow("refused") << encrypt << QByteArray("ab\u202e") << 2 << QByteArray()
                             << "position 3: U+202E is not a Windows-1252 character";
    QTest::newRow("printable refused")
        << encrypt << QByteArray("ā") << 2 << QByteArray() << "position 1: 'ā' (U+0101)";
    QTest::newRow("not utf-8") << encrypt << QByteArray("abc\xe9z") << 2 << QByteArray()
                               << "position 4: bytes 0xE9 0x7A are not UTF-8";
    QTest::newRow("missing file") << QStringList{"encrypt", "-", "/nonexistent/zelvano"}
                                  << QByteArray("abc") << 1 << QByteArray()
                                  << "cannot read /nonexistent/zelvano";
    QTest::newRow("directory as input")
        << QStringList{"encrypt", "/"} << QByteArray() << 1 << QByteArray() << "cannot read /";
    QTest::newRow("full device") << QStringList{"encrypt", "-o", "/dev/full"} << QByteArray("a")
                                 << 1 << QByteArray() << "cannot write /dev/full";
    QTest::newRow("full standard output")
        << QStringList{"encrypt", "--output", "-"} << QByteArray("a") << 1 << QByteArray()
        << "cannot write standard output";
    QTest::newRow("no command") << QStringList{} << QByteArray() << 1 << QByteArray()
                                << "no command";
    QTest::newRow("unknown command")
        << QStringList{"scramble"} << QByteArray() << 1 << QByteArray() << "unknown command";
    QTest::newRow("unknown encoding")
        << QStringList{"encrypt", "--encoding", "latin1"} << QByteArray() << 1 << QByteArray()
        << "unknown encoding 'latin1'";
}

// The built program: its output, exit status and one-line message.
void TestCli::program() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(QByteArray, output);
    QFETCH(QString, message);
    QProcess process;
    if (QByteArray(QTest::currentDataTag()) == "full standard output") {
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
    }
    process.start(QStringLiteral(ZELVANO_CIPHER), arguments);
    QVERIFY(process.waitForStarted());
    process.write(input);
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished());
    // A device named by -o is written, never replaced by a file.
    QVERIFY(QFileInfo(QStringLiteral("/dev/full")).exists() &&
            !QFileInfo(QStringLiteral("/dev/full")).isFile());
    const QString error = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), status);
    if (status != cli::kStatusRefused) {
        QCOMPARE(process.readAllStandardOutput(), output);
    }
    if (message.isEmpty()) {
        QCOMPARE(error, QString());
    } else {
        QVERIFY2(error.startsWith(QStringLiteral("zelvano-cipher: ")) && error.contains(message) &&
                     error.count(u'\n') == 1 && error.endsWith(u'\n'),
                 qPrintable(error));
    }
}

void TestCli::outputFileOnFailure_data() {
    // In a fresh folder: out.txt holding "old", link.txt leading to it, dir/.
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("content");  // of out.txt afterwards
    const QByteArray stop("ciaoû");           // " hLfR" on standard output
    QTest::newRow("done") << "out.txt" << QByteArray("Salve mondo") << 0
                          << QByteArray(" XDqYj rRsGt");
    QTest::newRow("done through a link")
        << "link.txt" << QByteArray("Salve mondo") << 0 << QByteArray(" XDqYj rRsGt");
    QTest::newRow("stop, a file") << "out.txt" << stop << 3 << QByteArray("old");
    QTest::newRow("stop, no file before") << "new.txt" << stop << 3 << QByteArray("old");
    QTest::newRow("stop, a link") << "link.txt" << stop << 3 << QByteArray("old");
    QTest::newRow("refused") << "out.txt" << QByteArray("ab\u202e") << 2 << QByteArray("old");
    QTest::newRow("not utf-8") << "out.txt" << QByteArray("ab\xff") << 2 << QByteArray("old");
    QTest::newRow("unreadable input") << "out.txt" << QByteArray() << 1 << QByteArray("old");
    QTest::newRow("directory in the way") << "dir" << QByteArray("abc") << 1 << QByteArray("old");
    QTest::newRow("missing folder") << "no/out.txt" << QByteArray("abc") << 1 << QByteArray("old");
}

// -o replaces its file, or a link's target, only when the whole text went
// through; on any other status nothing changes in its folder: no new file,
// no temporary file, the link still a link.
void TestCli::outputFileOnFailure() {
    QFETCH(QString, target);
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(QByteArray, content);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QDir dir(folder.path());
    QVERIFY(dir.mkdir(QStringLiteral("dir")));
    QFile old(dir.filePath(QStringLiteral("out.txt")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QVERIFY(QFile::link(QStringLiteral("out.txt"), dir.filePath(QStringLiteral("link.txt"))));
    const QStringList before =
        dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    QStringList arguments{QStringLiteral("encrypt"), QStringLiteral("-o"), dir.filePath(target),
                          QStringLiteral("-")};
    if (QByteArray(QTest::currentDataTag()) == "unreadable input") {
        arguments << dir.filePath(QStringLiteral("dir"));  // a folder cannot be read
    }
    QProcess process;
    process.start(QStringLiteral(ZELVANO_CIPHER), arguments);
    QVERIFY(process.waitForStarted());
    process.write(input);
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), status);

    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("dir"))).isDir());
    QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("link.txt"))).symLinkTarget(),
             dir.filePath(QStringLiteral("out.txt")));
    QFile result(dir.filePath(QStringLiteral("out.txt")));
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(result.readAll(), content);
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
