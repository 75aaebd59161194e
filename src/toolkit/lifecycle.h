#pragma once

// How Zelvano lives and ends, in one place.
//
// main() hands the start-up routine to WindowRegistry::run(). The program then
// lives while at least one window is loaded: it ends when the last one is
// unloaded (status 0), at once when start-up loads none, when End() is called
// ("Esci": every window closes without any closing handling), or when a handler
// meets an error it does not trap: the guard shows the error report and ends
// with status 1. The first end request decides the exit status.

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>

#include "toolkit/form.h"

namespace toolkit {

// How the program ends. Tests replace it so that they never end the test process.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    virtual void end(int status) = 0;
};

// The shared window instances: one per window (one per main-window layout),
// kept by window name, and the program's end.
class WindowRegistry final {
public:
    static WindowRegistry& instance();

    // Runs start-up guarded, then the event loop while a window is loaded;
    // returns the exit status.
    int run(const std::function<void()>& startup);

    // Shows the shared instance of that name, creating and loading it first
    // when it is not loaded; otherwise only brings it up again. make() builds
    // a window whose objectName is name.
    template <class T, class Factory>
    T* show(const QString& name, Factory make) {
        Form* form = find(name);
        if (form == nullptr) {
            form = make();
            add(name, form);
        }
        bringUp(form);
        return static_cast<T*>(form);
    }

    Form* find(const QString& name) const;
    template <class T>
    T* find(const QString& name) const {
        return qobject_cast<T*>(find(name));
    }
    int loadedCount() const;
    QStringList loadedNames() const;

    // Closes and destroys the window; the program ends when none is left.
    void unload(Form* form);

    // Closes every window at once, without any closing handling, and ends
    // the program.
    void end(int status);
    bool endRequested() const { return m_endRequested; }
    int endStatus() const { return m_endStatus; }

    // Shows the error report, prints it on standard error and ends with status 1.
    void reportError(const QString& message);

    // Installs a replacement (nullptr restores the real end).
    void setProgramEnd(ProgramEnd* end);
    // For tests: drops every window silently and forgets any end request.
    void resetForTest();

private:
    WindowRegistry() = default;
    void add(const QString& name, Form* form);
    void closeAll();
    static void bringUp(Form* form);

    std::map<QString, QPointer<Form>> m_forms;
    ProgramEnd* m_end = nullptr;
    bool m_endRequested = false;
    int m_endStatus = 0;
    bool m_reporting = false;
};

// Shows the shared instance of a window type that names itself (T::kName).
template <class T>
T* show() {
    return WindowRegistry::instance().show<T>(T::kName, [] { return new T; });
}

void unload(Form* form);

// Ends the program at once ("Esci").
void End(int status = 0);

// Runs body and turns any escaping exception into the error report, so that no
// exception crosses Qt's event loop.
void runGuarded(const std::function<void()>& body);

// Wraps a handler for connect(): the returned callable runs it guarded.
template <class F>
auto guarded(F handler) {
    return [handler = std::move(handler)]() { runGuarded(handler); };
}

}  // namespace toolkit
