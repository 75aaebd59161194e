#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <sys/stat.h>

#include <optional>

namespace fileio {

// What went wrong with a write, for the caller to put into words.
struct WriteError {
    enum class Kind {
        DiskFull,            // no space left, or the quota is used up
        PermissionDenied,    // the file or its folder may not be written
        ReadOnlyFileSystem,  // the disk is mounted read-only
        OtherOwner,          // permission denied on a file that belongs to another user
        Other,
    };
    Kind kind = Kind::Other;
    int code = 0;        // the errno value
    QString systemText;  // the system's own description of code
    // False only when the old content could not be put back, so that the file
    // may hold neither the old nor the new content.
    bool oldContentKept = true;
};

// Writes a file so that it ends up holding either the complete new content or
// exactly its old bytes, and says which. The path is the file's native bytes
// (QFile::encodeName of a name, or a path as the system gave it) and is used
// as it is: a symbolic link is followed by the kernel, never resolved here.
//
//     SafeFile file(QFile::encodeName(name));
//     if (!file.open() || !file.write(block) || ... || !file.commit())
//         ... file.error() ...
//
// Nothing is visible under the name before commit() succeeds, except where
// the file has to be rewritten in place (see the .cpp); a file that is not
// committed is discarded when it is destroyed.
class SafeFile {
public:
    explicit SafeFile(QByteArray nativePath);
    ~SafeFile();
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    bool open();
    bool write(QByteArrayView block);
    bool commit();
    // Drops what was written and leaves the file as it was.
    void discard();

    // Why the last call that returned false failed.
    const WriteError& error() const { return m_error; }
    // Whether the existing file is rewritten where it is instead of replaced.
    bool inPlace() const { return m_inPlace; }

private:
    enum class State { Closed, Open, Failed, Done };
    enum class Method { Replace, InPlace, Failed };

    Method chooseMethod(const struct stat* existing);
    bool openInPlace();
    bool saveOldUpTo(qint64 end);
    bool fail(int code);
    void putBack();
    void closeAll();

    QByteArray m_path;
    QByteArray m_base;  // the name inside its folder
    int m_dirFd = -1;
    int m_fd = -1;
    State m_state = State::Closed;
    WriteError m_error;

    // Replacing: the temporary file beside the target.
    QByteArray m_tempName;
    // Rewriting in place: the old bytes that were overwritten, to put back on failure.
    bool m_inPlace = false;
    bool m_touched = false;  // whether the file has been changed yet
    qint64 m_pos = 0;
    qint64 m_oldSize = 0;
    QByteArray m_saved;
};

// Writes a whole small file at once; nothing when it worked.
std::optional<WriteError> writeFile(const QByteArray& nativePath, QByteArrayView content);

}  // namespace fileio
