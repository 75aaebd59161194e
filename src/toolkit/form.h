#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <QString>

#include <vector>

namespace toolkit {

// The client area of a window: it paints an optional background colour and a
// background picture unscaled from its top-left corner; controls sit on it at
// fixed positions.
class ClientArea final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClientArea)

public:
    explicit ClientArea(QWidget* parent = nullptr);
    void setPicture(const QPixmap& picture);
    void setColour(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
    QColor m_colour;
};

// A top-level window of the program, with a fixed border and the handlers of
// its controls. Its name (frm640, frmAbout, ...) is its objectName, given once
// by the window class; WindowRegistry (lifecycle.h) keeps its one shared
// instance by that name.
class Form : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form)

public:
    explicit Form(const QString& name);

    // Runs the window's load handling (Form_Load) before it is first shown.
    void load();

    ClientArea* client() const { return m_client; }

    // Position and outer size of the window in twips, and the client area's width.
    void setLeftTwips(double left);
    void setTopTwips(double top);
    double widthTwips() const;
    double heightTwips() const;
    double clientWidthTwips() const;

    // Places the window in the middle of a screen of the given size in twips,
    // in single precision (a half twip stays); a window larger than the screen
    // gets a negative position.
    void centreOn(float screenWidth, float screenHeight);
    void centreOnScreen();

signals:
    // The user closed the window with its close box (or the window manager's
    // close command); whoever keeps the window unloads it.
    void closedByUser();

protected:
    virtual void Form_Load() {}

    void setClientSizeTwips(int width, int height);
    // Gives the focus to the first control of the tab order that can take it.
    void setTabOrder(const std::vector<QWidget*>& order);
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Escape closes the window as its close box does.
    void setEscapeCloses(bool on) { m_escapeCloses = on; }

private:
    ClientArea* m_client;
    std::vector<QWidget*> m_tabOrder;
    bool m_escapeCloses = false;
};

}  // namespace toolkit
