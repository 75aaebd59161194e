// The author window, the joke window and their outlined lettering.

#include <QAction>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "forms/author/frmio.h"
#include "forms/joke/frmhaha.h"
#include "forms/main/mainwindow.h"
#include "forms/options/frmopzioni.h"
#include "prefs/preferences.h"
#include "support.h"
#include "toolkit/outlinedlabel.h"
#include "toolkit/twips.h"

using forms::FRMHAHA;
using forms::frmio;
using forms::MainWindow;
using forms::Variant;
using testing::child;
using testing::Sandbox;
using toolkit::OutlinedLabel;

Q_DECLARE_METATYPE(forms::Variant)

namespace {

const QString kCR(QChar(13));

// The label drawn alone on a transparent image at the given device pixel ratio.
QImage renderAlone(OutlinedLabel* label, qreal ratio) {
    QImage image(label->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    label->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

// The stretches [first, last] of pixels drawn in a colour along one row.
QList<std::pair<int, int>> colourRuns(const QImage& image, int y, const QColor& colour) {
    QList<std::pair<int, int>> runs;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        const bool drawn = qAlpha(pixel) > 200 && qAbs(qRed(pixel) - colour.red()) < 64 &&
                           qAbs(qGreen(pixel) - colour.green()) < 64 &&
                           qAbs(qBlue(pixel) - colour.blue()) < 64;
        if (drawn && (runs.isEmpty() || runs.last().second != x - 1)) {
            runs.append({x, x});
        } else if (drawn) {
            runs.last().second = x;
        }
    }
    return runs;
}

// The columns that hold drawn pixels: first and last, or (-1, -1).
std::pair<int, int> inkColumns(const QImage& image) {
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

}  // namespace

class TestInfoWindows : public QObject {
    Q_OBJECT

private slots:
    // --- Centring ---------------------------------------------------------

    void centredLeft_data() {
        QTest::addColumn<float>("space");
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("left");
        QTest::newRow("contact label in the author window") << 5808.0f << 3828.0f << 990.0f;
        QTest::newRow("a half is kept") << 5808.0f << 3825.0f << 991.5f;
        QTest::newRow("screen narrower than the window") << 4500.0f << 6000.0f << -750.0f;
        QTest::newRow("odd shortfall keeps its half") << 1000.0f << 1003.0f << -1.5f;
        QTest::newRow("same width") << 5808.0f << 5808.0f << 0.0f;
    }
    void centredLeft() {
        QFETCH(float, space);
        QFETCH(float, width);
        QFETCH(float, left);
        QCOMPARE(toolkit::centredLeft(space, width), left);
    }

    void pictureCentring_data() {
        QTest::addColumn<int>("twipsPerPixel");
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("left");
        QTest::newRow("12 twips per pixel") << 12 << 3840.0f << 984.0f;
        QTest::newRow("15 twips per pixel") << 15 << 4800.0f << 504.0f;
    }
    void pictureCentring() {
        QFETCH(int, twipsPerPixel);
        QFETCH(float, width);
        QFETCH(float, left);
        const float pictureWidth = forms::pictureWidthTwips(320, twipsPerPixel);
        QCOMPARE(pictureWidth, width);
        QCOMPARE(toolkit::centredLeft(5808.0f, pictureWidth), left);
    }

    // --- Outlined lettering -----------------------------------------------

    void splitLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QString() << QStringList{QString()};
        QTest::newRow("one line") << QStringLiteral("AH AH")
                                  << QStringList{QStringLiteral("AH AH")};
        QTest::newRow("lone CR") << QStringLiteral("A\rB") << QStringList{"A", "B"};
        QTest::newRow("two CRs leave an empty line")
            << QStringLiteral("A\r\rB") << QStringList{"A", "", "B"};
        QTest::newRow("CR LF is one break") << QStringLiteral("A\r\nB") << QStringList{"A", "B"};
        QTest::newRow("lone LF") << QStringLiteral("A\nB") << QStringList{"A", "B"};
        QTest::newRow("LF CR is two breaks")
            << QStringLiteral("A\n\rB") << QStringList{"A", "", "B"};
        QTest::newRow("trailing CR") << QStringLiteral("A\r") << QStringList{"A", ""};
        QTest::newRow("blanks kept") << QStringLiteral(" A \r B ") << QStringList{" A ", " B "};
    }
    void splitLines() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(OutlinedLabel::splitLines(text), lines);
        OutlinedLabel label;
        label.setText(text);
        QCOMPARE(label.text(), text);
        QCOMPARE(label.lines(), lines);
    }

    // A row of a large "H" through both stems crosses two outlines per stem
    // when the letter is hollow, one block per stem when it is filled.
    void letteringIsHollow_data() {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("device pixel ratio 1") << 1.0;
        QTest::newRow("device pixel ratio 2") << 2.0;
    }
    void letteringIsHollow() {
        QFETCH(qreal, ratio);
        OutlinedLabel label;
        QFont font(QStringLiteral("Swis721 BlkOul BT"));
        font.setPointSize(48);
        label.setFont(font);
        label.setAutoSize(true);
        label.setColour(QColor(255, 255, 0));
        label.setText(QStringLiteral("H"));
        const QImage image = renderAlone(&label, ratio);
        QCOMPARE(image.size(), label.size() * ratio);
        const int y = image.height() / 4 + image.height() / 8;  // above the crossbar
        const auto runs = colourRuns(image, y, QColor(255, 255, 0));
        QCOMPARE(runs.size(), 4);
        // Inside each stem the background shows through: nothing is filled there.
        for (int stem = 0; stem < 2; ++stem) {
            const int inside = (runs[2 * stem].second + runs[2 * stem + 1].first) / 2;
            QVERIFY(qAlpha(image.pixel(inside, y)) < 100);
        }
    }

    void autoSizeFollowsTheLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("widest");
        QTest::addColumn<int>("lineCount");
        QTest::newRow("one line") << QStringLiteral("SALUTI DAL VURLO")
                                  << QStringLiteral("SALUTI DAL VURLO") << 1;
        QTest::newRow("empty line counts") << QStringLiteral("SALUTI\r\rSALUTI DAL VURLO")
                                           << QStringLiteral("SALUTI DAL VURLO") << 3;
        QTest::newRow("widest line first")
            << QStringLiteral("SALUTI DAL VURLO\rAH") << QStringLiteral("SALUTI DAL VURLO") << 2;
    }
    void autoSizeFollowsTheLines() {
        QFETCH(QString, text);
        QFETCH(QString, widest);
        QFETCH(int, lineCount);
        QFont font;
        font.setPointSizeF(10.2);
        OutlinedLabel one;
        one.setFont(font);
        one.setAutoSize(true);
        one.setGeometry(10, 20, 7, 16);
        one.setText(QStringLiteral("X"));
        const int lineHeight = one.height();
        one.setText(widest);
        const int width = one.width();

        OutlinedLabel label;
        label.setFont(font);
        label.setGeometry(10, 20, 7, 16);
        label.setAutoSize(true);
        label.setText(text);
        QCOMPARE(label.pos(), QPoint(10, 20));
        QCOMPARE(label.width(), width);
        QVERIFY2(
            qAbs(label.height() - lineCount * lineHeight) <= lineCount,
            qPrintable(QStringLiteral("height %1, line %2").arg(label.height()).arg(lineHeight)));
        // A fixed-size label keeps its size whatever its text.
        OutlinedLabel fixed;
        fixed.setFont(font);
        fixed.setGeometry(10, 20, 255, 16);
        fixed.setText(text);
        QCOMPARE(fixed.geometry(), QRect(10, 20, 255, 16));
    }

    // A line wider than a fixed-size label is narrowed, not cut off.
    void fixedSizeNarrowsLongLines_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("narrowed");
        QTest::newRow("room enough") << 400 << false;
        QTest::newRow("too narrow") << 120 << true;
    }
    void fixedSizeNarrowsLongLines() {
        QFETCH(int, width);
        QFETCH(bool, narrowed);
        OutlinedLabel label;
        QFont font;
        font.setPointSize(12);
        label.setFont(font);
        label.setColour(Qt::green);
        label.setAlignment(Qt::AlignHCenter);
        label.setGeometry(0, 0, width, 60);
        label.setText(QStringLiteral("MA PER PIACERE AH AH AH"));
        QCOMPARE(label.narrowing() < 1.0, narrowed);
        const auto [first, last] = inkColumns(renderAlone(&label, 1.0));
        QVERIFY(first > 0);
        QVERIFY(last < width - 1);
        // Centred: as much room on either side.
        QVERIFY(qAbs(first - (width - 1 - last)) <= 2);
        if (narrowed) {
            QVERIFY(last - first > width - 8);
        }
    }

    // --- The windows ------------------------------------------------------

    void captionsFit_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("author") << "frmio";
        QTest::newRow("joke") << "FRMHAHA";
    }
    void captionsFit() {
        QFETCH(QString, window);
        testing::verifyCaptionsFit([&window] { return testing::showWindow(window); });
    }

    void windowCaptionsAndIcons_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("client");
        QTest::newRow("author") << QStringLiteral("frmio") << QStringLiteral("ECCOMI")
                                << QSize(387, 326);
        QTest::newRow("joke") << QStringLiteral("FRMHAHA") << QStringLiteral("AH AH AH AH AH AH")
                              << QSize(250, 118);
    }
    void windowCaptionsAndIcons() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QSize, client);
        Sandbox sandbox;
        toolkit::Form* form = testing::showWindow(name);
        QCOMPARE(form->objectName(), name);
        QCOMPARE(form->windowTitle(), caption);
        QVERIFY(!form->windowIcon().isNull());
        QCOMPARE(form->client()->size(), client);
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(form->isVisible());
        QVERIFY(sandbox.boxes.shown.empty());
    }

    void labels_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<bool>("autoSize");
        QTest::addColumn<QString>("family");
        QTest::addColumn<qreal>("points");
        QTest::addColumn<int>("weight");
        QTest::newRow("greeting") << QStringLiteral("frmio") << QStringLiteral("Label1")
                                  << "ECCOMI A VOI IN TUTTA LA MIA BELLEZZA(?)" + kCR + kCR +
                                         "SALUTI DAL VURLO"
                                  << QStringList{"ECCOMI A VOI IN TUTTA LA MIA BELLEZZA(?)", "",
                                                 "SALUTI DAL VURLO"}
                                  << QColor(255, 255, 0) << int(Qt::AlignHCenter) << true
                                  << QStringLiteral("Swis721 BlkOul BT") << 10.2 << 700;
        QTest::newRow("contact") << QStringLiteral("frmio") << QStringLiteral("Label2")
                                 << QStringLiteral("E-mail: posta@zelvano.example")
                                 << QStringList{"E-mail: posta@zelvano.example"}
                                 << QColor(255, 255, 0) << int(Qt::AlignLeft) << false
                                 << QStringLiteral("Swis721 BlkOul BT") << 10.2 << 700;
        QTest::newRow("joke") << QStringLiteral("FRMHAHA") << QStringLiteral("Label1")
                              << "AH AH AH MA DAVVERO VI" + kCR + "SERVE UN AIUTO?" + kCR +
                                     "MA PER PIACERE AH AH AH"
                              << QStringList{"AH AH AH MA DAVVERO VI", "SERVE UN AIUTO?",
                                             "MA PER PIACERE AH AH AH"}
                              << QColor(0, 255, 0) << int(Qt::AlignHCenter) << false
                              << QStringLiteral("Swis721 BdOul BT") << 12.0 << 400;
    }
    void labels() {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QFETCH(QColor, colour);
        QFETCH(int, alignment);
        QFETCH(bool, autoSize);
        QFETCH(QString, family);
        QFETCH(qreal, points);
        QFETCH(int, weight);
        Sandbox sandbox;
        auto* label = child<OutlinedLabel>(testing::showWindow(window), name);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->lines(), lines);
        QCOMPARE(label->colour(), colour);
        QCOMPARE(int(label->alignment()), alignment);
        QCOMPARE(label->autoSize(), autoSize);
        QCOMPARE(label->font().family(), family);
        QCOMPARE(label->font().pointSizeF(), points);
        QCOMPARE(label->font().weight(), weight);
        // Every line fits: nothing is cut off at the label's edges.
        QVERIFY(label->textSize().height() <= label->height() + 1);
        const auto [first, last] = inkColumns(renderAlone(label, 1.0));
        QVERIFY(first > 0);
        QVERIFY(last < label->width() - 1);
    }

    // Positions in pixels at 15 twips per pixel; a left of -1 means centred
    // in the client area.
    void geometry_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<QSize>("size");
        QTest::newRow("greeting, own size")
            << QStringLiteral("frmio") << QStringLiteral("Label1") << -1 << 24 << QSize();
        // (5808 - 320 * 15) / 2 = 504 twips
        QTest::newRow("picture, unscaled")
            << QStringLiteral("frmio") << QStringLiteral("Image1") << 34 << 96 << QSize(320, 240);
        // (5808 - 3828) / 2 = 990 twips
        QTest::newRow("contact, fixed size")
            << QStringLiteral("frmio") << QStringLiteral("Label2") << 66 << 296 << QSize(255, 16);
        QTest::newRow("joke, where designed")
            << QStringLiteral("FRMHAHA") << QStringLiteral("Label1") << 16 << 16 << QSize(217, 97);
    }
    void geometry() {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(QSize, size);
        Sandbox sandbox;
        toolkit::Form* form = testing::showWindow(window);
        auto* control = child<QWidget>(form, name);
        QCOMPARE(control->parentWidget(), form->client());
        QCOMPARE(control->y(), top);
        if (size.isValid()) {
            QCOMPARE(control->size(), size);
        }
        if (left >= 0) {
            QCOMPARE(control->x(), left);
        } else {
            const float twips =
                toolkit::centredLeft(static_cast<float>(form->clientWidthTwips()),
                                     static_cast<float>(toolkit::pixelsToTwips(control->width())));
            QCOMPARE(control->x(), toolkit::twipsToPixels(twips));
            QVERIFY(control->x() > 0);
            QVERIFY(control->x() + control->width() < form->client()->width());
        }
    }

    void authorPicture() {
        Sandbox sandbox;
        auto* image = child<QLabel>(frmio::show(), QStringLiteral("Image1"));
        QCOMPARE(image->pixmap().deviceIndependentSize(), QSizeF(320, 240));
        QVERIFY(!image->hasScaledContents());
    }

    // The backgrounds are drawn unscaled from the client area's top-left corner.
    void backgrounds_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QSize>("pictureSize");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("author") << QStringLiteral("frmio") << QStringLiteral(":/bg640.jpg")
                                << QSize(619, 465) << QPoint(380, 320);
        QTest::newRow("author, corner") << QStringLiteral("frmio") << QStringLiteral(":/bg640.jpg")
                                        << QSize(619, 465) << QPoint(3, 3);
        QTest::newRow("joke") << QStringLiteral("FRMHAHA") << QStringLiteral(":/joke.jpg")
                              << QSize(640, 480) << QPoint(245, 115);
        QTest::newRow("joke, corner") << QStringLiteral("FRMHAHA") << QStringLiteral(":/joke.jpg")
                                      << QSize(640, 480) << QPoint(2, 2);
    }
    void backgrounds() {
        QFETCH(QString, window);
        QFETCH(QString, picture);
        QFETCH(QSize, pictureSize);
        QFETCH(QPoint, at);
        Sandbox sandbox;
        toolkit::Form* form = testing::showWindow(window);
        const QImage shown = form->client()->grab().toImage();
        // A scaled screen shows the picture drawn at twice the size.
        const int ratio = qRound(shown.devicePixelRatio());
        const QImage expected(ratio == 1 ? picture : QString(picture).replace(".jpg", "@2x.jpg"));
        QCOMPARE(expected.size(), pictureSize * ratio);
        const QPoint device = at * ratio;
        QCOMPARE(QColor(shown.pixel(device)), QColor(expected.pixel(device)));
    }

    // Centred on the screen with the outer size; a screen smaller than the
    // window puts it partly off the screen. The load handling runs before the
    // window is shown, when the window system has not added its frame yet, so
    // on the actual screen the window stands centred within its frame's width.
    void windowCentring_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("actualScreen");
        QTest::addColumn<float>("screenWidth");
        QTest::addColumn<float>("screenHeight");
        QTest::newRow("author, this screen") << QStringLiteral("frmio") << true << 0.0f << 0.0f;
        QTest::newRow("joke, this screen") << QStringLiteral("FRMHAHA") << true << 0.0f << 0.0f;
        QTest::newRow("author, small screen")
            << QStringLiteral("frmio") << false << 3000.0f << 2000.0f;
        QTest::newRow("joke, small screen")
            << QStringLiteral("FRMHAHA") << false << 1500.0f << 900.0f;
    }
    void windowCentring() {
        QFETCH(QString, window);
        QFETCH(bool, actualScreen);
        QFETCH(float, screenWidth);
        QFETCH(float, screenHeight);
        Sandbox sandbox;
        toolkit::Form* form = testing::showWindow(window);
        const QRect outer = form->frameGeometry();
        if (actualScreen) {
            const QRect screen = QGuiApplication::primaryScreen()->geometry();
            const QPoint offCentre = outer.center() - screen.center();
            const int frameWidth = outer.width() - form->width();
            const int frameHeight = outer.height() - form->height();
            QVERIFY2(
                qAbs(offCentre.x()) <= 1 + frameWidth && qAbs(offCentre.y()) <= 1 + frameHeight,
                qPrintable(QStringLiteral("off by %1, %2").arg(offCentre.x()).arg(offCentre.y())));
            return;
        }
        form->centreOn(screenWidth, screenHeight);
        const float left =
            toolkit::centredLeft(screenWidth, static_cast<float>(form->widthTwips()));
        const float top =
            toolkit::centredLeft(screenHeight, static_cast<float>(form->heightTwips()));
        QVERIFY(left < 0.0f && top < 0.0f);
        QCOMPARE(form->pos(), QPoint(toolkit::twipsToPixels(left), toolkit::twipsToPixels(top)));
    }

    // --- From the main window's help menu ---------------------------------

    void oneInstanceLoadedAnewAfterClosing_data() {
        QTest::addColumn<Variant>("variant");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("label");
        QTest::newRow("frm640 io") << Variant::frm640 << "io"
                                   << "frmio"
                                   << "Label1";
        QTest::newRow("frm640 rrr") << Variant::frm640 << "rrr"
                                    << "FRMHAHA"
                                    << "Label1";
        QTest::newRow("frm800 io") << Variant::frm800 << "io"
                                   << "frmio"
                                   << "Label1";
        QTest::newRow("frm800 rid") << Variant::frm800 << "rid"
                                    << "FRMHAHA"
                                    << "Label1";
        QTest::newRow("frm1280 io") << Variant::frm1280 << "io"
                                    << "frmio"
                                    << "Label2";
        QTest::newRow("frm1280 rid") << Variant::frm1280 << "rid"
                                     << "FRMHAHA"
                                     << "Label1";
    }
    void oneInstanceLoadedAnewAfterClosing() {
        QFETCH(Variant, variant);
        QFETCH(QString, item);
        QFETCH(QString, window);
        QFETCH(QString, label);
        Sandbox sandbox;
        MainWindow* main = MainWindow::show(variant);
        auto* action = child<QAction>(main, item);

        action->trigger();
        toolkit::Form* first = testing::loaded(window);
        QVERIFY(first != nullptr);
        QVERIFY(first->isVisible());
        const QString text = child<OutlinedLabel>(first, label)->text();
        QVERIFY(!text.isEmpty());
        const QPoint centred = first->pos();

        // Shown again, not loaded again: a moved window stays where it is.
        first->move(centred + QPoint(5, 7));
        first->hide();
        action->trigger();
        QCOMPARE(testing::loaded(window), first);
        QVERIFY(first->isVisible());
        QCOMPARE(first->pos(), centred + QPoint(5, 7));
        QCOMPARE(child<OutlinedLabel>(first, label)->text(), text);
        QCOMPARE(toolkit::WindowRegistry::instance().loadedNames().count(window), 1);

        // The close box unloads it; the next choice loads a new one.
        QVERIFY(first->close());
        testing::flushDeletes();
        QCOMPARE(testing::loaded(window), nullptr);
        action->trigger();
        toolkit::Form* second = testing::loaded(window);
        QVERIFY(second != nullptr);
        QCOMPARE(second->pos(), centred);
        QCOMPARE(child<OutlinedLabel>(second, label)->text(), text);
        QVERIFY(sandbox.end.statuses.empty());
    }

    void survivesResolutionAndEndsWithExit_data() {
        QTest::addColumn<Variant>("variant");
        QTest::addColumn<QString>("joke");
        QTest::newRow("frm640") << Variant::frm640 << "rrr";
        QTest::newRow("frm800") << Variant::frm800 << "rid";
        QTest::newRow("frm1280") << Variant::frm1280 << "rid";
    }
    void survivesResolutionAndEndsWithExit() {
        QFETCH(Variant, variant);
        QFETCH(QString, joke);
        Sandbox sandbox;
        prefs::setStartupFlag(0);
        prefs::resolutionChoice().setIndex(forms::choiceFor(variant));
        MainWindow* main = MainWindow::show(variant);
        child<QAction>(main, QStringLiteral("io"))->trigger();
        child<QAction>(main, joke)->trigger();

        child<QAction>(main, QStringLiteral("risoluzione"))->trigger();
        testing::flushDeletes();
        const QStringList open = toolkit::WindowRegistry::instance().loadedNames();
        QVERIFY2(open.contains(QStringLiteral("frmio")), qPrintable(open.join(u' ')));
        QVERIFY(open.contains(QStringLiteral("FRMHAHA")));
        QVERIFY(open.contains(QStringLiteral("frmOpzioni")));
        QCOMPARE(open.size(), 3);
        QVERIFY(testing::loaded(QStringLiteral("frmio"))->isVisible());
        QVERIFY(testing::loaded(QStringLiteral("FRMHAHA"))->isVisible());
        QVERIFY(sandbox.end.statuses.empty());

        // "Esci" closes everything at once.
        main = MainWindow::show(variant);
        QTest::mouseClick(child<QPushButton>(main, QStringLiteral("Command2")), Qt::LeftButton);
        QCOMPARE(toolkit::WindowRegistry::instance().loadedCount(), 0);
        QCOMPARE(sandbox.end.statuses, std::vector<int>{0});
        QVERIFY(sandbox.boxes.shown.empty());
    }
};

QTEST_MAIN(TestInfoWindows)
#include "test_infowindows.moc"
