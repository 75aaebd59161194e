#include "forms/main/mainwindow.h"

#include <QAction>
#include <QIcon>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
#include <map>
#include <optional>
#include <span>

#include "cipher/cipher.h"
#include "forms/about/frmabout.h"
#include "forms/author/frmio.h"
#include "forms/joke/frmhaha.h"
#include "forms/options/frmopzioni.h"
#include "forms/texts.h"
#include "toolkit/accessible.h"
#include "toolkit/appearance.h"
#include "toolkit/characters.h"
#include "toolkit/lifecycle.h"
#include "toolkit/messagebox.h"
#include "toolkit/pictures.h"
#include "toolkit/twips.h"

namespace forms {
namespace {

// The texts of a main window closed by "&Risoluzione", waiting for the next
// main window that loads. They live only as long as the process.
struct CarriedTexts {
    QString input;
    QString output;
};
std::optional<CarriedTexts> g_carried;

}  // namespace

// In the order the window creates them.
const std::array<MainWindow::Control, 9> MainWindow::kControls = {{
    {"txt1", Control::Kind::InputBox, &Places::txt1, nullptr, "Testo da elaborare",
     "Casella di ingresso: il testo da criptare o decriptare", nullptr},
    {"txt2", Control::Kind::OutputBox, &Places::txt2, nullptr, "Risultato",
     "Casella di uscita: il testo criptato o decriptato", nullptr},
    {"prog1", Control::Kind::ProgressBar, &Places::prog1, nullptr, "Avanzamento",
     "Avanzamento del comando Cripta o Decripta", nullptr},
    {"cmd1", Control::Kind::Button, &Places::cmd1, "Cripta", "Cripta",
     "Cripta il testo della casella di ingresso", [](MainWindow& w) { w.cmd1_Click(0); }},
    {"Command1", Control::Kind::Button, &Places::Command1, "Decripta", "Decripta",
     "Decripta il testo della casella di ingresso", [](MainWindow& w) { w.Command1_Click(); }},
    {"Command2", Control::Kind::Button, &Places::Command2, "Esci", "Esci",
     "Chiude Zelvano e tutte le sue finestre", [](MainWindow& w) { w.Command2_Click(); }},
    {"Command3", Control::Kind::Button, &Places::Command3, "<==", "<== Sposta il risultato",
     "Sposta il risultato nella casella di ingresso", [](MainWindow& w) { w.Command3_Click(); }},
    {"Command4_0", Control::Kind::Button, &Places::Command4_0, "Svuota ", "Svuota l'ingresso",
     "Svuota la casella di ingresso", [](MainWindow& w) { w.Command4_Click(0); }},
    {"Command4_1", Control::Kind::Button, &Places::Command4_1, "Svuota ", "Svuota il risultato",
     "Svuota la casella di uscita", [](MainWindow& w) { w.Command4_Click(1); }},
}};

MainWindow::MainWindow(Variant variant)
    : toolkit::Form(QString::fromLatin1(layoutOf(variant).windowName)), m_variant(variant) {
    const MainLayout& layout = layoutOf(variant);
    setWindowTitle(toolkit::kProgramTitle);
    // The pictures are read while the controls are built.
    toolkit::PictureReader icon(QStringLiteral(":/zelvano.ico"));
    toolkit::PictureReader background(QString::fromLatin1(layout.background));
    buildMenus(layout);
    buildControls(layout);
    setWindowIcon(icon.icon());
    client()->setPicture(background.pixmap());
    setClientSizeTwips(layout.clientWidth, layout.clientHeight);
}

QWidget* MainWindow::makeControl(const Control& control, const MainLayout& layout) {
    switch (control.kind) {
        case Control::Kind::InputBox:
            return m_txt1 = new toolkit::TextBox(client());
        case Control::Kind::OutputBox:
            return m_txt2 = new toolkit::TextBox(client());
        case Control::Kind::ProgressBar:
            m_prog1 = new toolkit::ProgressBar(client());
            m_prog1->hide();
            return m_prog1;
        case Control::Kind::Button:
            break;
    }
    auto* button = new QPushButton(QString::fromUtf8(control.caption), client());
    // Enter presses the button that has the focus, as Space does. No button
    // is the window's default, so Enter in a text box starts a new line.
    button->setAutoDefault(true);
    if (layout.smallTransferFont && control.place == &Places::Command3) {
        button->setFont(toolkit::namedFont(QStringLiteral("MS Sans Serif"), 9.6));
    }
    connect(button, &QPushButton::clicked, this,
            toolkit::guarded([this, click = control.click] { click(*this); }));
    return button;
}

void MainWindow::buildControls(const MainLayout& layout) {
    std::map<int, QWidget*> byTab;
    for (const Control& control : kControls) {
        QWidget* widget = makeControl(control, layout);
        widget->setObjectName(QString::fromLatin1(control.name));
        widget->setAccessibleName(QString::fromUtf8(control.accessibleName));
        widget->setAccessibleDescription(QString::fromUtf8(control.description));
        const Place& place = layout.places.*control.place;
        widget->setGeometry(toolkit::twipsRect(place.left, place.top, place.width, place.height));
        byTab[place.tabIndex] = widget;
    }
    std::vector<QWidget*> order;
    for (const auto& [tab, widget] : byTab) {
        order.push_back(widget);
    }
    setTabOrder(order);
}

void MainWindow::buildMenus(const MainLayout& layout) {
    auto addMenu = [this](const char* name, const QString& caption) {
        QMenu* menu = menuBar()->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto addItem = [](QMenu* menu, const char* name, const QString& caption, auto handler) {
        auto* action = new QAction(caption, menu);
        action->setObjectName(QString::fromLatin1(name));
        if (qstrcmp(name, "io") == 0) {
            // A row of question marks does not tell a screen reader where it leads.
            toolkit::describeMenuItem(action, caption + QStringLiteral(" (Autore)"),
                                      QStringLiteral("Apre la finestra Autore, con il saluto e il "
                                                     "contatto dell'autore"));
        }
        QObject::connect(action, &QAction::triggered, menu, toolkit::guarded(handler));
        menu->addAction(action);
    };
    QMenu* file = addMenu(layout.fileMenu, QStringLiteral("&File"));
    addItem(file, layout.exitItem, QStringLiteral("&Esci"), [this] { esci_Click(); });
    QMenu* options = addMenu("opzioni", QStringLiteral("&Opzioni"));
    addItem(options, "risoluzione", QStringLiteral("&Risoluzione"),
            [this] { risoluzione_Click(); });
    QMenu* help = addMenu(layout.helpMenu, QString::fromLatin1(layout.helpCaption));
    addItem(help, layout.jokeItem, QStringLiteral("Ma non fatemi ridere"), [this] { rrr_Click(); });
    addItem(help, "info", QString::fromLatin1(layout.infoCaption), [this] { info_Click(); });
    addItem(help, "io", QString::fromLatin1(layout.authorCaption), [this] { io_Click(); });
    // F10 opens the first menu, as on the desktops where the program runs.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this,
            [this, file] { menuBar()->setActiveAction(file->menuAction()); });
}

MainWindow* MainWindow::show(Variant variant) {
    return toolkit::WindowRegistry::instance().show<MainWindow>(
        QString::fromLatin1(layoutOf(variant).windowName),
        [variant] { return new MainWindow(variant); });
}

void MainWindow::Form_Load() {
    // The outer top-left corner goes to the screen's top-left corner.
    setLeftTwips(0);
    setTopTwips(0);
    if (g_carried) {
        m_txt1->setText(g_carried->input);
        m_txt2->setText(g_carried->output);
        g_carried.reset();
    }
}

void MainWindow::runCipher(bool encrypt) {
    const QString input = m_txt1->text();
    const std::u16string_view view(reinterpret_cast<const char16_t*>(input.utf16()),
                                   static_cast<std::size_t>(input.size()));
    // The cipher writes straight into the text that the output box gets.
    QString output(input.size() + 1, Qt::Uninitialized);
    const std::span<char16_t> buffer(reinterpret_cast<char16_t*>(output.data()),
                                     static_cast<std::size_t>(output.size()));
    const cipher::Written result =
        encrypt ? cipher::EncryptInto(view, buffer) : cipher::DecryptInto(view, buffer);
    if (result.unsupportedAt) {
        // Refused before anything is written: the input stays as it is.
        const qsizetype at = static_cast<qsizetype>(*result.unsupportedAt) - 1;
        warn(QStringLiteral("Il testo contiene un carattere che Zelvano non può trattare: %1 "
                            "(posizione %2).")
                 .arg(toolkit::quotedCharacter(input, at))
                 .arg(at + 1));
        return;
    }
    // Nothing else runs while a command works, so only the end state shows:
    // the text is written once, and the bar gets its last values directly.
    const auto n = static_cast<int>(std::min<qsizetype>(input.size(), INT_MAX));
    m_prog1->setMin(encrypt ? 0 : 1);
    m_prog1->setMax(n);
    m_prog1->show();
    output.truncate(static_cast<qsizetype>(result.length));
    m_txt2->setText(output);
    const auto completed = static_cast<int>(result.length - 1);
    if (completed > 0) {
        m_prog1->setPos(completed);
    }
    if (result.stoppedAt) {
        // The output and the bar stay as they are; the user learns that the
        // result is cut short, and where.
        const qsizetype at = static_cast<qsizetype>(*result.stoppedAt) - 1;
        warn(QStringLiteral("Il carattere %1 in posizione %2 non si può %3: il "
                            "risultato si ferma prima di esso.")
                 .arg(toolkit::quotedCharacter(input, at))
                 .arg(at + 1)
                 .arg(encrypt ? QStringLiteral("criptare") : QStringLiteral("decriptare")));
    } else {
        m_prog1->hide();
        if (n > 0) {
            // Only its start: the result may be long.
            toolkit::announce(this, QStringLiteral("Risultato: ") + toolkit::spokenForm(output));
        }
    }
    if (n == 0) {
        warn(encrypt ? QStringLiteral("Non c'è niente da criptare!!!")
                     : QStringLiteral("Non c'è niente da decriptare!!!"));
    }
}

void MainWindow::warn(const QString& text) {
    toolkit::msgBox(text, toolkit::MsgStyle::Warning, kErrorTitle, this);
}

void MainWindow::cmd1_Click(int /*index*/) {
    runCipher(true);
}

void MainWindow::Command1_Click() {
    runCipher(false);
}

void MainWindow::Command2_Click() {
    toolkit::End();
}

void MainWindow::esci_Click() {
    toolkit::End();
}

void MainWindow::Command3_Click() {
    m_txt1->setText(m_txt2->text());
    m_txt2->setText(QString());
    toolkit::announce(this, m_txt1->text().isEmpty()
                                ? QStringLiteral("Nessun risultato da spostare: casella di "
                                                 "ingresso svuotata")
                                : QStringLiteral("Risultato spostato nella casella di ingresso"));
}

void MainWindow::Command4_Click(int index) {
    if (index == 0) {
        m_txt1->setText(QString());
        toolkit::announce(this, QStringLiteral("Casella di ingresso svuotata"));
    } else if (index == 1) {
        m_txt2->setText(QString());
        toolkit::announce(this, QStringLiteral("Casella di uscita svuotata"));
    }
}

void MainWindow::risoluzione_Click() {
    frmOpzioni::show();
    // Choosing another layout, or the same one again, loses nothing.
    g_carried = CarriedTexts{m_txt1->text(), m_txt2->text()};
    toolkit::unload(this);
}

void MainWindow::info_Click() {
    frmAbout::show();
}

void MainWindow::io_Click() {
    frmio::show();
}

void MainWindow::rrr_Click() {
    FRMHAHA::show();
}

}  // namespace forms
