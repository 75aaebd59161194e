// Every character survives the main window: the output box, the transfer
// "<==", the input box, typing and the clipboard. Texts that hold a character
// outside Windows-1252 are refused with a message and nothing changes.

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTest>

#include "cipher/cipher.h"
#include "forms/main/mainwindow.h"
#include "support.h"
#include "toolkit/progressbar.h"
#include "toolkit/textbox.h"

using forms::MainWindow;
using forms::Variant;
using testing::child;
using testing::Sandbox;
using toolkit::TextBox;

namespace {

QString code(int c) {
    return QString(QChar(cipher::CodeToChar(c)));
}

QString encrypted(const QString& text) {
    return QString::fromStdU16String(cipher::EncryptText(text.toStdU16String()).text);
}

QString decrypted(const QString& text) {
    return QString::fromStdU16String(cipher::DecryptText(text.toStdU16String()).text);
}

// The main window's controls, found by name as a user's tool would.
struct Main {
    Main() : window(MainWindow::show(Variant::frm640)) {
        if (!QTest::qWaitForWindowExposed(window)) {
            qFatal("main window not exposed");
        }
        txt1 = child<TextBox>(window, "txt1");
        txt2 = child<TextBox>(window, "txt2");
        prog1 = child<toolkit::ProgressBar>(window, "prog1");
    }
    void click(const char* name) const {
        QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
    }
    void encrypt() const { click("cmd1"); }
    void decrypt() const { click("Command1"); }
    void transfer() const { click("Command3"); }

    MainWindow* window;
    TextBox* txt1;
    TextBox* txt2;
    toolkit::ProgressBar* prog1;
};

struct Bar {
    int min, max, pos;
    bool visible;
    bool operator==(const Bar&) const = default;
};

Bar barOf(const toolkit::ProgressBar* bar) {
    return {bar->min(), bar->max(), bar->pos(), !bar->isHidden()};
}

void pasteInto(TextBox* box, const QString& plain) {
    QApplication::clipboard()->setText(plain);
    box->setFocus();
    QTest::keySequence(box, QKeySequence::SelectAll);
    QTest::keySequence(box, QKeySequence::Paste);
}

}  // namespace

class TestExactText : public QObject {
    Q_OBJECT

private slots:
    // Each code at an odd and at an even position, alone and between line
    // breaks: encrypt, "<==", decrypt. The boxes must hand over exactly what
    // the cipher made of the text; a character at an odd position comes back
    // as itself unless its code cannot be encrypted or encrypts to the space
    // (code 27), which decrypts to itself.
    void everyCode_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("odd");
        for (int c = 0; c < 256; ++c) {
            const QString ch = code(c);
            QTest::addRow("%d odd", c) << ch << true;
            QTest::addRow("%d even", c) << "a" + ch << false;
            QTest::addRow("%d odd, line breaks", c) << "\r\n" + ch + "\r\n" << true;
            QTest::addRow("%d even, lone CR and LF", c) << "\r" + ch + "\n" << false;
        }
    }
    void everyCode() {
        QFETCH(QString, input);
        QFETCH(bool, odd);
        Sandbox sandbox;
        const Main m;
        m.txt1->setText(input);
        m.encrypt();
        const QString output = m.txt2->text();
        QCOMPARE(output, encrypted(input));
        QCOMPARE(m.txt1->text(), input);
        m.transfer();
        QCOMPARE(m.txt1->text(), output);
        QCOMPARE(m.txt2->text(), QString());
        m.decrypt();
        QCOMPARE(m.txt2->text(), decrypted(output));
        QCOMPARE(m.txt1->text(), output);
        const bool encryptable = output.size() == input.size() + 1;
        const bool spaceMade = output.indexOf(QLatin1Char(' '), 1) >= 0;
        if (odd && encryptable && !spaceMade) {
            QCOMPARE(m.txt2->text(), "  " + input);
        }
        // Each command that stopped early said so, and no other did.
        const bool decryptable = m.txt2->text().size() == output.size() + 1;
        QCOMPARE(sandbox.boxes.shown.size(), std::size_t(!encryptable) + std::size_t(!decryptable));
    }

    // Texts whose encrypted form holds control characters, unassigned codes
    // and line-break characters.
    void controlsAndLineBreaks_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("restored");
        QTest::newRow("z gives DEL") << "z"
                                     << " " + code(127) << "  z";
        QTest::newRow("bar gives an unassigned code") << "|"
                                                      << " " + code(129) << "  |";
        QTest::newRow("tilde at an even position") << "a~"
                                                   << " f" + code(129) << "  a~";
        QTest::newRow("line break") << "\r\n"
                                    << " " + code(18) + code(13) << "  \r\n";
        QTest::newRow("xyz") << "xyz"
                             << " " + code(125) + "\\" + code(127) << "  xYz";
        QTest::newRow("y-diaeresis") << QString::fromUtf16(u"aÿ") << QString::fromUtf16(u" f¢")
                                     << QString::fromUtf16(u"  aŸ");
        QTest::newRow("three spaces") << "   "
                                      << "    "
                                      << "     ";
        QTest::newRow("lines") << "Salve\r\nmondo\r\n\r\nciao"
                               << encrypted("Salve\r\nmondo\r\n\r\nciao")
                               << "  Salve\r\nmondo\r\n\r\nciao";
        // An encrypted LF right after an encrypted CR: a pair in the output.
        QTest::newRow("output with a CR LF pair") << "\x08\x07"
                                                  << " \r\n"
                                                  << "  \x08\x07";
    }
    void controlsAndLineBreaks() {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QString, restored);
        Sandbox sandbox;
        const Main m;
        m.txt1->setText(input);
        m.encrypt();
        QCOMPARE(m.txt2->text(), output);
        m.transfer();
        QCOMPARE(m.txt1->text(), output);
        m.decrypt();
        QCOMPARE(m.txt2->text(), restored);
    }

    // Decryption writes code 0 into the output box; it is kept.
    void outputKeepsCodeZero() {
        Sandbox sandbox;
        const Main m;
        m.txt1->setText("\x03\x05");
        m.decrypt();
        QCOMPARE(m.txt2->text(), " " + code(0) + code(0));
        m.transfer();
        QCOMPARE(m.txt1->text(), " " + code(0) + code(0));
        m.encrypt();
        QCOMPARE(m.txt2->text(), "  \x03\x05");
    }

    void typedTextWithEnter() {
        Sandbox sandbox;
        const Main m;
        m.txt1->setFocus();
        for (const QChar ch : QString::fromUtf16(u"Però")) {
            QTest::sendKeyEvent(QTest::Click, m.txt1, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
        QTest::keyClick(m.txt1, Qt::Key_Return);
        QTest::keyClicks(m.txt1, "ok");
        QCOMPARE(m.txt1->text(), QString::fromUtf16(u"Però\r\nok"));
        m.encrypt();
        m.transfer();
        m.decrypt();
        QCOMPARE(m.txt2->text(), QString::fromUtf16(u"  Però\r\nok"));
    }

    // Copy the output box, paste it into the input box, decrypt.
    void copyOutputPasteInput_data() {
        QTest::addColumn<QString>("input");
        QString oddCodes;
        for (int c = 0; c <= 250; ++c) {
            if (c != 27) {  // encrypts to the space
                oddCodes += code(c) + " ";
            }
        }
        QTest::newRow("every encryptable code at an odd position") << oddCodes;
        QTest::newRow("lines") << "Salve mondo\r\n\r\nciao";
        QTest::newRow("lone CR and LF at odd positions") << "\r \n \r\n";
    }
    void copyOutputPasteInput() {
        QFETCH(QString, input);
        Sandbox sandbox;
        const Main m;
        m.txt1->setText(input);
        m.encrypt();
        m.txt2->setFocus();
        QTest::keySequence(m.txt2, QKeySequence::SelectAll);
        QTest::keySequence(m.txt2, QKeySequence::Copy);
        m.txt1->setFocus();
        QTest::keySequence(m.txt1, QKeySequence::SelectAll);
        QTest::keySequence(m.txt1, QKeySequence::Paste);
        QCOMPARE(m.txt1->text(), m.txt2->text());
        m.decrypt();
        QCOMPARE(m.txt2->text(), "  " + input);
    }

    // A long text: the output box shows the encrypted text, which has no
    // CR LF pair, in short lines, and still hands it over exactly: read,
    // copied and pasted, and through "<==".
    void longText() {
        QString input;
        for (int i = 0; input.size() < 32766; ++i) {
            input += i % 11 == 10
                         ? QStringLiteral("Però la città dormiva.\r\n")
                         : QStringLiteral("Il treno arrivò alla stazione, ") + code(i % 256);
        }
        input.truncate(32766);
        Sandbox sandbox;
        const Main m;
        m.txt1->setText(input);
        m.encrypt();
        const QString output = encrypted(input);
        QVERIFY(!output.contains("\r\n"));
        QCOMPARE(m.txt2->text(), output);
        QCOMPARE(m.txt2->textBetween(0, m.txt2->document()->characterCount()), output);
        QVERIFY(m.txt2->document()->blockCount() > 32);
        m.txt2->setFocus();
        QTest::keySequence(m.txt2, QKeySequence::SelectAll);
        QTest::keySequence(m.txt2, QKeySequence::Copy);
        m.txt1->setFocus();
        QTest::keySequence(m.txt1, QKeySequence::SelectAll);
        QTest::keySequence(m.txt1, QKeySequence::Paste);
        QCOMPARE(m.txt1->text(), output);
        m.decrypt();
        QCOMPARE(m.txt2->text(), decrypted(output));
        m.transfer();
        QCOMPARE(m.txt1->textBetween(0, m.txt1->document()->characterCount()), decrypted(output));
        QVERIFY(sandbox.boxes.shown.empty());
    }

    // Plain text from another program, with LF line ends.
    void plainTextFromOutside() {
        Sandbox sandbox;
        const Main m;
        pasteInto(m.txt1, "Salve\nmondo\n");
        QCOMPARE(m.txt1->text(), QString("Salve\r\nmondo\r\n"));
        m.encrypt();
        m.transfer();
        m.decrypt();
        QCOMPARE(m.txt2->text(), QString("  Salve\r\nmondo\r\n"));
    }

    void unsupportedCharacter_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("position");
        struct Row {
            const char* name;
            const char16_t* pasted;
            const char16_t* shown;
            int position;
        };
        const Row rows[] = {
            {"emoji", u"ciao 😀", u"«😀»", 6},
            {"Greek", u"αβ", u"«α»", 1},
            {"Cyrillic", u"Zelvano жук", u"«ж»", 9},
            {"after a line break", u"a\r\nπ", u"«π»", 4},
            // Characters that would turn the message around or not show are
            // given by their code.
            {"right-to-left override", u"ab\u202Ecd", u"U+202E", 3},
            {"zero-width space", u"x\u200B", u"U+200B", 2},
            {"combining accent alone", u"\u0301", u"U+0301", 1},
            {"private use", u"\uE000", u"U+E000", 1},
            {"ideographic space", u"a\u3000", u"U+3000", 2},
        };
        for (const char* command : {"cmd1", "Command1"}) {
            for (const Row& r : rows) {
                QTest::addRow("%s %s", command, r.name)
                    << QString(command) << QString::fromUtf16(r.pasted)
                    << QString::fromUtf16(r.shown) << r.position;
            }
        }
    }
    void unsupportedCharacter() {
        QFETCH(QString, command);
        QFETCH(QString, pasted);
        QFETCH(QString, shown);
        QFETCH(int, position);
        Sandbox sandbox;
        const Main m;
        // A stopped encryption leaves the bar visible part of the way.
        m.txt1->setText(QString::fromUtf16(u"ciaoû"));
        m.encrypt();
        const Bar bar = barOf(m.prog1);
        QVERIFY(bar.visible);
        sandbox.boxes.shown.clear();
        pasteInto(m.txt1, pasted);
        QCOMPARE(m.txt1->text(), pasted);

        m.click(qPrintable(command));
        QCOMPARE(sandbox.boxes.shown.size(), std::size_t(1));
        QCOMPARE(sandbox.boxes.shown[0].text,
                 QString("Il testo contiene un carattere che Zelvano non può trattare: %1 "
                         "(posizione %2).")
                     .arg(shown)
                     .arg(position));
        QCOMPARE(sandbox.boxes.shown[0].title, QString("Errore!!"));
        QCOMPARE(sandbox.boxes.shown[0].style, 48);
        QCOMPARE(sandbox.boxes.shown[0].parent.data(), static_cast<QWidget*>(m.window));
        QCOMPARE(m.txt1->text(), pasted);
        QCOMPARE(m.txt2->text(), QString(" hLfR"));
        QVERIFY(barOf(m.prog1) == bar);
        QVERIFY(sandbox.end.statuses.empty());
    }
};

QTEST_MAIN(TestExactText)
#include "test_exacttext.moc"
