#pragma once

// An output file that takes its new content whole or not at all: everything
// goes to a temporary file beside it, which replaces it only on commit. On
// any failure, or when the object goes without a commit, the temporary file
// is removed and the old file, if any, stays as it was.
//
// A device, pipe or socket at the path is written directly instead: it has
// no content to keep, and replacing it by a file would break it (-o /dev/null).

#include <QFile>
#include <QSaveFile>
#include <QString>

namespace cli {

class SafeOutput {
public:
    explicit SafeOutput(const QString& path);

    bool open();
    QIODevice& device();
    bool commit();
    // Drops what was written; the file stays as it was.
    void discard();
    QString errorString() const;

private:
    QSaveFile m_file;
    QFile m_special;
    bool m_isSpecial = false;
};

}  // namespace cli
