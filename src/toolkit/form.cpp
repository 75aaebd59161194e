#include "toolkit/form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QPainter>

#include "toolkit/appearance.h"
#include "toolkit/twips.h"

namespace toolkit {

ClientArea::ClientArea(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("client"));
}

void ClientArea::setPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

void ClientArea::setColour(const QColor& colour) {
    m_colour = colour;
    update();
}

void ClientArea::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (m_colour.isValid()) {
        painter.fillRect(rect(), m_colour);
    }
    if (!m_picture.isNull()) {
        // Unscaled from the top-left corner; what lies beyond the area is cut off.
        painter.drawPixmap(QPoint(0, 0), m_picture);
    }
}

Form::Form(const QString& name) : m_client(new ClientArea(this)) {
    setObjectName(name);
    // A fixed single border with the system menu and the close box, and no
    // minimize or maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setCentralWidget(m_client);
    // The controls sit at fixed pixel positions, so the font is fixed too.
    setFont(dialogFont());
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Form::load() {
    Form_Load();
}

void Form::setClientSizeTwips(int width, int height) {
    m_client->setFixedSize(twipsToPixels(width), twipsToPixels(height));
    adjustSize();
}

void Form::setLeftTwips(double left) {
    move(twipsToPixels(left), pos().y());
}

void Form::setTopTwips(double top) {
    move(pos().x(), twipsToPixels(top));
}

namespace {

// The window frame is known only once the window system has decorated a
// window. Before its first show a window borrows the frame of a window that
// is on screen, which the same window system decorates alike.
QMargins frameOf(const QWidget* window) {
    if (window->isVisible()) {
        const QRect outer = window->frameGeometry();
        const QRect inner = window->geometry();
        return {inner.left() - outer.left(), inner.top() - outer.top(),
                outer.right() - inner.right(), outer.bottom() - inner.bottom()};
    }
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != window && other->isVisible() && other->isWindow() &&
            qobject_cast<const Form*>(other) && other->frameGeometry() != other->geometry()) {
            return frameOf(other);
        }
    }
    return {};
}

}  // namespace

double Form::widthTwips() const {
    const QMargins frame = frameOf(this);
    return pixelsToTwips(width() + frame.left() + frame.right());
}

double Form::heightTwips() const {
    const QMargins frame = frameOf(this);
    return pixelsToTwips(height() + frame.top() + frame.bottom());
}

double Form::clientWidthTwips() const {
    return pixelsToTwips(m_client->width());
}

void Form::centreOn(float screenWidth, float screenHeight) {
    setLeftTwips(centredLeft(screenWidth, static_cast<float>(widthTwips())));
    setTopTwips(centredLeft(screenHeight, static_cast<float>(heightTwips())));
}

void Form::centreOnScreen() {
    centreOn(static_cast<float>(screenWidthTwips()), static_cast<float>(screenHeightTwips()));
}

void Form::setTabOrder(const std::vector<QWidget*>& order) {
    m_tabOrder = order;
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
    for (QWidget* widget : order) {
        if (widget->focusPolicy() & Qt::TabFocus && !widget->isHidden() && widget->isEnabled()) {
            widget->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
}

void Form::keyPressEvent(QKeyEvent* event) {
    if (m_escapeCloses && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Form::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closedByUser();
}

}  // namespace toolkit
