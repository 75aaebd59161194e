#pragma once

#include <QPushButton>

#include "forms/main/layouts.h"
#include "toolkit/forms.h"
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

    // Shows the variant that a ResolutionChoice value names (0 frm1280,
    // 1 frm640, 2 frm800); returns false, showing nothing, for any other value.
    static bool showForChoice(long long choice);
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
    QPushButton* addButton(const char* name, const QString& caption);

    Variant m_variant;
    toolkit::TextBox* m_txt1 = nullptr;
    toolkit::TextBox* m_txt2 = nullptr;
    toolkit::ProgressBar* m_prog1 = nullptr;
};

}  // namespace forms
