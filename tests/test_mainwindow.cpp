// The three main-window layouts and their commands, through the real widgets.

#include <QImageReader>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "forms/main/layouts.h"
#include "forms/main/mainwindow.h"
#include "support.h"

using forms::MainWindow;
using forms::Variant;
using testing::child;
using testing::Sandbox;

Q_DECLARE_METATYPE(forms::Variant)

namespace {

using Rects = QMap<QString, QRect>;  // by control name

struct Place {
    const char* name;
    int left, top, width, height;  // twips
};

void addVariants() {
    QTest::addColumn<Variant>("variant");
    QTest::newRow("frm640") << Variant::frm640;
    QTest::newRow("frm800") << Variant::frm800;
    QTest::newRow("frm1280") << Variant::frm1280;
}

int px(int twips) {
    return qRound(twips / 15.0);
}

void click(QWidget* window, const char* name) {
    QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
}

struct BarState {
    int min, max, pos;
    bool visible;
    bool operator==(const BarState&) const = default;
};

BarState barOf(MainWindow* w) {
    const toolkit::ProgressBar* bar = w->prog1();
    return {bar->min(), bar->max(), bar->pos(), !bar->isHidden()};
}

}  // namespace

namespace QTest {
template <>
char* toString(const BarState& s) {
    return qstrdup(QStringLiteral("min %1 max %2 value %3 %4")
                       .arg(s.min)
                       .arg(s.max)
                       .arg(s.pos)
                       .arg(s.visible ? "visible" : "hidden")
                       .toUtf8()
                       .constData());
}
}  // namespace QTest

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void geometryAndTabOrder_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<Rects>("places");
        QTest::addColumn<QStringList>("tabOrder");
        auto rects = [](std::initializer_list<Place> list) {
            Rects out;
            for (const Place& p : list) {
                out[p.name] = QRect(px(p.left), px(p.top), px(p.width), px(p.height));
            }
            return out;
        };
        QTest::newRow("640") << "frm640" << QSize(430, 326)
                             << rects({{"txt1", 360, 480, 2412, 3252},
                                       {"txt2", 3600, 480, 2412, 3252},
                                       {"Command3", 2880, 1560, 612, 852},
                                       {"cmd1", 360, 3840, 852, 252},
                                       {"Command4_0", 1920, 3840, 852, 252},
                                       {"Command1", 3600, 3840, 852, 252},
                                       {"Command4_1", 5160, 3840, 852, 252},
                                       {"prog1", 360, 4320, 4092, 252},
                                       {"Command2", 5160, 4320, 852, 252}})
                             << QStringList{"txt1",       "txt2", "Command1", "Command4_0",
                                            "Command4_1", "cmd1", "Command2", "Command3"};
        QTest::newRow("800") << "frm800" << QSize(598, 430)
                             << rects({{"txt1", 360, 600, 3492, 4452},
                                       {"txt2", 5040, 600, 3492, 4452},
                                       {"Command3", 4080, 2160, 732, 1092},
                                       {"cmd1", 360, 5280, 1212, 372},
                                       {"Command4_0", 2640, 5280, 1212, 372},
                                       {"Command1", 5040, 5280, 1212, 372},
                                       {"Command4_1", 7320, 5280, 1212, 372},
                                       {"prog1", 360, 6000, 5892, 252},
                                       {"Command2", 7320, 5880, 1212, 372}})
                             << QStringList{"Command3",   "Command2", "cmd1", "Command4_1",
                                            "Command4_0", "Command1", "txt2", "txt1"};
        QTest::newRow("1280") << "frm1280" << QSize(722, 590)
                              << rects({{"txt1", 240, 240, 4452, 6852},
                                        {"txt2", 6000, 240, 4452, 6852},
                                        {"Command3", 4920, 3000, 852, 1212},
                                        {"cmd1", 240, 7440, 1572, 492},
                                        {"Command4_0", 3120, 7440, 1572, 492},
                                        {"Command1", 6000, 7440, 1572, 492},
                                        {"Command4_1", 8880, 7440, 1572, 492},
                                        {"prog1", 360, 8280, 6732, 252},
                                        {"Command2", 8880, 8280, 1572, 492}})
                              << QStringList{"txt1",     "txt2",       "cmd1",       "Command1",
                                             "Command2", "Command4_0", "Command4_1", "Command3"};
    }
    void geometryAndTabOrder() {
        QFETCH(QString, name);
        QFETCH(QSize, client);
        QFETCH(Rects, places);
        QFETCH(QStringList, tabOrder);
        Sandbox sandbox;
        const Variant variant = name == "frm640"   ? Variant::frm640
                                : name == "frm800" ? Variant::frm800
                                                   : Variant::frm1280;
        MainWindow* w = MainWindow::show(variant);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->objectName(), name);
        QCOMPARE(w->windowTitle(), QString("Zelvano"));
        QCOMPARE(w->client()->size(), client);
        QCOMPARE(w->frameGeometry().topLeft(), QPoint(0, 0));
        QVERIFY(!(w->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(places.size(), qsizetype(MainWindow::kControls.size()));
        for (const MainWindow::Control& control : MainWindow::kControls) {
            QCOMPARE(child<QWidget>(w->client(), control.name)->geometry(), places[control.name]);
        }
        // The focus starts at the first control that can take it, then
        // follows the tab order.
        QStringList seen;
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        for (int i = 0; i < tabOrder.size(); ++i) {
            seen << focus->objectName();
            focus = focus->nextInFocusChain();
            while (focus->focusPolicy() == Qt::NoFocus || focus->isHidden() ||
                   focus->objectName().isEmpty() || focus->objectName().startsWith("qt_")) {
                focus = focus->nextInFocusChain();
            }
        }
        QCOMPARE(seen, tabOrder);
    }

    void menus_data() {
        QTest::addColumn<Variant>("variant");
        QTest::addColumn<QStringList>("menus");  // name=caption, menus and items in order
        QTest::newRow("frm640") << Variant::frm640
                                << QStringList{"mnuFile=&File",
                                               "esci=&Esci",
                                               "opzioni=&Opzioni",
                                               "risoluzione=&Risoluzione",
                                               "mnuAiuto=&Aiuto?",
                                               "rrr=Ma non fatemi ridere",
                                               "info=&Info sul programma",
                                               "io=???????"};
        QTest::newRow("frm800") << Variant::frm800
                                << QStringList{"mnufile=&File",        "esci=&Esci",
                                               "opzioni=&Opzioni",     "risoluzione=&Risoluzione",
                                               "mnuaiuto=&Aiuto?",     "rid=Ma non fatemi ridere",
                                               "info=&Info programma", "io=???????????"};
        QTest::newRow("frm1280") << Variant::frm1280
                                 << QStringList{"mnufile=&File",        "mnuesci=&Esci",
                                                "opzioni=&Opzioni",     "risoluzione=&Risoluzione",
                                                "mnuAiuto=&Aiuto",      "rid=Ma non fatemi ridere",
                                                "info=&Info programma", "io=??????????????"};
    }
    void menus() {
        QFETCH(Variant, variant);
        QFETCH(QStringList, menus);
        Sandbox sandbox;
        MainWindow* w = MainWindow::show(variant);
        QStringList seen;
        for (QAction* top : w->menuBar()->actions()) {
            seen << top->objectName() + "=" + top->text();
            for (QAction* item : top->menu()->actions()) {
                QVERIFY(item->isEnabled() && item->isVisible() && !item->isCheckable());
                QVERIFY(item->shortcut().isEmpty());
                seen << item->objectName() + "=" + item->text();
            }
        }
        QCOMPARE(seen, menus);
    }

    void captionsFit_data() { addVariants(); }
    void captionsFit() {
        QFETCH(Variant, variant);
        testing::verifyCaptionsFit([variant] { return MainWindow::show(variant); });
    }

    void transferFontOnlyIn1280() {
        Sandbox sandbox;
        for (Variant v : {Variant::frm640, Variant::frm800, Variant::frm1280}) {
            MainWindow* w = MainWindow::show(v);
            const QFont font = child<QPushButton>(w, "Command3")->font();
            QCOMPARE(font.pointSizeF() == 9.6, v == Variant::frm1280);
            QCOMPARE(font.family() == "MS Sans Serif", v == Variant::frm1280);
        }
    }

    // A command's end state: the output box, the bar, and any message.
    void commands_data() {
        QTest::addColumn<Variant>("variant");
        QTest::addColumn<bool>("encrypt");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<BarState>("bar");
        QTest::addColumn<QString>("message");
        struct Row {
            const char* name;
            bool encrypt;
            QString input, output;
            BarState bar;
            QString message;
        };
        const QString noEnc = "Non c'è niente da criptare!!!";
        const QString noDec = "Non c'è niente da decriptare!!!";
        // A stopped command keeps its output and bar, then says where it stopped.
        auto stopped = [](const char* character, int position, const char* verb) {
            return QStringLiteral(
                       "Il carattere %1 in posizione %2 non si può %3: il risultato si "
                       "ferma prima di esso.")
                .arg(QString::fromUtf8(character))
                .arg(position)
                .arg(QString::fromLatin1(verb));
        };
        const Row rows[] = {
            {"Salve mondo", true, "Salve mondo", " XDqYj rRsGt", {0, 11, 11, false}, {}},
            {"decrypt", false, " XDqYj rRsGt", "  Salve mondo", {1, 12, 12, false}, {}},
            {"three spaces", true, "   ", "    ", {0, 3, 3, false}, {}},
            {"stops at u-circumflex",
             true,
             "ciaoû",
             " hLfR",
             {0, 5, 4, true},
             stopped("«û»", 5, "criptare")},
            {"stops at first", true, "ü", " ", {0, 1, 0, true}, stopped("«ü»", 1, "criptare")},
            {"decrypt stops",
             false,
             QString("ab") + QChar(1),
             " ^]",
             {1, 3, 2, true},
             stopped("U+0001", 3, "decriptare")},
            {"empty encrypt", true, "", " ", {0, 0, 0, false}, noEnc},
            {"empty decrypt", false, "", " ", {1, 0, 0, false}, noDec},
            {"one char decrypt", false, "x", " u", {1, 1, 1, false}, {}},
        };
        for (Variant v : {Variant::frm640, Variant::frm800, Variant::frm1280}) {
            for (const Row& r : rows) {
                QTest::addRow("%s %d", r.name, int(v))
                    << v << r.encrypt << r.input << r.output << r.bar << r.message;
            }
        }
    }
    void commands() {
        QFETCH(Variant, variant);
        QFETCH(bool, encrypt);
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(BarState, bar);
        QFETCH(QString, message);
        Sandbox sandbox;
        MainWindow* w = MainWindow::show(variant);
        QCOMPARE(barOf(w), (BarState{0, 100, 0, false}));
        w->txt1()->setText(input);
        click(w, encrypt ? "cmd1" : "Command1");
        QCOMPARE(w->txt2()->text(), output);
        QCOMPARE(w->txt1()->text(), input);
        QCOMPARE(barOf(w), bar);
        if (message.isEmpty()) {
            QVERIFY(sandbox.boxes.shown.empty());
        } else {
            QCOMPARE(sandbox.boxes.shown.size(), std::size_t(1));
            QCOMPARE(sandbox.boxes.shown[0].text, message);
            QCOMPARE(sandbox.boxes.shown[0].title, QString("Errore!!"));
            QCOMPARE(sandbox.boxes.shown[0].style, 48);
            QCOMPARE(sandbox.boxes.shown[0].parent.data(), static_cast<QWidget*>(w));
        }
        QVERIFY(sandbox.end.statuses.empty());
    }

    // The bar keeps what the last command left: a stopped command leaves it
    // visible, and a first position that fails keeps the earlier value.
    void barCarriesOver() {
        Sandbox sandbox;
        MainWindow* w = MainWindow::show(Variant::frm800);
        w->txt1()->setText("ciao");
        click(w, "cmd1");
        QCOMPARE(barOf(w), (BarState{0, 4, 4, false}));
        w->txt1()->setText("ûx");
        click(w, "cmd1");
        QCOMPARE(barOf(w), (BarState{0, 2, 4, true}));
        w->txt1()->setText("a");
        click(w, "Command1");
        QCOMPARE(barOf(w), (BarState{1, 1, 1, false}));
        click(w, "Command1");  // decrypt minimum 1 after a maximum of 1
        QCOMPARE(barOf(w), (BarState{1, 1, 1, false}));
        click(w, "Command4_1");
        QCOMPARE(barOf(w), (BarState{1, 1, 1, false}));
    }

    void roundTripThroughTransfer_data() { addVariants(); }
    void roundTripThroughTransfer() {
        QFETCH(Variant, variant);
        Sandbox sandbox;
        MainWindow* w = MainWindow::show(variant);
        w->txt1()->setText("Salve mondo\r\nciao AB aB xyz");
        click(w, "cmd1");
        click(w, "Command3");
        QCOMPARE(w->txt2()->text(), QString());
        QCOMPARE(w->txt1()->text().left(1), QString(" "));
        click(w, "Command1");
        QCOMPARE(w->txt2()->text(), QString("  Salve mondo\r\nciao Ab aB xYz"));
        click(w, "Command3");
        click(w, "Command3");  // a second transfer empties both boxes
        QCOMPARE(w->txt1()->text(), QString());
        QCOMPARE(w->txt2()->text(), QString());
    }

    void clearButtons() {
        Sandbox sandbox;
        MainWindow* w = MainWindow::show(Variant::frm640);
        w->txt1()->setText("uno");
        w->txt2()->setText("due");
        click(w, "Command4_0");
        QCOMPARE(w->txt1()->text(), QString());
        QCOMPARE(w->txt2()->text(), QString("due"));
        w->txt1()->setText("uno");
        click(w, "Command4_1");
        QCOMPARE(w->txt1()->text(), QString("uno"));
        QCOMPARE(w->txt2()->text(), QString());
        w->Command4_Click(7);  // no such element: nothing happens
        QCOMPARE(w->txt1()->text(), QString("uno"));
    }

    void longTextIsProcessedInFull() {
        Sandbox sandbox;
        MainWindow* w = MainWindow::show(Variant::frm1280);
        for (int n : {32766, 40000}) {
            const QString input(n, QLatin1Char('a'));
            w->txt1()->setText(input);
            click(w, "cmd1");
            QCOMPARE(w->txt2()->text().size(), n + 1);
            QCOMPARE(barOf(w), (BarState{0, n, n, false}));
        }
    }

    void exitEndsEverything_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esci button") << "Command2";
        QTest::newRow("Esci menu item") << "esci";
    }
    void exitEndsEverything() {
        QFETCH(QString, how);
        Sandbox sandbox;
        Sandbox::write("rex.dat", " 2 \r\n");
        MainWindow* w = MainWindow::show(Variant::frm640);
        MainWindow::show(Variant::frm800);
        if (how == "esci") {
            child<QAction>(w, "esci")->trigger();
        } else {
            click(w, "Command2");
        }
        QCOMPARE(sandbox.end.statuses, std::vector<int>{0});
        testing::flushDeletes();
        QCOMPARE(toolkit::WindowRegistry::instance().loadedCount(), 0);
        QCOMPARE(Sandbox::read("rex.dat"), QByteArray(" 2 \r\n"));
        QVERIFY(!QFileInfo::exists("frmstart.dat"));
    }

    void closeBoxUnloadsAndReopensFresh() {
        Sandbox sandbox;
        MainWindow* w = MainWindow::show(Variant::frm640);
        w->txt1()->setText("ciao");
        click(w, "cmd1");
        w->move(50, 60);
        QVERIFY(MainWindow::show(Variant::frm640) == w);  // shown again, not reloaded
        QCOMPARE(w->txt2()->text(), QString(" hLfR"));
        w->close();
        QCOMPARE(sandbox.end.statuses, std::vector<int>{0});  // the last window is gone
        testing::flushDeletes();
        sandbox.end.statuses.clear();
        MainWindow* again = MainWindow::show(Variant::frm640);
        QCOMPARE(again->txt1()->text(), QString());
        QCOMPARE(again->txt2()->text(), QString());
        QCOMPARE(barOf(again), (BarState{0, 100, 0, false}));
        QCOMPARE(again->frameGeometry().topLeft(), QPoint(0, 0));
    }

    // Each layout shows its own background and the program's icon, read
    // while the window is built. Under a scale factor the layout stays in
    // logical pixels and the background keeps its nominal size: one picture
    // pixel per logical pixel.
    void backgroundAndIcon_data() { addVariants(); }
    void backgroundAndIcon() {
        QFETCH(Variant, variant);
        Sandbox sandbox;
        MainWindow* w = MainWindow::show(variant);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
        QCOMPARE(w->devicePixelRatioF(), scale);
        const QImage shown = w->client()->grab().toImage();
        QCOMPARE(shown.size(), w->client()->size() * scale);
        const QImage picture(QString::fromLatin1(forms::layoutOf(variant).background));
        QVERIFY(!picture.isNull());
        // Points of a grid where no control covers the picture.
        const QSize both = picture.size().boundedTo(w->client()->size());
        int checked = 0;
        for (int x = 2; x < both.width(); x += 37) {
            for (int y = 2; y < both.height(); y += 29) {
                const QPoint logical(x, y);
                if (w->client()->childAt(logical) != nullptr) {
                    continue;
                }
                ++checked;
                const QColor expected = picture.pixelColor(logical);
                const QColor seen = shown.pixelColor(logical * scale);
                QVERIFY2(qAbs(expected.red() - seen.red()) < 24 &&
                             qAbs(expected.green() - seen.green()) < 24 &&
                             qAbs(expected.blue() - seen.blue()) < 24,
                         qPrintable(QStringLiteral("at %1,%2").arg(logical.x()).arg(logical.y())));
            }
        }
        QVERIFY2(checked >= 20, qPrintable(QString::number(checked)));
        // The icon holds the images of the icon file, and on a scaled screen
        // those of its @2x file as well.
        QIcon expected;
        for (const char* file : {":/zelvano.ico", ":/zelvano@2x.ico"}) {
            if (scale > 1.0 || QLatin1String(file) == QLatin1String(":/zelvano.ico")) {
                QImageReader reader(QString::fromLatin1(file));
                do {
                    QImage image = reader.read();
                    image.setDevicePixelRatio(1.0);
                    expected.addPixmap(QPixmap::fromImage(image));
                } while (reader.jumpToNextImage());
            }
        }
        QVERIFY(expected.availableSizes().size() >= 2);
        QCOMPARE(w->windowIcon().availableSizes(), expected.availableSizes());
        for (const QSize size : expected.availableSizes()) {
            QCOMPARE(w->windowIcon().pixmap(size).toImage(), expected.pixmap(size).toImage());
        }
    }

    void handlerErrorGivesReport() {
        Sandbox sandbox;
        MainWindow* w = MainWindow::show(Variant::frm640);
        QObject::connect(child<QPushButton>(w, "Command3"), &QPushButton::clicked, w,
                         toolkit::guarded([] { throw std::runtime_error("boom"); }));
        click(w, "Command3");
        QCOMPARE(sandbox.end.statuses, std::vector<int>{1});
        QCOMPARE(sandbox.boxes.shown.size(), std::size_t(1));
        QCOMPARE(sandbox.boxes.shown[0].title, QString("Zelvano"));
        QVERIFY(sandbox.boxes.shown[0].text.contains("boom"));
        testing::flushDeletes();
        QCOMPARE(toolkit::WindowRegistry::instance().loadedCount(), 0);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
