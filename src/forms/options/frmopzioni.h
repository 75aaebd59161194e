#pragma once

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <array>

#include "toolkit/checkbox.h"
#include "toolkit/form.h"

namespace forms {

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

    QRadioButton* option(int index) const { return m_options.at(static_cast<std::size_t>(index)); }
    toolkit::CheckBox* check() const { return m_check; }

protected:
    void Form_Load() override;

private:
    std::array<QRadioButton*, 3> m_options{};
    toolkit::CheckBox* m_check = nullptr;
};

}  // namespace forms
