#pragma once

#include <QLabel>
#include <QPushButton>

#include <array>
#include <optional>

#include "forms/main/layouts.h"
#include "toolkit/checkbox.h"
#include "toolkit/form.h"
#include "toolkit/optionbutton.h"

namespace forms {

// The main-window layout that a ResolutionChoice number names: the chooser's
// option of that index (0 frm1280, 1 frm640, 2 frm800), and back.
std::optional<Variant> variantForChoice(long long choice);
int choiceFor(Variant variant);

// The layout the current ResolutionChoice names; throws toolkit::Error with
// the report for a damaged rex.dat when it names none.
Variant chosenVariant();

// The resolution chooser: picks the main window's layout and whether to ask
// again at the next start.
class frmOpzioni final : public toolkit::Form {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmOpzioni)

public:
    static inline const QString kName = QStringLiteral("frmOpzioni");

    frmOpzioni();

    static frmOpzioni* show();

    void Option1_Click(int index);
    void Check1_Click();
    void Command1_Click(int index);

    toolkit::OptionButton* option(int index) const {
        return m_options.at(static_cast<std::size_t>(index));
    }
    toolkit::CheckBox* check() const { return m_check; }

protected:
    void Form_Load() override;

private:
    // Writes a value the user chose; when the file cannot take it, a warning
    // over this window says so and the program goes on with the value.
    void store(const QString& file, long long value);

    std::array<toolkit::OptionButton*, 3> m_options{};
    toolkit::CheckBox* m_check = nullptr;
};

}  // namespace forms
