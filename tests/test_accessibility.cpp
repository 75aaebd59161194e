// Every control a user can reach has an Italian name and description for
// screen readers, and every window can be worked with the keyboard alone.

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

#include "forms/about/frmabout.h"
#include "forms/author/frmio.h"
#include "forms/joke/frmhaha.h"
#include "forms/main/mainwindow.h"
#include "forms/options/frmopzioni.h"
#include "startup/preferences.h"
#include "support.h"

using testing::child;
using testing::Sandbox;

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void namesAndDescriptions_data() {
        QTest::addColumn<QString>("window");
        for (const char* name :
             {"frm640", "frm800", "frm1280", "frmOpzioni", "frmAbout", "frmio", "FRMHAHA"}) {
            QTest::newRow(name) << name;
        }
    }
    void namesAndDescriptions() {
        QFETCH(QString, window);
        Sandbox sandbox;
        toolkit::Form* form = testing::showWindow(window);
        QVERIFY(form);
        int checked = 0;
        for (QWidget* widget : form->client()->findChildren<QWidget*>()) {
            const bool control =
                widget->focusPolicy() != Qt::NoFocus || widget->objectName() == "prog1";
            if (!control || widget->objectName().isEmpty() ||
                widget->objectName().startsWith("qt_")) {
                continue;
            }
            ++checked;
            QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
            QVERIFY2(!widget->accessibleDescription().isEmpty(), qPrintable(widget->objectName()));
        }
        // Pictures and lettering are named too.
        for (QLabel* label : form->client()->findChildren<QLabel*>()) {
            if (!label->objectName().isEmpty()) {
                ++checked;
                QVERIFY2(!label->accessibleName().isEmpty() || !label->text().isEmpty(),
                         qPrintable(label->objectName()));
            }
        }
        for (QWidget* widget : form->findChildren<QWidget*>()) {
            if (widget->inherits("toolkit::OutlinedLabel")) {
                ++checked;
                QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
            }
        }
        QVERIFY(checked >= 1);
    }

    // Tab reaches every button, and Space presses the one with the focus.
    void keyboardAlone() {
        Sandbox sandbox;
        auto* w = forms::MainWindow::show(forms::Variant::frm640);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::keyClicks(w->txt1(), "ciao");
        QWidget* focus = QApplication::focusWidget();
        QCOMPARE(focus, static_cast<QWidget*>(w->txt1()));
        // The tab order of frm640 leads from txt1 through txt2 to "Decripta".
        QTest::keyClick(focus, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("Command1"));
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("cmd1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(w->txt2()->text(), QString(" hLfR"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
