// The toolkit's text box on its own: exact text in and out, what it shows,
// the keyboard, the clipboard, drag and drop, undo, and how it wraps.

#include <QApplication>
#include <QClipboard>
#include <QGlyphRun>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QRandomGenerator>
#include <QRawFont>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QVBoxLayout>

#include <memory>

#include "cipher/cipher.h"
#include "toolkit/appearance.h"
#include "toolkit/form.h"
#include "toolkit/textbox.h"
#include "toolkit/textbox_codec.h"

using toolkit::TextBox;

namespace {

QString code(int c) {
    return QString(QChar(cipher::CodeToChar(c)));
}

QString allCodes() {
    QString text;
    for (int c = 0; c < 256; ++c) {
        text += code(c);
    }
    return text;
}

QString unassigned() {
    return QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D");
}

// Italian sentences in paragraphs that end with CR LF.
QString prose(int length) {
    const QStringList words = {"la",     "città", "dormiva",  "quando", "il",      "treno",
                               "arrivò", "alla",  "stazione", "però",   "nessuno", "scese",
                               "e",      "la",    "sera",     "più",    "lunga",   "dell'anno"};
    QString text;
    for (int i = 0; text.size() < length; ++i) {
        text += words[(i * 7 + i / 5) % words.size()];
        text += i % 37 == 36 ? QStringLiteral(".\r\n") : i % 9 == 8 ? QStringLiteral(". ") : " ";
    }
    text.truncate(length);
    return text;
}

QString encrypted(const QString& text) {
    return QString::fromStdU16String(cipher::EncryptText(text.toStdU16String()).text);
}

// The box's text read anew from its document.
QString decoded(const TextBox& box) {
    return box.textBetween(0, box.document()->characterCount());
}

// Where a line of the box starts in its document.
int lineStart(const TextBox& box, int line) {
    return box.document()->findBlockByNumber(line).position();
}

// A shown box with a line edit after it in the tab chain.
struct Window {
    Window() {
        auto* layout = new QVBoxLayout(&top);
        box = new TextBox;
        other = new QLineEdit;
        layout->addWidget(box);
        layout->addWidget(other);
        top.resize(300, 300);
        top.show();
        if (!QTest::qWaitForWindowExposed(&top)) {
            qFatal("window not exposed");
        }
        box->setFocus();
    }
    QWidget top;
    TextBox* box;
    QLineEdit* other;
};

// Types each character as its own key, as a keyboard layout gives it.
void type(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void moveTo(TextBox* box, int position, int anchor = -1) {
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(anchor < 0 ? position : anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

// Positions of the document characters drawn with the C1 mark style.
QList<int> overlined(const TextBox& box) {
    QList<int> positions;
    const int length = box.document()->characterCount() - 1;
    for (int i = 0; i < length; ++i) {
        QTextCursor cursor(box.document());
        cursor.setPosition(i + 1);
        if (cursor.charFormat().fontOverline()) {
            positions << i;
        }
    }
    return positions;
}

QMimeData* mime(const QString& exact, const QString& plain) {
    auto* data = new QMimeData;
    if (!exact.isNull()) {
        QByteArray bytes;
        for (const QChar ch : exact) {
            bytes.append(static_cast<char>(ch.unicode() & 0xFF));
            bytes.append(static_cast<char>(ch.unicode() >> 8));
        }
        data->setData(TextBox::kMimeType, bytes);
    }
    if (!plain.isNull()) {
        data->setText(plain);
    }
    return data;
}

QString exactFrom(const QMimeData* data) {
    const QByteArray bytes = data->data(TextBox::kMimeType);
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        text += QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return text;
}

// The text with its CR LF pairs as line breaks and the soft breaks that
// SoftBreaks places when given one character at a time. A lone CR or LF
// shows as its picture, any other character as itself: the breaks do not
// depend on how it shows.
QString withSoftBreaks(const QString& text) {
    toolkit::textcodec::SoftBreaks breaks;
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.mid(i, 2) == "\r\n") {
            shown += u'\n';
            breaks.startLine(shown.size());
            ++i;
            continue;
        }
        const bool lone = text[i] == u'\r' || text[i] == u'\n';
        shown += lone ? QChar(0x2400 + text[i].unicode()) : text[i];
        if (breaks.breakAfter(text[i].unicode(), shown, QStringView(text).sliced(i + 1))) {
            shown += QChar(toolkit::textcodec::kSoftBreak);
            breaks.startLine(shown.size());
        }
    }
    return shown;
}

// The lengths of the lines of document text.
QList<qsizetype> lineLengths(const QString& shown) {
    QList<qsizetype> lengths;
    for (const QStringView line : QStringView(shown).split(u'\n')) {
        for (const QStringView part : line.split(QChar(toolkit::textcodec::kSoftBreak))) {
            lengths << part.size();
        }
    }
    return lengths;
}

}  // namespace

class TestTextBox : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QString besideBreaks;
        for (int c = 0; c < 256; ++c) {
            besideBreaks += "\r" + code(c) + "\n" + code(c) + "\r\n";
        }
        QString reversed = allCodes();
        std::reverse(reversed.begin(), reversed.end());
        QTest::newRow("empty") << QString("");
        QTest::newRow("every code") << allCodes();
        QTest::newRow("every code reversed") << reversed;
        QTest::newRow("every code beside CR and LF") << besideBreaks;
        QTest::newRow("lone CR") << "a\rb";
        QTest::newRow("lone LF") << "a\nb";
        QTest::newRow("CR LF") << "a\r\nb";
        QTest::newRow("LF CR") << "a\n\rb";
        QTest::newRow("CR CR LF") << "\r\r\n";
        QTest::newRow("CR LF LF") << "\r\n\n";
        QTest::newRow("breaks only") << "\r\n\r\n";
        QTest::newRow("CR at the end") << "x\r";
        QTest::newRow("LF at the start") << "\nx";
        QTest::newRow("code 0") << code(0) + "a" + code(0) + code(0);
        QTest::newRow("DEL") << "a\x7f";
        QTest::newRow("unassigned codes") << unassigned() + "a" + unassigned();
        QTest::newRow("no-break space") << QString::fromUtf16(u"a\u00A0 \u00A0");
        QTest::newRow("soft hyphen") << QString::fromUtf16(u"a\u00ADb");
        QTest::newRow("pictures in the text")
            << QString::fromUtf16(u"\u2400") + code(0) +
                   QString::fromUtf16(u"\u240D\r\u2421\x7f\u2401\u0081\u0081\u2401");
        QTest::newRow("separators") << QString::fromUtf16(u"a\u2028b\u2029c\u2424\u2029\u2028");
        QTest::newRow("frame markers") << QString::fromUtf16(u"\uFDD0a\uFDD1\uFFFD");
        QTest::newRow("outside the code page") << QString::fromUtf16(u"😀 αβ 中文");
    }
    void roundTrip() {
        QFETCH(QString, text);
        TextBox box;
        box.setText(text);
        QCOMPARE(box.text(), text);
        // Replacing a text whose last character is a marked one.
        box.setText(unassigned() + "\r");
        box.moveCursor(QTextCursor::End);
        box.setText(text);
        QCOMPARE(box.text(), text);
        QCOMPARE(box.document()->isUndoAvailable(), false);
    }

    void everyCodeInEveryNeighbourhood() {
        TextBox box;
        const QStringList contexts = {"%1", "\r%1", "%1\r", "\n%1", "%1\n", "\r\n%1\r\n", "a%1b"};
        for (int c = 0; c < 256; ++c) {
            for (const QString& context : contexts) {
                const QString text = context.arg(code(c));
                box.setText(text);
                if (box.text() != text) {
                    QFAIL(qPrintable(QString("code %1 in \"%2\"").arg(c).arg(context)));
                }
            }
        }
    }

    // The document: a CR LF pair is a paragraph break, other controls show
    // as control pictures, the unassigned codes also carry the C1 mark style.
    void whatTheBoxShows_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QList<int>>("marked");
        QTest::newRow("CR LF") << "a\r\nb" << QString::fromUtf16(u"a\u2029b") << 2 << QList<int>{};
        QTest::newRow("lone CR and LF end their lines")
            << "a\rb\nc\n\r" << QString::fromUtf16(u"a\u240D\u2029b\u240A\u2029c\u240A\u2029\u240D")
            << 4 << QList<int>{};
        QTest::newRow("lone CR before a line break")
            << "a\r\r\nb" << QString::fromUtf16(u"a\u240D\u2029b") << 2 << QList<int>{};
        QTest::newRow("unassigned codes beside a lone LF")
            << unassigned() + "\na" + unassigned()
            << QString::fromUtf16(
                   u"\u2401\u240D\u240F\u2410\u241D\u240A\u2029a"
                   u"\u2401\u240D\u240F\u2410\u241D")
            << 2 << QList<int>{0, 1, 2, 3, 4, 8, 9, 10, 11, 12};
        QTest::newRow("code 0, tab, escape, DEL")
            << code(0) + "\t\x1b\x7f" << QString::fromUtf16(u"\u2400\u2409\u241B\u2421") << 1
            << QList<int>{};
        QTest::newRow("unassigned codes")
            << "a" + unassigned() << QString::fromUtf16(u"a\u2401\u240D\u240F\u2410\u241D") << 1
            << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("no-break space")
            << QString::fromUtf16(u"\u00A0") << QString::fromUtf16(u"\u00A0") << 1 << QList<int>{};
        QTest::newRow("CR CR LF LF")
            << "\r\r\n\n"
            << QString::fromUtf16(u"\u240D\u2029\u240A") << 2 << QList<int>{};
    }
    void whatTheBoxShows() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(int, lines);
        QFETCH(QList<int>, marked);
        TextBox box;
        box.setText(text);
        QCOMPARE(box.document()->toRawText(), shown);
        QCOMPARE(box.document()->blockCount(), lines);
        QCOMPARE(overlined(box), marked);
    }

    // Every mark that stands for a character in a box of a window has a glyph
    // of its own in the font the box resolves to: none is the missing-glyph
    // box, and no two look the same.
    void marksHaveGlyphs() {
        toolkit::Form window(QStringLiteral("frmMarks"));
        TextBox box(window.client());
        QString every;
        for (int c = 0; c <= 0xFFFF; ++c) {
            if (QChar(c).category() == QChar::Other_Control || c == 0x2028 || c == 0x2029 ||
                c == 0xFDD0 || c == 0xFDD1) {
                every += QChar(c);
            }
        }
        QSet<QChar> marks;
        for (const QChar shown : toolkit::textcodec::toDocument(every).text) {
            if (shown != QChar(toolkit::textcodec::kSoftBreak) && shown != QChar(u'\n')) {
                marks.insert(shown);
            }
        }
        QVERIFY(marks.size() > 30);
        QMap<QPair<QString, quint32>, QChar> glyphs;
        for (const QChar mark : marks) {
            QTextLayout layout(QString(mark), box.font());
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            const QList<QGlyphRun> runs = layout.glyphRuns();
            QCOMPARE(runs.size(), 1);
            const QList<quint32> indexes = runs.front().glyphIndexes();
            const QString face = runs.front().rawFont().familyName();
            QVERIFY2(indexes.size() == 1 && indexes.front() != 0 &&
                         runs.front().rawFont().supportsCharacter(mark),
                     qPrintable(QStringLiteral("U+%1 in %2").arg(mark.unicode(), 4, 16).arg(face)));
            const auto glyph = qMakePair(face, indexes.front());
            QVERIFY2(!glyphs.contains(glyph),
                     qPrintable(QStringLiteral("U+%1 looks like U+%2")
                                    .arg(mark.unicode(), 4, 16)
                                    .arg(glyphs.value(glyph).unicode(), 4, 16)));
            glyphs.insert(glyph, mark);
        }
    }

    // After the program's set-up the box's own menu speaks Italian, whatever
    // the system's language (the tests run in the C locale).
    void contextMenuInItalian() {
        toolkit::setUpApplication();
        TextBox box;
        box.setText(QStringLiteral("testo"));
        box.selectAll();
        const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                texts << action->text().section(QLatin1Char('\t'), 0, 0);
            }
        }
        QVERIFY(texts.size() >= 6);
        for (const char* english :
             {"&Undo", "&Redo", "Cu&t", "&Copy", "&Paste", "Delete", "Select All"}) {
            QVERIFY2(!texts.contains(QLatin1String(english)), qPrintable(texts.join(", ")));
        }
        QVERIFY2(texts.contains(QStringLiteral("&Copia")), qPrintable(texts.join(", ")));
    }

    // Long stretches are converted many characters at a time: a character
    // anywhere in one shows just as it does on its own.
    void shownTheSameInALongStretch_data() {
        QTest::addColumn<QString>("character");
        for (int c = 0; c < 256; ++c) {
            QTest::addRow("code %d", c) << code(c);
        }
        for (const char16_t ch : {u'\u0080', u'\u009F', u'\u2027', u'\u2028', u'\u2029', u'\u2400',
                                  u'\u241F', u'\u2421', u'\uFDD0', u'\uFDD1', u'\uFFFD'}) {
            QTest::addRow("U+%04X", static_cast<int>(ch)) << QString(QChar(ch));
        }
    }
    void shownTheSameInALongStretch() {
        QFETCH(QString, character);
        // Followed by a letter, so that a lone CR or LF gets the soft break
        // that ends its line.
        const toolkit::textcodec::DocumentText alone =
            toolkit::textcodec::toDocument(character + "b");
        const QString shownAlone = alone.text.chopped(1);
        for (int before = 0; before < 100; ++before) {
            const QString text = QString(before, u'a') + character + QString(120 - before, u'b');
            const toolkit::textcodec::DocumentText shown = toolkit::textcodec::toDocument(text);
            QCOMPARE(shown.text, QString(before, u'a') + shownAlone + QString(120 - before, u'b'));
            QCOMPARE(shown.runs.size(), alone.runs.size());
            for (std::size_t r = 0; r < shown.runs.size(); ++r) {
                QCOMPARE(shown.runs[r].start, alone.runs[r].start + before);
                QCOMPARE(shown.runs[r].length, alone.runs[r].length);
                QCOMPARE(shown.runs[r].format, alone.runs[r].format);
            }
        }
    }

    void settings() {
        TextBox box;
        QCOMPARE(box.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(box.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(box.lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(box.tabChangesFocus());
    }

    void typingEveryCharacterOfTheCodePage() {
        Window w;
        QString printable;
        for (int c = 32; c < 256; ++c) {
            if (c != 127 && !unassigned().contains(code(c))) {
                printable += code(c);
            }
        }
        type(w.box, printable.left(100));
        QTest::keyClick(w.box, Qt::Key_Return);
        type(w.box, printable.mid(100));
        QCOMPARE(w.box->text(), printable.left(100) + "\r\n" + printable.mid(100));
    }

    void lineBreakKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        QTest::newRow("Shift+Return") << int(Qt::Key_Return) << int(Qt::ShiftModifier);
    }
    void lineBreakKeys() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        Window w;
        type(w.box, "ab");
        QTest::keyClick(w.box, Qt::Key_Left);
        QTest::keyClick(w.box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(w.box->text(), QString("a\r\nb"));
        QCOMPARE(w.box->document()->blockCount(), 2);
    }

    void tabKeys() {
        Window w;
        type(w.box, "a");
        QTest::keyClick(w.box, Qt::Key_Tab, Qt::ControlModifier);
        type(w.box, "b");
        QCOMPARE(w.box->text(), QString("a\tb"));
        QCOMPARE(w.top.focusWidget(), w.box);
        QTest::keyClick(w.box, Qt::Key_Tab);
        QCOMPARE(w.top.focusWidget(), w.other);
        QTest::keyClick(w.other, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(w.top.focusWidget(), w.box);
        QCOMPARE(w.box->text(), QString("a\tb"));
    }

    // Typed characters beside a marked one read as what was typed and take
    // the plain style, also a typed control picture.
    void typingBesideMarks() {
        Window w;
        w.box->setText(QString::fromUtf16(u"\u0081\u0090"));
        w.box->moveCursor(QTextCursor::End);
        type(w.box, QString::fromUtf16(u"é\u2410"));
        moveTo(w.box, 0);
        type(w.box, "x");
        moveTo(w.box, 2);
        type(w.box, QString::fromUtf16(u"\u2401y"));
        QCOMPARE(w.box->text(), QString::fromUtf16(u"x\u0081\u2401y\u0090é\u2410"));
        QCOMPARE(overlined(*w.box), (QList<int>{1, 4}));
    }

    void typingOverASelection() {
        Window w;
        w.box->setText(QString::fromUtf16(u"a\u0081\u0081b"));
        moveTo(w.box, 3, 1);
        type(w.box, QString::fromUtf16(u"\u2401"));
        QCOMPARE(w.box->text(), QString::fromUtf16(u"a\u2401b"));
        QCOMPARE(overlined(*w.box), QList<int>{});
    }

    void deleting_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("after");
        const int backspace = Qt::Key_Backspace;
        const int del = Qt::Key_Delete;
        QTest::newRow("backspace joins lines") << "a\r\nb" << 2 << backspace << "ab";
        QTest::newRow("delete joins lines") << "a\r\nb" << 1 << del << "ab";
        QTest::newRow("backspace a lone CR") << "a\rb" << 2 << backspace << "ab";
        QTest::newRow("delete a lone LF") << "\n\r" << 0 << del << "\r";
        QTest::newRow("backspace an unassigned code")
            << QString::fromUtf16(u"a\u0081\u008Db") << 2 << backspace
            << QString::fromUtf16(u"a\u008Db");
        QTest::newRow("delete code 0") << code(0) + code(0) << 1 << del << code(0);
    }
    void deleting() {
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(int, key);
        QFETCH(QString, after);
        Window w;
        w.box->setText(text);
        moveTo(w.box, position);
        QTest::keyClick(w.box, Qt::Key(key));
        QCOMPARE(w.box->text(), after);
    }

    void undoAndRedo() {
        Window w;
        const QString text = allCodes() + "\r\n" + unassigned();
        w.box->setText(text);
        QTest::keySequence(w.box, QKeySequence::SelectAll);
        QTest::keyClick(w.box, Qt::Key_Delete);
        QCOMPARE(w.box->text(), QString());
        QTest::keySequence(w.box, QKeySequence::Undo);
        QCOMPARE(w.box->text(), text);
        QTest::keySequence(w.box, QKeySequence::Redo);
        QCOMPARE(w.box->text(), QString());
        QTest::keySequence(w.box, QKeySequence::Undo);

        // Typing is one step, a paste another.
        w.box->moveCursor(QTextCursor::End);
        type(w.box, "abc");
        QApplication::clipboard()->setMimeData(mime(QString::fromUtf16(u"\r\u0090"), "x"));
        QTest::keySequence(w.box, QKeySequence::Paste);
        QCOMPARE(w.box->text(), text + QString::fromUtf16(u"abc\r\u0090"));
        QTest::keySequence(w.box, QKeySequence::Undo);
        QCOMPARE(w.box->text(), text + "abc");
        QTest::keySequence(w.box, QKeySequence::Undo);
        QCOMPARE(w.box->text(), text);
        QTest::keySequence(w.box, QKeySequence::Redo);
        QTest::keySequence(w.box, QKeySequence::Redo);
        QCOMPARE(w.box->text(), text + QString::fromUtf16(u"abc\r\u0090"));
    }

    void copy_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("exact");
        QTest::addColumn<QString>("plain");
        const QString all = allCodes();
        // Positions count a soft break after each lone CR and LF as one.
        QTest::newRow("every code, then a line")
            << all + "\r\nx" << 0 << 260 << all + "\r\nx" << all + "\nx";
        QTest::newRow("across a line break") << "ab\r\ncd" << 1 << 4 << "b\r\nc"
                                             << "b\nc";
        QTest::newRow("marks") << "a" + code(0x81) + "\r" + code(0) + "b" << 1 << 5
                               << code(0x81) + "\r" + code(0) << code(0x81) + "\r" + code(0);
        QTest::newRow("lone CR before lone LF") << "\r\n\n\r" << 1 << 4 << "\n\r"
                                                << "\n\r";
        QTest::newRow("across the break after a lone CR") << "ab\rcd" << 1 << 5 << "b\rc"
                                                          << "b\rc";
        QTest::newRow("only the break after a lone LF") << "a\nb" << 2 << 3 << ""
                                                        << "";
        QTest::newRow("across the break of a long run")
            << QString(1500, 'x') << 1020 << 1030 << QString(9, 'x') << QString(9, 'x');
        QTest::newRow("lone CR then lone LF make a pair in plain text") << "a\r\n\n"
                                                                        << 1 << 2 << "\r\n"
                                                                        << "\n";
    }
    void copy() {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, exact);
        QFETCH(QString, plain);
        Window w;
        w.box->setText(text);
        moveTo(w.box, to, from);
        QTest::keySequence(w.box, QKeySequence::Copy);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data != nullptr);
        QCOMPARE(exactFrom(data), exact);
        QCOMPARE(data->text(), plain);
        QCOMPARE(w.box->text(), text);
    }

    void paste_data() {
        QTest::addColumn<QString>("exact");  // null: no exact format on the clipboard
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("exact format") << "\r" + code(0) + "\n\r\n" + code(0x9D) << "?"
                                      << "\r" + code(0) + "\n\r\n" + code(0x9D);
        QTest::newRow("exact format wins") << "x"
                                           << "y"
                                           << "x";
        QTest::newRow("plain LF") << QString() << "a\nb\n"
                                  << "a\r\nb\r\n";
        QTest::newRow("plain CR LF") << QString() << "a\r\nb"
                                     << "a\r\nb";
        QTest::newRow("plain lone CR") << QString() << "a\rb"
                                       << "a\rb";
        QTest::newRow("plain no-break space and tab")
            << QString() << QString::fromUtf16(u"\u00A0\t") << QString::fromUtf16(u"\u00A0\t");
        QTest::newRow("plain from elsewhere")
            << QString() << QString::fromUtf16(u"αβ😀") << QString::fromUtf16(u"αβ😀");
    }
    void paste() {
        QFETCH(QString, exact);
        QFETCH(QString, plain);
        QFETCH(QString, inserted);
        Window w;
        w.box->setText("0" + code(0x81) + code(0x81) + "3");
        moveTo(w.box, 3, 1);
        QApplication::clipboard()->setMimeData(mime(exact, plain));
        QTest::keySequence(w.box, QKeySequence::Paste);
        QCOMPARE(w.box->text(), "0" + inserted + "3");
    }

    void cutAndPasteBetweenBoxes() {
        Window a;
        Window b;
        const QString text = allCodes() + "\r\n" + allCodes();
        a.box->setText(text);
        b.box->setText(code(0x90));
        a.box->selectAll();
        QTest::keySequence(a.box, QKeySequence::Cut);
        QCOMPARE(a.box->text(), QString());
        b.box->moveCursor(QTextCursor::End);
        QTest::keySequence(b.box, QKeySequence::Paste);
        QCOMPARE(b.box->text(), code(0x90) + text);
    }

    void dragAndDrop() {
        Window a;
        Window b;
        const QString text = "\r" + allCodes() + "\n";
        a.box->setText(text);
        a.box->selectAll();
        a.box->copy();
        std::unique_ptr<QMimeData> dragged(mime(exactFrom(QApplication::clipboard()->mimeData()),
                                                QApplication::clipboard()->text()));
        b.box->setText("xy");
        const QPoint at = b.box->cursorRect(b.box->textCursor()).center();
        QDragEnterEvent enter(at, Qt::CopyAction, dragged.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(b.box->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, dragged.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(b.box->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(b.box->text(), text + "xy");
    }

    void inputMethodCommit() {
        Window w;
        w.box->setText(code(0x81));
        w.box->moveCursor(QTextCursor::End);
        QInputMethodEvent compose;
        compose.setCommitString(QString::fromUtf16(u"è\u2401"));
        QApplication::sendEvent(w.box, &compose);
        QCOMPARE(w.box->text(), QString::fromUtf16(u"\u0081è\u2401"));
        QCOMPARE(overlined(*w.box), QList<int>{0});
    }

    // Word wrap where the text has spaces; a run too long for it wraps
    // anywhere, as word wrap is quadratic on such runs.
    void wrapMode_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("anywhere");
        QString words;
        while (words.size() < 32766) {
            words += "parola ";
        }
        words.truncate(32766);
        QString lines;
        while (lines.size() < 32766) {
            lines += QString(98, 'x') + "\r\n";
        }
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("words") << words << false;
        QTest::newRow("short lines without spaces") << lines << false;
        QTest::newRow("32,766 without a space") << QString(32766, 'x') << true;
        QTest::newRow("32,766 controls") << QString(32766, QChar(1)) << true;
        QTest::newRow("one long run among words") << words + QString(5000, 'x') << true;
        QTest::newRow("lone LFs end their lines")
            << QString(5000, 'x').replace("xx", "x\n") << false;
    }
    void wrapMode() {
        QFETCH(QString, text);
        QFETCH(bool, anywhere);
        TextBox box;
        box.resize(160, 217);
        box.setText(QString(5000, 'x'));
        box.setText(text);
        QCOMPARE(box.wordWrapMode() == QTextOption::WrapAnywhere, anywhere);
        QCOMPARE(box.text(), text);
        box.setText("a b");
        QCOMPARE(box.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    }

    void wrapModeFollowsEdits() {
        Window w;
        w.box->setText("una parola");
        QApplication::clipboard()->setText(QString(5000, 'x'));
        QTest::keySequence(w.box, QKeySequence::Paste);
        QCOMPARE(w.box->wordWrapMode(), QTextOption::WrapAnywhere);
        QTest::keySequence(w.box, QKeySequence::Undo);
        QCOMPARE(w.box->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
        QCOMPARE(w.box->text(), QString("una parola"));
    }

    // Long texts, which the box cuts into short lines where the text has no
    // CR LF pair, read back exactly, also anew from the document. No line
    // is longer than the box lays out at once, and none starts in the middle
    // of a surrogate pair.
    void softBreaks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");  // -1: not checked
        QString loneBreaks;
        for (int i = 0; i < 2000; ++i) {
            loneBreaks += i % 2 == 0 ? "ciao\r" : "mondo\n";
        }
        QTest::newRow("encrypted prose") << encrypted(prose(32766)) << -1;
        QTest::newRow("1 MiB of encrypted prose") << encrypted(prose(1 << 20)) << -1;
        QTest::newRow("prose") << prose(32766) << -1;
        // 293 words make the first line that reaches 2,048 characters.
        QTest::newRow("words without a break") << QString("parola ").repeated(4681) << 16;
        // Lines of 1,024 and then of 476 + 1 + 1,024 characters.
        QTest::newRow("long runs between spaces") << (QString(1500, 'x') + ' ').repeated(20) << 21;
        QTest::newRow("32,766 without a space") << QString(32766, 'x') << 32;
        QTest::newRow("32,766 controls") << QString(32766, QChar(1)) << 32;
        QTest::newRow("32,766 unassigned codes") << QString(32766, QChar(0x81)) << 32;
        QTest::newRow("pictures in the text") << QString(5000, QChar(0x2401)) << 5;
        QTest::newRow("surrogate pairs") << QString::fromUtf16(u"x😀").repeated(1500) << -1;
        QTest::newRow("a lone CR or LF ends its line") << loneBreaks << 2000;
        QTest::newRow("every code, many times") << allCodes().repeated(200) << -1;
    }
    void softBreaks() {
        QFETCH(QString, text);
        QFETCH(int, lines);
        TextBox box;
        box.setText(text);
        QCOMPARE(box.text(), text);
        QCOMPARE(decoded(box), text);
        if (lines >= 0) {
            QCOMPARE(box.document()->blockCount(), lines);
        }
        for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
            const QString line = block.text();
            qsizetype longestRun = 0;
            for (const QStringView run : QStringView(line).split(u' ')) {
                longestRun = std::max(longestRun, run.size());
            }
            if (line.size() > toolkit::textcodec::kLongestSoftLine ||
                longestRun > toolkit::textcodec::kLongestRun ||
                (!line.isEmpty() && line.front().isLowSurrogate())) {
                QFAIL(qPrintable(
                    QString("line %1 of %2 characters").arg(block.blockNumber()).arg(line.size())));
            }
        }
    }

    // Where soft breaks go, given one character at a time; the conversion,
    // which copies plain stretches unseen, puts them in the same places.
    void softBreakPlaces_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<qsizetype>>("lines");
        const QString pair = QString::fromUtf16(u"😀");
        QTest::newRow("a run of 1,024") << QString(1024, 'x') << QList<qsizetype>{1024};
        QTest::newRow("a run of 1,025") << QString(1025, 'x') << QList<qsizetype>{1024, 1};
        QTest::newRow("a run after a space")
            << "ab " + QString(1030, 'x') << QList<qsizetype>{1027, 6};
        QTest::newRow("a pair that fits")
            << QString(1022, 'x') + pair + "y" << QList<qsizetype>{1024, 1};
        QTest::newRow("a pair that does not fit")
            << QString(1023, 'x') + pair + "y" << QList<qsizetype>{1023, 3};
        QTest::newRow("a space as character 2,048")
            << QString(1000, 'x') + ' ' + QString(1000, 'x') + ' ' + QString(45, 'x') + " yy"
            << QList<qsizetype>{2048, 2};
        QTest::newRow("a space as character 2,047")
            << QString(1000, 'x') + ' ' + QString(1000, 'x') + ' ' + QString(44, 'x') + " yy"
            << QList<qsizetype>{2049};
        QTest::newRow("words") << QString("parola ").repeated(300) << QList<qsizetype>{2051, 49};
        QTest::newRow("a CR LF pair starts a run")
            << QString(1000, 'x') + "\r\n" + QString(1000, 'x') << QList<qsizetype>{1000, 1000};
        QTest::newRow("lone CR and LF") << "a\rb\nc" << QList<qsizetype>{2, 2, 1};
        QTest::newRow("a lone CR at the end or before a pair")
            << "a\r\r\nb\r" << QList<qsizetype>{2, 2};
    }
    void softBreakPlaces() {
        QFETCH(QString, text);
        QFETCH(QList<qsizetype>, lines);
        const QString shown = withSoftBreaks(text);
        QCOMPARE(lineLengths(shown), lines);
        QCOMPARE(lineLengths(toolkit::textcodec::toDocument(text).text), lines);
        // The same over many lines, and without the spaces.
        for (const QString& repeated : {text.repeated(40), text.repeated(40).remove(' ')}) {
            QCOMPARE(lineLengths(toolkit::textcodec::toDocument(repeated).text),
                     lineLengths(withSoftBreaks(repeated)));
        }
    }

    // text() keeps no stale copy, also when a handler of the box's signals
    // sets another text while one is being set.
    void nestedSetText() {
        TextBox box;
        int calls = 0;
        QObject::connect(&box, &QPlainTextEdit::textChanged, &box, [&] {
            if (calls++ == 0) {
                box.setText("b\rb");
            }
        });
        box.setText("a\ra" + QString(2000, 'a'));
        QCOMPARE(box.text(), decoded(box));
        QCOMPARE(box.text(), "a\ra" + QString(2000, 'a'));
    }

    // A new text shows from its start, wherever the old one was scrolled to.
    void newTextShowsFromItsStart() {
        Window w;
        w.box->setText(prose(32766));
        w.box->moveCursor(QTextCursor::End);
        w.box->viewport()->repaint();
        QVERIFY(w.box->verticalScrollBar()->value() > 0);
        const QString text = encrypted(prose(32766));
        w.box->setText(text);
        w.box->viewport()->repaint();
        QCOMPARE(w.box->verticalScrollBar()->value(), 0);
        QCOMPARE(w.box->cursorForPosition(QPoint(0, 0)).position(), 0);
        QCOMPARE(w.box->textCursor().position(), 0);
        QVERIFY(!w.box->textCursor().hasSelection());
        type(w.box, "x");
        QCOMPARE(w.box->text(), "x" + text);
    }

    // Random texts full of lone and paired CRs and LFs, marked codes and
    // surrogate pairs, in and out of long runs: each reads back exactly, and
    // so does the box after pasting one into it or deleting a stretch of it
    // at random places, soft breaks or not, and after undoing that.
    void randomTextsAndEdits() {
        const QStringList pieces = {"\r",
                                    "\n",
                                    "\r\n",
                                    " ",
                                    code(0),
                                    code(0x81),
                                    code(0x9D),
                                    "\t",
                                    "x",
                                    "parola",
                                    QString(300, 'y'),
                                    QString::fromUtf16(u"😀"),
                                    QString::fromUtf16(u"\u2401"),
                                    QString::fromUtf16(u"\u2029")};
        QRandomGenerator random(20261209);
        auto randomText = [&] {
            QString text;
            const int count = random.bounded(400);
            for (int i = 0; i < count; ++i) {
                text += pieces[random.bounded(static_cast<int>(pieces.size()))];
            }
            return text;
        };
        Window w;
        for (int round = 0; round < 150; ++round) {
            const QString text = randomText();
            w.box->setText(text);
            QCOMPARE(decoded(*w.box), text);
            const int end = w.box->document()->characterCount() - 1;
            const int from = random.bounded(end + 1);
            const int to = from + random.bounded(end - from + 1);
            const QString expected =
                round % 2 == 0
                    ? w.box->textBetween(0, from) + w.box->textBetween(to, end)
                    : w.box->textBetween(0, from) + text.left(50) + w.box->textBetween(to, end);
            moveTo(w.box, to, from);
            if (round % 2 == 0) {
                QTest::keyClick(w.box, Qt::Key_Delete);
            } else {
                w.box->insertText(text.left(50));
            }
            if (from == to && round % 2 == 0) {
                continue;  // Delete without a selection deletes a character
            }
            QCOMPARE(decoded(*w.box), expected);
            QCOMPARE(w.box->text(), expected);
            w.box->document()->undo();
            QCOMPARE(decoded(*w.box), text);
        }
    }

    // Shown, a long text is laid out only around what the box shows.
    void longTextIsLaidOutWhereShown() {
        Window w;
        w.box->setText(encrypted(prose(1 << 20)));
        w.box->viewport()->repaint();
        int laidOut = 0;  // characters
        for (QTextBlock block = w.box->document()->begin(); block.isValid(); block = block.next()) {
            laidOut += block.layout()->lineCount() > 0 ? block.length() : 0;
        }
        QVERIFY2(laidOut > 0 && laidOut < 20000, qPrintable(QString::number(laidOut)));
    }

    // Deleting next to a soft break deletes the character beyond it and joins
    // the lines; undo and redo give the texts back exactly.
    void editsAtSoftBreaks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");     // the cursor goes to the start of this line,
        QTest::addColumn<bool>("before");  // or to the end of the line before it
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("after");
        const QKeySequence backspace(Qt::Key_Backspace);
        const QKeySequence del(Qt::Key_Delete);
        const QString run(1500, 'x');
        const QString pairs = QString::fromUtf16(u"😀").repeated(600);
        const QString words = QString("parola ").repeated(300);
        QTest::newRow("backspace after a lone CR") << "ab\rcd" << 1 << false << backspace << "abcd";
        QTest::newRow("delete before the line after a lone CR")
            << "ab\rcd" << 1 << true << del << "ab\rd";
        QTest::newRow("backspace after lone CRs")
            << "ab\r\rcd" << 2 << false << backspace << "ab\rcd";
        QTest::newRow("backspace in a long run")
            << run << 1 << false << backspace << QString(1499, 'x');
        QTest::newRow("delete in a long run") << run << 1 << true << del << QString(1499, 'x');
        QTest::newRow("backspace over a surrogate pair")
            << pairs << 1 << false << backspace << QString::fromUtf16(u"😀").repeated(599);
        QTest::newRow("delete over a surrogate pair")
            << pairs << 1 << true << del << QString::fromUtf16(u"😀").repeated(599);
        QTest::newRow("word back at a break after a space")
            << words << 1 << false << QKeySequence(QKeySequence::DeleteStartOfWord)
            << QString("parola ").repeated(299);
        QTest::newRow("word on at a break after a space")
            << words << 1 << true << QKeySequence(QKeySequence::DeleteEndOfWord)
            << QString("parola ").repeated(299);
        QTest::newRow("backspace after a lone LF before CR LF")
            << "a\nb\r\nc" << 1 << false << backspace << "ab\r\nc";
    }
    void editsAtSoftBreaks() {
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(bool, before);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, after);
        Window w;
        w.box->setText(text);
        QVERIFY(w.box->document()->blockCount() > line);
        moveTo(w.box, lineStart(*w.box, line) - (before ? 1 : 0));
        QTest::keySequence(w.box, keys);
        QCOMPARE(w.box->text(), after);
        QCOMPARE(decoded(*w.box), after);
        QTest::keySequence(w.box, QKeySequence::Undo);
        QCOMPARE(w.box->text(), text);
        QCOMPARE(decoded(*w.box), text);
        QTest::keySequence(w.box, QKeySequence::Redo);
        QCOMPARE(w.box->text(), after);
    }

    // A line emptied by deleting its text: the keys reach over both breaks.
    void deletingAroundAnEmptyLine_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("line");
        QTest::addColumn<bool>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << 2 << false << "abef";
        QTest::newRow("delete") << int(Qt::Key_Delete) << 1 << true << "ab\rf";
    }
    void deletingAroundAnEmptyLine() {
        QFETCH(int, key);
        QFETCH(int, line);
        QFETCH(bool, before);
        QFETCH(QString, after);
        Window w;
        w.box->setText("ab\rcd\ref");
        moveTo(w.box, lineStart(*w.box, 2) - 1, lineStart(*w.box, 1));
        QTest::keyClick(w.box, Qt::Key_Delete);
        QCOMPARE(w.box->text(), QString("ab\ref"));
        QCOMPARE(w.box->document()->blockCount(), 3);
        moveTo(w.box, lineStart(*w.box, line) - (before ? 1 : 0));
        QTest::keyClick(w.box, Qt::Key(key));
        QCOMPARE(w.box->text(), after);
        QCOMPARE(decoded(*w.box), after);
    }

    // Typing on either side of a soft break types at the same place of the
    // text; Enter there makes a real line break.
    void typingAtSoftBreaks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<bool>("before");
        QTest::addColumn<QString>("typed");  // "\r\n": Enter
        QTest::addColumn<QString>("after");
        QTest::newRow("end of a lone CR's line") << "ab\rcd" << 1 << true << "x"
                                                 << "ab\rxcd";
        QTest::newRow("start of the next line") << "ab\rcd" << 1 << false << "x"
                                                << "ab\rxcd";
        QTest::newRow("Enter at the end of the line") << "ab\rcd" << 1 << true << "\r\n"
                                                      << "ab\r\r\ncd";
        QTest::newRow("Enter at the start of the next line") << "ab\rcd" << 1 << false << "\r\n"
                                                             << "ab\r\r\ncd";
        QTest::newRow("Enter in a long run") << QString(1500, 'x') << 1 << false << "\r\n"
                                             << QString(1024, 'x') + "\r\n" + QString(476, 'x');
    }
    void typingAtSoftBreaks() {
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(bool, before);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        Window w;
        w.box->setText(text);
        moveTo(w.box, lineStart(*w.box, line) - (before ? 1 : 0));
        if (typed == "\r\n") {
            QTest::keyClick(w.box, Qt::Key_Return);
        } else {
            type(w.box, typed);
        }
        QCOMPARE(w.box->text(), after);
        QCOMPARE(decoded(*w.box), after);
        QTest::keySequence(w.box, QKeySequence::Undo);
        QCOMPARE(decoded(*w.box), text);
    }

    // Cut across soft breaks: the clipboard holds no line break for them, and
    // the text pasted into another box breaks its lines there again.
    void cutAndPasteAcrossSoftBreaks() {
        Window a;
        Window b;
        a.box->setText("ab\rcd\nef");
        moveTo(a.box, lineStart(*a.box, 2) + 1, 1);
        QTest::keySequence(a.box, QKeySequence::Cut);
        QCOMPARE(a.box->text(), QString("af"));
        QCOMPARE(exactFrom(QApplication::clipboard()->mimeData()), QString("b\rcd\ne"));
        QCOMPARE(QApplication::clipboard()->text(), QString("b\rcd\ne"));
        QTest::keySequence(b.box, QKeySequence::Paste);
        QCOMPARE(b.box->text(), QString("b\rcd\ne"));
        QCOMPARE(b.box->document()->blockCount(), 3);
        QTest::keySequence(a.box, QKeySequence::Undo);
        QCOMPARE(a.box->text(), QString("ab\rcd\nef"));
        QCOMPARE(decoded(*a.box), QString("ab\rcd\nef"));
    }

    // A long pasted text gets its own soft breaks, and undo takes it all back.
    void pastingALongText() {
        Window w;
        w.box->setText("inizio fine");
        const QString pasted = encrypted(prose(20000)) + QString(3000, 'y') + code(0x90);
        QApplication::clipboard()->setMimeData(mime(pasted, "?"));
        moveTo(w.box, 7);
        QTest::keySequence(w.box, QKeySequence::Paste);
        const QString whole = "inizio " + pasted + "fine";
        QCOMPARE(w.box->text(), whole);
        QCOMPARE(decoded(*w.box), whole);
        QVERIFY(w.box->document()->blockCount() > 20);
        QTest::keySequence(w.box, QKeySequence::Undo);
        QCOMPARE(decoded(*w.box), QString("inizio fine"));
        QCOMPARE(w.box->document()->blockCount(), 1);
        QTest::keySequence(w.box, QKeySequence::Redo);
        QCOMPARE(decoded(*w.box), whole);
    }

    void largeTexts() {
        QString mebibyte;
        while (mebibyte.size() < (1 << 20)) {
            mebibyte += allCodes() + "\r\n" + unassigned();
        }
        Window w;
        w.box->setText(mebibyte);
        QCOMPARE(w.box->text(), mebibyte);
        const QString run(32766, QChar(0x81));
        w.box->setText(run);
        QCOMPARE(w.box->text(), run);
    }
};

QTEST_MAIN(TestTextBox)
#include "test_textbox.moc"
