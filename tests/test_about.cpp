// The About window through its real controls: texts, geometry, centring,
// keys, the one shared instance, and its system-information button.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>

#include "forms/about/frmabout.h"
#include "forms/main/mainwindow.h"
#include "support.h"
#include "toolkit/launcher.h"
#include "toolkit/registry.h"

using forms::frmAbout;
using testing::child;
using testing::Sandbox;

namespace {

const QString kMessage =
    QStringLiteral("Le informazioni sul sistema non sono disponibili in questa fase");

frmAbout* about() {
    return toolkit::WindowRegistry::instance().find<frmAbout>(QStringLiteral("frmAbout"));
}

QString captionOf(const QWidget* window, const QString& name) {
    if (auto* label = qobject_cast<QLabel*>(child<QWidget>(window, name))) {
        return frmAbout::caption(label);
    }
    return child<QPushButton>(window, name)->text();
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT

    // The contrast ratio of two colours, by their relative luminance.
    static double contrast(const QColor& a, const QColor& b) {
        const auto luminance = [](const QColor& c) {
            const auto linear = [](double v) {
                return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) +
                   0.0722 * linear(c.blueF());
        };
        const double la = luminance(a);
        const double lb = luminance(b);
        return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
    }

    // The colour of most pixels in a part of an image: what a label stands on.
    static QColor commonestColour(const QImage& image, const QRect& part) {
        std::map<QRgb, int> counts;
        const qreal ratio = image.devicePixelRatio();
        const QRect pixels(part.topLeft() * ratio, part.size() * ratio);
        for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
            for (int x = pixels.left(); x <= pixels.right(); ++x) {
                ++counts[image.pixel(x, y)];
            }
        }
        const auto most = std::max_element(counts.begin(), counts.end(),
                                           [](auto l, auto r) { return l.second < r.second; });
        return most == counts.end() ? QColor() : QColor(most->first);
    }

private slots:
    void captions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("title") << "lblTitle"
                               << "ZELVANO";
        QTest::newRow("version") << "lblVersion"
                                 << "Versione 1.0.1";
        QTest::newRow("description")
            << "lblDescription"
            << "E' troppo bello. Cercate di non usarlo troppo.                   L'autore non "
               "risponde nel caso di formattazioni improvvise dell'HD o di infezioni di virus "
               "bastardi dentro.";
        QTest::newRow("notice") << "lblDisclaimer"
                                << "Avviso: ... Se proprio volete potete mandarmi qualche "
                                   "milioncino per ringraziarmi di aver creato un programma "
                                   "tanto bello, ok?\rE-mail: posta@zelvano.example";
        QTest::newRow("OK") << "cmdOK"
                            << "OK";
        QTest::newRow("system info") << "cmdSysInfo"
                                     << "&System Info...";
    }

    void captions() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        Sandbox sandbox;
        frmAbout* window = frmAbout::show();
        QCOMPARE(captionOf(window, name), caption);
    }

    void textDetails() {
        Sandbox sandbox;
        frmAbout* window = frmAbout::show();
        QCOMPARE(window->windowTitle(), QStringLiteral("Informazioni su Zelvano "));

        const QString description = captionOf(window, "lblDescription");
        QCOMPARE(description.size(), 172);
        QCOMPARE(description.indexOf(QString(19, QLatin1Char(' '))), 46);
        QCOMPARE(description.indexOf(QString(20, QLatin1Char(' '))), -1);

        // One carriage return and no line feed; the label shows a line break there.
        auto* notice = child<QLabel>(window, "lblDisclaimer");
        const QString text = frmAbout::caption(notice);
        QCOMPARE(text.count(QLatin1Char('\r')), 1);
        QCOMPARE(text.count(QLatin1Char('\n')), 0);
        QVERIFY(text.section(QLatin1Char('\r'), 1).startsWith("E-mail: "));
        QCOMPARE(notice->text(), QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
        QVERIFY(notice->wordWrap());
        QVERIFY(child<QLabel>(window, "lblDescription")->wordWrap());
    }

    void captionsFit() {
        testing::verifyCaptionsFit([] { return frmAbout::show(); });
    }

    // The run of blanks pushes the description's second sentence onto a line
    // of its own.
    void descriptionBreaksBeforeItsSecondSentence() {
        Sandbox sandbox;
        auto* label = child<QLabel>(frmAbout::show(), "lblDescription");
        const QFontMetrics metrics(label->font());
        const QString text = label->text();
        QVERIFY(metrics.horizontalAdvance(text.left(46)) <= label->width());
        QVERIFY(metrics.horizontalAdvance(text.left(65) + "L'autore") > label->width());
    }

    void colours_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("black");
        QTest::newRow("title") << "lblTitle" << true;
        QTest::newRow("description") << "lblDescription" << true;
        QTest::newRow("notice") << "lblDisclaimer" << true;
        QTest::newRow("version keeps the default") << "lblVersion" << false;
    }

    void colours() {
        QFETCH(QString, name);
        QFETCH(bool, black);
        Sandbox sandbox;
        frmAbout* window = frmAbout::show();
        auto* label = child<QLabel>(window, name);
        const QColor colour = label->palette().color(QPalette::WindowText);
        QCOMPARE(colour, black ? QColor(Qt::black)
                               : window->client()->palette().color(QPalette::WindowText));
    }

    // Every label reads on what is drawn behind it (a contrast of 4.5:1 at
    // least), with the desktop's colours light or dark.
    void labelsReadInAnyPalette_data() {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }
    void labelsReadInAnyPalette() {
        QFETCH(bool, dark);
        Sandbox sandbox;
        const QPalette own = QApplication::palette();
        if (dark) {
            QPalette palette(QColor(45, 45, 48), QColor(20, 20, 22));
            palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
            palette.setColor(QPalette::Text, QColor(230, 230, 230));
            palette.setColor(QPalette::ButtonText, QColor(230, 230, 230));
            QApplication::setPalette(palette);
        }
        frmAbout* window = frmAbout::show();
        const QImage area = window->client()->grab().toImage();
        QApplication::setPalette(own);
        for (const QLabel* label : window->client()->findChildren<QLabel*>()) {
            if (label->text().isEmpty()) {
                continue;
            }
            const QColor text = label->palette().color(label->foregroundRole());
            const QColor behind = commonestColour(area, label->geometry());
            QVERIFY2(contrast(text, behind) >= 4.5,
                     qPrintable(QStringLiteral("%1: %2 on %3, %4:1")
                                    .arg(label->objectName(), text.name(), behind.name())
                                    .arg(contrast(text, behind))));
        }
    }

    void geometry_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        // The picture box takes the size of its 32 x 32 picture.
        const QSize icon = QFile::exists(":/zelvano.ico") ? QSize(32, 32) : QSize(29, 29);
        QTest::newRow("picIcon") << "picIcon" << QRect(QPoint(16, 16), icon);
        QTest::newRow("lblTitle") << "lblTitle" << QRect(70, 16, 259, 32);
        QTest::newRow("lblVersion") << "lblVersion" << QRect(70, 52, 259, 15);
        QTest::newRow("lblDescription") << "lblDescription" << QRect(70, 75, 259, 78);
        QTest::newRow("Line1_1") << "Line1_1" << QRect(6, 163, 372, 1);
        QTest::newRow("Line1_0") << "Line1_0" << QRect(7, 164, 371, 2);
        QTest::newRow("lblDisclaimer") << "lblDisclaimer" << QRect(17, 176, 258, 55);
        QTest::newRow("cmdOK") << "cmdOK" << QRect(283, 175, 84, 23);
        QTest::newRow("cmdSysInfo") << "cmdSysInfo" << QRect(284, 205, 83, 23);
    }

    void geometry() {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        Sandbox sandbox;
        frmAbout* window = frmAbout::show();
        QCOMPARE(window->client()->size(), QSize(382, 238));  // 5736 x 3564 twips
        // Within the client area, whatever groups the control.
        const auto* widget = child<QWidget>(window, name);
        QCOMPARE(QRect(widget->mapTo(window->client(), QPoint(0, 0)), widget->size()), pixels);
    }

    void etchedSeparator() {
        Sandbox sandbox;
        frmAbout* window = frmAbout::show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QImage image = window->client()->grab().toImage();
        const QColor grey(128, 128, 128);
        const QColor white(255, 255, 255);
        for (const int x : {6, 100, 377}) {
            QCOMPARE(image.pixelColor(x, 163), grey);
        }
        for (const int x : {7, 100, 377}) {
            QCOMPARE(image.pixelColor(x, 164), white);
            QCOMPARE(image.pixelColor(x, 165), white);
        }
        QVERIFY(image.pixelColor(100, 162) != grey);
        QVERIFY(image.pixelColor(100, 166) != white);
    }

    void fixedDialogOutOfTheTaskbar() {
        Sandbox sandbox;
        frmAbout* window = frmAbout::show();
        QCOMPARE(window->windowType(), Qt::Tool);
        QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(window->parentWidget() == nullptr);
        QVERIFY(window->isVisible());
        const QSize before = window->size();
        window->resize(before + QSize(50, 50));
        QCOMPARE(window->size(), before);
        if (QFile::exists(":/zelvano.ico")) {
            QVERIFY(!window->windowIcon().isNull());
            QVERIFY(!child<QLabel>(window, "picIcon")->pixmap().isNull());
        }
    }

    // The screen is given as the window's outer size plus a margin, in twips.
    void centring_data() {
        QTest::addColumn<int>("extraWidth");
        QTest::addColumn<int>("extraHeight");
        QTest::addColumn<QPoint>("position");
        QTest::newRow("room around") << 6270 << 5430 << QPoint(209, 181);
        QTest::newRow("half a twip is kept") << 15 << 45 << QPoint(1, 2);
        QTest::newRow("just fits") << 0 << 0 << QPoint(0, 0);
        QTest::newRow("wider than the screen") << -2730 << 30 << QPoint(-91, 1);
        QTest::newRow("taller than the screen") << 60 << -1570 << QPoint(2, -52);
    }

    void centring() {
        QFETCH(int, extraWidth);
        QFETCH(int, extraHeight);
        QFETCH(QPoint, position);
        Sandbox sandbox;
        frmAbout* window = frmAbout::show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const auto width = static_cast<int>(window->widthTwips());
        const auto height = static_cast<int>(window->heightTwips());
        QVERIFY(width >= 5730 && height >= 3570);  // the client area and any frame
        window->centreOn(width + extraWidth, height + extraHeight);
        QCOMPARE(window->pos(), position);
    }

    void loadCentresOnTheScreen() {
        Sandbox sandbox;
        frmAbout* window = frmAbout::show();
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(window->pos(), QPoint(qRound((screen.width() - 382) / 2.0),
                                       qRound((screen.height() - 238) / 2.0)));
    }

    void focusAndKeys_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("unloads");
        QTest::newRow("Enter on OK") << "cmdOK" << int(Qt::Key_Return) << true;
        QTest::newRow("keypad Enter on OK") << "cmdOK" << int(Qt::Key_Enter) << true;
        QTest::newRow("Esc on OK") << "cmdOK" << int(Qt::Key_Escape) << true;
        QTest::newRow("Esc on System Info") << "cmdSysInfo" << int(Qt::Key_Escape) << true;
        QTest::newRow("Enter on the icon") << "picIcon" << int(Qt::Key_Return) << true;
        QTest::newRow("Enter on System Info presses it")
            << "cmdSysInfo" << int(Qt::Key_Return) << false;
        QTest::newRow("Space on OK") << "cmdOK" << int(Qt::Key_Space) << true;
        QTest::newRow("another key") << "cmdOK" << int(Qt::Key_A) << false;
    }

    void focusAndKeys() {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(bool, unloads);
        Sandbox sandbox;
        toolkit::registry::LinuxRegistry registry(QStringList{});
        toolkit::registry::setRegistry(&registry);
        testing::FakeLauncher launcher;
        launcher.anyProgram = true;
        toolkit::setLauncher(&launcher);
        frmAbout* window = frmAbout::show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->focusWidget(), child<QWidget>(window, "cmdOK"));

        QTest::keyClick(child<QWidget>(window, target), Qt::Key(key));
        testing::flushDeletes();
        toolkit::setLauncher(nullptr);
        toolkit::registry::setRegistry(nullptr);
        QCOMPARE(about() == nullptr, unloads);
        const bool pressedSysInfo = target == "cmdSysInfo" && key == Qt::Key_Return;
        QCOMPARE(sandbox.boxes.shown.size(), std::size_t{pressedSysInfo ? 1U : 0U});
    }

    void tabOrderStartsAtOK() {
        Sandbox sandbox;
        frmAbout* window = frmAbout::show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto* ok = child<QWidget>(window, "cmdOK");
        auto* sysInfo = child<QWidget>(window, "cmdSysInfo");
        QCOMPARE(window->focusWidget(), ok);
        QTest::keyClick(ok, Qt::Key_Tab);
        QCOMPARE(window->focusWidget(), sysInfo);
        QTest::keyClick(sysInfo, Qt::Key_Tab);
        QCOMPARE(window->focusWidget(), ok);
        for (const char* label : {"picIcon", "lblTitle", "lblVersion", "lblDescription"}) {
            QCOMPARE(child<QWidget>(window, label)->focusPolicy(), Qt::NoFocus);
        }
    }

    void oneInstanceFromTheMenu_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("OK") << false;
        QTest::newRow("close box") << true;
    }

    void oneInstanceFromTheMenu() {
        QFETCH(bool, closeBox);
        Sandbox sandbox;
        forms::MainWindow* main = forms::MainWindow::show(forms::Variant::frm800);
        QAction* info = child<QAction>(main, "info");

        info->trigger();
        QPointer<frmAbout> first = about();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        auto* version = child<QLabel>(first, "lblVersion");
        version->setText("cambiato");

        info->trigger();
        QCOMPARE(about(), first.data());
        QCOMPARE(version->text(), QStringLiteral("cambiato"));  // not loaded again
        int shown = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            shown += qobject_cast<frmAbout*>(widget) && widget->isVisible() ? 1 : 0;
        }
        QCOMPARE(shown, 1);

        if (closeBox) {
            first->close();
        } else {
            QTest::mouseClick(child<QWidget>(first, "cmdOK"), Qt::LeftButton);
        }
        testing::flushDeletes();
        QVERIFY(first.isNull());
        QVERIFY(about() == nullptr);
        QCOMPARE(toolkit::WindowRegistry::instance().loadedNames(), QStringList{"frm800"});
        QVERIFY(sandbox.end.statuses.empty());

        info->trigger();
        QVERIFY(about() != nullptr);
        QCOMPARE(child<QLabel>(about(), "lblVersion")->text(), QStringLiteral("Versione 1.0.1"));
        QCOMPARE(about()->windowTitle(), QStringLiteral("Informazioni su Zelvano "));
        QCOMPARE(frmAbout::caption(child<QLabel>(about(), "lblDisclaimer")).count('\r'), 1);
    }

    void staysWhenTheMainWindowGoes() {
        Sandbox sandbox;
        forms::MainWindow* main = forms::MainWindow::show(forms::Variant::frm640);
        child<QAction>(main, "info")->trigger();
        toolkit::unload(main);
        testing::flushDeletes();
        QVERIFY(about() != nullptr);
        QVERIFY(sandbox.end.statuses.empty());
        QTest::mouseClick(child<QWidget>(about(), "cmdOK"), Qt::LeftButton);
        QCOMPARE(sandbox.end.statuses, std::vector<int>{0});  // the last window is gone
    }

    // The button with this system's registry: a tool from its list, or none.
    void systemInfoButton_data() {
        QTest::addColumn<bool>("installed");
        QTest::newRow("no tool installed") << false;
        QTest::newRow("a tool installed") << true;
    }

    void systemInfoButton() {
        QFETCH(bool, installed);
        Sandbox sandbox;
        const QString tool = sandbox.path() + "/system monitor; $(x)";
        if (installed) {
            Sandbox::write(tool, "#!/bin/sh\n");
            QFile(tool).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        }
        toolkit::registry::LinuxRegistry registry({sandbox.path() + "/hardinfo", tool});
        toolkit::registry::setRegistry(&registry);
        testing::FakeLauncher launcher;
        launcher.anyProgram = true;
        toolkit::setLauncher(&launcher);

        frmAbout* window = frmAbout::show();
        QTest::mouseClick(child<QWidget>(window, "cmdSysInfo"), Qt::LeftButton);
        QTest::mouseClick(child<QWidget>(window, "cmdSysInfo"), Qt::LeftButton);
        toolkit::setLauncher(nullptr);
        toolkit::registry::setRegistry(nullptr);

        QCOMPARE(launcher.started, installed ? QStringList({tool, tool}) : QStringList());
        QCOMPARE(launcher.tested, QStringList{});  // this registry has no folder
        QCOMPARE(sandbox.boxes.shown.size(), std::size_t{installed ? 0U : 2U});
        for (const testing::ShownBox& box : sandbox.boxes.shown) {
            QCOMPARE(box.text, kMessage);
            QCOMPARE(box.style, 0);
            QCOMPARE(box.title, QStringLiteral("Zelvano"));
        }
        QVERIFY(about() != nullptr);
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
