// Pictures read on a worker thread give what Qt reads from the same file.

#include <QFile>
#include <QIcon>
#include <QTemporaryDir>
#include <QTest>

#include "toolkit/pictures.h"

class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void sameAsReadDirectly_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("icon") << ":/zelvano.ico";
        QTest::newRow("another icon") << ":/joke.ico";
        QTest::newRow("background 640") << ":/bg640.jpg";
        QTest::newRow("background 1280") << ":/bg1280.jpg";
        QTest::newRow("missing") << ":/none.png";
        QTest::newRow("not a picture") << ":/text";  // replaced below by a file of text
    }
    void sameAsReadDirectly() {
        QFETCH(QString, path);
        QTemporaryDir dir;
        if (path == ":/text") {
            path = dir.filePath("picture.jpg");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a picture at all\n");
        }
        const QPixmap pixmap = toolkit::PictureReader(path).pixmap();
        const QPixmap direct(path);
        QCOMPARE(pixmap.isNull(), direct.isNull());
        QCOMPARE(pixmap.toImage(), direct.toImage());

        const QIcon icon = toolkit::PictureReader(path).icon();
        const QIcon directIcon(path);
        QCOMPARE(icon.availableSizes(), directIcon.availableSizes());
        for (const QSize size : directIcon.availableSizes()) {
            QCOMPARE(icon.pixmap(size).toImage(), directIcon.pixmap(size).toImage());
        }
    }

    // A reader whose pictures are never asked for still ends cleanly.
    void unusedReader() {
        for (int i = 0; i < 20; ++i) {
            toolkit::PictureReader reader(QStringLiteral(":/bg800.jpg"));
        }
        toolkit::PictureReader reader(QStringLiteral(":/bg800.jpg"));
        QVERIFY(!reader.pixmap().isNull());
        // A second request finds nothing left.
        QVERIFY(reader.pixmap().isNull());
    }
};

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
