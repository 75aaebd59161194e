#include "forms/options/frmopzioni.h"

#include <QIcon>
#include <QSignalBlocker>

#include <algorithm>
#include <numeric>

#include "forms/main/mainwindow.h"
#include "forms/prefmessages.h"
#include "forms/texts.h"
#include "prefs/preferences.h"
#include "toolkit/accessible.h"
#include "toolkit/appearance.h"
#include "toolkit/lifecycle.h"
#include "toolkit/messagebox.h"
#include "toolkit/twips.h"

namespace forms {
namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter presses the button that has the focus, as Space does.
    button->setAutoDefault(true);
    return button;
}

// The option buttons; the index of each is the ResolutionChoice it sets.
struct OptionButton {
    Variant variant;
    const char* caption;
    int top;  // twips
};
constexpr std::array<OptionButton, 3> kOptionButtons = {{
    {Variant::frm1280, "1280x1024 o maggiore", 2160},
    {Variant::frm640, "640 x 480", 960},
    {Variant::frm800, "800 x 600 o 1024 x 768 ", 1560},
}};

// The check box value that StartupFlag holds (0 clear, 1 ticked, 2 dimmed);
// any other value is reported as a damaged frmstart.dat.
int checkBoxValue() {
    const int flag = prefs::startupFlag();
    if (flag < 0 || flag > 2) {
        throw toolkit::Error(damagedFileMessage(prefs::kStartupFile, QByteArray::number(flag),
                                                prefs::FileError::Problem::NotACheckValue));
    }
    return flag;
}

}  // namespace

std::optional<Variant> variantForChoice(long long choice) {
    if (choice < 0 || choice >= static_cast<long long>(kOptionButtons.size())) {
        return std::nullopt;
    }
    return kOptionButtons[static_cast<std::size_t>(choice)].variant;
}

int choiceFor(Variant variant) {
    const auto* option =
        std::find_if(kOptionButtons.begin(), kOptionButtons.end(),
                     [variant](const OptionButton& o) { return o.variant == variant; });
    return static_cast<int>(option - kOptionButtons.begin());
}

Variant chosenVariant() {
    const prefs::ResolutionChoice& choice = prefs::resolutionChoice();
    const std::optional<long long> number = choice.number();
    const std::optional<Variant> variant = number ? variantForChoice(*number) : std::nullopt;
    if (!variant) {
        using Problem = prefs::FileError::Problem;
        throw toolkit::Error(
            damagedFileMessage(prefs::kResolutionFile, choice.content(),
                               number ? Problem::NotAChoice : Problem::NotANumber));
    }
    return *variant;
}

frmOpzioni::frmOpzioni() : toolkit::Form(kName) {
    setWindowTitle(QStringLiteral("Zelvano - Risoluzioni"));
    setWindowIcon(QIcon(QStringLiteral(":/options.ico")));
    QWidget* area = client();

    auto* label = new QLabel(QStringLiteral("Scegliere una delle risoluzioni:"), area);
    label->setObjectName(QStringLiteral("Label1"));
    label->setFont(toolkit::namedFont(QStringLiteral("MS Sans Serif"), 12));
    label->setGeometry(toolkit::twipsRect(480, 360, 3852, 372));

    // The three buttons sit in one group that screen readers announce with
    // the label above it; on screen the group has no look of its own.
    const auto [highest, lowest] = std::minmax_element(
        kOptionButtons.begin(), kOptionButtons.end(),
        [](const OptionButton& a, const OptionButton& b) { return a.top < b.top; });
    const int groupTop = highest->top;
    auto* group = new QWidget(area);
    group->setObjectName(QStringLiteral("Option1"));
    group->setGeometry(toolkit::twipsRect(480, groupTop, 1932, lowest->top + 372 - groupTop));
    toolkit::setAccessibleRole(group, QAccessible::Grouping);
    group->setAccessibleName(label->text());
    label->setBuddy(group);
    // Made from the top down, so that a screen reader counts them in the order
    // they stand on screen ("640 x 480" is the first of three); each keeps the
    // index of its choice.
    std::array<int, kOptionButtons.size()> fromTop{};
    std::iota(fromTop.begin(), fromTop.end(), 0);
    std::sort(fromTop.begin(), fromTop.end(),
              [](int a, int b) { return kOptionButtons.at(a).top < kOptionButtons.at(b).top; });
    for (const int index : fromTop) {
        const OptionButton& place = kOptionButtons.at(static_cast<std::size_t>(index));
        auto* button = new toolkit::OptionButton(QString::fromUtf8(place.caption), group);
        button->setObjectName(QStringLiteral("Option1_%1").arg(index));
        button->setGeometry(toolkit::twipsRect(0, place.top - groupTop, 1932, 372));
        connect(button, &toolkit::OptionButton::toggled, this, [this, index](bool on) {
            if (on) {
                toolkit::runGuarded([this, index] { Option1_Click(index); });
            }
        });
        m_options.at(static_cast<std::size_t>(index)) = button;
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
    // The option buttons are named by their captions.
    for (toolkit::OptionButton* button : m_options) {
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
}

frmOpzioni* frmOpzioni::show() {
    return toolkit::show<frmOpzioni>();
}

void frmOpzioni::Form_Load() {
    const int flag = checkBoxValue();
    // A value set from code raises the click handler when it changes, as a
    // click does; the handlers run directly so that their errors reach the caller.
    if (m_check->value() != flag) {
        const QSignalBlocker blocker(m_check);
        m_check->setValue(flag);
        Check1_Click();
    }

    const int choice = choiceFor(chosenVariant());
    {
        const QSignalBlocker b0(m_options[0]);
        const QSignalBlocker b1(m_options[1]);
        const QSignalBlocker b2(m_options[2]);
        m_options[static_cast<std::size_t>(choice)]->setChecked(true);
    }
    Option1_Click(choice);
    // The focus starts on the selected option, so that Space keeps the choice
    // and a screen reader announces the option that is in force.
    m_options[static_cast<std::size_t>(choice)]->setFocus(Qt::OtherFocusReason);
}

void frmOpzioni::Option1_Click(int index) {
    prefs::resolutionChoice().setIndex(index);
}

void frmOpzioni::Check1_Click() {
    const int value = m_check->value();
    store(prefs::kStartupFile, value);
    prefs::setStartupFlag(static_cast<std::int16_t>(value));
}

void frmOpzioni::Command1_Click(int index) {
    const Variant variant = chosenVariant();
    if (index == 0) {
        store(prefs::kResolutionFile, choiceFor(variant));
    }
    MainWindow::show(variant);
    toolkit::unload(this);
}

void frmOpzioni::store(const QString& file, long long value) {
    if (const std::optional<prefs::WriteFailure> failure =
            prefs::writePreferenceFile(file, value)) {
        toolkit::msgBox(cannotStoreMessage(*failure), toolkit::MsgStyle::Warning, kErrorTitle,
                        this);
    }
}

}  // namespace forms
