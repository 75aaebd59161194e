#pragma once

// A per-test sandbox for the window tests: message boxes and program end are
// recorded instead of shown or carried out, and each test runs in its own
// temporary directory as the current directory.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <vector>

#include "doubles.h"
#include "forms/about/frmabout.h"
#include "forms/author/frmio.h"
#include "forms/joke/frmhaha.h"
#include "forms/main/mainwindow.h"
#include "forms/options/frmopzioni.h"
#include "prefs/preferences.h"
#include "toolkit/lifecycle.h"
#include "toolkit/outlinedlabel.h"

namespace testing {

// Destroys windows that were unloaded (their deletion is deferred).
inline void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class Sandbox {
public:
    Sandbox() : m_oldDir(QDir::currentPath()) {
        if (!m_dir.isValid() || !QDir::setCurrent(m_dir.path())) {
            qFatal("cannot enter a temporary directory");
        }
        toolkit::WindowRegistry::instance().resetForTest();
        toolkit::setMessageBoxes(&boxes);
        toolkit::WindowRegistry::instance().setProgramEnd(&end);
    }
    ~Sandbox() {
        toolkit::WindowRegistry::instance().resetForTest();
        toolkit::setMessageBoxes(nullptr);
        toolkit::WindowRegistry::instance().setProgramEnd(nullptr);
        QDir::setCurrent(m_oldDir);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    QString path() const { return m_dir.path(); }

    static void write(const QString& name, const QByteArray& bytes) {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("cannot write a test file");
        }
    }
    // The file's bytes, or a null array when it does not exist.
    static QByteArray read(const QString& name) {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    FakeMessageBoxes boxes;
    FakeProgramEnd end;

private:
    QString m_oldDir;
    QTemporaryDir m_dir;
};

// Gives the test process a mount namespace of its own, so that the small file
// systems it mounts are seen by no one else and vanish with it. Call it from a
// namespace-scope initialiser: a process with threads cannot switch. Needs root.
inline bool g_privateMounts = false;
inline bool enterPrivateMounts() {
    g_privateMounts = unshare(CLONE_NEWNS) == 0 &&
                      mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return g_privateMounts;
}

// A tiny tmpfs mounted on the folder "disk" in the current directory, and the
// current directory while it lives. fill() takes every free byte.
class TinyDisk {
public:
    static constexpr const char* kFiller = "filler";

    TinyDisk() {
        m_mounted = g_privateMounts && mkdir("disk", 0755) == 0 &&
                    mount("tmpfs", "disk", "tmpfs", 0, "size=64k,mode=0755") == 0 &&
                    chdir("disk") == 0;
    }
    ~TinyDisk() {
        if (m_mounted && chdir("..") == 0) {
            umount2("disk", MNT_DETACH);
        }
        rmdir("disk");
    }
    TinyDisk(const TinyDisk&) = delete;
    TinyDisk& operator=(const TinyDisk&) = delete;

    bool mounted() const { return m_mounted; }

    // Writes the filler file until not one more byte fits.
    static void fill() {
        const int fd = open(kFiller, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        const QByteArray block(4096, 'x');
        for (qsizetype size = block.size(); fd >= 0 && size > 0; size /= 2) {
            while (::write(fd, block.constData(), static_cast<size_t>(size)) == size) {
            }
        }
        if (fd < 0 || close(fd) != 0) {
            qFatal("cannot fill the tiny disk");
        }
    }
    static void release() { unlink(kFiller); }

private:
    bool m_mounted = false;
};

// Runs as the unprivileged user nobody until destroyed: root ignores
// permissions, nobody does not.
class AsNobody {
public:
    static constexpr uid_t kUid = 65534;
    static constexpr gid_t kGid = 65534;
    AsNobody() {
        if (setegid(kGid) != 0 || seteuid(kUid) != 0) {
            qFatal("cannot become nobody");
        }
    }
    ~AsNobody() {
        if (seteuid(0) != 0 || setegid(0) != 0) {
            qFatal("cannot become root again");
        }
    }
    AsNobody(const AsNobody&) = delete;
    AsNobody& operator=(const AsNobody&) = delete;
};

// Every name in the current directory but the tiny disk's filler: where a
// write left a temporary file, it shows here.
inline std::set<QByteArray> entries() {
    std::set<QByteArray> names;
    QDir here;
    for (const QString& name :
         here.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (name != QLatin1String(TinyDisk::kFiller)) {
            names.insert(QFile::encodeName(name));
        }
    }
    return names;
}

// The named child of a window; fails the test when it is missing.
template <class T>
T* child(const QObject* parent, const QString& name) {
    T* found = parent ? parent->findChild<T*>(name) : nullptr;
    if (found == nullptr) {
        qFatal("no child %s", qPrintable(name));
    }
    return found;
}

// A loaded window by name, or nullptr.
inline toolkit::Form* loaded(const QString& name) {
    return toolkit::WindowRegistry::instance().find(name);
}

// The loaded main window, whichever layout it has, or nullptr.
inline forms::MainWindow* loadedMainWindow() {
    for (const forms::Variant variant :
         {forms::Variant::frm640, forms::Variant::frm800, forms::Variant::frm1280}) {
        if (auto* window = qobject_cast<forms::MainWindow*>(
                loaded(QString::fromLatin1(forms::layoutOf(variant).windowName)))) {
            return window;
        }
    }
    return nullptr;
}

// Shows a window by its name (frm640, frmOpzioni, frmAbout, ...) as the
// program would. The chooser is shown as start-up shows it for a first start.
inline toolkit::Form* showWindow(const QString& name) {
    if (name == forms::frmAbout::kName) {
        return forms::frmAbout::show();
    }
    if (name == forms::frmio::kName) {
        return forms::frmio::show();
    }
    if (name == forms::FRMHAHA::kName) {
        return forms::FRMHAHA::show();
    }
    if (name == forms::frmOpzioni::kName) {
        prefs::setStartupFlag(0);
        prefs::resolutionChoice().setText("1");
        return forms::frmOpzioni::show();
    }
    for (const forms::Variant variant :
         {forms::Variant::frm640, forms::Variant::frm800, forms::Variant::frm1280}) {
        if (name == QLatin1String(forms::layoutOf(variant).windowName)) {
            return forms::MainWindow::show(variant);
        }
    }
    qFatal("no window named %s", qPrintable(name));
}

// The controls of a window whose caption does not fit, each with what it
// needs: a push button's text within the style's room for it, an option
// button's or a check box's indicator and caption, a label's text (wrapped to
// its width when it wraps), an outlined label's lines without narrowing.
inline QStringList captionsThatDoNotFit(const QWidget* window) {
    QStringList misfits;
    const auto check = [&misfits](const QWidget* control, QSizeF needed, QSize room) {
        if (needed.width() > room.width() || needed.height() > room.height()) {
            misfits << QStringLiteral("%1 needs %2 x %3 in %4 x %5")
                           .arg(control->objectName())
                           .arg(needed.width())
                           .arg(needed.height())
                           .arg(room.width())
                           .arg(room.height());
        }
    };
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (qobject_cast<const QPushButton*>(button) != nullptr) {
            QStyleOptionButton option;
            option.initFrom(button);
            const QRect room =
                button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            const QFontMetricsF metrics(button->font());
            QString text = button->text();
            text.remove(QLatin1Char('&'));
            check(button, {metrics.horizontalAdvance(text), metrics.height()}, room.size());
        } else {
            check(button, button->sizeHint(), button->size());
        }
    }
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            const QSize needed = label->wordWrap()
                                     ? QSize(label->width(), label->heightForWidth(label->width()))
                                     : label->sizeHint();
            check(label, needed, label->size());
        }
    }
    for (const toolkit::OutlinedLabel* label : window->findChildren<toolkit::OutlinedLabel*>()) {
        const QSize needed = label->textSize();
        check(label,
              {label->narrowing() < 1.0 ? needed.width() + 1.0 : needed.width(),
               needed.height() - 1.0},
              label->size());
    }
    return misfits;
}

// Checks that every caption of the window that show() opens (and returns)
// fits its control with the program's own font, and still does when the
// desktop's font is large: set on the application before the window is made,
// or after it is shown, as a platform theme does once the program runs.
template <class Show>
void verifyCaptionsFit(Show show) {
    QFont large(QStringLiteral("DejaVu Sans"));
    large.setPointSize(14);
    const QFont own = QApplication::font();
    const QStringList cases = {QStringLiteral("own font"), QStringLiteral("large font first"),
                               QStringLiteral("large font later")};
    for (qsizetype i = 0; i < cases.size(); ++i) {
        Sandbox sandbox;
        if (i == 1) {
            QApplication::setFont(large);
        }
        const QWidget* window = show();
        if (i == 2) {
            QApplication::setFont(large);
        }
        const QStringList misfits = captionsThatDoNotFit(window);
        QApplication::setFont(own);
        QVERIFY2(misfits.isEmpty(),
                 qPrintable(cases[i] + QStringLiteral(": ") + misfits.join(QStringLiteral("; "))));
    }
}

}  // namespace testing
