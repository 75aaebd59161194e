#pragma once

// The filter's one output. A file takes its new content whole or not at all,
// by the same rules as the preference files (fileio::SafeFile): on any
// failure, on discard(), or when the object goes without a commit, the old
// file, if any, stays as it was.
//
// Standard output, and a device, pipe or socket at the path, are written
// directly as the text comes instead: they have no content to keep, and
// replacing a device by a file would break it (-o /dev/null). What went to
// them before a fault is out already.

#include <QFile>
#include <QIODevice>
#include <QString>

#include <memory>

#include "fileio/safewrite.h"

namespace cli {

class SafeOutput {
public:
    // An empty path, or "-", names standard output.
    explicit SafeOutput(const QString& path);
    ~SafeOutput();
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;

    bool open();
    // The output in messages: its path, or "standard output".
    const QString& name() const { return m_name; }
    QIODevice& device();
    bool commit();
    // Drops what was written where it can: a file stays as it was.
    void discard();
    QString errorString() const;

private:
    class Writer;

    QString m_path;  // empty for standard output
    QString m_name;
    fileio::SafeFile m_file;
    std::unique_ptr<Writer> m_writer;
    QFile m_direct;
    bool m_isDirect = false;
};

}  // namespace cli
