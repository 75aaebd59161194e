#pragma once

// Test doubles and a per-test sandbox for the window tests: message boxes and
// program end are recorded instead of shown or carried out, and each test
// runs in its own temporary directory as the current directory.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

#include "toolkit/forms.h"
#include "toolkit/services.h"

namespace testing {

struct ShownBox {
    QString text;
    int style;
    QString title;
};

class FakeMessageBoxes final : public toolkit::MessageBoxes {
public:
    void show(const QString& text, int style, const QString& title) override {
        shown.push_back({text, style, title});
    }
    std::vector<ShownBox> shown;
};

class FakeProgramEnd final : public toolkit::ProgramEnd {
public:
    void end(int status) override { statuses.push_back(status); }
    std::vector<int> statuses;
};

// Destroys windows that were unloaded (their deletion is deferred).
inline void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class Sandbox {
public:
    Sandbox() : m_oldDir(QDir::currentPath()) {
        if (!m_dir.isValid() || !QDir::setCurrent(m_dir.path())) {
            qFatal("cannot enter a temporary directory");
        }
        toolkit::setMessageBoxes(&boxes);
        toolkit::setProgramEnd(&end);
    }
    ~Sandbox() {
        toolkit::Forms::instance().unloadAllSilently();
        flushDeletes();
        toolkit::setMessageBoxes(nullptr);
        toolkit::setProgramEnd(nullptr);
        QDir::setCurrent(m_oldDir);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    QString path() const { return m_dir.path(); }

    static void write(const QString& name, const QByteArray& bytes) {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("cannot write a test file");
        }
    }
    // The file's bytes, or a null array when it does not exist.
    static QByteArray read(const QString& name) {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    FakeMessageBoxes boxes;
    FakeProgramEnd end;

private:
    QString m_oldDir;
    QTemporaryDir m_dir;
};

// The named child of a window; fails the test when it is missing.
template <class T>
T* child(const QObject* parent, const QString& name) {
    T* found = parent ? parent->findChild<T*>(name) : nullptr;
    if (found == nullptr) {
        qFatal("no child %s", qPrintable(name));
    }
    return found;
}

}  // namespace testing
