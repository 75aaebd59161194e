// The resolution chooser driven through its real controls.

#include <QMenu>
#include <QTest>

#include "forms/main/mainwindow.h"
#include "forms/options/frmopzioni.h"
#include "startup/modulo1.h"
#include "startup/preferences.h"
#include "support.h"

using testing::child;
using testing::Sandbox;

namespace {

const QByteArray c0 = startup::formatNumber(0);
const QByteArray c1 = startup::formatNumber(1);
const QByteArray c2 = startup::formatNumber(2);

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
            QCOMPARE(widget->geometry(), e.pixels);
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
            Sandbox::write(startup::kResolutionFile, rexBefore);
        }
        forms::frmOpzioni* chooser = startChooser();
        QVERIFY(chooser);
        if (!option.isEmpty()) {
            click(chooser, option);
        }
        click(chooser, button);
        QCOMPARE(loaded(), QStringList{window});
        QCOMPARE(Sandbox::read(startup::kResolutionFile), rexAfter);
        QCOMPARE(Sandbox::read(startup::kStartupFile), c0);
        QVERIFY(sandbox.end.statuses.empty());
    }

    void checkBoxWritesAtOnce() {
        Sandbox sandbox;
        forms::frmOpzioni* chooser = startChooser();
        click(chooser, "Check1");
        QCOMPARE(Sandbox::read(startup::kStartupFile), c1);
        QCOMPARE(startup::startupFlag(), std::int16_t(1));
        click(chooser, "Check1");
        QCOMPARE(Sandbox::read(startup::kStartupFile), c0);
        click(chooser, "Check1");
        click(chooser, "Command1_1");  // "Annulla" does not undo the box
        QCOMPARE(Sandbox::read(startup::kStartupFile), c1);
        QCOMPARE(Sandbox::read(startup::kResolutionFile), c1);
        QCOMPARE(loaded(), QStringList{"frm640"});
    }

    void dimmedBoxRewrittenOnLoadAndTickedByClick() {
        Sandbox sandbox;
        Sandbox::write(startup::kStartupFile, "2");
        forms::frmOpzioni* chooser = startChooser();
        QCOMPARE(chooser->check()->value(), 2);
        QCOMPARE(Sandbox::read(startup::kStartupFile), c2);  // written again on load
        click(chooser, "Check1");
        QCOMPARE(chooser->check()->value(), 1);
        QCOMPARE(Sandbox::read(startup::kStartupFile), c1);
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
        QCOMPARE(Sandbox::read(startup::kStartupFile), c1);
        click(chooser, "Option1_1");
        click(chooser, "Command1_1");
        QCOMPARE(loaded(), QStringList{"frm640"});
        QVERIFY(sandbox.end.statuses.empty());
        QCOMPARE(Sandbox::read(startup::kResolutionFile), c2);
    }

    void closingOtherwiseEndsProgram() {
        Sandbox sandbox;
        Sandbox::write(startup::kResolutionFile, c2);
        forms::frmOpzioni* chooser = startChooser();
        click(chooser, "Option1_0");
        chooser->close();
        QCOMPARE(loaded(), QStringList());
        QCOMPARE(sandbox.end.statuses, std::vector<int>{0});
        QCOMPARE(Sandbox::read(startup::kResolutionFile), c2);
    }

    void failedWriteIsReported() {
        Sandbox sandbox;
        forms::frmOpzioni* chooser = startChooser();
        QVERIFY(QFile::remove(startup::kStartupFile));
        QVERIFY(QDir().mkdir(startup::kStartupFile));
        click(chooser, "Check1");
        QCOMPARE(sandbox.end.statuses, std::vector<int>{1});
        QCOMPARE(sandbox.boxes.shown.size(), std::size_t(1));
        QVERIFY(sandbox.boxes.shown.front().text.contains("«frmstart.dat»"));
        QCOMPARE(loaded(), QStringList());
    }
};

QTEST_MAIN(TestChooser)
#include "test_chooser.moc"
