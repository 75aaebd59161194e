#pragma once

// A map for newcomers: the path of one text through the program.
//
// app/main.cpp hands start-up (startup/modulo1.cpp) to the window registry
// (toolkit/lifecycle.h), which decides how long the program runs and with
// which exit status. Start-up reads the preference files
// (startup/preferences.h: reading rule, the "damaged file" messages, and
// variantForChoice, where a choice becomes a layout) and shows the chooser
// (forms/options/) or this window in the layout of forms/main/layouts.cpp.
//
// The user types into txt1, a toolkit::TextBox (toolkit/textbox.h), which
// keeps the program's exact text beside what its document shows; the
// mapping between the two is in toolkit/textbox_codec.h. "Cripta" runs
// cmd1_Click -> runCipher: txt1's text goes through cipher::EncryptInto
// (cipher/cipher.h, standard library only), which writes the result straight
// into the QString that txt2 gets through TextBox::setText; the text box
// converts it for its document (control pictures, soft line breaks) and
// prog1 (toolkit/progressbar.h) shows how far the command got. Message boxes
// go through toolkit/messagebox.h; a handler error that no one traps reaches
// the guard of toolkit/lifecycle.h, which shows the error report and ends
// the program.

#include <QPushButton>

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
    explicit MainWindow(Variant variant);

    Variant variant() const { return m_variant; }

    static MainWindow* show(Variant variant);

    toolkit::TextBox* txt1() const { return m_txt1; }
    toolkit::TextBox* txt2() const { return m_txt2; }
    toolkit::ProgressBar* prog1() const { return m_prog1; }

    void cmd1_Click(int index);  // encrypt
    void Command1_Click();       // decrypt
    void Command2_Click();       // "Esci"
    void Command3_Click();       // transfer "<=="
    void Command4_Click(int index);
    void esci_Click();
    void mnuesci_Click() { esci_Click(); }
    void risoluzione_Click();
    void info_Click();
    void io_Click();
    void rrr_Click();
    void rid_Click() { rrr_Click(); }

protected:
    void Form_Load() override;

private:
    void buildControls(const MainLayout& layout);
    void buildMenus(const MainLayout& layout);
    void runCipher(bool encrypt);
    // A warning box with the title "Errore!!" over this window.
    void warn(const QString& text);
    QPushButton* addButton(const char* name, const QString& caption);

    Variant m_variant;
    toolkit::TextBox* m_txt1 = nullptr;
    toolkit::TextBox* m_txt2 = nullptr;
    toolkit::ProgressBar* m_prog1 = nullptr;
};

}  // namespace forms
