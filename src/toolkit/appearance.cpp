#include "toolkit/appearance.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

namespace toolkit {
namespace {

const QString kControlPictures = QStringLiteral("Symbola");

// Sets every property, so that no font set later on the application (as a
// platform theme does when it applies the desktop's font) changes a window.
QFont complete(QFont font) {
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

}  // namespace

QFont dialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans Narrow"), kControlPictures});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.0);
    return complete(font);
}

QFont namedFont(const QString& family, qreal points) {
    QFont font;
    // "MS Sans Serif" and the like: Liberation Sans has the widths of the
    // Windows sans-serif faces.
    font.setFamilies({family, QStringLiteral("Liberation Sans"), kControlPictures});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return complete(font);
}

void setUpApplication() {
    QApplication::setFont(dialogFont());
    auto* translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    }
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zelvano.Zelvano"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zelvano.ico")));
}

}  // namespace toolkit
