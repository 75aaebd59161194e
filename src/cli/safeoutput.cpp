#include "cli/safeoutput.h"

#include <QFileInfo>

namespace cli {

// The filter writes to a QIODevice; this one hands every block to the safe file.
class SafeOutput::Writer final : public QIODevice {
public:
    explicit Writer(fileio::SafeFile& file) : m_file(file) {
        QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char* /*data*/, qint64 /*maxSize*/) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (!m_file.write(QByteArrayView(data, size))) {
            setErrorString(m_file.error().systemText);
            return -1;
        }
        return size;
    }

private:
    fileio::SafeFile& m_file;
};

SafeOutput::SafeOutput(const QString& path)
    : m_path(path), m_file(QFile::encodeName(path)), m_special(path) {}

SafeOutput::~SafeOutput() = default;

bool SafeOutput::open() {
    const QFileInfo info(m_path);
    m_isSpecial = info.exists() && !info.isFile() && !info.isDir();
    if (m_isSpecial) {
        return m_special.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    if (!m_file.open()) {
        return false;
    }
    m_writer = std::make_unique<Writer>(m_file);
    return true;
}

QIODevice& SafeOutput::device() {
    return m_isSpecial ? static_cast<QIODevice&>(m_special) : *m_writer;
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
    m_file.discard();
}

QString SafeOutput::errorString() const {
    return m_isSpecial ? m_special.errorString() : m_file.error().systemText;
}

}  // namespace cli
