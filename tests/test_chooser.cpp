// The resolution chooser driven through its real controls.

#include <QMenu>
#include <QTest>

#include <sys/stat.h>

#include "app/modulo1.h"
#include "cipher/cipher.h"
#include "forms/main/mainwindow.h"
#include "forms/options/frmopzioni.h"
#include "prefs/preferences.h"
#include "support.h"

using testing::child;
using testing::Sandbox;
using testing::TinyDisk;

namespace {

[[maybe_unused]] const bool kPrivateMounts = testing::enterPrivateMounts();

const QByteArray c0 = prefs::formatNumber(0);
const QByteArray c1 = prefs::formatNumber(1);
const QByteArray c2 = prefs::formatNumber(2);

forms::frmOpzioni* startChooser() {
    toolkit::runGuarded([] { Modulo1::Main(); });
    return toolkit::WindowRegistry::instance().find<forms::frmOpzioni>(
        QStringLiteral("frmOpzioni"));
}

// On the button's left end: an option button and a check box take clicks only
// on their indicator and caption.
void click(QWidget* window, const QString& name) {
    auto* button = child<QWidget>(window, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

QStringList loaded() {
    testing::flushDeletes();
    return toolkit::WindowRegistry::instance().loadedNames();
}

struct stat statOf(const char* name, bool followLink = true) {
    struct stat st {};
    if ((followLink ? stat(name, &st) : lstat(name, &st)) != 0) {
        qFatal("cannot stat %s", name);
    }
    return st;
}

QString firstText(const Sandbox& sandbox) {
    return sandbox.boxes.shown.empty() ? QString() : sandbox.boxes.shown.front().text;
}

const std::set<QByteArray> kBothFiles = {"frmstart.dat", "rex.dat"};

}  // namespace

class TestChooser : public QObject {
    Q_OBJECT

private slots:
    void captionsFit() {
        testing::verifyCaptionsFit([] { return startChooser(); });
    }

    void layoutAndCaptions() {
        Sandbox sandbox;
        forms::frmOpzioni* chooser = startChooser();
        QVERIFY(chooser);
        QCOMPARE(chooser->windowTitle(), QString("Zelvano - Risoluzioni"));
        QCOMPARE(chooser->client()->size(), QSize(338, 220));  // 5076 x 3300 twips
        struct Expected {
            const char* name;
            const char* caption;
            QRect pixels;
        };
        const Expected expected[] = {
            {"Label1", "Scegliere una delle risoluzioni:", {32, 24, 257, 25}},
            {"Option1_1", "640 x 480", {32, 64, 129, 25}},
            {"Option1_2", "800 x 600 o 1024 x 768 ", {32, 104, 129, 25}},
            {"Option1_0", "1280x1024 o maggiore", {32, 144, 129, 25}},
            {"Check1", "Non mostrare al prossimo avvio", {32, 184, 169, 25}},
            {"Command1_0", "Ok", {232, 120, 97, 33}},
            {"Command1_1", "Annulla", {232, 168, 97, 33}},
        };
        for (const Expected& e : expected) {
            auto* widget = child<QWidget>(chooser, e.name);
            QCOMPARE(QRect(widget->mapTo(chooser->client(), QPoint(0, 0)), widget->size()),
                     e.pixels);
            QCOMPARE(widget->property("text").toString(), QString(e.caption));
            // Nothing of a caption is cut off.
            QVERIFY2(widget->sizeHint().width() <= widget->width(), e.name);
        }
        // Tab order: Option1(1), Option1(2), Label1, Ok, Annulla, Check1, Option1(0).
        QWidget* w = child<QWidget>(chooser, "Option1_1");
        QStringList order;
        for (int i = 0; i < 6; ++i) {
            order << w->objectName();
            w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus) {
                w = w->nextInFocusChain();
            }
        }
        QCOMPARE(order, QStringList({"Option1_1", "Option1_2", "Command1_0", "Command1_1", "Check1",
                                     "Option1_0"}));
    }

    // Choose an option, press a button: which window opens and what rex.dat holds.
    void buttons_data() {
        QTest::addColumn<QByteArray>("rexBefore");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QByteArray>("rexAfter");
        QTest::newRow("first start Ok") << QByteArray() << ""
                                        << "Command1_0"
                                        << "frm640" << c1;
        QTest::newRow("1280 Annulla") << c1 << "Option1_0"
                                      << "Command1_1"
                                      << "frm1280" << c1;
        QTest::newRow("800 Ok") << c1 << "Option1_2"
                                << "Command1_0"
                                << "frm800" << c2;
        QTest::newRow("1280 Ok") << c2 << "Option1_0"
                                 << "Command1_0"
                                 << "frm1280" << c0;
        QTest::newRow("stored 2, Annulla") << c2 << ""
                                           << "Command1_1"
                                           << "frm800" << c2;
        QTest::newRow("stored 2 digit only, Ok") << QByteArray("2") << ""
                                                 << "Command1_0"
                                                 << "frm800" << c2;
    }
    void buttons() {
        QFETCH(QByteArray, rexBefore);
        QFETCH(QString, option);
        QFETCH(QString, button);
        QFETCH(QString, window);
        QFETCH(QByteArray, rexAfter);
        Sandbox sandbox;
        if (!rexBefore.isNull()) {
            Sandbox::write(prefs::kResolutionFile, rexBefore);
        }
        forms::frmOpzioni* chooser = startChooser();
        QVERIFY(chooser);
        if (!option.isEmpty()) {
            click(chooser, option);
        }
        click(chooser, button);
        QCOMPARE(loaded(), QStringList{window});
        QCOMPARE(Sandbox::read(prefs::kResolutionFile), rexAfter);
        QCOMPARE(Sandbox::read(prefs::kStartupFile), c0);
        QVERIFY(sandbox.end.statuses.empty());
    }

    void checkBoxWritesAtOnce() {
        Sandbox sandbox;
        forms::frmOpzioni* chooser = startChooser();
        click(chooser, "Check1");
        QCOMPARE(Sandbox::read(prefs::kStartupFile), c1);
        QCOMPARE(prefs::startupFlag(), std::int16_t(1));
        click(chooser, "Check1");
        QCOMPARE(Sandbox::read(prefs::kStartupFile), c0);
        click(chooser, "Check1");
        click(chooser, "Command1_1");  // "Annulla" does not undo the box
        QCOMPARE(Sandbox::read(prefs::kStartupFile), c1);
        QCOMPARE(Sandbox::read(prefs::kResolutionFile), c1);
        QCOMPARE(loaded(), QStringList{"frm640"});
    }

    void dimmedBoxRewrittenOnLoadAndTickedByClick() {
        Sandbox sandbox;
        Sandbox::write(prefs::kStartupFile, "2");
        forms::frmOpzioni* chooser = startChooser();
        QCOMPARE(chooser->check()->value(), 2);
        QCOMPARE(Sandbox::read(prefs::kStartupFile), c2);  // written again on load
        click(chooser, "Check1");
        QCOMPARE(chooser->check()->value(), 1);
        QCOMPARE(Sandbox::read(prefs::kStartupFile), c1);
    }

    // Ticked and confirmed: the next start skips the chooser, and the menu
    // brings it back with the current values while closing the main window.
    void nextStartAndMenuItem() {
        Sandbox sandbox;
        {
            forms::frmOpzioni* chooser = startChooser();
            click(chooser, "Option1_2");
            click(chooser, "Check1");
            click(chooser, "Command1_0");
        }
        toolkit::WindowRegistry::instance().resetForTest();
        sandbox.end.statuses.clear();

        toolkit::runGuarded([] { Modulo1::Main(); });
        QCOMPARE(loaded(), QStringList{"frm800"});
        auto* main = toolkit::WindowRegistry::instance().find<forms::MainWindow>("frm800");
        child<QAction>(main, "risoluzione")->trigger();
        QCOMPARE(loaded(), QStringList{"frmOpzioni"});
        auto* chooser = toolkit::WindowRegistry::instance().find<forms::frmOpzioni>("frmOpzioni");
        QCOMPARE(chooser->check()->value(), 1);
        QVERIFY(chooser->option(2)->isChecked());
        QCOMPARE(Sandbox::read(prefs::kStartupFile), c1);
        click(chooser, "Option1_1");
        click(chooser, "Command1_1");
        QCOMPARE(loaded(), QStringList{"frm640"});
        QVERIFY(sandbox.end.statuses.empty());
        QCOMPARE(Sandbox::read(prefs::kResolutionFile), c2);
    }

    // "&Risoluzione" keeps both texts, to the last character, for the main
    // window that the chooser opens, whichever layout and button; the bar
    // starts hidden. The window after that starts empty again.
    void textsCarriedOver_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("longInput");
        QTest::newRow("same layout, Annulla") << "Option1_1"
                                              << "Command1_1"
                                              << "frm640" << true;
        QTest::newRow("1280, Ok") << "Option1_0"
                                  << "Command1_0"
                                  << "frm1280" << false;
        QTest::newRow("800, Annulla") << "Option1_2"
                                      << "Command1_1"
                                      << "frm800" << false;
    }
    void textsCarriedOver() {
        QFETCH(QString, option);
        QFETCH(QString, button);
        QFETCH(QString, window);
        QFETCH(bool, longInput);
        Sandbox sandbox;
        // Every character of the code page, controls, code 0 and lone CR and LF included.
        QString every;
        for (int code = 0; code < 256; ++code) {
            every += QChar(cipher::CodeToChar(code));
        }
        QString lines;
        while (lines.size() < 40000) {
            lines += QStringLiteral("riga\r\n  con spazi\rdopo un CR\n");
        }
        lines.truncate(40000);
        const QString input = longInput ? lines : every;
        const QString output = longInput ? every : lines;

        prefs::setStartupFlag(0);
        prefs::resolutionChoice().setText("1");
        auto* main = forms::MainWindow::show(forms::Variant::frm640);
        main->txt1()->setText(QStringLiteral("ciaoû"));
        QTest::mouseClick(child<QWidget>(main, "cmd1"), Qt::LeftButton);  // the bar stays shown
        QVERIFY(!main->prog1()->isHidden());
        main->txt1()->setText(input);
        main->txt2()->setText(output);
        child<QAction>(main, "risoluzione")->trigger();
        QCOMPARE(loaded(), QStringList{"frmOpzioni"});
        auto* chooser = toolkit::WindowRegistry::instance().find<forms::frmOpzioni>("frmOpzioni");
        click(chooser, option);
        click(chooser, button);
        QCOMPARE(loaded(), QStringList{window});

        auto* next = toolkit::WindowRegistry::instance().find<forms::MainWindow>(window);
        QVERIFY(next->txt1()->text() == input);
        QVERIFY(next->txt2()->text() == output);
        QVERIFY(next->prog1()->isHidden());
        next->close();
        testing::flushDeletes();
        auto* fresh = forms::MainWindow::show(forms::Variant::frm640);
        QCOMPARE(fresh->txt1()->text(), QString());
        QCOMPARE(fresh->txt2()->text(), QString());
    }

    void closingOtherwiseEndsProgram() {
        Sandbox sandbox;
        Sandbox::write(prefs::kResolutionFile, c2);
        forms::frmOpzioni* chooser = startChooser();
        click(chooser, "Option1_0");
        chooser->close();
        QCOMPARE(loaded(), QStringList());
        QCOMPARE(sandbox.end.statuses, std::vector<int>{0});
        QCOMPARE(Sandbox::read(prefs::kResolutionFile), c2);
    }

    // On a full disk every write of the chooser fails. Each time a warning box
    // names the file, the value and the cause, the file keeps its old bytes,
    // no temporary file stays, and the chooser goes on with the value chosen.
    void fullDisk_data() {
        QTest::addColumn<QByteArray>("startBefore");
        QTest::addColumn<QStringList>("steps");  // "fill", "start" or a control to click
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("startAfter");
        QTest::addColumn<QByteArray>("rexAfter");
        QTest::addColumn<int>("flag");
        QTest::addColumn<QString>("window");
        QTest::newRow("load rewrites the flag")
            << c2 << QStringList{"fill", "start"} << "frmstart.dat" << 2 << c2 << c1 << 2
            << "frmOpzioni";
        QTest::newRow("check box") << c0 << QStringList{"start", "fill", "Check1"} << "frmstart.dat"
                                   << 1 << c0 << c1 << 1 << "frmOpzioni";
        QTest::newRow("Ok") << c0 << QStringList{"start", "Option1_2", "fill", "Command1_0"}
                            << "rex.dat" << 2 << c0 << c1 << 0 << "frm800";
        QTest::newRow("fills between two writes")
            << c0 << QStringList{"start", "Check1", "fill", "Check1"} << "frmstart.dat" << 0 << c1
            << c1 << 0 << "frmOpzioni";
    }
    void fullDisk() {
        QFETCH(QByteArray, startBefore);
        QFETCH(QStringList, steps);
        QFETCH(QString, file);
        QFETCH(int, value);
        QFETCH(QByteArray, startAfter);
        QFETCH(QByteArray, rexAfter);
        QFETCH(int, flag);
        QFETCH(QString, window);
        Sandbox sandbox;
        TinyDisk disk;
        if (!disk.mounted()) {
            QSKIP("mounting a small file system needs root");
        }
        Sandbox::write(prefs::kStartupFile, startBefore);
        Sandbox::write(prefs::kResolutionFile, c1);
        forms::frmOpzioni* chooser = nullptr;
        for (const QString& step : steps) {
            if (step == "fill") {
                TinyDisk::fill();
            } else if (step == "start") {
                chooser = startChooser();
                QVERIFY(chooser);
            } else {
                click(chooser, step);
            }
        }
        QVERIFY(sandbox.end.statuses.empty());
        QCOMPARE(sandbox.boxes.shown.size(), std::size_t(1));
        const testing::ShownBox& box = sandbox.boxes.shown.front();
        QCOMPARE(box.style, 48);
        QCOMPARE(box.title, QString("Errore!!"));
        for (const QString& part :
             {QStringLiteral("«%1»").arg(file), QStringLiteral("il valore %1").arg(value),
              QStringLiteral("il disco è pieno")}) {
            QVERIFY2(box.text.contains(part), qPrintable(box.text));
        }
        QCOMPARE(Sandbox::read(prefs::kStartupFile), startAfter);
        QCOMPARE(Sandbox::read(prefs::kResolutionFile), rexAfter);
        QCOMPARE(testing::entries(), kBothFiles);
        QCOMPARE(prefs::startupFlag(), std::int16_t(flag));
        QCOMPARE(loaded(), QStringList{window});
    }

    // "Ok" rewrites rex.dat without undoing what the user set up around it:
    // links stay links, owner and permissions stay, and a read-only folder or
    // a file of another user is no obstacle where the file itself is writable.
    void okKeepsWhatUserSetUp_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("asNobody");
        QTest::addColumn<QString>("warning");  // empty: none
        QTest::newRow("hard link") << "hard link" << false << "";
        QTest::newRow("symbolic link into a read-only folder") << "symbolic link" << true << "";
        QTest::newRow("read-only folder") << "read-only folder" << true << "";
        QTest::newRow("owner and permissions kept") << "owner" << false << "";
        QTest::newRow("file of another user")
            << "other owner" << true << "il file appartiene a un altro utente";
    }
    void okKeepsWhatUserSetUp() {
        QFETCH(QString, setup);
        QFETCH(bool, asNobody);
        QFETCH(QString, warning);
        Sandbox sandbox;
        const QByteArray folder = QFile::encodeName(sandbox.path());
        const uid_t nobody = testing::AsNobody::kUid;
        const gid_t nogroup = testing::AsNobody::kGid;
        Sandbox::write(prefs::kStartupFile, c0);
        QVERIFY(chown("frmstart.dat", nobody, nogroup) == 0);
        if (setup == "symbolic link") {
            QVERIFY(mkdir("vero", 0755) == 0);
            Sandbox::write("vero/rex.dat", c1);
            QVERIFY(chown("vero/rex.dat", nobody, nogroup) == 0);
            QVERIFY(chmod("vero", 0555) == 0);
            QVERIFY(symlink("vero/rex.dat", "rex.dat") == 0);
        } else {
            Sandbox::write(prefs::kResolutionFile, c1);
        }
        if (setup == "hard link") {
            QVERIFY(link("rex.dat", "rex-copia.dat") == 0);
        } else if (setup == "read-only folder") {
            QVERIFY(chown("rex.dat", nobody, nogroup) == 0);
            QVERIFY(chmod(folder, 0555) == 0);
        } else if (setup == "owner") {
            QVERIFY(chown("rex.dat", nobody, nogroup) == 0);
            QVERIFY(chmod("rex.dat", 0640) == 0);
        } else if (setup == "other owner") {
            QVERIFY(chown(folder, nobody, nogroup) == 0);
        }
        if (asNobody && setup != "read-only folder") {
            QVERIFY(chmod(folder, 0755) == 0);
        }
        const struct stat before = statOf("rex.dat");
        {
            std::optional<testing::AsNobody> user;
            if (asNobody) {
                user.emplace();
            }
            forms::frmOpzioni* chooser = startChooser();
            QVERIFY(chooser);
            click(chooser, "Option1_2");
            click(chooser, "Command1_0");
        }
        QCOMPARE(loaded(), QStringList{"frm800"});
        QVERIFY(sandbox.end.statuses.empty());
        const struct stat after = statOf("rex.dat");
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        QCOMPARE(after.st_mode, before.st_mode);
        if (!warning.isEmpty()) {
            QCOMPARE(sandbox.boxes.shown.size(), std::size_t(1));
            QVERIFY2(sandbox.boxes.shown.front().text.contains(warning),
                     qPrintable(sandbox.boxes.shown.front().text));
            QCOMPARE(Sandbox::read(prefs::kResolutionFile), c1);
            return;
        }
        QVERIFY2(sandbox.boxes.shown.empty(), qPrintable(firstText(sandbox)));
        QCOMPARE(Sandbox::read(prefs::kResolutionFile), c2);
        if (setup != "owner") {
            QCOMPARE(after.st_ino, before.st_ino);  // written where it was
        }
        if (setup == "hard link") {
            QCOMPARE(after.st_nlink, nlink_t(2));
            QCOMPARE(Sandbox::read("rex-copia.dat"), c2);
        } else if (setup == "symbolic link") {
            QVERIFY(S_ISLNK(statOf("rex.dat", false).st_mode));
            QCOMPARE(Sandbox::read("vero/rex.dat"), c2);
        }
    }

    // A folder whose name is not valid UTF-8 ("caffè" in Latin-1): the first
    // start creates both files in it, and the chooser rewrites them.
    void folderNamedInLatin1() {
        Sandbox sandbox;
        const char* const folder = "caff\xe8";
        // Qt cannot name this folder, so it is cleared here rather than by the sandbox.
        struct Cleanup {
            QByteArray path;
            ~Cleanup() {
                unlink(path + "/frmstart.dat");
                unlink(path + "/rex.dat");
                rmdir(path);
            }
        } cleanup{QFile::encodeName(sandbox.path()) + '/' + folder};
        QVERIFY(mkdir(folder, 0755) == 0);
        QVERIFY(chdir(folder) == 0);
        forms::frmOpzioni* chooser = startChooser();
        QVERIFY2(chooser, qPrintable(firstText(sandbox)));
        QCOMPARE(Sandbox::read(prefs::kStartupFile), c0);
        QCOMPARE(Sandbox::read(prefs::kResolutionFile), c1);
        click(chooser, "Check1");
        click(chooser, "Option1_2");
        click(chooser, "Command1_0");
        QCOMPARE(Sandbox::read(prefs::kStartupFile), c1);
        QCOMPARE(Sandbox::read(prefs::kResolutionFile), c2);
        QCOMPARE(testing::entries(), kBothFiles);
        QVERIFY(sandbox.boxes.shown.empty());
        QCOMPARE(loaded(), QStringList{"frm800"});
    }
};

QTEST_MAIN(TestChooser)
#include "test_chooser.moc"
