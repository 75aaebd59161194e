#pragma once

#include <QColor>
#include <QPainterPath>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

namespace toolkit {

// A label whose letters are drawn hollow: the outline of each glyph is stroked
// in the label's colour and nothing is filled, so the window's picture shows
// through. It stands in for outlined display faces ("Swis721 BlkOul BT", ...)
// that a Linux system does not have: the glyphs come from a bold Liberation
// Sans face at the point size of the label's font, with a faint dark shadow of
// the outline so that it reads on light pictures. The background is transparent.
//
// The caption breaks its lines at carriage returns: a lone CR, a lone LF or a
// CR LF pair each start a new line, so two CRs in a row leave an empty line.
// The lines are never wrapped. An auto-sized label takes the size of its
// outlined text, keeping its top-left corner; a fixed-size label keeps its
// size and narrows its lettering horizontally when a line would not fit.
class OutlinedLabel final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OutlinedLabel)

public:
    explicit OutlinedLabel(QWidget* parent = nullptr);

    // The caption exactly as it was set.
    QString text() const { return m_text; }
    void setText(const QString& text);

    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);

    // Qt::AlignLeft or Qt::AlignHCenter; every line is placed on its own.
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);

    // The lines that the label shows.
    QStringList lines() const { return m_lines; }
    static QStringList splitLines(const QString& text);

    // The face the glyphs are taken from, for the label's font.
    static QFont outlineFace(const QFont& requested);
    // The size, in pixels, that the outlined text takes.
    QSize textSize() const;
    // The horizontal scale of the lettering: 1, or less when a fixed-size
    // label narrows a line that is wider than the label.
    qreal narrowing() const;

    QSize sizeHint() const override { return textSize(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void relayout();
    qreal scale() const;
    qreal penWidth() const;
    qreal margin() const;
    qreal widestLine() const;

    QString m_text;
    QStringList m_lines;
    QColor m_colour = Qt::black;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_autoSize = false;

    // Glyph outlines of each line at the reference size, with their advances.
    QFont m_face;
    std::vector<QPainterPath> m_paths;
    std::vector<qreal> m_advances;
    qreal m_ascent = 0;
    qreal m_lineSpacing = 0;
};

}  // namespace toolkit
