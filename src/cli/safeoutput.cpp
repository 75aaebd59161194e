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

namespace {

constexpr int kStandardOutput = 1;

QString outputPath(const QString& path) {
    return path == QLatin1String("-") ? QString() : path;
}

}  // namespace

SafeOutput::SafeOutput(const QString& path)
    : m_path(outputPath(path)),
      m_name(m_path.isEmpty() ? QStringLiteral("standard output") : m_path),
      m_file(QFile::encodeName(m_path)),
      m_direct(m_path) {}

SafeOutput::~SafeOutput() = default;

bool SafeOutput::open() {
    constexpr QIODevice::OpenMode kMode = QIODevice::WriteOnly | QIODevice::Unbuffered;
    if (m_path.isEmpty()) {
        m_isDirect = true;
        return m_direct.open(kStandardOutput, kMode);
    }
    const QFileInfo info(m_path);
    m_isDirect = info.exists() && !info.isFile() && !info.isDir();
    if (m_isDirect) {
        return m_direct.open(kMode);
    }
    if (!m_file.open()) {
        return false;
    }
    m_writer = std::make_unique<Writer>(m_file);
    return true;
}

QIODevice& SafeOutput::device() {
    return m_isDirect ? static_cast<QIODevice&>(m_direct) : *m_writer;
}

bool SafeOutput::commit() {
    if (m_isDirect) {
        m_direct.close();
        return m_direct.error() == QFileDevice::NoError;
    }
    return m_file.commit();
}

void SafeOutput::discard() {
    if (m_isDirect) {
        m_direct.close();
        return;
    }
    m_file.discard();
}

QString SafeOutput::errorString() const {
    return m_isDirect ? m_direct.errorString() : m_file.error().systemText;
}

}  // namespace cli
