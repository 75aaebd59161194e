#include "cli/safeoutput.h"

#include <QFileInfo>

namespace cli {

SafeOutput::SafeOutput(const QString& path) : m_file(path), m_special(path) {}

bool SafeOutput::open() {
    const QFileInfo info(m_file.fileName());
    m_isSpecial = info.exists() && !info.isFile() && !info.isDir();
    // Unbuffered, so that a failed write shows at once: with a buffer, the
    // last flush can fail unseen on a full disk while commit() still succeeds.
    return m_isSpecial ? m_special.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
                       : m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

QIODevice& SafeOutput::device() {
    return m_isSpecial ? static_cast<QIODevice&>(m_special) : m_file;
}

bool SafeOutput::commit() {
    if (m_isSpecial) {
        m_special.close();
        return m_special.error() == QFileDevice::NoError;
    }
    return m_file.commit();
}

void SafeOutput::discard() {
    if (m_isSpecial) {
        m_special.close();
        return;
    }
    m_file.cancelWriting();
    m_file.commit();  // removes the temporary file; reports the cancel as a failure
}

QString SafeOutput::errorString() const {
    return m_isSpecial ? m_special.errorString() : m_file.errorString();
}

}  // namespace cli
