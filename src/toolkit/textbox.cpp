#include "toolkit/textbox.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

#include <climits>

#include "toolkit/services.h"
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
            textcodec::longestUnbrokenRun(block.text()) > kLongestWordWrappedRun) {
            return true;
        }
    }
    return false;
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
                if (!m_replacing) {
                    runGuarded([&] { updateWrapMode(position, position + added); });
                }
            });
}

QString TextBox::text() const {
    return textcodec::fromDocument(*document());
}

QString TextBox::textBetween(int from, int to) const {
    return textcodec::fromDocument(*document(), from, to);
}

void TextBox::setText(const QString& text) {
    const textcodec::DocumentText shown = textcodec::toDocument(text);
    m_replacing = true;
    const QTextOption::WrapMode mode =
        textcodec::longestUnbrokenRun(shown.text) > kLongestWordWrappedRun
            ? QTextOption::WrapAnywhere
            : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (mode != wordWrapMode()) {
        // Empty first, so that the old text is never laid out in the new mode.
        textcodec::replace(*document(), {});
        setWordWrapMode(mode);
    }
    textcodec::replace(*document(), shown);
    m_replacing = false;
    setTextCursor(QTextCursor(document()));
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

void TextBox::keyPressEvent(QKeyEvent* event) {
    if (!isReadOnly()) {
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
