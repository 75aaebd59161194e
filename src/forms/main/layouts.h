#pragma once

#include <array>

namespace forms {

// The three layouts of the main window. Which ResolutionChoice names which is
// decided beside the chooser's options (forms/options/frmopzioni.h).
enum class Variant { frm640, frm800, frm1280 };

struct ControlPlace {
    const char* name;  // objectName of the control
    int left;          // twips, from the client area's top-left corner
    int top;
    int width;
    int height;
    int tabIndex;
};

struct MainLayout {
    const char* windowName;
    int clientWidth;  // twips
    int clientHeight;
    const char* background;  // resource path of the unscaled background picture
    std::array<ControlPlace, 9> controls;
    // Menu names and captions that differ between the variants.
    const char* fileMenu;
    const char* exitItem;
    const char* helpMenu;
    const char* helpCaption;
    const char* jokeItem;
    const char* infoCaption;
    const char* authorCaption;
    bool smallTransferFont;  // "<==" in MS Sans Serif 9.6 pt
};

const MainLayout& layoutOf(Variant variant);

}  // namespace forms
