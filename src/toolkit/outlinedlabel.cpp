#include "toolkit/outlinedlabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>

#include "toolkit/accessible.h"
#include "toolkit/twips.h"

namespace toolkit {
namespace {

// Glyph outlines are taken at this pixel size and scaled down, so that the
// lettering does not depend on hinting or on the screen's resolution.
constexpr qreal kReferencePixels = 100.0;

// Pixels per point: 1440 twips to the inch, 72 points to the inch.
constexpr qreal kPixelsPerPoint = 1440.0 / 72.0 / kTwipsPerPixel;

qreal pixelSizeOf(const QFont& font) {
    if (font.pointSizeF() > 0) {
        return font.pointSizeF() * kPixelsPerPoint;
    }
    return font.pixelSize() > 0 ? font.pixelSize() : 12.0;
}

// A faint shadow of the outline, down and to the right, keeps the thin
// lettering readable on light parts of a picture; it stays inside the margin.
const QColor kShadowColour(0, 0, 0, 150);
constexpr qreal kShadowOffset = 0.8;

}  // namespace

OutlinedLabel::OutlinedLabel(QWidget* parent) : QWidget(parent) {
    // Nothing but the outlines is painted: the parent shows through.
    setAutoFillBackground(false);
    // Screen readers read it as a label, by its text.
    setAccessibleRole(this, QAccessible::StaticText);
    relayout();
}

QStringList OutlinedLabel::splitLines(const QString& text) {
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QChar(13) || c == QChar(10)) {
            lines << line;
            line.clear();
            if (c == QChar(13) && i + 1 < text.size() && text.at(i + 1) == QChar(10)) {
                ++i;
            }
        } else {
            line += c;
        }
    }
    lines << line;
    return lines;
}

QFont OutlinedLabel::outlineFace(const QFont& requested) {
    // The outlined faces are cut from a Helvetica-like sans serif, whose
    // widths Liberation Sans has: its bold for the black cut ("BlkOul"), and
    // the narrower bold of Liberation Sans Narrow for the others, in which
    // their captions fit the labels laid out for them.
    const bool black = requested.family().contains(QLatin1String("Blk"), Qt::CaseInsensitive);
    QFont face;
    QStringList families = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    if (!black) {
        families.prepend(QStringLiteral("Liberation Sans Narrow"));
    }
    face.setFamilies(families);
    face.setStyleHint(QFont::SansSerif, QFont::PreferOutline);
    face.setHintingPreference(QFont::PreferNoHinting);
    face.setWeight(requested.weight() >= QFont::Black ? QFont::Black : QFont::Bold);
    face.setItalic(requested.italic());
    face.setPixelSize(static_cast<int>(kReferencePixels));
    return face;
}

void OutlinedLabel::setText(const QString& text) {
    m_text = text;
    relayout();
}

void OutlinedLabel::setColour(const QColor& colour) {
    m_colour = colour;
    update();
}

void OutlinedLabel::setAlignment(Qt::Alignment alignment) {
    m_alignment = alignment;
    update();
}

void OutlinedLabel::setAutoSize(bool autoSize) {
    m_autoSize = autoSize;
    relayout();
}

void OutlinedLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        relayout();
    }
    QWidget::changeEvent(event);
}

void OutlinedLabel::relayout() {
    m_lines = splitLines(m_text);
    m_face = outlineFace(font());
    const QFontMetricsF metrics(m_face);
    m_ascent = metrics.ascent();
    m_lineSpacing = metrics.lineSpacing();
    m_paths.clear();
    m_advances.clear();
    for (const QString& line : m_lines) {
        QPainterPath path;
        path.addText(0, 0, m_face, line);
        m_paths.push_back(path);
        m_advances.push_back(metrics.horizontalAdvance(line));
    }
    setAccessibleName(m_lines.join(QLatin1Char('\n')));
    if (m_autoSize) {
        resize(textSize());
    }
    updateGeometry();
    update();
}

qreal OutlinedLabel::scale() const {
    return pixelSizeOf(font()) / kReferencePixels;
}

qreal OutlinedLabel::penWidth() const {
    // About a sixteenth of the letter size: one pixel at 12 points.
    return std::max(0.75, pixelSizeOf(font()) / 16.0);
}

qreal OutlinedLabel::margin() const {
    // Room for half the stroke and the shadow on either side.
    return penWidth() / 2.0 + kShadowOffset + 0.5;
}

qreal OutlinedLabel::widestLine() const {
    const auto widest = std::max_element(m_advances.begin(), m_advances.end());
    return widest == m_advances.end() ? 0.0 : *widest * scale();
}

QSize OutlinedLabel::textSize() const {
    const qreal width = widestLine() + 2.0 * margin();
    const qreal height = static_cast<qreal>(m_lines.size()) * m_lineSpacing * scale() + penWidth();
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

qreal OutlinedLabel::narrowing() const {
    const qreal room = width() - 2.0 * margin();
    const qreal widest = widestLine();
    if (m_autoSize || widest <= room || widest <= 0.0) {
        return 1.0;
    }
    return std::max(room, 0.0) / widest;
}

void OutlinedLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The outlines are mapped to pixels here and stroked by the painter, so at
    // any device pixel ratio they are drawn at the device's own resolution.
    QPen pen(m_colour, penWidth());
    pen.setJoinStyle(Qt::RoundJoin);
    QPen shadow = pen;
    shadow.setColor(kShadowColour);
    const qreal s = scale();
    const qreal sx = s * narrowing();
    const qreal inner = width() - 2.0 * margin();
    for (std::size_t i = 0; i < m_paths.size(); ++i) {
        const qreal lineWidth = m_advances[i] * sx;
        qreal x = margin();
        if (m_alignment & Qt::AlignHCenter) {
            x += (inner - lineWidth) / 2.0;
        } else if (m_alignment & Qt::AlignRight) {
            x += inner - lineWidth;
        }
        const qreal y = penWidth() / 2.0 + (static_cast<qreal>(i) * m_lineSpacing + m_ascent) * s;
        QTransform place;
        place.translate(x, y);
        place.scale(sx, s);
        const QPainterPath outline = place.map(m_paths[i]);
        painter.strokePath(outline.translated(kShadowOffset, kShadowOffset), shadow);
        painter.strokePath(outline, pen);
    }
}

}  // namespace toolkit
