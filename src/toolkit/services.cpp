#include "toolkit/services.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <cstdio>

#include "toolkit/forms.h"
#include "toolkit/twips.h"

namespace toolkit {
namespace {

class RealMessageBoxes final : public MessageBoxes {
public:
    void show(const QString& text, int style, const QString& title) override {
        QMessageBox box;
        box.setWindowTitle(title);
        box.setText(text);
        box.setIcon(style == kStyleWarning    ? QMessageBox::Warning
                    : style == kStyleCritical ? QMessageBox::Critical
                                              : QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }
};

class RealProgramEnd final : public ProgramEnd {
public:
    // Before the event loop runs, main() sees endRequested() and returns.
    void end(int status) override { QCoreApplication::exit(status); }
};

RealMessageBoxes g_realBoxes;
RealProgramEnd g_realEnd;
MessageBoxes* g_boxes = &g_realBoxes;
ProgramEnd* g_end = &g_realEnd;
bool g_endRequested = false;
int g_endStatus = 0;
bool g_reporting = false;

}  // namespace

void setMessageBoxes(MessageBoxes* boxes) {
    g_boxes = boxes ? boxes : &g_realBoxes;
}

void setProgramEnd(ProgramEnd* end) {
    g_end = end ? end : &g_realEnd;
    g_endRequested = false;
    g_endStatus = 0;
    g_reporting = false;
}

void msgBox(const QString& text, int style, const std::optional<QString>& title) {
    g_boxes->show(text, style, title.value_or(kProgramTitle));
}

void End(int status) {
    Forms::instance().unloadAllSilently();
    if (!g_endRequested) {
        g_endRequested = true;
        g_endStatus = status;
    }
    g_end->end(status);
}

bool endRequested() {
    return g_endRequested;
}

int endStatus() {
    return g_endStatus;
}

void reportError(const QString& message) {
    if (g_reporting || g_endRequested) {
        return;  // one report is enough; the program is already ending
    }
    g_reporting = true;
    std::fprintf(stderr, "Zelvano: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    try {
        msgBox(message, kStyleCritical, kProgramTitle);
    } catch (...) {
        // The box itself failed; the report is on standard error and the
        // program ends all the same, so nothing escapes into the event loop.
    }
    End(1);
}

void runGuarded(const std::function<void()>& body) {
    try {
        body();
    } catch (const Error& e) {
        reportError(e.message());
    } catch (const std::exception& e) {
        reportError(QStringLiteral("Si è verificato un errore interno: %1.\nZelvano verrà chiuso.")
                        .arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        reportError(
            QStringLiteral("Si è verificato un errore interno sconosciuto.\n"
                           "Zelvano verrà chiuso."));
    }
}

int screenWidthTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? pixelsToTwips(screen->geometry().width()) : 0;
}

int screenHeightTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? pixelsToTwips(screen->geometry().height()) : 0;
}

}  // namespace toolkit
