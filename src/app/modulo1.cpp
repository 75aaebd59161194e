#include "app/modulo1.h"

#include "forms/main/mainwindow.h"
#include "forms/options/frmopzioni.h"
#include "forms/prefmessages.h"
#include "prefs/preferences.h"
#include "toolkit/messagebox.h"

namespace Modulo1 {
namespace {

void createPreferenceFile(const QString& file, long long value) {
    if (const std::optional<prefs::WriteFailure> failure =
            prefs::writePreferenceFile(file, value)) {
        throw toolkit::Error(forms::cannotCreateMessage(*failure));
    }
}

void readPreferences() {
    using namespace prefs;
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
    setStartupFlag(parseStartupFlag(readPreferenceFile(kStartupFile)));
}

}  // namespace

void Main() {
    try {
        readPreferences();
    } catch (const prefs::FileError& error) {
        throw toolkit::Error(forms::preferenceReport(error));
    }
    if (prefs::startupFlag() != 1) {
        forms::frmOpzioni::show();
        return;
    }
    // A start that opens nothing and says nothing would look like a crash:
    // a choice that names no layout is reported like any damaged file.
    forms::MainWindow::show(forms::chosenVariant());
}

}  // namespace Modulo1
