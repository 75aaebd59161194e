// A long session through the windows' own controls: the layouts changed
// through "&Risoluzione" and the chooser back and forth, the About, author
// and joke windows opened and closed again and again, and thousands of
// encrypt, transfer, decrypt and clear commands on long texts. Every result
// is checked against the cipher's functions, and after each round the
// program holds exactly the windows it held the first time it was in the
// same state, so nothing piles up. Under LeakSanitizer (the sanitizer build)
// the run must also end without a leak.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

#include <map>

#include "app/modulo1.h"
#include "cipher/cipher.h"
#include "forms/main/mainwindow.h"
#include "forms/options/frmopzioni.h"
#include "prefs/preferences.h"
#include "support.h"

using testing::child;
using testing::Sandbox;

namespace {

constexpr int kRounds = 120;

// A text of Windows-1252 characters that encrypts without stopping: no code
// from 251 up, no code 0, line breaks as CR LF pairs.
QString randomText(QRandomGenerator& random, int length) {
    QString text;
    text.reserve(length);
    while (text.size() < length) {
        const int pick = random.bounded(100);
        if (pick < 3 && text.size() + 2 <= length) {
            text += QStringLiteral("\r\n");
        } else if (pick < 20) {
            text += QLatin1Char(' ');
        } else {
            text += QChar(cipher::CodeToChar(static_cast<int>(random.bounded(1, 251))));
        }
    }
    return text;
}

QString fromCipher(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

std::u16string toCipher(const QString& text) {
    return text.toStdU16String();
}

forms::MainWindow* onlyMainWindow() {
    const QStringList names = toolkit::WindowRegistry::instance().loadedNames();
    if (names.size() != 1) {
        return nullptr;
    }
    return toolkit::WindowRegistry::instance().find<forms::MainWindow>(names.front());
}

// On the button's left end: an option button and a check box take clicks only
// on their indicator and caption.
void click(QWidget* window, const QString& name) {
    auto* button = child<QAbstractButton>(window, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

int windowCount() {
    testing::flushDeletes();
    return static_cast<int>(QApplication::topLevelWidgets().size());
}

}  // namespace

class TestEndurance : public QObject {
    Q_OBJECT

private slots:
    void longSession() {
        Sandbox sandbox;
        const int before = windowCount();
        Sandbox::write(prefs::kStartupFile, prefs::formatNumber(1));
        Sandbox::write(prefs::kResolutionFile, prefs::formatNumber(1));
        toolkit::runGuarded([] { Modulo1::Main(); });

        QRandomGenerator random(7);
        std::map<QString, int> windowsInState;  // main window name -> top-level widgets
        int commands = 0;
        long long characters = 0;
        QElapsedTimer timer;
        timer.start();

        for (int round = 0; round < kRounds; ++round) {
            forms::MainWindow* window = onlyMainWindow();
            QVERIFY2(window != nullptr,
                     qPrintable(
                         toolkit::WindowRegistry::instance().loadedNames().join(QLatin1Char(' '))));

            // The information windows, opened from the menu and closed again.
            child<QAction>(window, QStringLiteral("info"))->trigger();
            child<QAction>(window, QStringLiteral("io"))->trigger();
            child<QAction>(window, window->objectName() == QStringLiteral("frm640")
                                       ? QStringLiteral("rrr")
                                       : QStringLiteral("rid"))
                ->trigger();
            QCOMPARE(toolkit::WindowRegistry::instance().loadedCount(), 4);
            click(toolkit::WindowRegistry::instance().find(QStringLiteral("frmAbout")),
                  QStringLiteral("cmdOK"));
            toolkit::WindowRegistry::instance().find(QStringLiteral("frmio"))->close();
            toolkit::WindowRegistry::instance().find(QStringLiteral("FRMHAHA"))->close();
            QCOMPARE(toolkit::WindowRegistry::instance().loadedCount(), 1);

            // Encrypt, transfer, decrypt and clear, several times on long texts.
            for (int pass = 0; pass < 4; ++pass) {
                const int length = round == kRounds / 2 && pass == 0
                                       ? 32766  // the longest text a command takes
                                       : static_cast<int>(random.bounded(500, 6000));
                const QString plain = randomText(random, length);
                characters += length;
                window->txt1()->setText(plain);

                const cipher::TextResult encrypted = cipher::EncryptText(toCipher(plain));
                QVERIFY(!encrypted.stoppedAt && !encrypted.unsupportedAt);
                click(window, QStringLiteral("cmd1"));
                QCOMPARE(window->txt2()->text(), fromCipher(encrypted.text));
                QVERIFY(window->prog1()->isHidden());

                click(window, QStringLiteral("Command3"));
                QCOMPARE(window->txt1()->text(), fromCipher(encrypted.text));
                QCOMPARE(window->txt2()->text(), QString());

                click(window, QStringLiteral("Command1"));
                QCOMPARE(window->txt2()->text(),
                         fromCipher(cipher::DecryptText(encrypted.text).text));
                QCOMPARE(window->txt2()->text().size(), plain.size() + 2);

                click(window, QStringLiteral("Command4_0"));
                click(window, QStringLiteral("Command4_1"));
                QCOMPARE(window->txt1()->text(), QString());
                QCOMPARE(window->txt2()->text(), QString());
                commands += 6;
            }

            // Nothing has piled up since the session was last in this state.
            const int count = windowCount();
            QCOMPARE(count, windowsInState.try_emplace(window->objectName(), count).first->second);

            // Another layout through the chooser, by "Ok" or "Annulla"; now
            // and then the check box changes too.
            const QByteArray rexBefore = Sandbox::read(prefs::kResolutionFile);
            child<QAction>(window, QStringLiteral("risoluzione"))->trigger();
            auto* chooser = toolkit::WindowRegistry::instance().find<forms::frmOpzioni>(
                QStringLiteral("frmOpzioni"));
            QVERIFY(chooser != nullptr);
            QCOMPARE(toolkit::WindowRegistry::instance().loadedCount(), 1);
            const int next = static_cast<int>(random.bounded(3));
            click(chooser, QStringLiteral("Option1_%1").arg(next));
            if (round % 5 == 0) {
                click(chooser, QStringLiteral("Check1"));
                QCOMPARE(Sandbox::read(prefs::kStartupFile),
                         prefs::formatNumber(chooser->check()->value()));
            }
            const bool ok = round % 2 == 0;
            click(chooser, ok ? QStringLiteral("Command1_0") : QStringLiteral("Command1_1"));
            QCOMPARE(Sandbox::read(prefs::kResolutionFile),
                     ok ? prefs::formatNumber(next) : rexBefore);
            static const char* const kVariants[] = {"frm1280", "frm640", "frm800"};
            QCOMPARE(toolkit::WindowRegistry::instance().loadedNames(),
                     QStringList{QString::fromLatin1(kVariants[next])});
        }

        QVERIFY(sandbox.boxes.shown.empty());
        QVERIFY(sandbox.end.statuses.empty());
        const qint64 elapsed = timer.elapsed();
        qInfo("%d rounds, %d commands on %lld characters in %lld ms", kRounds, commands, characters,
              elapsed);

        // Closing the last window ends the program and leaves no window behind.
        onlyMainWindow()->close();
        QCOMPARE(sandbox.end.statuses, std::vector<int>{0});
        testing::flushDeletes();
        QCOMPARE(toolkit::WindowRegistry::instance().loadedCount(), 0);
        QCOMPARE(windowCount(), before);
    }
};

QTEST_MAIN(TestEndurance)
#include "test_endurance.moc"
