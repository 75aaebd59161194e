#pragma once

// What the windows say about the preference files, in Italian: the error
// report for a file that cannot be used, and the warnings for a value that
// cannot be written. One function builds each sentence.

#include <QByteArray>
#include <QString>

#include "prefs/preferences.h"

namespace forms {

// The report for any preference file that cannot be used; it names the file
// and, where it matters, what the file holds.
QString preferenceReport(const prefs::FileError& error);

// "The file holds this, which is wrong in this way", then how to repair it.
QString damagedFileMessage(const QString& file, const QByteArray& content,
                           prefs::FileError::Problem problem);

// Start-up could not create a missing file: the program ends with this.
QString cannotCreateMessage(const prefs::WriteFailure& failure);

// The chooser could not store a value: a warning, and the program goes on.
QString cannotStoreMessage(const prefs::WriteFailure& failure);

// A short readable rendering of a file's content: at most 40 bytes, the
// unprintable ones as escapes.
QString describeContent(const QByteArray& content);

}  // namespace forms
