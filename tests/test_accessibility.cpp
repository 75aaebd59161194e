// Every control a user can reach has an Italian name and description for
// screen readers, every window can be worked with the keyboard alone, and
// every control answers the mouse wherever it stands.

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <map>

#include "app/modulo1.h"
#include "support.h"
#include "toolkit/accessible.h"

using testing::child;
using testing::Sandbox;

namespace {

QAccessibleInterface* accessible(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (iface == nullptr) {
        qFatal("no accessible interface for %s", qPrintable(object->objectName()));
    }
    return iface;
}

const char* const kWindows[] = {"frm640",   "frm800", "frm1280", "frmOpzioni",
                                "frmAbout", "frmio",  "FRMHAHA"};

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void namesAndDescriptions_data() {
        QTest::addColumn<QString>("window");
        for (const char* name : kWindows) {
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
            // What a screen reader gets; the name holds the caption on screen,
            // so that voice control works by the words the user sees.
            const QString name = accessible(widget)->text(QAccessible::Name);
            const auto* button = qobject_cast<QAbstractButton*>(widget);
            const QString caption = button ? button->text().remove('&') : QString();
            QVERIFY2(!name.isEmpty() && name.contains(caption), qPrintable(widget->objectName()));
            QVERIFY2(!accessible(widget)->text(QAccessible::Description).isEmpty(),
                     qPrintable(widget->objectName()));
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

    // Roles and names as a screen reader reads them, reached from the
    // window's own accessible tree.
    void rolesAndNames_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("object");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");         // contained in the name
        QTest::addColumn<QString>("description");  // contained in the description
        const auto row = [](const char* tag, const char* window, const char* object,
                            QAccessible::Role role, const QString& name,
                            const QString& description = {}) {
            QTest::newRow(tag) << window << object << int(role) << name << description;
        };
        row("greeting", "frmio", "Label1", QAccessible::StaticText,
            "ECCOMI A VOI IN TUTTA LA MIA BELLEZZA(?)\n\nSALUTI DAL VURLO");
        // A screen reader reads a dialog's texts of three words or more.
        row("contact", "frmio", "Label2", QAccessible::StaticText, "E-mail dell'autore: ");
        row("version", "frmAbout", "lblVersion", QAccessible::StaticText,
            "Versione 1.0.1 di Zelvano");
        row("joke", "FRMHAHA", "Label1", QAccessible::StaticText,
            "AH AH AH MA DAVVERO VI\nSERVE UN AIUTO?\nMA PER PIACERE AH AH AH");
        row("etched line", "frmAbout", "Line1", QAccessible::Separator, {});
        row("System Info", "frmAbout", "cmdSysInfo", QAccessible::Button, "System Info...",
            "Informazioni sul sistema");
        row("option group", "frmOpzioni", "Option1", QAccessible::Grouping,
            "Scegliere una delle risoluzioni:");
        row("io 640", "frm640", "io", QAccessible::MenuItem, "???????", "Autore");
        row("io 800", "frm800", "io", QAccessible::MenuItem, "???????????", "Autore");
        row("io 1280", "frm1280", "io", QAccessible::MenuItem, "??????????????", "Autore");
    }
    void rolesAndNames() {
        QFETCH(QString, window);
        QFETCH(QString, object);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QString, description);
        Sandbox sandbox;
        toolkit::Form* form = testing::showWindow(window);
        QObject* target = form->findChild<QObject*>(object);
        QVERIFY(target);
        // Found as its parent's child, as the screen reader walks the tree.
        QAccessibleInterface* parent = QAccessible::queryAccessibleInterface(target->parent());
        QVERIFY(parent);
        QAccessibleInterface* iface = nullptr;
        for (int i = 0; i < parent->childCount() && !iface; ++i) {
            if (parent->child(i)->object() == target) {
                iface = parent->child(i);
            }
        }
        QVERIFY(iface);
        QCOMPARE(int(iface->role()), role);
        QVERIFY2(iface->text(QAccessible::Name).contains(name),
                 qPrintable(iface->text(QAccessible::Name)));
        QVERIFY2(iface->text(QAccessible::Description).contains(description),
                 qPrintable(iface->text(QAccessible::Description)));
        if (role == QAccessible::Separator) {
            QCOMPARE(iface->childCount(), 0);  // one line, however it is drawn
        }
        if (role == QAccessible::MenuItem) {
            QCOMPARE(iface->text(QAccessible::Name), name + " (Autore)");
            QVERIFY(iface->actionInterface());
            iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QVERIFY(toolkit::WindowRegistry::instance().find("frmio"));
        }
        if (role == QAccessible::Grouping) {
            // The three option buttons are its parts, counted from the top as
            // they stand on screen, and its label says so.
            std::map<int, int> topByPosition;
            for (int index = 0; index < 3; ++index) {
                auto* option = child<QWidget>(form, QStringLiteral("Option1_%1").arg(index));
                QCOMPARE(accessible(option)->parent(), iface);
                topByPosition[iface->indexOfChild(accessible(option))] = option->y();
            }
            QCOMPARE(topByPosition.size(), std::size_t(3));
            QVERIFY(std::is_sorted(topByPosition.begin(), topByPosition.end(),
                                   [](auto a, auto b) { return a.second < b.second; }));
            const auto labels = iface->relations(QAccessible::Label);
            QCOMPARE(labels.size(), 1);
            QCOMPARE(labels.front().first->object(), child<QObject>(form, "Label1"));
        }
    }

    // An option button or a check box answers a click anywhere inside its
    // rectangle, also in the empty part of its row right of the caption.
    void optionsAnswerAnywhereInside() {
        int clicked = 0;
        for (const char* window : kWindows) {
            Sandbox sandbox;
            toolkit::Form* form = testing::showWindow(window);
            QVERIFY(QTest::qWaitForWindowExposed(form));
            const auto buttons = form->findChildren<QAbstractButton*>();
            // Twice round, so that the option selected at first is clicked too.
            for (int round = 0; round < 2; ++round) {
                for (QAbstractButton* button : buttons) {
                    const bool option = qobject_cast<QRadioButton*>(button) != nullptr;
                    if ((!option && !qobject_cast<QCheckBox*>(button)) ||
                        (option && button->isChecked())) {
                        continue;
                    }
                    const Qt::CheckState before =
                        option ? Qt::Unchecked : static_cast<QCheckBox*>(button)->checkState();
                    QTest::mouseClick(button, Qt::LeftButton, {},
                                      {button->width() - 2, button->height() / 2});
                    const Qt::CheckState after =
                        option ? (button->isChecked() ? Qt::Checked : Qt::Unchecked)
                               : static_cast<QCheckBox*>(button)->checkState();
                    QVERIFY2(after != before, qPrintable(button->objectName()));
                    ++clicked;
                }
            }
        }
        QVERIFY(clicked >= 4);  // the chooser's three options and its check box
    }

    // F10 opens the first menu from anywhere in the main window; Escape
    // closes the author and joke windows, as their close box does.
    void f10AndEscape() {
        Sandbox sandbox;
        auto* w = forms::MainWindow::show(forms::Variant::frm800);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::keyClick(w->txt1(), Qt::Key_F10);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->title(), QString("&File"));
        menu->close();
        for (const QString name : {"frmio", "FRMHAHA"}) {
            toolkit::Form* form = testing::showWindow(name);
            QVERIFY(QTest::qWaitForWindowExposed(form));
            QTest::keyClick(form, Qt::Key_Escape);
            testing::flushDeletes();
            QVERIFY2(!testing::loaded(name), qPrintable(name));
        }
        QVERIFY(testing::loaded("frm800"));
    }

    // The help windows are dialogs, which a screen reader reads when they
    // open, and each takes the focus as it opens from the menu.
    void helpWindowsOpenAsFocusedDialogs_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::newRow("About") << "info"
                               << "frmAbout";
        QTest::newRow("author") << "io"
                                << "frmio";
        QTest::newRow("joke") << "rid"
                              << "FRMHAHA";
    }
    void helpWindowsOpenAsFocusedDialogs() {
        QFETCH(QString, item);
        QFETCH(QString, window);
        Sandbox sandbox;
        auto* main = forms::MainWindow::show(forms::Variant::frm800);
        QVERIFY(QTest::qWaitForWindowActive(main));
        child<QAction>(main, item)->trigger();
        toolkit::Form* form = testing::loaded(window);
        QVERIFY(form);
        QCOMPARE(accessible(form)->role(), QAccessible::Dialog);
        QTRY_VERIFY(QApplication::focusWidget() != nullptr &&
                    QApplication::focusWidget()->window() == form);
    }

    // Every command tells a screen reader its outcome, without moving the
    // focus: the window's notification, named with the outcome, appears.
    void commandsAreHeard() {
        Sandbox sandbox;
        auto* w = forms::MainWindow::show(forms::Variant::frm640);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->txt1()->setText(QStringLiteral("ciao"));
        const std::pair<const char*, QString> steps[] = {
            {"cmd1", "Risultato: hLfR"},
            {"Command3", "Risultato spostato nella casella di ingresso"},
            {"Command1", "Risultato: ciao"},
            {"Command4_0", "Casella di ingresso svuotata"},
            {"Command4_1", "Casella di uscita svuotata"},
        };
        for (const auto& [button, text] : steps) {
            auto* pressed = child<QPushButton>(w, button);
            pressed->setFocus();
            QTest::keyClick(pressed, Qt::Key_Space);
            QCOMPARE(QApplication::focusWidget(), pressed);
            auto* notice = child<QWidget>(w, "zelvanoNotice");
            QCOMPARE(accessible(notice)->role(), QAccessible::Notification);
            QCOMPARE(notice->accessibleName(), text);
            QVERIFY(notice->isHidden());
        }
    }

    // What is heard of a text: no control characters, and the start of a
    // long one, cut between words.
    void spokenForm() {
        QCOMPARE(toolkit::spokenForm(QStringLiteral(" a\r\nb\x01\x7F c ")), QString("a b c"));
        const QString words = QStringLiteral("parola ").repeated(100);
        const QString spoken = toolkit::spokenForm(words);
        QVERIFY(spoken.size() <= 161);
        QVERIFY(spoken.endsWith(QStringLiteral("parola…")));
        QVERIFY(words.startsWith(spoken.chopped(1)));
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

    // Enter presses the focused button of every window, as Space does, and
    // still breaks the line in a text box; the chooser starts on the option
    // in force, so that Space keeps it.
    void enterAndChooserFocus_data() {
        QTest::addColumn<int>("stored");
        QTest::newRow("1280") << 0;
        QTest::newRow("640") << 1;
        QTest::newRow("800") << 2;
    }
    void enterAndChooserFocus() {
        QFETCH(int, stored);
        Sandbox sandbox;
        Sandbox::write(prefs::kResolutionFile, prefs::formatNumber(stored));
        toolkit::runGuarded([] { Modulo1::Main(); });
        auto* chooser = toolkit::WindowRegistry::instance().find<forms::frmOpzioni>("frmOpzioni");
        QVERIFY(chooser);
        QVERIFY(QTest::qWaitForWindowExposed(chooser));
        QWidget* focus = chooser->focusWidget();
        QCOMPARE(focus, static_cast<QWidget*>(chooser->option(stored)));
        QTest::keyClick(focus, Qt::Key_Space);
        QVERIFY(chooser->option(stored)->isChecked());
        QCOMPARE(prefs::resolutionChoice().number(), stored);
        auto* ok = child<QWidget>(chooser, "Command1_0");
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
        testing::flushDeletes();
        static const char* const kVariants[] = {"frm1280", "frm640", "frm800"};
        QCOMPARE(toolkit::WindowRegistry::instance().loadedNames(), QStringList{kVariants[stored]});

        auto* main = toolkit::WindowRegistry::instance().find<forms::MainWindow>(kVariants[stored]);
        QTest::keyClicks(main->txt1(), "ci");
        QTest::keyClick(main->txt1(), Qt::Key_Return);
        QTest::keyClicks(main->txt1(), "ao");
        QCOMPARE(main->txt1()->text(), QString("ci\r\nao"));
        auto* cmd1 = child<QWidget>(main, "cmd1");
        cmd1->setFocus();
        QTest::keyClick(cmd1, Qt::Key_Return);
        QCOMPARE(main->txt2()->text(), QString(" hL\x12\rfR"));
        auto* clear = child<QWidget>(main, "Command4_1");
        clear->setFocus();
        QTest::keyClick(clear, Qt::Key_Enter);  // the keypad's Enter as well
        QCOMPARE(main->txt2()->text(), QString());

        // The About window: Enter on "System Info..." runs it, and the message
        // it shows belongs to the About window.
        testing::FakeLauncher noTool;  // starts nothing, finds nothing
        toolkit::setLauncher(&noTool);
        forms::frmAbout* about = forms::frmAbout::show();
        auto* sysInfo = child<QWidget>(about, "cmdSysInfo");
        sysInfo->setFocus();
        QTest::keyClick(sysInfo, Qt::Key_Return);
        toolkit::setLauncher(nullptr);
        QCOMPARE(sandbox.boxes.shown.size(), std::size_t(1));
        QCOMPARE(sandbox.boxes.shown[0].parent.data(), static_cast<QWidget*>(about));
        QTest::keyClick(child<QWidget>(about, "cmdOK"), Qt::Key_Return);
        testing::flushDeletes();
        QVERIFY(!toolkit::WindowRegistry::instance().find("frmAbout"));
    }

    // The real message box: centred on the window that raised it, its
    // warning icon named, and the focus back where it was once it closes.
    void messageBoxReturnsToItsWindow() {
        Sandbox sandbox;
        toolkit::setMessageBoxes(nullptr);
        auto* w = forms::MainWindow::show(forms::Variant::frm800);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        auto* cmd1 = child<QWidget>(w, "cmd1");
        cmd1->setFocus();
        QPointer<QWidget> parent;
        QPoint centre;
        QString iconName;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            parent = box->parentWidget();
            centre = box->frameGeometry().center();
            if (auto* icon = box->findChild<QLabel*>("qt_msgboxex_icon_label")) {
                iconName = accessible(icon)->text(QAccessible::Name);
            }
            box->accept();
        });
        QTest::keyClick(cmd1, Qt::Key_Return);  // nothing to encrypt: the warning
        toolkit::setMessageBoxes(&sandbox.boxes);
        QCOMPARE(parent.data(), static_cast<QWidget*>(w));
        QVERIFY2((centre - w->frameGeometry().center()).manhattanLength() <= 4,
                 qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
        QVERIFY(!iconName.isEmpty());
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(w));
        QCOMPARE(QApplication::focusWidget(), cmd1);
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
