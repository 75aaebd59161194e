#include "toolkit/lifecycle.h"

#include <QApplication>

#include <cstdio>

#include "toolkit/messagebox.h"

namespace toolkit {
namespace {

class RealProgramEnd final : public ProgramEnd {
public:
    // Before the event loop runs this does nothing; run() sees the request.
    void end(int status) override { QCoreApplication::exit(status); }
};

RealProgramEnd g_realEnd;

// Windows unloaded earlier are destroyed later; at the end nothing may wait.
void destroyUnloaded() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

WindowRegistry& WindowRegistry::instance() {
    static WindowRegistry registry;
    return registry;
}

int WindowRegistry::run(const std::function<void()>& startup) {
    QApplication::setApplicationName(kProgramTitle);
    // The program ends when its last window is unloaded, which unload()
    // decides; message boxes do not count.
    QApplication::setQuitOnLastWindowClosed(false);
    runGuarded(startup);
    if (!m_endRequested && loadedCount() > 0) {
        const int status = QApplication::exec();
        if (!m_endRequested) {
            m_endStatus = status;
        }
    }
    destroyUnloaded();
    return m_endStatus;
}

Form* WindowRegistry::find(const QString& name) const {
    const auto it = m_forms.find(name);
    return it == m_forms.end() ? nullptr : it->second.data();
}

int WindowRegistry::loadedCount() const {
    int count = 0;
    for (const auto& [name, form] : m_forms) {
        count += form ? 1 : 0;
    }
    return count;
}

QStringList WindowRegistry::loadedNames() const {
    QStringList names;
    for (const auto& [name, form] : m_forms) {
        if (form) {
            names << name;
        }
    }
    return names;
}

void WindowRegistry::add(const QString& name, Form* form) {
    Q_ASSERT(form->objectName() == name);
    m_forms[name] = form;
    // The close box unloads the window.
    QObject::connect(form, &Form::closedByUser, form, guarded([this, form] { unload(form); }));
    try {
        form->load();
    } catch (...) {
        // A window whose load handling failed never counts as loaded.
        m_forms.erase(name);
        delete form;
        throw;
    }
}

void WindowRegistry::bringUp(Form* form) {
    form->show();
    form->raise();
    form->activateWindow();
}

void WindowRegistry::unload(Form* form) {
    const auto it = m_forms.find(form->objectName());
    if (it == m_forms.end() || it->second != form) {
        return;
    }
    m_forms.erase(it);
    form->hide();
    form->deleteLater();
    if (loadedCount() == 0) {
        end(0);
    }
}

void WindowRegistry::closeAll() {
    auto forms = std::move(m_forms);
    m_forms.clear();
    for (auto& [name, form] : forms) {
        if (form) {
            form->hide();
            form->deleteLater();
        }
    }
}

void WindowRegistry::end(int status) {
    closeAll();
    if (!m_endRequested) {
        m_endRequested = true;
        m_endStatus = status;
    }
    (m_end ? m_end : &g_realEnd)->end(status);
}

void WindowRegistry::reportError(const QString& message) {
    if (m_reporting || m_endRequested) {
        return;  // one report is enough; the program is already ending
    }
    m_reporting = true;
    std::fprintf(stderr, "Zelvano: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    try {
        // Over the window the user was working in, when there is one.
        msgBox(message, MsgStyle::Critical, kProgramTitle, QApplication::activeWindow());
    } catch (...) {
        // The box itself failed; the report is on standard error and the
        // program ends all the same, so nothing escapes into the event loop.
    }
    end(1);
}

void WindowRegistry::setProgramEnd(ProgramEnd* end) {
    m_end = end;
}

void WindowRegistry::resetForTest() {
    closeAll();
    destroyUnloaded();
    m_endRequested = false;
    m_endStatus = 0;
    m_reporting = false;
}

void unload(Form* form) {
    WindowRegistry::instance().unload(form);
}

void End(int status) {
    WindowRegistry::instance().end(status);
}

void runGuarded(const std::function<void()>& body) {
    WindowRegistry& windows = WindowRegistry::instance();
    try {
        body();
    } catch (const Error& e) {
        windows.reportError(e.message());
    } catch (const std::exception& e) {
        windows.reportError(
            QStringLiteral("Si è verificato un errore interno: %1.\nZelvano verrà chiuso.")
                .arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        windows.reportError(
            QStringLiteral("Si è verificato un errore interno sconosciuto.\n"
                           "Zelvano verrà chiuso."));
    }
}

}  // namespace toolkit
