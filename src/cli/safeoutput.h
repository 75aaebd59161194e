#pragma once

// An output file that takes its new content whole or not at all, by the same
// rules as the preference files (fileio::SafeFile): on any failure, or when
// the object goes without a commit, the old file, if any, stays as it was.
//
// A device, pipe or socket at the path is written directly instead: it has
// no content to keep, and replacing it by a file would break it (-o /dev/null).

#include <QFile>
#include <QIODevice>
#include <QString>

#include <memory>

#include "fileio/safewrite.h"

namespace cli {

class SafeOutput {
public:
    explicit SafeOutput(const QString& path);
    ~SafeOutput();
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;

    bool open();
    QIODevice& device();
    bool commit();
    // Drops what was written; the file stays as it was.
    void discard();
    QString errorString() const;

private:
    class Writer;

    QString m_path;
    fileio::SafeFile m_file;
    std::unique_ptr<Writer> m_writer;
    QFile m_special;
    bool m_isSpecial = false;
};

}  // namespace cli
