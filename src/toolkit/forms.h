#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QString>

#include <map>
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
// its controls. The window name is its objectName (frm640, frmAbout, ...).
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

protected:
    virtual void Form_Load() {}

    void setClientSizeTwips(int width, int height);
    // Gives the focus to the first control of the tab order that can take it.
    void setTabOrder(const std::vector<QWidget*>& order);
    void closeEvent(QCloseEvent* event) override;

private:
    ClientArea* m_client;
    std::vector<QWidget*> m_tabOrder;
};

// The shared instances: one per window (one per MainWindow variant).
class Forms final {
public:
    static Forms& instance();

    // Shows the shared instance of key, creating and loading it first when it
    // is not loaded; otherwise only brings it up again.
    template <class T, class Factory>
    T* show(const QString& key, Factory make) {
        Form* form = find(key);
        if (form == nullptr) {
            form = make();
            form->setObjectName(key);
            add(key, form);
            loadOrDrop(form);
        }
        bringUp(form);
        return static_cast<T*>(form);
    }

    Form* find(const QString& key) const;
    template <class T>
    T* find(const QString& key) const {
        return qobject_cast<T*>(find(key));
    }
    int loadedCount() const;
    QStringList loadedNames() const;

    // Closes and destroys the window; the program ends when none is left.
    void unload(Form* form);
    // Closes every window without ending the program (End does the rest).
    void unloadAllSilently();

private:
    Forms() = default;
    void add(const QString& key, Form* form);
    void loadOrDrop(Form* form);
    static void bringUp(Form* form);
    std::map<QString, QPointer<Form>> m_forms;
};

// Shows a window type whose shared instance is named by its constructor.
template <class T>
T* show(const QString& key) {
    return Forms::instance().show<T>(key, [] { return new T; });
}

void unload(Form* form);

}  // namespace toolkit
