#pragma once

// The main window's controls, the same in every layout: name, caption, what
// a screen reader says of each, and what a push button runs. Where each
// control sits is up to the layout (layouts.cpp).

#include <array>

#include "forms/main/layouts.h"

namespace forms {

class MainWindow;

struct MainControl {
    enum class Kind { InputBox, OutputBox, ProgressBar, Button };

    const char* name;  // objectName
    Kind kind;
    Place Places::*place;  // where a layout puts it
    const char* caption;   // push buttons only
    const char* accessibleName;
    const char* description;
    void (*click)(MainWindow&);  // push buttons only
};

extern const std::array<MainControl, 9> kMainControls;

}  // namespace forms
