#pragma once

namespace forms {

// The three layouts of the main window. Which ResolutionChoice names which is
// decided beside the chooser's options (forms/options/frmopzioni.h).
enum class Variant { frm640, frm800, frm1280 };

// Where a control sits, in twips from the client area's top-left corner, and
// its place in the tab order (0 first).
struct Place {
    int left;
    int top;
    int width;
    int height;
    int tabIndex;
};

// A place for each of the main window's controls (MainWindow::kControls), by name.
struct Places {
    Place txt1;
    Place txt2;
    Place Command3;
    Place cmd1;
    Place Command4_0;
    Place Command1;
    Place Command4_1;
    Place prog1;
    Place Command2;
};

struct MainLayout {
    const char* windowName;
    int clientWidth;  // twips
    int clientHeight;
    const char* background;  // resource path of the unscaled background picture
    Places places;
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
