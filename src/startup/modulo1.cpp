#include "startup/modulo1.h"

#include "forms/main/mainwindow.h"
#include "forms/options/frmopzioni.h"
#include "startup/preferences.h"
#include "toolkit/services.h"

namespace Modulo1 {

using namespace startup;

void Main() {
    // Both tests come before either file is created.
    const bool haveResolution = preferenceFileExists(kResolutionFile);
    const bool haveStartup = preferenceFileExists(kStartupFile);
    if (!haveResolution) {
        writePreferenceFile(kResolutionFile, 1);
    }
    if (!haveStartup) {
        writePreferenceFile(kStartupFile, 0);
    }

    resolutionChoice().setText(readPreferenceFile(kResolutionFile));

    const QByteArray startupText = readPreferenceFile(kStartupFile);
    const std::optional<long long> flag = parseNumber(startupText);
    if (!flag) {
        throw toolkit::Error(
            QStringLiteral("Il file delle preferenze «%1» contiene %2, che non è un numero.\n%3")
                .arg(kStartupFile, describeContent(startupText), repairAdvice(kStartupFile)));
    }
    if (*flag < -32768 || *flag > 32767) {
        throw toolkit::Error(
            QStringLiteral("Il file delle preferenze «%1» contiene %2, un numero "
                           "fuori dall'intervallo da -32768 a 32767.\n%3")
                .arg(kStartupFile, describeContent(startupText), repairAdvice(kStartupFile)));
    }
    setStartupFlag(static_cast<std::int16_t>(*flag));

    if (startupFlag() != 1) {
        forms::frmOpzioni::show();
        return;
    }
    // A start that opens nothing and says nothing would look like a crash:
    // a choice that names no layout is reported like any damaged file.
    if (!forms::MainWindow::showForChoice(resolutionChoice().number())) {
        throw toolkit::Error(QStringLiteral("Il file delle preferenze «%1» contiene %2, ma le "
                                            "risoluzioni ammesse sono 0, 1 e 2.\n%3")
                                 .arg(kResolutionFile, resolutionChoice().describe(),
                                      repairAdvice(kResolutionFile)));
    }
}

}  // namespace Modulo1
