// Failures injected into the handlers of every window, through the test seams:
// a message box that throws, a launcher that cannot start anything, and a
// handler that throws while the window is open. Each time the error report is
// shown once, the program ends with status 1 and every window is closed; no
// exception escapes into Qt's event loop (the test process would abort), and
// no preference file is left half-written. A preference file that cannot be
// written because a folder took its place gets a warning instead, and the
// program goes on.

#include <QAction>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <stdexcept>

#include "app/modulo1.h"
#include "forms/about/frmabout.h"
#include "forms/author/frmio.h"
#include "forms/joke/frmhaha.h"
#include "forms/main/mainwindow.h"
#include "forms/options/frmopzioni.h"
#include "prefs/preferences.h"
#include "support.h"
#include "toolkit/launcher.h"
#include "toolkit/registry.h"

using testing::child;
using testing::Sandbox;

namespace {

enum class Failure { Error, StdException, Unknown };

[[noreturn]] void fail(Failure failure) {
    switch (failure) {
        case Failure::Error:
            throw toolkit::Error(QStringLiteral("Guasto simulato."));
        case Failure::StdException:
            throw std::runtime_error("simulated failure");
        case Failure::Unknown:
            throw 42;
    }
    throw 0;
}

// What the report says for each kind of failure.
QString reportOf(Failure failure) {
    switch (failure) {
        case Failure::Error:
            return QStringLiteral("Guasto simulato.");
        case Failure::StdException:
            return QStringLiteral("errore interno: simulated failure");
        case Failure::Unknown:
            return QStringLiteral("errore interno sconosciuto");
    }
    return {};
}

// Message boxes that fail the first time they are asked to show one, then
// record like the sandbox's.
class FailingBoxes final : public toolkit::MessageBoxes {
public:
    explicit FailingBoxes(Failure failure) : m_failure(failure) {}
    void show(const QString& text, toolkit::MsgStyle style, const QString& title,
              QWidget* parent) override {
        if (!m_failed) {
            m_failed = true;
            fail(m_failure);
        }
        shown.push_back({text, static_cast<int>(style), title, parent});
    }
    std::vector<testing::ShownBox> shown;

private:
    Failure m_failure;
    bool m_failed = false;
};

// Starts with both files holding the given values.
void startWith(int flag, int choice) {
    Sandbox::write(prefs::kStartupFile, prefs::formatNumber(flag));
    Sandbox::write(prefs::kResolutionFile, prefs::formatNumber(choice));
    toolkit::runGuarded([] { Modulo1::Main(); });
}

// A folder takes the place of a preference file.
void replaceByFolder(const QString& name) {
    QVERIFY(QFile::remove(name));
    QVERIFY(QDir().mkdir(name));
}

QStringList folderEntries() {
    return QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                            QDir::Name);
}

// The one report, its end, and no window left.
void checkReport(const std::vector<testing::ShownBox>& shown, const std::vector<int>& statuses,
                 const QString& says) {
    QCOMPARE(shown.size(), std::size_t(1));
    QCOMPARE(shown.front().title, QStringLiteral("Zelvano"));
    QCOMPARE(shown.front().style, 16);
    QVERIFY2(shown.front().text.contains(says), qPrintable(shown.front().text));
    QCOMPARE(statuses, std::vector<int>{1});
    testing::flushDeletes();
    QCOMPARE(toolkit::WindowRegistry::instance().loadedCount(), 0);
}

}  // namespace

Q_DECLARE_METATYPE(Failure)

class TestHandlerFaults : public QObject {
    Q_OBJECT

private slots:
    // The encrypt and decrypt commands show a box for an empty input; here
    // the box itself fails.
    void messageBoxFailsInCommand_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("button");
        QTest::addColumn<Failure>("failure");
        const std::pair<const char*, int> variants[] = {
            {"frm1280", 0}, {"frm640", 1}, {"frm800", 2}};
        const std::pair<const char*, Failure> failures[] = {{"Error", Failure::Error},
                                                            {"std", Failure::StdException},
                                                            {"unknown", Failure::Unknown}};
        for (const auto& [variant, choice] : variants) {
            for (const char* button : {"cmd1", "Command1"}) {
                for (const auto& [what, failure] : failures) {
                    QTest::addRow("%s %s %s", variant, button, what)
                        << choice << QString::fromLatin1(button) << failure;
                }
            }
        }
    }
    void messageBoxFailsInCommand() {
        QFETCH(int, choice);
        QFETCH(QString, button);
        QFETCH(Failure, failure);
        Sandbox sandbox;
        startWith(1, choice);
        forms::MainWindow* window = testing::loadedMainWindow();
        QVERIFY(window != nullptr);
        const QStringList before = folderEntries();
        const QByteArray startBytes = Sandbox::read(prefs::kStartupFile);

        FailingBoxes boxes(failure);
        toolkit::setMessageBoxes(&boxes);
        QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
        checkReport(boxes.shown, sandbox.end.statuses, reportOf(failure));
        QCOMPARE(folderEntries(), before);
        QCOMPARE(Sandbox::read(prefs::kStartupFile), startBytes);
    }

    // Writes of the chooser that fail because a folder replaced the file: a
    // warning quotes the system's reason and names the file, the chooser goes
    // on as if the write had worked, the other file is as it was and no
    // temporary file of the failed write is left behind.
    void writeFailsInChooser_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("broken");
        QTest::addColumn<QString>("window");
        QTest::newRow("ticking the box") << "Check1" << prefs::kStartupFile << "frmOpzioni";
        QTest::newRow("Ok") << "Command1_0" << prefs::kResolutionFile << "frm800";
        QTest::newRow("Risoluzione with the box ticked")
            << "risoluzione" << prefs::kStartupFile << "frmOpzioni";
    }
    void writeFailsInChooser() {
        QFETCH(QString, action);
        QFETCH(QString, broken);
        QFETCH(QString, window);
        Sandbox sandbox;
        const bool fromMainWindow = action == QStringLiteral("risoluzione");
        startWith(fromMainWindow ? 1 : 0, 2);
        const QString other =
            broken == prefs::kStartupFile ? prefs::kResolutionFile : prefs::kStartupFile;
        const QByteArray otherBytes = Sandbox::read(other);
        replaceByFolder(broken);
        const QStringList before = folderEntries();

        if (fromMainWindow) {
            child<QAction>(testing::loadedMainWindow(), action)->trigger();
        } else {
            auto* chooser =
                toolkit::WindowRegistry::instance().find<forms::frmOpzioni>("frmOpzioni");
            QVERIFY(chooser != nullptr);
            QTest::mouseClick(child<QAbstractButton>(chooser, action), Qt::LeftButton);
        }
        QCOMPARE(sandbox.boxes.shown.size(), std::size_t(1));
        const testing::ShownBox& box = sandbox.boxes.shown.front();
        QCOMPARE(box.title, QStringLiteral("Errore!!"));
        QCOMPARE(box.style, 48);
        for (const QString& part : {QStringLiteral("«%1»").arg(broken), qt_error_string(EISDIR)}) {
            QVERIFY2(box.text.contains(part), qPrintable(box.text));
        }
        QVERIFY(sandbox.end.statuses.empty());
        testing::flushDeletes();
        QCOMPARE(toolkit::WindowRegistry::instance().loadedNames(), QStringList{window});
        QCOMPARE(prefs::startupFlag(), std::int16_t(fromMainWindow || action == "Check1" ? 1 : 0));
        QVERIFY(QFileInfo(broken).isDir());
        QCOMPARE(Sandbox::read(other), otherBytes);
        QCOMPARE(folderEntries(), before);
    }

    // The About window's launcher traps its own errors into one message;
    // when that message fails too, the report follows. The registry names a
    // program that exists, so the launcher is asked to start it.
    void aboutLauncherAndMessageFail() {
        Sandbox sandbox;
        startWith(1, 1);
        child<QAction>(testing::loadedMainWindow(), QStringLiteral("info"))->trigger();
        auto* about = toolkit::WindowRegistry::instance().find<forms::frmAbout>("frmAbout");
        QVERIFY(about != nullptr);

        toolkit::registry::LinuxRegistry registry({QCoreApplication::applicationFilePath()});
        toolkit::registry::setRegistry(&registry);
        testing::FakeLauncher launcher;  // finds the tool, cannot start it
        launcher.anyFile = true;
        toolkit::setLauncher(&launcher);
        FailingBoxes boxes(Failure::StdException);
        toolkit::setMessageBoxes(&boxes);
        QTest::mouseClick(child<QPushButton>(about, QStringLiteral("cmdSysInfo")), Qt::LeftButton);
        toolkit::setLauncher(nullptr);
        toolkit::registry::setRegistry(nullptr);
        QCOMPARE(launcher.started.size(), 1);
        checkReport(boxes.shown, sandbox.end.statuses, reportOf(Failure::StdException));
    }

    // Even when the report's own box fails, the program still ends with
    // status 1 and nothing escapes.
    void reportBoxFailsToo() {
        Sandbox sandbox;
        startWith(1, 1);
        struct AlwaysFailing final : toolkit::MessageBoxes {
            void show(const QString&, toolkit::MsgStyle, const QString&, QWidget*) override {
                ++attempts;
                throw std::runtime_error("no message box");
            }
            int attempts = 0;
        } boxes;
        toolkit::setMessageBoxes(&boxes);
        QTest::mouseClick(child<QPushButton>(testing::loadedMainWindow(), QStringLiteral("cmd1")),
                          Qt::LeftButton);
        QCOMPARE(boxes.attempts, 2);  // the command's box, then the report's
        QCOMPARE(sandbox.end.statuses, std::vector<int>{1});
        testing::flushDeletes();
        QCOMPARE(toolkit::WindowRegistry::instance().loadedCount(), 0);
    }

    // A handler that throws while each window is open, run from the event
    // loop as every handler is.
    void handlerThrowsInEveryWindow_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<Failure>("failure");
        for (const char* window :
             {"frm640", "frm800", "frm1280", "frmOpzioni", "frmAbout", "frmio", "FRMHAHA"}) {
            QTest::addRow("%s Error", window) << QString::fromLatin1(window) << Failure::Error;
            QTest::addRow("%s unknown", window) << QString::fromLatin1(window) << Failure::Unknown;
        }
    }
    void handlerThrowsInEveryWindow() {
        QFETCH(QString, window);
        QFETCH(Failure, failure);
        Sandbox sandbox;
        if (window == QStringLiteral("frmOpzioni")) {
            startWith(0, 1);
        } else {
            startWith(1, window == QStringLiteral("frm1280")  ? 0
                         : window == QStringLiteral("frm800") ? 2
                                                              : 1);
        }
        if (window == QStringLiteral("frmAbout")) {
            forms::frmAbout::show();
        } else if (window == QStringLiteral("frmio")) {
            forms::frmio::show();
        } else if (window == QStringLiteral("FRMHAHA")) {
            forms::FRMHAHA::show();
        }
        toolkit::Form* form = toolkit::WindowRegistry::instance().find(window);
        QVERIFY(form != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(form));

        QTimer::singleShot(0, form, toolkit::guarded([failure] { fail(failure); }));
        QTRY_VERIFY(!sandbox.end.statuses.empty());
        checkReport(sandbox.boxes.shown, sandbox.end.statuses, reportOf(failure));
    }
};

QTEST_MAIN(TestHandlerFaults)
#include "test_handlerfaults.moc"
