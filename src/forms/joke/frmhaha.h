#pragma once

#include "toolkit/form.h"
#include "toolkit/outlinedlabel.h"

namespace forms {

// The joke help window: a mocking answer to the request for help.
class FRMHAHA final : public toolkit::Form {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FRMHAHA)

public:
    static inline const QString kName = QStringLiteral("FRMHAHA");

    FRMHAHA();

    static FRMHAHA* show();

    toolkit::OutlinedLabel* label1() const { return m_label1; }

protected:
    void Form_Load() override;

private:
    toolkit::OutlinedLabel* m_label1;
};

}  // namespace forms
