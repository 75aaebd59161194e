#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>

namespace toolkit {

// The system registry as the program reads it: the three calls keep the
// arguments, results and codes of RegOpenKeyExA, RegQueryValueExA and
// RegCloseKey, so that the lookups are the program's own logic whatever
// stands behind them. Names and data are single-byte Windows-1252 texts
// (codepage/codepage.h converts them).
namespace registry {

using Key = std::uintptr_t;  // a key handle, or one of the predefined roots
using Status = std::int32_t;
using Dword = std::uint32_t;

inline constexpr Key kLocalMachine = 0x80000002;  // HKEY_LOCAL_MACHINE

inline constexpr Status kSuccess = 0;
inline constexpr Status kFileNotFound = 2;
inline constexpr Status kAccessDenied = 5;
inline constexpr Status kInvalidHandle = 6;
inline constexpr Status kMoreData = 234;

inline constexpr Dword kTypeText = 1;        // REG_SZ
inline constexpr Dword kTypeExpandText = 2;  // REG_EXPAND_SZ
inline constexpr Dword kTypeBinary = 3;      // REG_BINARY
inline constexpr Dword kTypeNumber = 4;      // REG_DWORD, least significant byte first

class Registry {
public:
    virtual ~Registry() = default;
    virtual Status openKeyEx(Key root, const char* subKey, Dword options, Dword access,
                             Key* result) = 0;
    // On entry *size is the capacity of data; on success it becomes the number
    // of bytes written. Data that does not fit gives kMoreData and the size needed.
    virtual Status queryValueEx(Key key, const char* valueName, Dword* reserved, Dword* type,
                                unsigned char* data, Dword* size) = 0;
    virtual Status closeKey(Key key) = 0;
};

// The registry of a system that has none: read-only, and holding at most the
// one value the program looks for first, "PATH" under HKEY_LOCAL_MACHINE
// "SOFTWARE\Microsoft\Shared Tools\MSINFO": the full path of the first
// system-information program of its list that is installed. With none of them
// installed, and for every other key or value, it answers "not found".
class LinuxRegistry final : public Registry {
public:
    explicit LinuxRegistry(QStringList tools = systemInformationTools());

    // The system-information programs, most wanted first.
    static QStringList systemInformationTools();

    Status openKeyEx(Key root, const char* subKey, Dword options, Dword access,
                     Key* result) override;
    Status queryValueEx(Key key, const char* valueName, Dword* reserved, Dword* type,
                        unsigned char* data, Dword* size) override;
    Status closeKey(Key key) override;

private:
    // The first installed tool whose path has a single-byte form, or empty.
    QByteArray installedTool() const;

    QStringList m_tools;
    // Open handles with the value each saw when it was opened.
    std::map<Key, QByteArray> m_open;
    Key m_nextHandle = 1;
};

// The registry in use; installs a replacement (nullptr restores the system's).
Registry& current();
void setRegistry(Registry* registry);

}  // namespace registry

// The three registry calls, with the names and argument order of the system's.
registry::Status RegOpenKeyExA(registry::Key root, const char* subKey, registry::Dword options,
                               registry::Dword access, registry::Key* result);
registry::Status RegQueryValueExA(registry::Key key, const char* valueName,
                                  registry::Dword* reserved, registry::Dword* type,
                                  unsigned char* data, registry::Dword* size);
registry::Status RegCloseKey(registry::Key key);

}  // namespace toolkit
