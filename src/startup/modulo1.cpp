#include "startup/modulo1.h"

#include "forms/main/mainwindow.h"
#include "forms/options/frmopzioni.h"
#include "startup/preferences.h"

namespace Modulo1 {

using namespace startup;

void Main() {
    // Both tests come before either file is created.
    const bool haveResolution = preferenceFileExists(kResolutionFile);
    const bool haveStartup = preferenceFileExists(kStartupFile);
    if (!haveResolution) {
        createPreferenceFile(kResolutionFile, 1);
    }
    if (!haveStartup) {
        createPreferenceFile(kStartupFile, 0);
    }

    resolutionChoice().setText(readPreferenceFile(kResolutionFile));

    const QByteArray startupText = readPreferenceFile(kStartupFile);
    const std::optional<long long> flag = parseNumber(startupText);
    if (!flag) {
        throw DamagedFile(kStartupFile, describeContent(startupText), Problem::NotANumber);
    }
    if (*flag < -32768 || *flag > 32767) {
        throw DamagedFile(kStartupFile, describeContent(startupText), Problem::OutsideInt16);
    }
    setStartupFlag(static_cast<std::int16_t>(*flag));

    if (startupFlag() != 1) {
        forms::frmOpzioni::show();
        return;
    }
    // A start that opens nothing and says nothing would look like a crash:
    // a choice that names no layout is reported like any damaged file.
    forms::MainWindow::show(chosenVariant());
}

}  // namespace Modulo1
