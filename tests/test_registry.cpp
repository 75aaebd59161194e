// The registry lookups and the system-information launcher of the About
// window, run against a registry, a launcher and a file test that only
// record; the registry of a system without one; the system launcher.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "forms/about/frmabout.h"
#include "support.h"
#include "toolkit/launcher.h"
#include "toolkit/registry.h"

namespace reg = toolkit::registry;
using forms::frmAbout;
using testing::Sandbox;

namespace {

const QString kToolKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kMessage =
    QStringLiteral("Le informazioni sul sistema non sono disponibili in questa fase");

struct Stored {
    reg::Dword type;
    QByteArray bytes;
};

// A registry under HKEY_LOCAL_MACHINE held in memory. It answers as the
// system's does and writes down every call with its arguments.
class FakeRegistry final : public reg::Registry {
public:
    void set(const QString& key, const QString& value, reg::Dword type, const QByteArray& bytes) {
        keys[key.toLatin1()][value.toLatin1()] = {type, bytes};
    }

    reg::Status openKeyEx(reg::Key root, const char* subKey, reg::Dword options, reg::Dword access,
                          reg::Key* result) override {
        calls << QStringLiteral("open %1 %2 %3 %4")
                     .arg(root, 0, 16)
                     .arg(QString::fromLatin1(subKey))
                     .arg(options)
                     .arg(access, 0, 16);
        if (openFailure != reg::kSuccess) {
            return openFailure;
        }
        const auto it = keys.find(QByteArray(subKey));
        if (root != reg::kLocalMachine || it == keys.end()) {
            return reg::kFileNotFound;
        }
        *result = m_next;
        m_open[m_next++] = &it->second;
        return reg::kSuccess;
    }

    reg::Status queryValueEx(reg::Key key, const char* valueName, reg::Dword* reserved,
                             reg::Dword* type, unsigned char* data, reg::Dword* size) override {
        const bool zeroed = std::all_of(data, data + *size, [](unsigned char b) { return b == 0; });
        calls << QStringLiteral("query %1 %2 %3 %4 %5")
                     .arg(key, 0, 16)
                     .arg(QString::fromLatin1(valueName))
                     .arg(reserved == nullptr ? "null" : "set")
                     .arg(*size)
                     .arg(zeroed ? "zeroed" : "dirty");
        const auto open = m_open.find(key);
        if (open == m_open.end()) {
            return reg::kInvalidHandle;
        }
        const auto value = open->second->find(QByteArray(valueName));
        if (value == open->second->end()) {
            return reg::kFileNotFound;
        }
        const QByteArray& bytes = value->second.bytes;
        *type = value->second.type;
        if (static_cast<reg::Dword>(bytes.size()) > *size) {
            *size = static_cast<reg::Dword>(bytes.size());
            return reg::kMoreData;
        }
        std::memcpy(data, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        *size = static_cast<reg::Dword>(bytes.size());
        return reg::kSuccess;
    }

    reg::Status closeKey(reg::Key key) override {
        calls << QStringLiteral("close %1").arg(key, 0, 16);
        return m_open.erase(key) == 1 ? reg::kSuccess : reg::kInvalidHandle;
    }

    QStringList opened() const { return calls.filter(QStringLiteral("open ")); }

    std::map<QByteArray, std::map<QByteArray, Stored>> keys;
    reg::Status openFailure = reg::kSuccess;
    QStringList calls;

private:
    std::map<reg::Key, std::map<QByteArray, Stored>*> m_open;
    reg::Key m_next = 0x100;
};

// Installs the doubles for one test and takes them away afterwards.
struct Doubles {
    Doubles() {
        reg::setRegistry(&registry);
        toolkit::setLauncher(&launcher);
    }
    ~Doubles() {
        reg::setRegistry(nullptr);
        toolkit::setLauncher(nullptr);
    }
    Doubles(const Doubles&) = delete;
    Doubles& operator=(const Doubles&) = delete;
    FakeRegistry registry;
    testing::FakeLauncher launcher;
};

QByteArray bytes(std::initializer_list<int> codes) {
    QByteArray result;
    for (const int code : codes) {
        result.append(static_cast<char>(code));
    }
    return result;
}

void makeProgram(const QString& path) {
    Sandbox::write(path, "#!/bin/sh\n");
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace

class TestRegistry : public QObject {
    Q_OBJECT

private slots:
    void getKeyValue_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("data");  // a null array: no such value
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("after");

        const QString old = QStringLiteral("vecchio");
        const QByteArray none;
        QTest::newRow("text with its zero byte")
            << 1 << QByteArray("abcd", 5) << old << true << "abcd";
        QTest::newRow("text without a zero byte")
            << 1 << QByteArray("abcd") << old << true << "abcd";
        QTest::newRow("only the last zero byte goes")
            << 1 << QByteArray("ab\0\0", 4) << old << true << QString::fromUtf16(u"ab\0", 3);
        QTest::newRow("zero bytes inside stay")
            << 1 << QByteArray("a\0b", 3) << old << true << QString::fromUtf16(u"a\0b", 3);
        QTest::newRow("one zero byte is an empty text")
            << 1 << QByteArray(1, '\0') << old << true << "";
        QTest::newRow("Windows-1252 text") << 1 << bytes({0x80, 0xE8, 0x9F, 0xA0, 0}) << old << true
                                           << QString::fromUtf16(u"€èŸ\u00A0");
        QTest::newRow("1024 bytes fill the buffer")
            << 1 << QByteArray(1024, 'x') << old << true << QString(1024, QLatin1Char('x'));
        QTest::newRow("1024 bytes ending in zero")
            << 1 << QByteArray(1023, 'y') + '\0' << old << true << QString(1023, QLatin1Char('y'));
        QTest::newRow("1025 bytes do not fit") << 1 << QByteArray(1025, 'x') << old << false << "";
        QTest::newRow("1025 bytes with zero do not fit")
            << 1 << QByteArray(1024, 'x') + '\0' << old << false << "";

        QTest::newRow("number 03 02 01 00 is &h123")
            << 4 << bytes({3, 2, 1, 0}) << old << true << "291";
        // No byte is padded to two digits: 00 01 0A reads as &h01A.
        QTest::newRow("number bytes without leading zeros")
            << 4 << bytes({0x0A, 0x01, 0, 0}) << old << true << "26";
        QTest::newRow("number with a top byte")
            << 4 << bytes({0xFF, 0xFF, 0xFF, 0x7F}) << old << true << "2147483647";
        QTest::newRow("number all ones")
            << 4 << bytes({0xFF, 0xFF, 0xFF, 0xFF}) << old << true << "4294967295";
        QTest::newRow("number zero") << 4 << bytes({0, 0, 0, 0}) << old << true << "0";
        QTest::newRow("number of one zero byte has no digits")
            << 4 << bytes({0}) << old << true << "&h";
        QTest::newRow("number too long for a value stays as text")
            << 4 << QByteArray(9, '\xFF') << old << true << "&h" + QString(18, QLatin1Char('F'));

        QTest::newRow("expandable text is found but not read")
            << 2 << QByteArray("C:\\x", 5) << old << true << old;
        QTest::newRow("binary is found but not read")
            << 3 << bytes({1, 2}) << QString() << true << "";
        QTest::newRow("missing value") << 1 << none << old << false << "";
    }

    void getKeyValue() {
        QFETCH(int, type);
        QFETCH(QByteArray, data);
        QFETCH(QString, before);
        QFETCH(bool, found);
        QFETCH(QString, after);
        Doubles doubles;
        doubles.registry.set(kToolKey, QStringLiteral("Other"), 1, "x");
        if (!data.isNull()) {
            doubles.registry.set(kToolKey, QStringLiteral("PATH"), static_cast<reg::Dword>(type),
                                 data);
        }

        QString value = before;
        QCOMPARE(frmAbout::GetKeyValue(0x80000002, kToolKey, QStringLiteral("PATH"), value), found);
        QCOMPARE(value, after);
        QCOMPARE(doubles.registry.calls,
                 QStringList({"open 80000002 " + kToolKey + " 0 2003f",
                              "query 100 PATH null 1024 zeroed", "close 100"}));
    }

    void failedOpenClosesHandleZero_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("failure");
        QTest::newRow("missing key") << QStringLiteral("SOFTWARE\\Nessuno") << 0;
        QTest::newRow("access refused") << kToolKey << int(reg::kAccessDenied);
    }

    void failedOpenClosesHandleZero() {
        QFETCH(QString, key);
        QFETCH(int, failure);
        Doubles doubles;
        doubles.registry.set(kToolKey, QStringLiteral("PATH"), 1, "C:\\x.exe");
        doubles.registry.openFailure = failure;

        QString value = QStringLiteral("vecchio");
        QVERIFY(!frmAbout::GetKeyValue(0x80000002, key, QStringLiteral("PATH"), value));
        QCOMPARE(value, QString());
        QCOMPARE(doubles.registry.calls,
                 QStringList({"open 80000002 " + key + " 0 2003f", "close 0"}));
    }

    void namesReachTheRegistryAsSingleBytes() {
        Doubles doubles;
        doubles.registry.keys[QByteArray("Societ\xE0")][QByteArray("Perch\xE9\x80")] = {1, "ok"};
        QString value;
        QVERIFY(frmAbout::GetKeyValue(0x80000002, QString::fromUtf16(u"Società"),
                                      QString::fromUtf16(u"Perché€"), value));
        QCOMPARE(value, QStringLiteral("ok"));
    }

    void emptyDataRaisesError() {
        Doubles doubles;
        doubles.registry.set(kToolKey, QStringLiteral("PATH"), 1, QByteArray(""));
        QString value;
        QVERIFY_THROWS_EXCEPTION(std::exception,
                                 frmAbout::GetKeyValue(0x80000002, kToolKey, "PATH", value));
        QCOMPARE(doubles.registry.calls.last(), QStringLiteral("close 100"));
    }

    void startSysInfo_data() {
        QTest::addColumn<QByteArray>("first");  // PATH of the first key; null: none
        QTest::addColumn<int>("firstType");
        QTest::addColumn<QByteArray>("second");     // MSINFO of the second key; null: none
        QTest::addColumn<QStringList>("programs");  // paths that start
        QTest::addColumn<QStringList>("files");     // paths where a file is found
        QTest::addColumn<QStringList>("tested");
        QTest::addColumn<QStringList>("started");
        QTest::addColumn<int>("lookups");
        QTest::addColumn<bool>("message");

        const QByteArray none;
        const QStringList nothing;
        const QString tool = QStringLiteral("C:\\WINDOWS\\msinfo32.exe");
        const QString folder = QStringLiteral("C:\\Programmi\\File comuni\\MSINFO");
        QTest::newRow("first place names a program")
            << QByteArray(tool.toLatin1() + '\0') << 1 << folder.toLatin1() << QStringList{tool}
            << nothing << nothing << QStringList{tool} << 1 << false;
        QTest::newRow("first place names a missing program")
            << tool.toLatin1() << 1 << folder.toLatin1() << nothing
            << QStringList{folder + "\\MSINFO32.EXE"} << nothing << QStringList{tool} << 1 << true;
        QTest::newRow("first place with zero bytes")
            << QByteArray("") << 1 << folder.toLatin1() << QStringList{folder + "\\MSINFO32.EXE"}
            << QStringList{folder + "\\MSINFO32.EXE"} << nothing << nothing << 1 << true;
        QTest::newRow("first place of another type starts an empty path")
            << QByteArray("C:\\x.exe", 9) << 2 << folder.toLatin1() << nothing
            << QStringList{folder + "\\MSINFO32.EXE"} << nothing << QStringList{""} << 1 << true;
        QTest::newRow("first place too long, folder in the second")
            << QByteArray(1025, 'x') << 1 << folder.toLatin1()
            << QStringList{folder + "\\MSINFO32.EXE"} << QStringList{folder + "\\MSINFO32.EXE"}
            << QStringList{folder + "\\MSINFO32.EXE"} << QStringList{folder + "\\MSINFO32.EXE"} << 2
            << false;
        QTest::newRow("folder in the second place")
            << none << 1 << QByteArray(folder.toLatin1() + '\0')
            << QStringList{folder + "\\MSINFO32.EXE"} << QStringList{folder + "\\MSINFO32.EXE"}
            << QStringList{folder + "\\MSINFO32.EXE"} << QStringList{folder + "\\MSINFO32.EXE"} << 2
            << false;
        QTest::newRow("folder ending in a backslash")
            << none << 1 << QByteArray("C:\\MSINFO\\") << QStringList{"C:\\MSINFO\\\\MSINFO32.EXE"}
            << QStringList{"C:\\MSINFO\\\\MSINFO32.EXE"}
            << QStringList{"C:\\MSINFO\\\\MSINFO32.EXE"}
            << QStringList{"C:\\MSINFO\\\\MSINFO32.EXE"} << 2 << false;
        QTest::newRow("folder without the program")
            << none << 1 << folder.toLatin1() << QStringList{folder + "\\MSINFO32.EXE"} << nothing
            << QStringList{folder + "\\MSINFO32.EXE"} << nothing << 2 << true;
        QTest::newRow("folder found but the program does not start")
            << none << 1 << folder.toLatin1() << nothing << QStringList{folder + "\\MSINFO32.EXE"}
            << QStringList{folder + "\\MSINFO32.EXE"} << QStringList{folder + "\\MSINFO32.EXE"} << 2
            << true;
        QTest::newRow("neither place")
            << none << 1 << none << nothing << nothing << nothing << nothing << 2 << true;
    }

    void startSysInfo() {
        QFETCH(QByteArray, first);
        QFETCH(int, firstType);
        QFETCH(QByteArray, second);
        QFETCH(QStringList, programs);
        QFETCH(QStringList, files);
        QFETCH(QStringList, tested);
        QFETCH(QStringList, started);
        QFETCH(int, lookups);
        QFETCH(bool, message);
        Sandbox sandbox;
        Doubles doubles;
        if (!first.isNull()) {
            doubles.registry.set(kToolKey, QStringLiteral("PATH"),
                                 static_cast<reg::Dword>(firstType), first);
        }
        if (!second.isNull()) {
            doubles.registry.set(kFolderKey, QStringLiteral("MSINFO"), 1, second);
        }
        doubles.launcher.programs = programs;
        doubles.launcher.files = files;

        frmAbout::StartSysInfo();

        QCOMPARE(doubles.launcher.tested, tested);
        QCOMPARE(doubles.launcher.started, started);
        QStringList opened = {"open 80000002 " + kToolKey + " 0 2003f",
                              "open 80000002 " + kFolderKey + " 0 2003f"};
        QCOMPARE(doubles.registry.opened(), opened.mid(0, lookups));
        QCOMPARE(doubles.registry.calls.filter("close").size(), qsizetype(lookups));
        QCOMPARE(sandbox.boxes.shown.size(), std::size_t{message ? 1U : 0U});
        if (message) {
            QCOMPARE(sandbox.boxes.shown[0].text, kMessage);
            QCOMPARE(sandbox.boxes.shown[0].style, 0);
            QCOMPARE(sandbox.boxes.shown[0].title, QStringLiteral("Zelvano"));
        }
        QVERIFY(sandbox.end.statuses.empty());
    }

    // The registry of this system, with its list of tools in a temporary folder.
    void linuxRegistry_data() {
        QTest::addColumn<QStringList>("tools");  // relative to the folder
        QTest::addColumn<QString>("found");      // empty: the key is missing
        QTest::newRow("none listed") << QStringList() << QString();
        QTest::newRow("none installed") << QStringList{"hardinfo", "kinfocenter"} << QString();
        QTest::newRow("first installed")
            << QStringList{"bin/kinfocenter", "bin/lshw-gtk"} << "bin/kinfocenter";
        QTest::newRow("later one installed")
            << QStringList{"hardinfo", "bin/kinfocenter", "bin/lshw-gtk"} << "bin/kinfocenter";
        QTest::newRow("a file that is no program and a folder do not count")
            << QStringList{"plain.txt", "bin", "bin/lshw-gtk"} << "bin/lshw-gtk";
        QTest::newRow("path with blanks and a semicolon")
            << QStringList{"bin/sys info; x"} << "bin/sys info; x";
        QTest::newRow("path without single-byte form is skipped")
            << QStringList{"bin/Ω", "bin/lshw-gtk"} << "bin/lshw-gtk";
    }

    void linuxRegistry() {
        QFETCH(QStringList, tools);
        QFETCH(QString, found);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("bin"));
        for (const char* name : {"bin/kinfocenter", "bin/lshw-gtk", "bin/sys info; x", "bin/Ω"}) {
            makeProgram(dir.filePath(QString::fromUtf8(name)));
        }
        Sandbox::write(dir.filePath("plain.txt"), "testo\n");
        QStringList paths;
        for (const QString& tool : tools) {
            paths << dir.filePath(tool);
        }
        reg::LinuxRegistry system(paths);
        reg::setRegistry(&system);

        QString value;
        const bool ok = frmAbout::GetKeyValue(0x80000002, kToolKey, "PATH", value);
        reg::setRegistry(nullptr);
        QCOMPARE(ok, !found.isEmpty());
        QCOMPARE(value, found.isEmpty() ? QString() : dir.filePath(found));
    }

    void linuxRegistryHoldsNothingElse_data() {
        QTest::addColumn<quint32>("root");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("found");
        QTest::newRow("the tool") << 0x80000002U << kToolKey << "PATH" << true;
        QTest::newRow("names in another case")
            << 0x80000002U << "software\\microsoft\\shared tools\\msinfo"
            << "Path" << true;
        QTest::newRow("the folder") << 0x80000002U << kFolderKey << "MSINFO" << false;
        QTest::newRow("another value") << 0x80000002U << kToolKey << "MSINFO" << false;
        QTest::newRow("the default value") << 0x80000002U << kToolKey << "" << false;
        QTest::newRow("another root") << 0x80000001U << kToolKey << "PATH" << false;
        QTest::newRow("a sub-key") << 0x80000002U << kToolKey + "\\PATH"
                                   << "PATH" << false;
    }

    void linuxRegistryHoldsNothingElse() {
        QFETCH(quint32, root);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(bool, found);
        QTemporaryDir dir;
        const QString tool = dir.filePath("hardinfo");
        makeProgram(tool);
        reg::LinuxRegistry system({tool});
        reg::setRegistry(&system);
        QString text = QStringLiteral("vecchio");
        const bool ok = frmAbout::GetKeyValue(root, key, value, text);
        reg::setRegistry(nullptr);
        QCOMPARE(ok, found);
        QCOMPARE(text, found ? tool : QString());
    }

    void linuxRegistryAnswersLikeTheSystemOne() {
        QTemporaryDir dir;
        const QString tool = dir.filePath("hardinfo");
        makeProgram(tool);
        reg::LinuxRegistry system({tool});
        const QByteArray stored = tool.toLatin1() + '\0';
        const auto needed = static_cast<reg::Dword>(stored.size());

        reg::Key key = 0;
        QCOMPARE(system.openKeyEx(reg::kLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                                  0, 0x2003F, &key),
                 reg::kSuccess);
        QVERIFY(key != 0);
        reg::Dword type = 0;
        QByteArray small(4, '\0');
        reg::Dword size = 4;
        QCOMPARE(system.queryValueEx(key, "PATH", nullptr, &type,
                                     reinterpret_cast<unsigned char*>(small.data()), &size),
                 reg::kMoreData);
        QCOMPARE(size, needed);
        QByteArray exact(static_cast<qsizetype>(needed), 'z');
        QCOMPARE(system.queryValueEx(key, "PATH", nullptr, &type,
                                     reinterpret_cast<unsigned char*>(exact.data()), &size),
                 reg::kSuccess);
        QCOMPARE(type, reg::kTypeText);
        QCOMPARE(exact, stored);
        QCOMPARE(system.closeKey(key), reg::kSuccess);
        QCOMPARE(system.queryValueEx(key, "PATH", nullptr, &type,
                                     reinterpret_cast<unsigned char*>(exact.data()), &size),
                 reg::kInvalidHandle);
        QCOMPARE(system.closeKey(0), reg::kInvalidHandle);
    }

    void linuxRegistryListsTheKnownTools() {
        QCOMPARE(reg::LinuxRegistry::systemInformationTools(),
                 QStringList({"/usr/bin/hardinfo", "/usr/bin/kinfocenter", "/usr/bin/lshw-gtk",
                              "/usr/bin/gnome-system-monitor", "/usr/bin/mate-system-monitor"}));
    }

    void findFile_data() {
        QTest::addColumn<QString>("path");  // relative to the sandbox
        QTest::addColumn<QString>("name");
        QTest::newRow("ordinary file") << "MSINFO32.EXE"
                                       << "MSINFO32.EXE";
        QTest::newRow("file in a folder") << "cartella/MSINFO32.EXE"
                                          << "MSINFO32.EXE";
        QTest::newRow("file with a backslash in its name") << "C:\\x\\MSINFO32.EXE"
                                                           << "C:\\x\\MSINFO32.EXE";
        QTest::newRow("file in a hidden folder") << ".nascosta/MSINFO32.EXE"
                                                 << "MSINFO32.EXE";
        QTest::newRow("hidden file") << ".MSINFO32.EXE"
                                     << "";
        QTest::newRow("folder") << "cartella"
                                << "";
        QTest::newRow("missing") << "manca.exe"
                                 << "";
        QTest::newRow("empty path") << ""
                                    << "";
    }

    void findFile() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        Sandbox sandbox;
        QVERIFY(QDir().mkdir("cartella"));
        QVERIFY(QDir().mkdir(".nascosta"));
        for (const char* file : {"MSINFO32.EXE", "cartella/MSINFO32.EXE", "C:\\x\\MSINFO32.EXE",
                                 ".nascosta/MSINFO32.EXE", ".MSINFO32.EXE"}) {
            Sandbox::write(QString::fromLatin1(file), "MZ");
        }
        toolkit::SystemLauncher launcher;
        QCOMPARE(launcher.findFile(path), name);
    }

    void startThatFails_data() {
        QTest::addColumn<QString>("path");  // relative to the sandbox
        QTest::newRow("empty path") << "";
        QTest::newRow("missing file") << "manca; $(touch pwned)";
        QTest::newRow("folder") << "cartella";
        QTest::newRow("file that is no program") << "testo.txt";
        QTest::newRow("leading dash") << "-manca";
    }

    void startThatFails() {
        QFETCH(QString, path);
        Sandbox sandbox;
        QVERIFY(QDir().mkdir("cartella"));
        Sandbox::write("testo.txt", "touch pwned\n");
        toolkit::SystemLauncher launcher;
        QVERIFY_THROWS_EXCEPTION(toolkit::Error, launcher.start(path));
        QTest::qWait(200);
        QVERIFY(!QFile::exists("pwned"));
    }

    // The one real start: a script of this test's own making, in a folder and
    // under a name that a shell would split or expand.
    void startRunsTheProgramItself() {
        Sandbox sandbox;
        const QString folder = sandbox.path() + "/cartella con spazi; e punto e virgola";
        QVERIFY(QDir().mkpath(folder));
        const QString script = folder + "/-avvia 'questo' \"e\" $(touch pwned).sh";
        Sandbox::write(script, "#!/bin/sh\n: > \"$(dirname \"$0\")/eseguito\"\n");
        QVERIFY(
            QFile(script).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        toolkit::SystemLauncher launcher;
        launcher.start(script);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder + "/eseguito"), 10000);
        QVERIFY(!QFile::exists("pwned"));
        QVERIFY(!QFile::exists(folder + "/pwned"));
    }
};

QTEST_MAIN(TestRegistry)
#include "test_registry.moc"
