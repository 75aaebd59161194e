#pragma once

#include <QLabel>
#include <QPushButton>

#include <cstdint>

#include "toolkit/form.h"

namespace forms {

// The About window: name, version, description, notice and contact, and a
// button that starts the system's information tool.
class frmAbout final : public toolkit::Form {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)

public:
    static inline const QString kName = QStringLiteral("frmAbout");

    frmAbout();

    static frmAbout* show();

    void cmdOK_Click();
    void cmdSysInfo_Click();

    // Starts the system-information tool found through the registry, or tells
    // the user that it is not available. Every error on the way ends in that
    // message, which belongs to owner (the About window when its button runs it).
    static void StartSysInfo(QWidget* owner = nullptr);

    // Reads a text or number value of the registry into value; false, with an
    // empty value, when the key or the value cannot be read. A value of zero
    // bytes throws.
    static bool GetKeyValue(std::uint32_t root, const QString& keyPath, const QString& valueName,
                            QString& value);

    // A label's caption exactly as set, before line breaks are made visible.
    static QString caption(const QLabel* label);

protected:
    void Form_Load() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_lblVersion = nullptr;
    QLabel* m_lblDisclaimer = nullptr;
    QPushButton* m_cmdOK = nullptr;
};

}  // namespace forms
