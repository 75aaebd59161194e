#include "forms/about/frmabout.h"

#include <QIcon>
#include <QKeyEvent>

#include <vector>

#include "codepage/codepage.h"
#include "forms/texts.h"
#include "toolkit/accessible.h"
#include "toolkit/appearance.h"
#include "toolkit/launcher.h"
#include "toolkit/lifecycle.h"
#include "toolkit/messagebox.h"
#include "toolkit/registry.h"
#include "toolkit/twips.h"

namespace forms {
namespace {

namespace reg = toolkit::registry;

// Read control together with query, set, create sub-key, enumerate, notify
// and create link: the rights the lookups ask for when they open a key.
constexpr reg::Dword kKeyAccess = 0x2003F;
constexpr reg::Dword kBufferSize = 1024;

const QString kToolKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kToolValue = QStringLiteral("PATH");
const QString kToolFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kToolFolderValue = QStringLiteral("MSINFO");
const QString kToolFile = QStringLiteral("\\MSINFO32.EXE");
const QString kNotAvailable =
    QStringLiteral("Le informazioni sul sistema non sono disponibili in questa fase");

const char* const kCaptionProperty = "caption";

// The light grey of a classic dialog.
const QColor kFace(240, 240, 240);

// Closes the key however the lookup ends; closing handle 0 after a failed
// open does nothing.
class KeyCloser {
public:
    explicit KeyCloser(const reg::Key& key) : m_key(key) {}
    ~KeyCloser() { toolkit::RegCloseKey(m_key); }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

private:
    const reg::Key& m_key;
};

// "&h" and hexadecimal digits, formatted as the number they stand for; a
// text that names no number stays as it is.
QString formatHex(const QString& digits) {
    bool ok = false;
    const qulonglong number = digits.toULongLong(&ok, 16);
    return ok ? QString::number(number) : QStringLiteral("&h") + digits;
}

void setCaption(QLabel* label, const QString& caption) {
    label->setProperty(kCaptionProperty, caption);
    // A label breaks lines only at a line feed; a carriage return, alone or
    // before a line feed, starts a new line too.
    QString shown = caption;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    label->setText(shown);
}

QLabel* makeLabel(QWidget* parent, const char* name, QRect geometry, bool black, bool wrap) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(wrap);
    label->setGeometry(geometry);
    if (black) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    }
    setCaption(label, QString());
    return label;
}

// One of the two lines of the etched separator.
QWidget* makeLine(QWidget* parent, const char* name, QRect geometry, QColor colour) {
    auto* line = new QWidget(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(geometry);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    return line;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

}  // namespace

frmAbout::frmAbout() : toolkit::Form(kName) {
    // A fixed dialog with the close box only, kept out of the taskbar.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // The labels were laid out for the wider MS Sans Serif at 8 points: in
    // its stand-in the notice and its contact line fit their label and the
    // description breaks before its second sentence, which in the narrow
    // dialog font would follow on the first line.
    setFont(toolkit::namedFont(QStringLiteral("MS Sans Serif"), 8));
    const QIcon icon(QStringLiteral(":/zelvano.ico"));
    setWindowIcon(icon);
    toolkit::ClientArea* area = client();
    // Three labels have black text whatever the desktop's colours, so the
    // window has the light face that black text reads on, and the version
    // label's default text colour is the black that goes with it.
    area->setColour(kFace);
    QPalette palette = area->palette();
    palette.setColor(QPalette::Window, kFace);
    palette.setColor(QPalette::WindowText, Qt::black);
    area->setPalette(palette);
    using toolkit::twipsRect;

    auto* picIcon = new QLabel(area);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(twipsRect(240, 240, 432, 432));
    const QPixmap picture = icon.pixmap(QSize(32, 32));
    if (!picture.isNull()) {
        // The picture box takes the size of its picture.
        picIcon->setPixmap(picture);
        picIcon->resize(picture.deviceIndependentSize().toSize());
    }

    auto* lblTitle = makeLabel(area, "lblTitle", twipsRect(1050, 240, 3885, 480), true, false);
    setCaption(lblTitle, QStringLiteral("ZELVANO"));
    m_lblVersion = makeLabel(area, "lblVersion", twipsRect(1050, 780, 3885, 225), false, false);
    auto* lblDescription =
        makeLabel(area, "lblDescription", twipsRect(1050, 1125, 3885, 1170), true, true);
    // The run of blanks pushes the second sentence onto a line of its own.
    setCaption(lblDescription,
               QStringLiteral("E' troppo bello. Cercate di non usarlo troppo.") +
                   QString(19, QLatin1Char(' ')) +
                   QStringLiteral("L'autore non risponde nel caso di formattazioni improvvise "
                                  "dell'HD o di infezioni di virus bastardi dentro."));

    // A grey line with a white one below it looks cut into the window; to a
    // screen reader the two are one separator.
    auto* etched = new QWidget(area);
    etched->setObjectName(QStringLiteral("Line1"));
    etched->setGeometry(6, 163, 372, 3);
    toolkit::setAccessibleRole(etched, QAccessible::Separator);
    makeLine(etched, "Line1_1", QRect(0, 0, 372, 1), QColor(128, 128, 128));
    makeLine(etched, "Line1_0", QRect(1, 1, 371, 2), QColor(255, 255, 255));

    m_lblDisclaimer = makeLabel(area, "lblDisclaimer", twipsRect(252, 2640, 3876, 828), true, true);

    m_cmdOK = makeButton(area, "cmdOK", QStringLiteral("OK"), twipsRect(4245, 2625, 1260, 345));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, toolkit::guarded([this] { cmdOK_Click(); }));
    auto* cmdSysInfo = makeButton(area, "cmdSysInfo", QStringLiteral("&System Info..."),
                                  twipsRect(4260, 3075, 1245, 345));
    // Enter on a focused button presses that button.
    cmdSysInfo->setAutoDefault(true);
    connect(cmdSysInfo, &QPushButton::clicked, this,
            toolkit::guarded([this] { cmdSysInfo_Click(); }));
    m_cmdOK->setAccessibleName(QStringLiteral("OK"));
    m_cmdOK->setAccessibleDescription(QStringLiteral("Chiude la finestra delle informazioni"));
    // The name is the caption, so that the words on screen work for voice control.
    cmdSysInfo->setAccessibleName(QStringLiteral("System Info..."));
    cmdSysInfo->setAccessibleDescription(
        QStringLiteral("Informazioni sul sistema: avvia il programma che le mostra"));
    picIcon->setAccessibleName(QStringLiteral("Icona di Zelvano"));

    // A dialog, so that a screen reader reads its texts when it opens.
    toolkit::setAccessibleRole(this, QAccessible::Dialog);
    setTabOrder(
        {m_cmdOK, picIcon, cmdSysInfo, lblDescription, m_lblDisclaimer, lblTitle, m_lblVersion});
    setClientSizeTwips(5736, 3564);
}

frmAbout* frmAbout::show() {
    return toolkit::show<frmAbout>();
}

QString frmAbout::caption(const QLabel* label) {
    return label->property(kCaptionProperty).toString();
}

void frmAbout::Form_Load() {
    centreOnScreen();
    setWindowTitle(QStringLiteral("Informazioni su Zelvano "));
    setCaption(m_lblVersion, QStringLiteral("Versione ") + kVersion);
    // A screen reader reads a dialog's texts of three words or more.
    m_lblVersion->setAccessibleName(m_lblVersion->text() + QStringLiteral(" di Zelvano"));
    setCaption(m_lblDisclaimer,
               QStringLiteral("Avviso: ... Se proprio volete potete mandarmi qualche milioncino "
                              "per ringraziarmi di aver creato un programma tanto bello, ok?") +
                   QLatin1Char('\r') + QStringLiteral("E-mail: ") + kAuthorContact);
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    // cmdOK is both the default and the cancel button. A focused button has
    // already taken its own Enter before the key gets here.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            m_cmdOK->click();
            event->accept();
            break;
        default:
            toolkit::Form::keyPressEvent(event);
    }
}

void frmAbout::cmdOK_Click() {
    toolkit::unload(this);
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo(this);
}

void frmAbout::StartSysInfo(QWidget* owner) {
    try {
        QString path;
        if (!GetKeyValue(reg::kLocalMachine, kToolKey, kToolValue, path)) {
            if (!GetKeyValue(reg::kLocalMachine, kToolFolderKey, kToolFolderValue, path)) {
                toolkit::msgBox(kNotAvailable, toolkit::MsgStyle::Plain, std::nullopt, owner);
                return;
            }
            // Appended as it is: a folder that ends in a backslash gets a second one.
            if (toolkit::launcher().findFile(path + kToolFile).isEmpty()) {
                toolkit::msgBox(kNotAvailable, toolkit::MsgStyle::Plain, std::nullopt, owner);
                return;
            }
            path += kToolFile;
        }
        // A path read from the first place is started without looking for it first.
        toolkit::launcher().start(path);
        return;
    } catch (...) {
        // Whatever went wrong, the user gets the one message below.
    }
    toolkit::msgBox(kNotAvailable, toolkit::MsgStyle::Plain, std::nullopt, owner);
}

bool frmAbout::GetKeyValue(std::uint32_t root, const QString& keyPath, const QString& valueName,
                           QString& value) {
    reg::Key key = 0;
    const KeyCloser closer(key);
    if (toolkit::RegOpenKeyExA(root, codepage::toSingleByte(keyPath).constData(), 0, kKeyAccess,
                               &key) != reg::kSuccess) {
        value = QString();
        return false;
    }
    QByteArray buffer(kBufferSize, '\0');
    reg::Dword size = kBufferSize;
    reg::Dword type = 0;
    if (toolkit::RegQueryValueExA(key, codepage::toSingleByte(valueName).constData(), nullptr,
                                  &type, reinterpret_cast<unsigned char*>(buffer.data()),
                                  &size) != reg::kSuccess) {
        value = QString();
        return false;
    }
    if (size == 0 || size > kBufferSize) {
        // The last byte of the data is looked at whatever the type; there is none.
        throw toolkit::Error(
            QStringLiteral("Il valore «%1» della chiave di registro «%2» ha %3 byte di dati.")
                .arg(valueName, keyPath)
                .arg(size));
    }
    // Text is normally stored with a terminating zero byte, which is dropped.
    const QByteArray data = buffer.left(buffer.at(size - 1) == '\0' ? size - 1 : size);
    if (type == reg::kTypeText) {
        value = codepage::fromSingleByte(data);
    } else if (type == reg::kTypeNumber) {
        // Bytes from the last kept to the first, each without leading zeros.
        QString digits;
        for (qsizetype i = data.size() - 1; i >= 0; --i) {
            digits += QString::number(static_cast<unsigned char>(data.at(i)), 16).toUpper();
        }
        value = formatHex(digits);
    }
    return true;
}

}  // namespace forms
