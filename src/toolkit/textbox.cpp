#include "toolkit/textbox.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>

#include <climits>
#include <utility>

#include "toolkit/lifecycle.h"
#include "toolkit/textbox_codec.h"

namespace toolkit {
namespace {

// Wrapping at word boundaries takes time quadratic in the length of a run
// without a break opportunity; a text with a longer run wraps anywhere.
constexpr qsizetype kLongestWordWrappedRun = 250;

QByteArray toUtf16Bytes(const QString& text) {
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        bytes[2 * i] = static_cast<char>(unit & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(unit >> 8);
    }
    return bytes;
}

QString fromUtf16Bytes(const QByteArray& bytes) {
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto low = static_cast<unsigned char>(bytes.at(2 * i));
        const auto high = static_cast<unsigned char>(bytes.at(2 * i + 1));
        text[i] = QChar(static_cast<char16_t>(low | (high << 8)));
    }
    return text;
}

// Plain text for other programs: each CR LF pair is a line end.
QString toOtherPrograms(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// Plain text from other programs: each line end, CR LF or LF, becomes CR LF.
QString fromOtherPrograms(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

// Whether the key inserts its text, by the rule of Qt's own text boxes.
bool insertsKeyText(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty()) {
        return false;
    }
    const QChar first = text.front();
    if (first.category() == QChar::Other_Format) {
        return true;
    }
    // Ctrl and Ctrl+Shift are commands; Ctrl+Alt (AltGr) types.
    if (event->modifiers() == Qt::ControlModifier ||
        event->modifiers() == (Qt::ShiftModifier | Qt::ControlModifier)) {
        return false;
    }
    return first.isPrint() || first.category() == QChar::Other_PrivateUse || first == u'\t' ||
           (first.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate());
}

// Whether a block from `first` up to the one holding `last` has a run too long
// to wrap at word boundaries.
bool hasLongRun(QTextBlock block, int last) {
    for (; block.isValid() && block.position() <= last; block = block.next()) {
        if (block.length() > kLongestWordWrappedRun &&
            textcodec::hasLongerRun(block.text(), kLongestWordWrappedRun)) {
            return true;
        }
    }
    return false;
}

// The position before the soft breaks that end just at `position`.
int beforeSoftBreaks(const QTextDocument& document, int position) {
    for (QTextBlock block = document.findBlock(position);
         block.position() == position && textcodec::followsSoftBreak(block);
         block = block.previous()) {
        --position;
    }
    return position;
}

// The position after the soft breaks that start just at `position`.
int afterSoftBreaks(const QTextDocument& document, int position) {
    for (QTextBlock block = document.findBlock(position);
         position == block.position() + block.length() - 1 &&
         textcodec::followsSoftBreak(block.next());
         block = block.next()) {
        ++position;
    }
    return position;
}

// One character back from `position`, a surrogate pair as one.
int characterBefore(const QTextDocument& document, int position) {
    if (position <= 0) {
        return position;
    }
    const bool pair = position >= 2 && document.characterAt(position - 1).isLowSurrogate() &&
                      document.characterAt(position - 2).isHighSurrogate();
    return position - (pair ? 2 : 1);
}

// One character on from `position`, a surrogate pair as one.
int characterAfter(const QTextDocument& document, int position) {
    const int last = document.characterCount() - 1;
    if (position >= last) {
        return position;
    }
    const bool pair = position + 1 < last && document.characterAt(position).isHighSurrogate() &&
                      document.characterAt(position + 1).isLowSurrogate();
    return position + (pair ? 2 : 1);
}

}  // namespace

const QString TextBox::kMimeType = QStringLiteral("application/x-zelvano-text");

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int /*removed*/, int added) {
                m_text = QString();
                if (!m_replacing) {
                    runGuarded([&] { updateWrapMode(position, position + added); });
                }
            });
}

QString TextBox::text() const {
    if (m_text.isNull()) {
        m_text = textcodec::fromDocument(*document());
    }
    return m_text;
}

QString TextBox::textBetween(int from, int to) const {
    return textcodec::fromDocument(*document(), from, to);
}

void TextBox::setText(const QString& text) {
    // The buffer of the last text serves again (taken, not shared, in case a
    // handler of the signals below sets another text meanwhile).
    textcodec::DocumentText shown = std::move(m_shown);
    textcodec::toDocument(text, shown);
    const QTextOption::WrapMode mode = textcodec::hasLongerRun(shown.text, kLongestWordWrappedRun)
                                           ? QTextOption::WrapAnywhere
                                           : QTextOption::WrapAtWordBoundaryOrAnywhere;
    m_replacing = true;
    // Qt's own replacement empties the box at once and leaves the box's
    // cursor at the start, here in front of a placeholder. The text goes in
    // after the placeholder, which then goes: so the cursor never travels to
    // the end of the text, which the box would lay out to show it.
    setPlainText(text.isEmpty() ? QString() : QStringLiteral("_"));
    if (mode != wordWrapMode()) {
        // While the box is all but empty, so that no text is laid out twice.
        setWordWrapMode(mode);
    }
    if (!text.isEmpty()) {
        textcodec::replace(*document(), shown);
    }
    m_replacing = false;
    m_shown = std::move(shown);
    // Kept so that reading it back costs nothing; an empty text is read anew.
    m_text = text.isEmpty() ? QString() : text;
    // The cursor is at the start already unless a signal handler moved it;
    // setting it again anyway would lay out the first line ahead of the
    // paint that lays it out too.
    if (textCursor().position() != 0 || textCursor().hasSelection()) {
        setTextCursor(QTextCursor(document()));
    }
}

void TextBox::insertText(const QString& text) {
    QTextCursor cursor = textCursor();
    textcodec::insert(cursor, text);
    setTextCursor(cursor);
}

void TextBox::updateWrapMode(int from, int to) {
    if (wordWrapMode() == QTextOption::WrapAnywhere) {
        // Only a look at the whole text tells that the last long run is gone.
        if (!hasLongRun(document()->begin(), INT_MAX)) {
            setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        }
    } else if (hasLongRun(document()->findBlock(from), to)) {
        setWordWrapMode(QTextOption::WrapAnywhere);
    }
}

bool TextBox::deleteOverSoftBreak(const QKeyEvent* event) {
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection()) {
        return false;
    }
    const QTextDocument& doc = *document();
    const int at = cursor.position();
    // The keys as Qt's text boxes take them, in the same order.
    const bool backspace = (event->key() == Qt::Key_Backspace &&
                            (event->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier) ||
                           event->matches(QKeySequence::Backspace);
    const bool backwards = backspace || event->matches(QKeySequence::DeleteStartOfWord);
    const bool forwards = event->matches(QKeySequence::Delete) ||
                          event->matches(QKeySequence::DeleteEndOfWord) ||
                          event->matches(QKeySequence::DeleteEndOfLine);
    int reach = at;
    if (backwards) {
        const int from = beforeSoftBreaks(doc, at);
        if (from == at) {
            return false;
        }
        if (backspace) {
            reach = characterBefore(doc, from);
        } else {
            QTextCursor word(document());
            word.setPosition(from);
            word.movePosition(QTextCursor::PreviousWord);
            reach = word.position();
        }
    } else if (forwards) {
        const int from = afterSoftBreaks(doc, at);
        if (from == at) {
            return false;
        }
        QTextCursor moved(document());
        moved.setPosition(from);
        if (event->matches(QKeySequence::Delete)) {
            moved.setPosition(characterAfter(doc, from));
        } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
            moved.movePosition(QTextCursor::NextWord);
        } else {
            const QTextBlock block = moved.block();
            moved.movePosition(from == block.position() + block.length() - 2
                                   ? QTextCursor::Right
                                   : QTextCursor::EndOfBlock);
        }
        reach = moved.position();
    } else {
        return false;
    }
    cursor.setPosition(reach, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    if (!isReadOnly()) {
        if (deleteOverSoftBreak(event)) {
            event->accept();
            return;
        }
        QString typed;
        if (event->matches(QKeySequence::InsertParagraphSeparator) ||
            event->matches(QKeySequence::InsertLineSeparator)) {
            typed = QStringLiteral("\r\n");
        } else if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
            typed = QStringLiteral("\t");
        } else if (insertsKeyText(event)) {
            typed = event->text();
        }
        if (!typed.isEmpty()) {
            insertText(typed);
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextBox::inputMethodEvent(QInputMethodEvent* event) {
    if (isReadOnly() || event->commitString().isEmpty() || event->replacementLength() != 0) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    // The committed text goes in through the same mapping as typed keys; Qt
    // handles what is still being composed.
    insertText(event->commitString());
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    QPlainTextEdit::inputMethodEvent(&rest);
    event->accept();
}

QMimeData* TextBox::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    const QString selected = textBetween(cursor.selectionStart(), cursor.selectionEnd());
    auto* data = new QMimeData;
    data->setData(kMimeType, toUtf16Bytes(selected));
    data->setText(toOtherPrograms(selected));
    return data;
}

bool TextBox::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasFormat(kMimeType) || (source->hasText() && !source->text().isEmpty());
}

void TextBox::insertFromMimeData(const QMimeData* source) {
    if (source->hasFormat(kMimeType)) {
        insertText(fromUtf16Bytes(source->data(kMimeType)));
    } else if (source->hasText()) {
        insertText(fromOtherPrograms(source->text()));
    }
}

}  // namespace toolkit
