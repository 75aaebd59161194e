#include "fileio/safewrite.h"

#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace fileio {
namespace {

// Repeats a system call that a signal interrupted.
template <class Call>
auto retrying(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

// Writes all of data at offset, or at the current position when offset < 0.
bool writeAll(int fd, const char* data, qint64 size, qint64 offset) {
    while (size > 0) {
        const ssize_t done = retrying([&] {
            return offset < 0 ? ::write(fd, data, static_cast<size_t>(size))
                              : ::pwrite(fd, data, static_cast<size_t>(size), offset);
        });
        if (done < 0) {
            return false;
        }
        data += done;
        size -= done;
        offset += offset < 0 ? 0 : done;
    }
    return true;
}

bool readAll(int fd, char* data, qint64 size, qint64 offset) {
    while (size > 0) {
        const ssize_t done =
            retrying([&] { return ::pread(fd, data, static_cast<size_t>(size), offset); });
        if (done <= 0) {
            errno = done == 0 ? EIO : errno;  // the file shrank under us
            return false;
        }
        data += done;
        size -= done;
        offset += done;
    }
    return true;
}

bool hasAccessList(const QByteArray& path) {
    return lgetxattr(path.constData(), "system.posix_acl_access", nullptr, 0) > 0;
}

QByteArray randomSuffix() {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(6, '\0');
    for (char& c : suffix) {
        c = kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
    }
    return suffix;
}

}  // namespace

SafeFile::SafeFile(QByteArray nativePath) : m_path(std::move(nativePath)) {}

SafeFile::~SafeFile() {
    discard();
}

bool SafeFile::open() {
    if (m_state != State::Closed) {
        return fail(EBUSY);
    }
    const qsizetype slash = m_path.lastIndexOf('/');
    const QByteArray dir = slash < 0    ? QByteArray(".")
                           : slash == 0 ? QByteArray("/")
                                        : m_path.left(slash);
    m_base = m_path.mid(slash + 1);
    if (m_base.isEmpty()) {
        return fail(m_path.isEmpty() ? ENOENT : EISDIR);
    }
    // Only a handle on the folder: it needs no right to list the folder.
    m_dirFd = ::open(dir.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_dirFd < 0) {
        return fail(errno);
    }
    struct stat existing {};
    const bool exists = fstatat(m_dirFd, m_base.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT) {
        return fail(errno);
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        return fail(EISDIR);
    }
    switch (chooseMethod(exists ? &existing : nullptr)) {
        case Method::Replace:
            m_state = State::Open;
            return true;
        case Method::InPlace:
            return openInPlace();
        case Method::Failed:
            break;
    }
    return false;
}

// Replace or rewrite in place. Replacing (a new file renamed over the name) is
// atomic, but it keeps what the user set up only for a plain file with a
// single name that we may write, in a folder we may write, when the new file
// can take on the old one's owner, group and permissions. Anything else (a
// symbolic link, a hard link, a read-only file or folder, a file of another
// user, a file with an access list) is rewritten in place through its own
// name, so that the kernel follows a link under its own rules. A missing file
// is created by replacing.
SafeFile::Method SafeFile::chooseMethod(const struct stat* existing) {
    const bool root = geteuid() == 0;
    if (existing) {
        const bool plain = S_ISREG(existing->st_mode) && existing->st_nlink == 1;
        const bool ours = root || (existing->st_uid == geteuid() && (existing->st_mode & S_IWUSR));
        if (!plain || !ours || hasAccessList(m_path)) {
            return Method::InPlace;
        }
    }
    for (int attempt = 0; m_fd < 0; ++attempt) {
        m_tempName = m_base + '.' + randomSuffix();
        m_fd = retrying([&] {
            return ::openat(m_dirFd, m_tempName.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        });
        if (m_fd < 0 && (errno != EEXIST || attempt == 100)) {
            const int code = errno;
            m_tempName.clear();
            if (existing && (code == EACCES || code == EPERM)) {
                return Method::InPlace;  // the folder is closed to us, the file may not be
            }
            fail(code);
            return Method::Failed;
        }
    }
    if (existing && (fchown(m_fd, existing->st_uid, existing->st_gid) != 0 ||
                     fchmod(m_fd, existing->st_mode & 07777) != 0)) {
        ::close(std::exchange(m_fd, -1));
        unlinkat(m_dirFd, m_tempName.constData(), 0);
        m_tempName.clear();
        return Method::InPlace;
    }
    return Method::Replace;
}

bool SafeFile::openInPlace() {
    m_inPlace = true;
    m_fd = retrying([&] {
        return ::openat(m_dirFd, m_base.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    });
    if (m_fd < 0) {
        return fail(errno);
    }
    struct stat st {};
    if (fstat(m_fd, &st) != 0) {
        return fail(errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return fail(EINVAL);  // a link to a device or a pipe: nothing to keep or replace
    }
    m_oldSize = st.st_size;
    m_state = State::Open;
    return true;
}

bool SafeFile::write(QByteArrayView block) {
    if (m_state != State::Open) {
        return m_state == State::Failed ? false : fail(EBADF);
    }
    if (!m_inPlace) {
        return writeAll(m_fd, block.data(), block.size(), -1) || fail(errno);
    }
    // Rewriting in place keeps the old bytes that a block covers, to put them
    // back if the rewrite fails.
    if (!saveOldUpTo(m_pos + block.size())) {
        return fail(errno);
    }
    m_touched = true;
    if (!writeAll(m_fd, block.data(), block.size(), m_pos)) {
        return fail(errno);
    }
    m_pos += block.size();
    return true;
}

bool SafeFile::saveOldUpTo(qint64 end) {
    const qint64 from = m_saved.size();
    const qint64 to = std::min(end, m_oldSize);
    if (to <= from) {
        return true;
    }
    m_saved.resize(to);
    return readAll(m_fd, m_saved.data() + from, to - from, from);
}

bool SafeFile::commit() {
    if (m_state != State::Open) {
        return m_state == State::Failed ? false : fail(EBADF);
    }
    if (m_inPlace) {
        // A shorter content cuts the file: keep its tail first.
        if (!saveOldUpTo(m_oldSize)) {
            return fail(errno);
        }
        m_touched = true;
        if (retrying([&] { return ftruncate(m_fd, m_pos); }) != 0) {
            return fail(errno);
        }
    }
    if (fsync(m_fd) != 0) {
        return fail(errno);
    }
    // Closed before the rename, so that a failing close cannot follow it.
    if (::close(std::exchange(m_fd, -1)) != 0) {
        return fail(errno);
    }
    if (!m_inPlace) {
        if (renameat(m_dirFd, m_tempName.constData(), m_dirFd, m_base.constData()) != 0) {
            return fail(errno);
        }
        m_tempName.clear();
    }
    m_state = State::Done;
    closeAll();
    return true;
}

void SafeFile::discard() {
    if (m_state == State::Open) {
        putBack();
        m_state = State::Done;
    }
    closeAll();
}

bool SafeFile::fail(int code) {
    using Kind = WriteError::Kind;
    Kind kind = Kind::Other;
    switch (code) {
        case ENOSPC:
        case EDQUOT:
            kind = Kind::DiskFull;
            break;
        case EROFS:
            kind = Kind::ReadOnlyFileSystem;
            break;
        case EACCES:
        case EPERM: {
            struct stat target {};
            const bool otherOwner = geteuid() != 0 && m_dirFd >= 0 && !m_base.isEmpty() &&
                                    fstatat(m_dirFd, m_base.constData(), &target, 0) == 0 &&
                                    target.st_uid != geteuid();
            kind = otherOwner ? Kind::OtherOwner : Kind::PermissionDenied;
            break;
        }
        default:
            break;
    }
    m_error = {kind, code, qt_error_string(code), true};
    if (m_state == State::Open) {
        putBack();
    }
    m_state = State::Failed;
    closeAll();
    return false;
}

// Puts the old bytes back over a file that was being rewritten in place.
void SafeFile::putBack() {
    if (!m_inPlace || !m_touched) {
        return;
    }
    const bool back = m_fd >= 0 && writeAll(m_fd, m_saved.constData(), m_saved.size(), 0) &&
                      retrying([&] { return ftruncate(m_fd, m_oldSize); }) == 0 && fsync(m_fd) == 0;
    if (!back) {
        m_error.oldContentKept = false;
    }
    m_touched = false;
}

void SafeFile::closeAll() {
    if (m_fd >= 0) {
        ::close(std::exchange(m_fd, -1));
    }
    if (!m_tempName.isEmpty()) {
        unlinkat(m_dirFd, m_tempName.constData(), 0);
        m_tempName.clear();
    }
    if (m_dirFd >= 0) {
        ::close(std::exchange(m_dirFd, -1));
    }
}

std::optional<WriteError> writeFile(const QByteArray& nativePath, QByteArrayView content) {
    SafeFile file(nativePath);
    if (file.open() && file.write(content) && file.commit()) {
        return std::nullopt;
    }
    return file.error();
}

}  // namespace fileio
