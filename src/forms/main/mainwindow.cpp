#include "forms/main/mainwindow.h"

#include <QAction>
#include <QIcon>
#include <QMenuBar>

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

// Italian names and descriptions for screen readers, the same in every layout.
void describeForAccessibility(QWidget* widget) {
    struct Description {
        const char* control;
        const char* name;
        const char* description;
    };
    static constexpr Description kDescriptions[] = {
        {"txt1", "Testo da elaborare", "Casella di ingresso: il testo da criptare o decriptare"},
        {"txt2", "Risultato", "Casella di uscita: il testo criptato o decriptato"},
        {"cmd1", "Cripta", "Cripta il testo della casella di ingresso"},
        {"Command1", "Decripta", "Decripta il testo della casella di ingresso"},
        {"Command3", "<== Sposta il risultato", "Sposta il risultato nella casella di ingresso"},
        {"Command4_0", "Svuota l'ingresso", "Svuota la casella di ingresso"},
        {"Command4_1", "Svuota il risultato", "Svuota la casella di uscita"},
        {"Command2", "Esci", "Chiude Zelvano e tutte le sue finestre"},
        {"prog1", "Avanzamento", "Avanzamento del comando Cripta o Decripta"},
    };
    for (const Description& d : kDescriptions) {
        if (widget->objectName() == QLatin1String(d.control)) {
            widget->setAccessibleName(QString::fromUtf8(d.name));
            widget->setAccessibleDescription(QString::fromUtf8(d.description));
        }
    }
}

// The texts of a main window closed by "&Risoluzione", waiting for the next
// main window that loads. They live only as long as the process.
struct CarriedTexts {
    QString input;
    QString output;
};
std::optional<CarriedTexts> g_carried;

}  // namespace

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

QPushButton* MainWindow::addButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, client());
    button->setObjectName(QString::fromLatin1(name));
    // Enter presses the button that has the focus, as Space does. No button
    // is the window's default, so Enter in a text box starts a new line.
    button->setAutoDefault(true);
    return button;
}

void MainWindow::buildControls(const MainLayout& layout) {
    m_txt1 = new toolkit::TextBox(client());
    m_txt1->setObjectName(QStringLiteral("txt1"));
    m_txt2 = new toolkit::TextBox(client());
    m_txt2->setObjectName(QStringLiteral("txt2"));
    m_prog1 = new toolkit::ProgressBar(client());
    m_prog1->setObjectName(QStringLiteral("prog1"));
    m_prog1->hide();

    QPushButton* cmd1 = addButton("cmd1", QStringLiteral("Cripta"));
    QPushButton* command1 = addButton("Command1", QStringLiteral("Decripta"));
    QPushButton* command2 = addButton("Command2", QStringLiteral("Esci"));
    QPushButton* command3 = addButton("Command3", QStringLiteral("<=="));
    QPushButton* command4a = addButton("Command4_0", QStringLiteral("Svuota "));
    QPushButton* command4b = addButton("Command4_1", QStringLiteral("Svuota "));
    if (layout.smallTransferFont) {
        command3->setFont(toolkit::namedFont(QStringLiteral("MS Sans Serif"), 9.6));
    }

    connect(cmd1, &QPushButton::clicked, this, toolkit::guarded([this] { cmd1_Click(0); }));
    connect(command1, &QPushButton::clicked, this, toolkit::guarded([this] { Command1_Click(); }));
    connect(command2, &QPushButton::clicked, this, toolkit::guarded([this] { Command2_Click(); }));
    connect(command3, &QPushButton::clicked, this, toolkit::guarded([this] { Command3_Click(); }));
    connect(command4a, &QPushButton::clicked, this,
            toolkit::guarded([this] { Command4_Click(0); }));
    connect(command4b, &QPushButton::clicked, this,
            toolkit::guarded([this] { Command4_Click(1); }));

    std::map<int, QWidget*> byTab;
    for (const ControlPlace& place : layout.controls) {
        auto* widget = client()->findChild<QWidget*>(QString::fromLatin1(place.name));
        widget->setGeometry(toolkit::twipsRect(place.left, place.top, place.width, place.height));
        describeForAccessibility(widget);
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
}

void MainWindow::Command4_Click(int index) {
    if (index == 0) {
        m_txt1->setText(QString());
    } else if (index == 1) {
        m_txt2->setText(QString());
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
