#include <QApplication>

#include "startup/modulo1.h"
#include "toolkit/forms.h"
#include "toolkit/services.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelvano"));
    // The program ends when its last window is unloaded, which the toolkit
    // layer decides; message boxes do not count.
    QApplication::setQuitOnLastWindowClosed(false);

    toolkit::runGuarded([] { Modulo1::Main(); });
    if (toolkit::endRequested() || toolkit::Forms::instance().loadedCount() == 0) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return toolkit::endStatus();
    }
    const int status = QApplication::exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
