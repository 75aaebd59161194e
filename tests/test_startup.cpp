// Start-up against the preference files on disk: which window opens, what the
// files hold afterwards, and the error report for damaged files.

#include <QTest>

#include "app/modulo1.h"
#include "forms/main/mainwindow.h"
#include "forms/options/frmopzioni.h"
#include "prefs/preferences.h"
#include "support.h"
#include "toolkit/display.h"

using testing::Sandbox;
using testing::TinyDisk;

namespace {

[[maybe_unused]] const bool kPrivateMounts = testing::enterPrivateMounts();

const QByteArray kMissing;  // a null array: the file does not exist

QByteArray canonical(long long value) {
    return prefs::formatNumber(value);
}

void place(const QString& name, const QByteArray& content) {
    if (!content.isNull()) {
        Sandbox::write(name, content);
    }
}

QString firstText(const Sandbox& sandbox) {
    return sandbox.boxes.shown.empty() ? QString() : sandbox.boxes.shown.front().text;
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void readingRule_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<qlonglong>("value");
        QTest::newRow("canonical") << QByteArray(" 1 \r\n") << true << 1LL;
        QTest::newRow("extra line end") << QByteArray(" 2 \r\n\r\n") << true << 2LL;
        QTest::newRow("digit alone") << QByteArray("1") << true << 1LL;
        QTest::newRow("negative") << QByteArray("-7 \r\n") << true << -7LL;
        QTest::newRow("plus") << QByteArray("+1") << true << 1LL;
        QTest::newRow("minus zero") << QByteArray("-0") << true << 0LL;
        QTest::newRow("blanks around") << QByteArray(" \t -1 \n") << true << -1LL;
        QTest::newRow("huge saturates")
            << QByteArray("99999999999999999999") << true << std::numeric_limits<qlonglong>::max();
        QTest::newRow("empty") << QByteArray("") << false << 0LL;
        QTest::newRow("blanks only") << QByteArray(" \r\n \r\n") << false << 0LL;
        QTest::newRow("letters") << QByteArray("abc") << false << 0LL;
        QTest::newRow("fraction") << QByteArray("1.5") << false << 0LL;
        QTest::newRow("exponent") << QByteArray("1e3") << false << 0LL;
        QTest::newRow("hex") << QByteArray("0x1") << false << 0LL;
        QTest::newRow("sign alone") << QByteArray("-") << false << 0LL;
        QTest::newRow("inner blank") << QByteArray("1 2") << false << 0LL;
        QTest::newRow("byte-order mark") << QByteArray(
                                                "\xEF\xBB\xBF"
                                                "1")
                                         << false << 0LL;
        QTest::newRow("NUL") << QByteArray("1\0", 2) << false << 0LL;
    }
    void readingRule() {
        QFETCH(QByteArray, text);
        QFETCH(bool, isNumber);
        QFETCH(qlonglong, value);
        const std::optional<long long> parsed = prefs::parseNumber(text);
        QCOMPARE(parsed.has_value(), isNumber);
        if (isNumber) {
            QCOMPARE(*parsed, value);
        }
    }

    void fileFormat() {
        QCOMPARE(canonical(0), QByteArray("\x20\x30\x20\x0D\x0A"));
        QCOMPARE(canonical(1), QByteArray("\x20\x31\x20\x0D\x0A"));
        QCOMPARE(canonical(2), QByteArray("\x20\x32\x20\x0D\x0A"));
        QCOMPARE(canonical(-12), QByteArray("-12 \r\n"));
        QCOMPARE(canonical(std::numeric_limits<long long>::min()),
                 QByteArray("-9223372036854775808 \r\n"));
    }

    // Each row: the two files before start-up (null = missing), the files
    // afterwards, and the window that opens.
    void decisionTable_data() {
        QTest::addColumn<QByteArray>("startBefore");
        QTest::addColumn<QByteArray>("rexBefore");
        QTest::addColumn<QByteArray>("startAfter");
        QTest::addColumn<QByteArray>("rexAfter");
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("selected");  // chooser: selected option index
        QTest::addColumn<int>("checkValue");

        const QByteArray c0 = canonical(0), c1 = canonical(1), c2 = canonical(2);
        QTest::newRow("first start") << kMissing << kMissing << c0 << c1 << "frmOpzioni" << 1 << 0;
        QTest::newRow("F missing, R 2") << kMissing << c2 << c0 << c2 << "frmOpzioni" << 2 << 0;
        QTest::newRow("F 0, R 0") << c0 << c0 << c0 << c0 << "frmOpzioni" << 0 << 0;
        QTest::newRow("F 1, R missing") << c1 << kMissing << c1 << c1 << "frm640" << -1 << -1;
        QTest::newRow("F 1, R 0") << c1 << c0 << c1 << c0 << "frm1280" << -1 << -1;
        QTest::newRow("F 1, R 1") << c1 << c1 << c1 << c1 << "frm640" << -1 << -1;
        QTest::newRow("F 1, R 2") << c1 << c2 << c1 << c2 << "frm800" << -1 << -1;
        QTest::newRow("F 2 dims the box") << c2 << c0 << c2 << c0 << "frmOpzioni" << 0 << 2;
        QTest::newRow("R extra line end") << c1 << QByteArray(" 2 \r\n\r\n") << c1
                                          << QByteArray(" 2 \r\n\r\n") << "frm800" << -1 << -1;
        QTest::newRow("digits alone") << QByteArray("1") << QByteArray("0") << QByteArray("1")
                                      << QByteArray("0") << "frm1280" << -1 << -1;
        QTest::newRow("F +1") << QByteArray("+1") << c2 << QByteArray("+1") << c2 << "frm800" << -1
                              << -1;
        QTest::newRow("F -0") << QByteArray("-0") << c1 << QByteArray("-0") << c1 << "frmOpzioni"
                              << 1 << 0;
    }
    void decisionTable() {
        QFETCH(QByteArray, startBefore);
        QFETCH(QByteArray, rexBefore);
        QFETCH(QByteArray, startAfter);
        QFETCH(QByteArray, rexAfter);
        QFETCH(QString, window);
        QFETCH(int, selected);
        QFETCH(int, checkValue);

        Sandbox sandbox;
        place(prefs::kStartupFile, startBefore);
        place(prefs::kResolutionFile, rexBefore);
        toolkit::runGuarded([] { Modulo1::Main(); });

        QVERIFY2(sandbox.boxes.shown.empty(), qPrintable(firstText(sandbox)));
        QVERIFY(sandbox.end.statuses.empty());
        QCOMPARE(toolkit::WindowRegistry::instance().loadedNames(), QStringList{window});
        toolkit::Form* form = toolkit::WindowRegistry::instance().find(window);
        QVERIFY(form->isVisible());
        if (selected >= 0) {
            auto* chooser = qobject_cast<forms::frmOpzioni*>(form);
            for (int i = 0; i < 3; ++i) {
                QCOMPARE(chooser->option(i)->isChecked(), i == selected);
            }
            QCOMPARE(chooser->check()->value(), checkValue);
        }
        QCOMPARE(Sandbox::read(prefs::kStartupFile), startAfter);
        QCOMPARE(Sandbox::read(prefs::kResolutionFile), rexAfter);
    }

    // Damaged files stop the start with a report naming the file and what it
    // holds; no window opens and no file changes.
    void damagedFiles_data() {
        QTest::addColumn<QByteArray>("startBefore");
        QTest::addColumn<QByteArray>("rexBefore");
        QTest::addColumn<QString>("named");
        QTest::addColumn<QString>("shows");

        const QByteArray c0 = canonical(0), c1 = canonical(1);
        QTest::newRow("F empty") << QByteArray("") << c1 << "frmstart.dat"
                                 << "vuoto";
        QTest::newRow("F blanks") << QByteArray(" \r\n") << c1 << "frmstart.dat"
                                  << "« \\r\\n»";
        QTest::newRow("F not a number") << QByteArray("abc") << c1 << "frmstart.dat"
                                        << "«abc»";
        QTest::newRow("F fraction") << QByteArray("1.5") << c1 << "frmstart.dat"
                                    << "«1.5»";
        QTest::newRow("F too big") << QByteArray("32768") << c1 << "frmstart.dat"
                                   << "«32768»";
        QTest::newRow("F too small") << QByteArray("-32769") << c1 << "frmstart.dat"
                                     << "-32768";
        QTest::newRow("F huge") << QByteArray("99999999999999999999") << c1 << "frmstart.dat"
                                << "«99999999999999999999»";
        QTest::newRow("F binary") << QByteArray("\x01\xFF\x00z", 4) << c1 << "frmstart.dat"
                                  << "«\\x01\\xFF\\x00z»";
        QTest::newRow("F 5 at chooser") << QByteArray("5") << c1 << "frmstart.dat"
                                        << "«5»";
        QTest::newRow("F -1 at chooser") << QByteArray(" -1 ") << c1 << "frmstart.dat"
                                         << "«-1»";
        QTest::newRow("F 32767 at chooser") << QByteArray("32767") << c1 << "frmstart.dat"
                                            << "«32767»";
        QTest::newRow("R 3 with F 1") << c1 << QByteArray(" 3 \r\n") << "rex.dat"
                                      << "« 3 \\r\\n»";
        QTest::newRow("R -1 with F 1") << c1 << QByteArray("-1") << "rex.dat"
                                       << "«-1»";
        QTest::newRow("R text with F 1") << c1 << QByteArray("due") << "rex.dat"
                                         << "«due»";
        QTest::newRow("R empty with F 1") << c1 << QByteArray("") << "rex.dat"
                                          << "vuoto";
        QTest::newRow("R 5 at chooser") << c0 << QByteArray("5") << "rex.dat"
                                        << "«5»";
        QTest::newRow("R text at chooser") << c0 << QByteArray("x") << "rex.dat"
                                           << "«x»";
        QTest::newRow("F too large to read") << QByteArray(100000, '1') << c1 << "frmstart.dat"
                                             << "troppo grande";
    }
    void damagedFiles() {
        QFETCH(QByteArray, startBefore);
        QFETCH(QByteArray, rexBefore);
        QFETCH(QString, named);
        QFETCH(QString, shows);

        Sandbox sandbox;
        place(prefs::kStartupFile, startBefore);
        place(prefs::kResolutionFile, rexBefore);
        toolkit::runGuarded([] { Modulo1::Main(); });

        QCOMPARE(sandbox.end.statuses, std::vector<int>{1});
        QCOMPARE(sandbox.boxes.shown.size(), std::size_t(1));
        const testing::ShownBox& box = sandbox.boxes.shown.front();
        QCOMPARE(box.title, QString("Zelvano"));
        QVERIFY2(box.text.contains(QStringLiteral("«%1»").arg(named)), qPrintable(box.text));
        QVERIFY2(box.text.contains(shows), qPrintable(box.text));
        testing::flushDeletes();
        QCOMPARE(toolkit::WindowRegistry::instance().loadedCount(), 0);
        QCOMPARE(Sandbox::read(prefs::kStartupFile), startBefore);
        QCOMPARE(Sandbox::read(prefs::kResolutionFile), rexBefore);
    }

    void folderInPlaceOfFile_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("frmstart.dat") << prefs::kStartupFile;
        QTest::newRow("rex.dat") << prefs::kResolutionFile;
    }
    void folderInPlaceOfFile() {
        QFETCH(QString, name);
        Sandbox sandbox;
        QVERIFY(QDir().mkdir(name));
        toolkit::runGuarded([] { Modulo1::Main(); });
        QCOMPARE(sandbox.end.statuses, std::vector<int>{1});
        QVERIFY(sandbox.boxes.shown.front().text.contains(QStringLiteral("«%1»").arg(name)));
        QVERIFY(sandbox.boxes.shown.front().text.contains(QStringLiteral("cartella")));
        // Nothing was created: the other file is still missing.
        const QString other =
            name == prefs::kStartupFile ? prefs::kResolutionFile : prefs::kStartupFile;
        QVERIFY(!QFileInfo::exists(other));
        QVERIFY(QFileInfo(name).isDir());
    }

    void danglingLinkIsNotReplaced() {
        Sandbox sandbox;
        QVERIFY(QFile::link(QStringLiteral("nowhere/frmstart.dat"), prefs::kStartupFile));
        toolkit::runGuarded([] { Modulo1::Main(); });
        QCOMPARE(sandbox.end.statuses, std::vector<int>{1});
        QVERIFY(QFileInfo(prefs::kStartupFile).isSymLink());
        QVERIFY(!QFileInfo::exists(prefs::kResolutionFile));
    }

    // A full disk while start-up creates a missing file: the report names the
    // file and the real cause, and leaves no file behind, not even an empty one.
    void fullDiskWhileCreating_data() {
        QTest::addColumn<QByteArray>("rexBefore");
        QTest::addColumn<QString>("named");
        QTest::newRow("first start") << kMissing << "rex.dat";
        QTest::newRow("rex.dat there") << canonical(2) << "frmstart.dat";
    }
    void fullDiskWhileCreating() {
        QFETCH(QByteArray, rexBefore);
        QFETCH(QString, named);
        Sandbox sandbox;
        TinyDisk disk;
        if (!disk.mounted()) {
            QSKIP("mounting a small file system needs root");
        }
        place(prefs::kResolutionFile, rexBefore);
        TinyDisk::fill();
        toolkit::runGuarded([] { Modulo1::Main(); });
        QCOMPARE(sandbox.end.statuses, std::vector<int>{1});
        for (const QString& part :
             {QStringLiteral("«%1»").arg(named), QStringLiteral("il disco è pieno")}) {
            QVERIFY2(firstText(sandbox).contains(part), qPrintable(firstText(sandbox)));
        }
        QCOMPARE(Sandbox::read(prefs::kResolutionFile), rexBefore);
        QVERIFY(!QFileInfo::exists(prefs::kStartupFile));
        QCOMPARE(testing::entries().size(), std::size_t(rexBefore.isNull() ? 0 : 1));
    }

    // The display check walks the platforms as Qt 6.4 does. Each row: the
    // environment, further arguments, the missing plug-in, the displays asked
    // in order ("ok..." answers, "mute..." connects but stays silent, others
    // refuse), and a part of the report (none: Qt will start).
    void displayChoice_data() {
        for (const char* column : {"environment", "arguments", "missing", "asked", "report"}) {
            QTest::addColumn<QString>(column);
        }
        const auto row = [](const char* name, const char* env, const char* args,
                            const char* missing, const char* asked, const char* report) {
            QTest::newRow(name) << env << args << missing << asked << report;
        };
        row("nothing set", "", "", "", "", "(né DISPLAY né WAYLAND_DISPLAY sono impostate)");
        row("X refuses", "DISPLAY=:9", "", "", "x :9", "(lo schermo X «:9» non risponde)");
        row("Wayland first", "DISPLAY=:ok WAYLAND_DISPLAY=ok", "", "", "wl ok", "");
        row("Wayland refuses, X next", "DISPLAY=:ok WAYLAND_DISPLAY=w", "", "", "wl w, x :ok", "");
        row("Wayland silent, Qt stays", "DISPLAY=:ok WAYLAND_DISPLAY=mute", "", "", "wl mute",
            "(lo schermo Wayland «mute» non risponde)");
        row("no Wayland plug-in, X next", "DISPLAY=:ok WAYLAND_DISPLAY=ok", "", "wayland", "x :ok",
            "");
        row("no Wayland plug-in, no X", "WAYLAND_DISPLAY=ok", "", "wayland", "",
            "(manca il modulo Wayland di Qt e DISPLAY non è impostata): installare il pacchetto "
            "qt6-wayland, oppure");
        row("Wayland session", "XDG_SESSION_TYPE=wayland", "", "", "wl wayland-0",
            "«wayland-0» non risponde e DISPLAY non è impostata)");
        row("QT_QPA_PLATFORM", "QT_QPA_PLATFORM=wayland DISPLAY=:ok", "", "", "wl wayland-0",
            " con QT_QPA_PLATFORM=wayland (lo schermo Wayland «wayland-0» non risponde): ");
        row("list with options", "QT_QPA_PLATFORM=XCB:a=1;wayland:b DISPLAY=:9 WAYLAND_DISPLAY=ok",
            "", "", "x :9, wl ok", "");
        row("offscreen", "QT_QPA_PLATFORM=offscreen", "", "", "", "");
        row("a platform of its own", "QT_QPA_PLATFORM=vnc;xcb DISPLAY=:9", "", "", "", "");
        row("its plug-in missing", "QT_QPA_PLATFORM=vnc", "", "vnc", "", "modulo «vnc» di Qt");
        row("-platform first", "QT_QPA_PLATFORM=offscreen", "--platform xcb -display :9", "",
            "x :9", "con l'opzione -platform xcb (lo schermo X «:9»");
        row("an option's value", "DISPLAY=:ok", "-qwindowtitle -platform", "", "x :ok", "");
    }
    void displayChoice() {
        QFETCH(QString, environment);
        QFETCH(QString, arguments);
        QFETCH(QString, missing);
        QFETCH(QString, asked);
        QFETCH(QString, report);
        QProcessEnvironment env;
        for (const QString& pair : environment.split(u' ', Qt::SkipEmptyParts)) {
            env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        }
        QStringList calls;
        const auto answer = [&calls](const char* kind, const QByteArray& display) {
            calls << QStringLiteral("%1 %2").arg(kind, display);
            return display.contains("ok")     ? toolkit::DisplayAnswer::Answers
                   : display.contains("mute") ? toolkit::DisplayAnswer::Silent
                                              : toolkit::DisplayAnswer::Refused;
        };
        const std::optional<QString> found = toolkit::missingDisplay(
            env, QStringList{QStringLiteral("zelvano")} + arguments.split(u' ', Qt::SkipEmptyParts),
            {[&missing](const QString& key, const QString&) { return key != missing; },
             [&answer](const QByteArray& display) { return answer("x", display); },
             [&answer](const QByteArray& display) { return answer("wl", display); }});
        QCOMPARE(calls.join(QStringLiteral(", ")), asked);
        QCOMPARE(found.has_value(), !report.isEmpty());
        if (found) {
            // One sentence, for "Zelvano: " to lead.
            QVERIFY2(found->contains(report) && found->endsWith(u'.') && !found->contains(u'\n') &&
                         !found->contains(QStringLiteral("Zelvano")) && found->at(0).isLower(),
                     qPrintable(*found));
        }
    }

    void unwritableDirectoryReported() {
        Sandbox sandbox;
        // Running as root, permissions do not stop a write: a folder does.
        QVERIFY(QDir().mkdir(QStringLiteral("sub")));
        QVERIFY(QDir::setCurrent(QStringLiteral("sub")));
        QVERIFY(QDir().rmdir(QDir::currentPath()));  // the current folder is gone
        toolkit::runGuarded([] { Modulo1::Main(); });
        QCOMPARE(sandbox.end.statuses, std::vector<int>{1});
        QVERIFY2(firstText(sandbox).contains(QStringLiteral("«rex.dat»")),
                 qPrintable(firstText(sandbox)));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
