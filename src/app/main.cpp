#include <QApplication>

#include "startup/modulo1.h"
#include "toolkit/appearance.h"
#include "toolkit/lifecycle.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    toolkit::setUpApplication();
    return toolkit::WindowRegistry::instance().run([] { Modulo1::Main(); });
}
