#pragma once

// A map for newcomers: the layers, then the path of one text through them.
//
// Each folder of src/ is a library that sees only the layers below it:
// cipher/ (the per-character cipher, standard library only); codepage/
// (Windows-1252 for Qt strings) and fileio/ (safe file writes); prefs/ (the
// two preference files, with typed errors and no words); toolkit/ (what the
// windows need of Qt); forms/ (the windows, and their Italian sentences about
// the preference files, forms/prefmessages.h); app/ (main() and the start-up
// routine, the one place that knows every window). cli/ is the
// command-line filter, on cipher, codepage and fileio only.
//
// app/main.cpp hands start-up (app/modulo1.cpp) to the window registry
// (toolkit/lifecycle.h), which decides how long the program runs and with
// which exit status. Start-up reads the preference files
// (prefs/preferences.h) and shows the chooser (forms/options/, where a
// choice becomes a layout) or this window in the layout of
// forms/main/layouts.cpp, with the controls of MainWindow::kControls.
//
// The user types into txt1, a toolkit::TextBox (toolkit/textbox.h), which
// keeps the program's exact text beside what its document shows; the
// mapping between the two is in toolkit/textbox_codec.h. "Cripta" runs
// cmd1_Click -> runCipher: txt1's text goes through cipher::EncryptInto
// (cipher/cipher.h), which writes the result straight into the QString that
// txt2 gets through TextBox::setText; the text box converts it for its
// document (control pictures, soft line breaks) and prog1
// (toolkit/progressbar.h) shows how far the command got. Message boxes go
// through toolkit/messagebox.h; a handler error that no one traps reaches
// the guard of toolkit/lifecycle.h, which shows the error report and ends
// the program.

#include <array>

#include "forms/main/layouts.h"
#include "toolkit/form.h"
#include "toolkit/progressbar.h"
#include "toolkit/textbox.h"

namespace forms {

// The main window, in the layout of one of its three variants. The handlers
// are the same in all of them and act on the variant's own controls.
class MainWindow final : public toolkit::Form {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    // The controls, the same in every layout: name, caption, what a screen
    // reader says of each, and what a push button runs. Where each control
    // sits is up to the layout (layouts.cpp).
    struct Control {
        enum class Kind { InputBox, OutputBox, ProgressBar, Button };

        const char* name;  // objectName
        Kind kind;
        Place Places::*place;  // where a layout puts it
        const char* caption;   // push buttons only
        const char* accessibleName;
        const char* description;
        void (*click)(MainWindow&);  // push buttons only
    };
    static const std::array<Control, 9> kControls;

    explicit MainWindow(Variant variant);

    Variant variant() const { return m_variant; }

    static MainWindow* show(Variant variant);

    toolkit::TextBox* txt1() const { return m_txt1; }
    toolkit::TextBox* txt2() const { return m_txt2; }
    toolkit::ProgressBar* prog1() const { return m_prog1; }

    void cmd1_Click(int index);      // "Cripta": encrypts txt1 into txt2
    void Command1_Click();           // "Decripta": decrypts txt1 into txt2
    void Command2_Click();           // "Esci": ends the program at once
    void Command3_Click();           // "<==": moves txt2's text into txt1
    void Command4_Click(int index);  // "Svuota ": empties txt1 (0) or txt2 (1)
    void esci_Click();               // menu "&Esci", as "Esci"
    void mnuesci_Click() { esci_Click(); }
    void risoluzione_Click();  // menu "&Risoluzione": back to the chooser
    void info_Click();         // the About window
    void io_Click();           // the author window
    void rrr_Click();          // the joke window
    void rid_Click() { rrr_Click(); }

protected:
    void Form_Load() override;

private:
    void buildControls(const MainLayout& layout);
    QWidget* makeControl(const Control& control, const MainLayout& layout);
    void buildMenus(const MainLayout& layout);
    void runCipher(bool encrypt);
    // A warning box with the title "Errore!!" over this window.
    void warn(const QString& text);

    Variant m_variant;
    toolkit::TextBox* m_txt1 = nullptr;
    toolkit::TextBox* m_txt2 = nullptr;
    toolkit::ProgressBar* m_prog1 = nullptr;
};

}  // namespace forms
