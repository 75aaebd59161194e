#include "toolkit/registry.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

#include "codepage/codepage.h"

namespace toolkit {
namespace registry {
namespace {

const QByteArray kToolKey = QByteArrayLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QByteArray kToolValue = QByteArrayLiteral("PATH");

// Key and value names are compared without regard to case, as the system's
// registry does.
bool sameName(const char* name, const QByteArray& expected) {
    return name != nullptr && qstricmp(name, expected.constData()) == 0;
}

LinuxRegistry& systemRegistry() {
    static LinuxRegistry registry;
    return registry;
}

Registry* g_registry = nullptr;

}  // namespace

LinuxRegistry::LinuxRegistry(QStringList tools) : m_tools(std::move(tools)) {}

QStringList LinuxRegistry::systemInformationTools() {
    return {QStringLiteral("/usr/bin/hardinfo"), QStringLiteral("/usr/bin/kinfocenter"),
            QStringLiteral("/usr/bin/lshw-gtk"), QStringLiteral("/usr/bin/gnome-system-monitor"),
            QStringLiteral("/usr/bin/mate-system-monitor")};
}

QByteArray LinuxRegistry::installedTool() const {
    for (const QString& tool : m_tools) {
        const QFileInfo info(tool);
        const QByteArray bytes = codepage::toSingleByte(tool);
        // A path that cannot pass through single-byte text could not be started.
        if (info.isFile() && info.isExecutable() && codepage::fromSingleByte(bytes) == tool) {
            return bytes;
        }
    }
    return {};
}

Status LinuxRegistry::openKeyEx(Key root, const char* subKey, Dword /*options*/, Dword /*access*/,
                                Key* result) {
    if (result == nullptr) {
        return kInvalidHandle;
    }
    // Nothing here can be written, so asking for write access costs nothing.
    if (root != kLocalMachine || !sameName(subKey, kToolKey)) {
        return kFileNotFound;
    }
    const QByteArray tool = installedTool();
    if (tool.isEmpty()) {
        return kFileNotFound;
    }
    const Key handle = m_nextHandle++;
    m_open[handle] = tool;
    *result = handle;
    return kSuccess;
}

Status LinuxRegistry::queryValueEx(Key key, const char* valueName, Dword* /*reserved*/, Dword* type,
                                   unsigned char* data, Dword* size) {
    const auto it = m_open.find(key);
    if (it == m_open.end()) {
        return kInvalidHandle;
    }
    if (!sameName(valueName, kToolValue)) {
        return kFileNotFound;
    }
    // Stored as text with its terminating zero byte.
    const QByteArray& text = it->second;
    const auto needed = static_cast<Dword>(text.size() + 1);
    if (type != nullptr) {
        *type = kTypeText;
    }
    if (size == nullptr) {
        return data == nullptr ? kSuccess : kInvalidHandle;
    }
    if (data == nullptr) {
        *size = needed;
        return kSuccess;
    }
    if (*size < needed) {
        *size = needed;
        return kMoreData;
    }
    std::memcpy(data, text.constData(), needed);  // constData() ends in a zero byte
    *size = needed;
    return kSuccess;
}

Status LinuxRegistry::closeKey(Key key) {
    return m_open.erase(key) == 1 ? kSuccess : kInvalidHandle;
}

Registry& current() {
    return g_registry != nullptr ? *g_registry : systemRegistry();
}

void setRegistry(Registry* registry) {
    g_registry = registry;
}

}  // namespace registry

registry::Status RegOpenKeyExA(registry::Key root, const char* subKey, registry::Dword options,
                               registry::Dword access, registry::Key* result) {
    return registry::current().openKeyEx(root, subKey, options, access, result);
}

registry::Status RegQueryValueExA(registry::Key key, const char* valueName,
                                  registry::Dword* reserved, registry::Dword* type,
                                  unsigned char* data, registry::Dword* size) {
    return registry::current().queryValueEx(key, valueName, reserved, type, data, size);
}

registry::Status RegCloseKey(registry::Key key) {
    return registry::current().closeKey(key);
}

}  // namespace toolkit
