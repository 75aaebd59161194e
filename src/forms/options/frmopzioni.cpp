#include "forms/options/frmopzioni.h"

#include <QIcon>
#include <QSignalBlocker>

#include "forms/main/mainwindow.h"
#include "startup/preferences.h"
#include "toolkit/services.h"
#include "toolkit/twips.h"

namespace forms {
namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// The captions were laid out for a narrower dialog font than Linux desktops
// have: a caption that does not fit its fixed width is set condensed rather
// than cut off.
void fitCaption(QAbstractButton* button) {
    QFont font = button->font();
    for (int stretch = 95; button->sizeHint().width() > button->width() && stretch >= 60;
         stretch -= 5) {
        font.setStretch(stretch);
        button->setFont(font);
    }
}

}  // namespace

frmOpzioni::frmOpzioni() : toolkit::Form(QStringLiteral("frmOpzioni")) {
    setWindowTitle(QStringLiteral("Zelvano - Risoluzioni"));
    setWindowIcon(QIcon(QStringLiteral(":/options.ico")));
    QWidget* area = client();

    auto* label = new QLabel(QStringLiteral("Scegliere una delle risoluzioni:"), area);
    label->setObjectName(QStringLiteral("Label1"));
    QFont labelFont(QStringLiteral("MS Sans Serif"));
    labelFont.setPointSize(12);
    label->setFont(labelFont);
    label->setGeometry(toolkit::twipsRect(480, 360, 3852, 372));

    // From the top the buttons stand for the indexes 1, 2 and 0.
    const std::array<QString, 3> captions = {QStringLiteral("1280x1024 o maggiore"),
                                             QStringLiteral("640 x 480"),
                                             QStringLiteral("800 x 600 o 1024 x 768 ")};
    const std::array<int, 3> tops = {2160, 960, 1560};
    for (int index = 0; index < 3; ++index) {
        auto* button = new QRadioButton(captions[index], area);
        button->setObjectName(QStringLiteral("Option1_%1").arg(index));
        button->setGeometry(toolkit::twipsRect(480, tops[index], 1932, 372));
        connect(button, &QRadioButton::toggled, this, [this, index](bool on) {
            if (on) {
                toolkit::runGuarded([this, index] { Option1_Click(index); });
            }
        });
        m_options[index] = button;
    }

    m_check = new toolkit::CheckBox(QStringLiteral("Non mostrare al prossimo avvio"), area);
    m_check->setObjectName(QStringLiteral("Check1"));
    m_check->setGeometry(toolkit::twipsRect(480, 2760, 2532, 372));
    connect(m_check, &QCheckBox::stateChanged, this, toolkit::guarded([this] { Check1_Click(); }));

    QPushButton* ok = makeButton(area, "Command1_0", QStringLiteral("Ok"));
    ok->setGeometry(toolkit::twipsRect(3480, 1800, 1452, 492));
    connect(ok, &QPushButton::clicked, this, toolkit::guarded([this] { Command1_Click(0); }));
    QPushButton* cancel = makeButton(area, "Command1_1", QStringLiteral("Annulla"));
    cancel->setGeometry(toolkit::twipsRect(3480, 2520, 1452, 492));
    connect(cancel, &QPushButton::clicked, this, toolkit::guarded([this] { Command1_Click(1); }));

    label->setAccessibleName(label->text());
    for (QRadioButton* button : m_options) {
        button->setAccessibleName(QStringLiteral("Risoluzione %1").arg(button->text().trimmed()));
        button->setAccessibleDescription(
            QStringLiteral("Sceglie la disposizione della finestra principale"));
    }
    m_check->setAccessibleName(m_check->text());
    m_check->setAccessibleDescription(
        QStringLiteral("Se selezionata, al prossimo avvio Zelvano apre subito la finestra "
                       "principale"));
    ok->setAccessibleName(QStringLiteral("Ok"));
    ok->setAccessibleDescription(
        QStringLiteral("Memorizza la risoluzione scelta e apre la finestra principale"));
    cancel->setAccessibleName(QStringLiteral("Annulla"));
    cancel->setAccessibleDescription(
        QStringLiteral("Apre la finestra principale senza memorizzare la risoluzione"));

    setTabOrder({m_options[1], m_options[2], label, ok, cancel, m_check, m_options[0]});
    setClientSizeTwips(5076, 3300);
    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(m_options[0]), static_cast<QAbstractButton*>(m_options[1]),
          static_cast<QAbstractButton*>(m_options[2]), static_cast<QAbstractButton*>(m_check)}) {
        fitCaption(button);
    }
}

frmOpzioni* frmOpzioni::show() {
    return toolkit::show<frmOpzioni>(QStringLiteral("frmOpzioni"));
}

void frmOpzioni::Form_Load() {
    const int flag = startup::startupFlag();
    if (flag < 0 || flag > 2) {
        throw toolkit::Error(
            QStringLiteral("Il file delle preferenze «%1» contiene «%2», ma i valori ammessi sono "
                           "0, 1 e 2.\n%3")
                .arg(startup::kStartupFile)
                .arg(flag)
                .arg(startup::repairAdvice(startup::kStartupFile)));
    }
    // A value set from code raises the click handler when it changes, as a
    // click does; the handlers run directly so that their errors reach the caller.
    if (m_check->value() != flag) {
        const QSignalBlocker blocker(m_check);
        m_check->setValue(flag);
        Check1_Click();
    }

    const long long choice = startup::resolutionChoice().number();
    if (choice < 0 || choice > 2) {
        throw toolkit::Error(
            QStringLiteral("Il file delle preferenze «%1» contiene %2, ma le risoluzioni ammesse "
                           "sono 0, 1 e 2.\n%3")
                .arg(startup::kResolutionFile, startup::resolutionChoice().describe(),
                     startup::repairAdvice(startup::kResolutionFile)));
    }
    {
        const QSignalBlocker b0(m_options[0]);
        const QSignalBlocker b1(m_options[1]);
        const QSignalBlocker b2(m_options[2]);
        m_options[static_cast<std::size_t>(choice)]->setChecked(true);
    }
    Option1_Click(static_cast<int>(choice));
}

void frmOpzioni::Option1_Click(int index) {
    startup::resolutionChoice().setIndex(index);
}

void frmOpzioni::Check1_Click() {
    const int value = m_check->value();
    startup::writePreferenceFile(startup::kStartupFile, value);
    startup::setStartupFlag(static_cast<std::int16_t>(value));
}

void frmOpzioni::Command1_Click(int index) {
    if (index == 0) {
        startup::writePreferenceFile(startup::kResolutionFile,
                                     startup::resolutionChoice().number());
    }
    if (MainWindow::showForChoice(startup::resolutionChoice().number())) {
        toolkit::unload(this);
    }
}

}  // namespace forms
