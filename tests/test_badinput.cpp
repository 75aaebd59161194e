// Damaged and odd preference files at start-up. Every content below is put in
// frmstart.dat, in rex.dat (beside a frmstart.dat that opens the main window
// directly, one that opens the chooser, and one that the chooser rewrites) and
// in both at once. Each time the start must open the window that the decision
// table gives or end with the error report (status 1, the file named, what it
// holds shown readably), leave the files as they were, and take less than a
// second. A subset runs against the real program on a private X server.

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <optional>
#include <thread>

#include "app/modulo1.h"
#include "forms/main/layouts.h"
#include "forms/options/frmopzioni.h"
#include "prefs/preferences.h"
#include "support.h"
#include "toolkit/twips.h"

using testing::Sandbox;

namespace {

enum class Kind { Bytes, Huge, Folder, DanglingLink, Pipe };

// What lies in a preference file's place, and what the program should make of it.
struct Content {
    Kind kind = Kind::Bytes;
    QByteArray bytes;
    std::optional<long long> value;  // the number a regular file holds, if any
    QString shown;                   // how the report shows it
};

}  // namespace

Q_DECLARE_METATYPE(Content)

namespace {

constexpr qint64 kHugeSize = 100LL * 1024 * 1024;

#ifdef ZELVANO_SANITIZED
// Instrumented code starts several times slower; the bound is for the program.
constexpr qint64 kSecond = 4000;
#else
constexpr qint64 kSecond = 1000;
#endif

QByteArray garbage() {
    QRandomGenerator generator(20240501);
    QByteArray bytes(600, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator.bounded(256));
    }
    bytes[0] = '\x07';  // starts with a control, not with a digit or blank
    return bytes;
}

Content bytes(const QByteArray& data, std::optional<long long> value, const QString& shown) {
    return {Kind::Bytes, data, value, shown};
}

struct Named {
    const char* name;
    Content content;
};

// The matrix of contents. A value means the file holds that number.
std::vector<Named> contents() {
    return {
        {"empty", bytes(QByteArray(""), std::nullopt, QStringLiteral("vuoto"))},
        {"blanks and line ends", bytes(QByteArray(" \r\n\t \r\n\n"), std::nullopt,
                                       QStringLiteral("« \\r\\n\\x09 \\r\\n\\n»"))},
        {"abc", bytes(QByteArray("abc"), std::nullopt, QStringLiteral("«abc»"))},
        {"1.5", bytes(QByteArray("1.5"), std::nullopt, QStringLiteral("«1.5»"))},
        {"1e3", bytes(QByteArray("1e3"), std::nullopt, QStringLiteral("«1e3»"))},
        {"+1", bytes(QByteArray("+1"), 1, QStringLiteral("«+1»"))},
        {"-0", bytes(QByteArray("-0"), 0, QStringLiteral("«-0»"))},
        {"' -1 '", bytes(QByteArray(" -1 "), -1, QStringLiteral("« -1 »"))},
        {"32767", bytes(QByteArray("32767"), 32767, QStringLiteral("«32767»"))},
        {"32768", bytes(QByteArray("32768"), 32768, QStringLiteral("«32768»"))},
        {"-32769", bytes(QByteArray("-32769"), -32769, QStringLiteral("«-32769»"))},
        {"20 nines",
         bytes(QByteArray("99999999999999999999"), std::numeric_limits<long long>::max(),
               QStringLiteral("«99999999999999999999»"))},
        {"0x1", bytes(QByteArray("0x1"), std::nullopt, QStringLiteral("«0x1»"))},
        {"BOM 1", bytes(QByteArray("\xEF\xBB\xBF"
                                   "1"),
                        std::nullopt, QStringLiteral("«\\xEF\\xBB\\xBF1»"))},
        {"UTF-16 1", bytes(QByteArray("\xFF\xFE\x31\x00", 4), std::nullopt,
                           QStringLiteral("«\\xFF\\xFE1\\x00»"))},
        {"NUL bytes",
         bytes(QByteArray("1\0\0\0", 4), std::nullopt, QStringLiteral("«1\\x00\\x00\\x00»"))},
        {"binary garbage", bytes(garbage(), std::nullopt, QStringLiteral("«\\x07"))},
        // " 1 \r\n" followed by zeros up to 100 MB, made sparse.
        {"100 MB",
         {Kind::Huge, QByteArray(" 1 \r\n"), std::nullopt, QStringLiteral("troppo grande")}},
        {"folder", {Kind::Folder, {}, std::nullopt, QStringLiteral("una cartella")}},
        {"dangling link",
         {Kind::DanglingLink, {}, std::nullopt, QStringLiteral("un collegamento")}},
        {"named pipe", {Kind::Pipe, {}, std::nullopt, QStringLiteral("un file speciale")}},
    };
}

Content canonicalContent(long long value) {
    return bytes(prefs::formatNumber(value), value, QString());
}

void place(const QString& name, const Content& content) {
    switch (content.kind) {
        case Kind::Bytes:
            Sandbox::write(name, content.bytes);
            break;
        case Kind::Huge: {
            Sandbox::write(name, content.bytes);
            QFile file(name);
            if (!file.resize(kHugeSize)) {
                qFatal("cannot make a large file");
            }
            break;
        }
        case Kind::Folder:
            QDir().mkdir(name);
            break;
        case Kind::DanglingLink:
            QFile::link(QStringLiteral("gone/") + name, name);
            break;
        case Kind::Pipe:
            if (mkfifo(QFile::encodeName(name).constData(), 0600) != 0) {
                qFatal("cannot make a named pipe");
            }
            break;
    }
}

// Whether name still holds exactly content.
bool unchanged(const QString& name, const Content& content) {
    const QFileInfo info(name);
    switch (content.kind) {
        case Kind::Bytes:
            return info.isFile() && !info.isSymLink() && Sandbox::read(name) == content.bytes;
        case Kind::Huge: {
            QFile file(name);
            if (!info.isFile() || info.size() != kHugeSize || !file.open(QIODevice::ReadOnly) ||
                file.read(content.bytes.size()) != content.bytes) {
                return false;
            }
            while (!file.atEnd()) {
                const QByteArray chunk = file.read(1 << 20);
                if (chunk.count('\0') != chunk.size()) {
                    return false;
                }
            }
            return true;
        }
        case Kind::Folder:
            return info.isDir() && !info.isSymLink() && QDir(name).isEmpty();
        case Kind::DanglingLink:
            return info.isSymLink() &&
                   info.symLinkTarget().endsWith(QStringLiteral("gone/") + name) && !info.exists();
        case Kind::Pipe: {
            struct stat st {};
            return lstat(QFile::encodeName(name).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
        }
    }
    return false;
}

// What start-up must do. The files are tested in the order the start-up goes:
// rex.dat is tested for existence, then frmstart.dat, then rex.dat is read,
// then frmstart.dat, which is then taken as a number.
struct Expected {
    QString window;  // empty: the error report
    int selected = -1;
    int check = -1;
    QString reportFile;
    QString reportShows;
    QByteArray startAfter;  // null: frmstart.dat unchanged
};

Expected error(const QString& file, const QString& shows) {
    Expected e;
    e.reportFile = file;
    e.reportShows = shows;
    return e;
}

bool isSpecial(const Content& c) {
    return c.kind == Kind::Folder || c.kind == Kind::DanglingLink || c.kind == Kind::Pipe;
}

bool isResolution(const std::optional<long long>& v) {
    return v && *v >= 0 && *v <= 2;
}

Expected decide(const Content& f, const Content& r) {
    const QString F = prefs::kStartupFile;
    const QString R = prefs::kResolutionFile;
    if (isSpecial(r)) {
        return error(R, r.shown);
    }
    if (isSpecial(f)) {
        return error(F, f.shown);
    }
    if (r.kind == Kind::Huge) {
        return error(R, r.shown);
    }
    if (f.kind == Kind::Huge || !f.value || *f.value < -32768 || *f.value > 32767) {
        return error(F, f.shown);
    }
    const long long flag = *f.value;
    if (flag == 1) {
        if (!isResolution(r.value)) {
            // A choice that names no layout is reported rather than ending in silence.
            return error(R, r.shown);
        }
        static const char* const kVariants[] = {"frm1280", "frm640", "frm800"};
        Expected e;
        e.window = QString::fromLatin1(kVariants[*r.value]);
        return e;
    }
    if (flag < 0 || flag > 2) {
        return error(F, QStringLiteral("«%1»").arg(flag));
    }
    // The chooser's load writes a flag other than 0 back in the written form,
    // before it looks at the choice.
    const QByteArray startAfter = flag == 0 ? QByteArray() : prefs::formatNumber(flag);
    Expected e = isResolution(r.value) ? Expected{} : error(R, r.shown);
    if (e.reportFile.isEmpty()) {
        e.window = QStringLiteral("frmOpzioni");
        e.selected = static_cast<int>(*r.value);
        e.check = static_cast<int>(flag);
    }
    e.startAfter = startAfter;
    return e;
}

void addColumns() {
    QTest::addColumn<Content>("start");
    QTest::addColumn<Content>("rex");
}

// Every content in frmstart.dat, in rex.dat beside three frmstart.dat files,
// and in both.
void addMatrix() {
    addColumns();
    const std::vector<std::pair<QString, Content>> startContexts = {
        {QStringLiteral("F 1"), canonicalContent(1)},
        {QStringLiteral("F 0"), canonicalContent(0)},
        {QStringLiteral("F '2'"), bytes(QByteArray("2"), 2, QString())},
    };
    for (const Named& n : contents()) {
        QTest::addRow("F %s", n.name) << n.content << canonicalContent(1);
        for (const auto& [label, start] : startContexts) {
            QTest::addRow("R %s, %s", n.name, qPrintable(label)) << start << n.content;
        }
        QTest::addRow("both %s", n.name) << n.content << n.content;
    }
}

// Unblocks a start-up that would wait on a named pipe: after a while it opens
// each pipe for writing and closes it again, so that a reader sees the end.
class PipeWatchdog {
public:
    explicit PipeWatchdog(QStringList pipes) : m_pipes(std::move(pipes)) {
        if (!m_pipes.isEmpty()) {
            m_thread = std::thread([this] { watch(); });
        }
    }
    ~PipeWatchdog() {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }
    PipeWatchdog(const PipeWatchdog&) = delete;
    PipeWatchdog& operator=(const PipeWatchdog&) = delete;

private:
    void watch() {
        std::unique_lock lock(m_mutex);
        while (!m_done) {
            if (m_wake.wait_for(lock, std::chrono::seconds(3)) == std::cv_status::timeout) {
                for (const QString& pipe : m_pipes) {
                    const int fd =
                        ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
                    if (fd >= 0) {
                        ::close(fd);
                    }
                }
            }
        }
    }
    QStringList m_pipes;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
};

QStringList pipesAmong(const Content& start, const Content& rex) {
    QStringList pipes;
    if (start.kind == Kind::Pipe) {
        pipes << QDir::current().absoluteFilePath(prefs::kStartupFile);
    }
    if (rex.kind == Kind::Pipe) {
        pipes << QDir::current().absoluteFilePath(prefs::kResolutionFile);
    }
    return pipes;
}

// A report a user can read: no control character but the line breaks, and short.
bool readable(const QString& text) {
    for (const QChar ch : text) {
        if ((ch.unicode() < 0x20 && ch != QLatin1Char('\n')) || ch.unicode() == 0x7F ||
            (ch.unicode() >= 0x80 && ch.unicode() < 0xA0)) {
            return false;
        }
    }
    return text.size() < 600;
}

// The real program on an X server of its own, so that the error report's
// modal box can be answered with a key press and the exit status seen.
class XServer {
public:
    bool start() {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            return false;
        }
        // The server goes with the test even when the test is killed.
        m_server.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        // -displayfd picks a free display and writes its number on stdout.
        m_server.start(
            QStringLiteral("Xvfb"),
            {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
             QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
             QStringLiteral("tcp"), QStringLiteral("-noreset")});
        if (!m_server.waitForStarted(5000)) {
            return false;
        }
        QElapsedTimer timer;
        timer.start();
        while (!m_server.canReadLine() && timer.elapsed() < 10000 &&
               m_server.state() == QProcess::Running) {
            m_server.waitForReadyRead(200);
        }
        const QByteArray number = m_server.readLine().trimmed();
        if (number.isEmpty()) {
            return false;
        }
        m_display = QStringLiteral(":") + QString::fromLatin1(number);
        return m_runtime.isValid();
    }
    ~XServer() {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(5000);
        }
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return env;
    }

    // Runs xdotool; its standard output, or nothing when it fails.
    QString xdotool(const QStringList& args) const {
        QProcess tool;
        tool.setProcessEnvironment(environment());
        tool.start(QStringLiteral("xdotool"), args);
        tool.waitForFinished(5000);
        return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
    }

    // The visible windows of a process, waiting up to timeout for the first.
    QStringList windowsOf(const QProcess& process, int timeout) const {
        QElapsedTimer timer;
        timer.start();
        do {
            const QString found =
                xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                         QStringLiteral("--pid"), QString::number(process.processId())});
            if (!found.isEmpty()) {
                return found.split(QLatin1Char('\n'));
            }
            QTest::qWait(20);
        } while (timer.elapsed() < timeout && process.state() == QProcess::Running);
        return {};
    }

private:
    QProcess m_server;
    QString m_display;
    QTemporaryDir m_runtime;
};

}  // namespace

class TestBadInput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { m_haveX = m_x.start(); }

    void startUpInProcess_data() { addMatrix(); }
    void startUpInProcess() {
        QFETCH(Content, start);
        QFETCH(Content, rex);
        const Expected expected = decide(start, rex);

        Sandbox sandbox;
        place(prefs::kStartupFile, start);
        place(prefs::kResolutionFile, rex);
        QElapsedTimer timer;
        {
            const PipeWatchdog watchdog(pipesAmong(start, rex));
            timer.start();
            toolkit::runGuarded([] { Modulo1::Main(); });
        }
        QVERIFY2(timer.elapsed() < kSecond, qPrintable(QString::number(timer.elapsed())));

        if (expected.window.isEmpty()) {
            QCOMPARE(sandbox.end.statuses, std::vector<int>{1});
            QCOMPARE(sandbox.boxes.shown.size(), std::size_t(1));
            const testing::ShownBox& box = sandbox.boxes.shown.front();
            QCOMPARE(box.title, QStringLiteral("Zelvano"));
            QCOMPARE(box.style, 16);
            QVERIFY2(box.text.contains(QStringLiteral("«%1»").arg(expected.reportFile)),
                     qPrintable(box.text));
            QVERIFY2(box.text.contains(expected.reportShows), qPrintable(box.text));
            QVERIFY2(readable(box.text), qPrintable(box.text));
            testing::flushDeletes();
            QCOMPARE(toolkit::WindowRegistry::instance().loadedCount(), 0);
        } else {
            QVERIFY2(sandbox.boxes.shown.empty(),
                     qPrintable(sandbox.boxes.shown.empty() ? QString()
                                                            : sandbox.boxes.shown.front().text));
            QVERIFY(sandbox.end.statuses.empty());
            QCOMPARE(toolkit::WindowRegistry::instance().loadedNames(),
                     QStringList{expected.window});
            if (auto* chooser =
                    toolkit::WindowRegistry::instance().find<forms::frmOpzioni>(expected.window)) {
                for (int i = 0; i < 3; ++i) {
                    QCOMPARE(chooser->option(i)->isChecked(), i == expected.selected);
                }
                QCOMPARE(chooser->check()->value(), expected.check);
            }
        }
        if (expected.startAfter.isNull()) {
            QVERIFY(unchanged(prefs::kStartupFile, start));
        } else {
            QCOMPARE(Sandbox::read(prefs::kStartupFile), expected.startAfter);
        }
        QVERIFY(unchanged(prefs::kResolutionFile, rex));
        // Nothing else was left in the folder (no temporary file of a write).
        QDir here;
        QCOMPARE(
            here.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)
                .size(),
            2);
    }

    // The real program: a subset of the matrix that covers every way a start
    // can end, each within a second. The error report's box is answered with
    // Return, after which the program must end with status 1.
    void realProgram_data() {
        addColumns();
        const Content c0 = canonicalContent(0), c1 = canonicalContent(1);
        const std::vector<Named> all = contents();
        const auto content = [&all](const char* name) {
            for (const Named& n : all) {
                if (qstrcmp(n.name, name) == 0) {
                    return n.content;
                }
            }
            qFatal("no content %s", name);
        };
        for (const char* name :
             {"empty", "abc", "-0", "+1", "32768", "BOM 1", "UTF-16 1", "NUL bytes",
              "binary garbage", "100 MB", "folder", "dangling link", "named pipe"}) {
            QTest::addRow("F %s", name) << content(name) << c0;
        }
        for (const char* name : {"blanks and line ends", "1e3", "' -1 '", "20 nines", "100 MB",
                                 "folder", "dangling link", "named pipe"}) {
            QTest::addRow("R %s, F 1", name) << c1 << content(name);
        }
        QTest::addRow("R 1.5, F '2'") << bytes("2", 2, QString()) << content("1.5");
        QTest::addRow("F 1, R 0") << c1 << c0;
        QTest::addRow("F 1, R '2'") << c1 << bytes("2", 2, QString());
    }
    void realProgram() {
        QFETCH(Content, start);
        QFETCH(Content, rex);
        if (!m_haveX) {
            QSKIP("Xvfb and xdotool are needed to answer the report's box");
        }
        const Expected expected = decide(start, rex);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString old = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        place(prefs::kStartupFile, start);
        place(prefs::kResolutionFile, rex);
        QVERIFY(QDir::setCurrent(old));

        QProcess program;
        program.setWorkingDirectory(dir.path());
        program.setProcessEnvironment(m_x.environment());
        QElapsedTimer timer;
        timer.start();
        program.start(QStringLiteral(ZELVANO_EXECUTABLE), QStringList());
        QVERIFY(program.waitForStarted(5000));
        const QStringList windows = m_x.windowsOf(program, 10 * kSecond);
        const qint64 shownAfter = timer.elapsed();
        if (windows.size() != 1) {
            program.kill();
            program.waitForFinished(5000);
            QFAIL(qPrintable(QStringLiteral("%1 windows, exit %2, %3")
                                 .arg(windows.size())
                                 .arg(program.exitCode())
                                 .arg(QString::fromLocal8Bit(program.readAllStandardError()))));
        }
        QVERIFY2(shownAfter < kSecond, qPrintable(QString::number(shownAfter)));
        const QString title = m_x.xdotool({QStringLiteral("getwindowname"), windows.front()});

        if (expected.window.isEmpty()) {
            QCOMPARE(title, QStringLiteral("Zelvano"));
            // There is no window manager: give the box the focus, then press
            // Return as a user would.
            m_x.xdotool({QStringLiteral("windowfocus"), windows.front(), QStringLiteral("key"),
                         QStringLiteral("Return")});
            QVERIFY(program.waitForFinished(10 * kSecond));
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), 1);
            const QString report = QString::fromLocal8Bit(program.readAllStandardError());
            QVERIFY2(report.contains(QStringLiteral("Zelvano: ")), qPrintable(report));
            QVERIFY2(report.contains(QStringLiteral("«%1»").arg(expected.reportFile)),
                     qPrintable(report));
            QVERIFY2(report.contains(expected.reportShows), qPrintable(report));
        } else {
            if (expected.window == QStringLiteral("frmOpzioni")) {
                // Which window it is; the exact caption is the chooser tests' business.
                QVERIFY2(title.startsWith(QStringLiteral("Zelvano - Risoluzioni")),
                         qPrintable(title));
            } else {
                QCOMPARE(title, QStringLiteral("Zelvano"));
                const forms::Variant variant =
                    expected.window == QStringLiteral("frm640")   ? forms::Variant::frm640
                    : expected.window == QStringLiteral("frm800") ? forms::Variant::frm800
                                                                  : forms::Variant::frm1280;
                const QString geometry = m_x.xdotool({QStringLiteral("getwindowgeometry"),
                                                      QStringLiteral("--shell"), windows.front()});
                const int width = toolkit::twipsToPixels(forms::layoutOf(variant).clientWidth);
                QVERIFY2(geometry.contains(QStringLiteral("WIDTH=%1\n").arg(width)),
                         qPrintable(geometry));
            }
            QVERIFY(program.state() == QProcess::Running);
            program.terminate();
            QVERIFY(program.waitForFinished(10 * kSecond));
            const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
            QVERIFY2(!errors.contains(QStringLiteral("Zelvano:")), qPrintable(errors));
        }

        QVERIFY(QDir::setCurrent(dir.path()));
        const bool startKept = expected.startAfter.isNull()
                                   ? unchanged(prefs::kStartupFile, start)
                                   : Sandbox::read(prefs::kStartupFile) == expected.startAfter;
        const bool rexKept = unchanged(prefs::kResolutionFile, rex);
        QVERIFY(QDir::setCurrent(old));
        QVERIFY(startKept);
        QVERIFY(rexKept);
    }

    // Without a display the program says so in one line and ends with status
    // 1, rather than aborting inside the window system's plug-in.
    void noDisplay_data() {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::newRow("none set") << ""
                                  << "";
        QTest::newRow("X display that does not answer") << ":1999"
                                                        << "";
        QTest::newRow("Wayland display that does not answer") << ""
                                                              << "zelvano-nessuno";
    }
    void noDisplay() {
        QFETCH(QString, display);
        QFETCH(QString, wayland);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            env.remove(QString::fromLatin1(name));
        }
        if (!display.isEmpty()) {
            env.insert(QStringLiteral("DISPLAY"), display);
        }
        if (!wayland.isEmpty()) {
            env.insert(QStringLiteral("WAYLAND_DISPLAY"), wayland);
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        }
        QProcess program;
        program.setWorkingDirectory(dir.path());
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(ZELVANO_EXECUTABLE), QStringList());
        QVERIFY(program.waitForFinished(10 * kSecond));
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(errors.count(QLatin1Char('\n')), 1);
        QVERIFY2(errors.endsWith(QLatin1Char('\n')) && errors.contains(QStringLiteral("xvfb-run")),
                 qPrintable(errors));
        QVERIFY(QDir(dir.path()).isEmpty());  // nothing was created
    }

    // Standard error a pipe that nobody reads any more: the report's box
    // still appears and the program ends with status 1, not by SIGPIPE.
    void reportWithClosedStandardError() {
        if (!m_haveX) {
            QSKIP("Xvfb and xdotool are needed to answer the report's box");
        }
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile empty(dir.filePath(prefs::kStartupFile));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        int ends[2];
        QVERIFY(pipe2(ends, O_CLOEXEC) == 0);
        close(ends[0]);
        const int writeEnd = ends[1];
        QProcess program;
        program.setWorkingDirectory(dir.path());
        program.setProcessEnvironment(m_x.environment());
        program.setChildProcessModifier([writeEnd] {
            signal(SIGPIPE, SIG_DFL);  // as a shell starts it
            dup2(writeEnd, STDERR_FILENO);
        });
        program.start(QStringLiteral(ZELVANO_EXECUTABLE), QStringList());
        close(writeEnd);
        QVERIFY(program.waitForStarted(5000));
        const QStringList windows = m_x.windowsOf(program, 10 * kSecond);
        if (windows.size() != 1) {
            program.kill();
            program.waitForFinished(5000);
            QFAIL(qPrintable(QStringLiteral("%1 windows, exit status %2, code %3")
                                 .arg(windows.size())
                                 .arg(program.exitStatus())
                                 .arg(program.exitCode())));
        }
        QCOMPARE(m_x.xdotool({QStringLiteral("getwindowname"), windows.front()}),
                 QStringLiteral("Zelvano"));
        m_x.xdotool({QStringLiteral("windowfocus"), windows.front(), QStringLiteral("key"),
                     QStringLiteral("Return")});
        QVERIFY(program.waitForFinished(10 * kSecond));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
    }

private:
    XServer m_x;
    bool m_haveX = false;
};

QTEST_MAIN(TestBadInput)
#include "test_badinput.moc"
