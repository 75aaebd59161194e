#include "forms/main/layouts.h"

namespace forms {
namespace {

constexpr MainLayout kFrm640 = {
    .windowName = "frm640",
    .clientWidth = 6456,
    .clientHeight = 4884,
    .background = ":/bg640.jpg",
    .places =
        {
            .txt1 = {.left = 360, .top = 480, .width = 2412, .height = 3252, .tabIndex = 0},
            .txt2 = {.left = 3600, .top = 480, .width = 2412, .height = 3252, .tabIndex = 1},
            .Command3 = {.left = 2880, .top = 1560, .width = 612, .height = 852, .tabIndex = 8},
            .cmd1 = {.left = 360, .top = 3840, .width = 852, .height = 252, .tabIndex = 6},
            .Command4_0 = {.left = 1920, .top = 3840, .width = 852, .height = 252, .tabIndex = 3},
            .Command1 = {.left = 3600, .top = 3840, .width = 852, .height = 252, .tabIndex = 2},
            .Command4_1 = {.left = 5160, .top = 3840, .width = 852, .height = 252, .tabIndex = 4},
            .prog1 = {.left = 360, .top = 4320, .width = 4092, .height = 252, .tabIndex = 5},
            .Command2 = {.left = 5160, .top = 4320, .width = 852, .height = 252, .tabIndex = 7},
        },
    .fileMenu = "mnuFile",
    .exitItem = "esci",
    .helpMenu = "mnuAiuto",
    .helpCaption = "&Aiuto?",
    .jokeItem = "rrr",
    .infoCaption = "&Info sul programma",
    .authorCaption = "???????",
    .smallTransferFont = false,
};

constexpr MainLayout kFrm800 = {
    .windowName = "frm800",
    .clientWidth = 8976,
    .clientHeight = 6456,
    .background = ":/bg800.jpg",
    .places =
        {
            .txt1 = {.left = 360, .top = 600, .width = 3492, .height = 4452, .tabIndex = 8},
            .txt2 = {.left = 5040, .top = 600, .width = 3492, .height = 4452, .tabIndex = 7},
            .Command3 = {.left = 4080, .top = 2160, .width = 732, .height = 1092, .tabIndex = 1},
            .cmd1 = {.left = 360, .top = 5280, .width = 1212, .height = 372, .tabIndex = 3},
            .Command4_0 = {.left = 2640, .top = 5280, .width = 1212, .height = 372, .tabIndex = 5},
            .Command1 = {.left = 5040, .top = 5280, .width = 1212, .height = 372, .tabIndex = 6},
            .Command4_1 = {.left = 7320, .top = 5280, .width = 1212, .height = 372, .tabIndex = 4},
            .prog1 = {.left = 360, .top = 6000, .width = 5892, .height = 252, .tabIndex = 0},
            .Command2 = {.left = 7320, .top = 5880, .width = 1212, .height = 372, .tabIndex = 2},
        },
    .fileMenu = "mnufile",
    .exitItem = "esci",
    .helpMenu = "mnuaiuto",
    .helpCaption = "&Aiuto?",
    .jokeItem = "rid",
    .infoCaption = "&Info programma",
    .authorCaption = "???????????",
    .smallTransferFont = false,
};

constexpr MainLayout kFrm1280 = {
    .windowName = "frm1280",
    .clientWidth = 10824,
    .clientHeight = 8856,
    .background = ":/bg1280.jpg",
    .places =
        {
            .txt1 = {.left = 240, .top = 240, .width = 4452, .height = 6852, .tabIndex = 0},
            .txt2 = {.left = 6000, .top = 240, .width = 4452, .height = 6852, .tabIndex = 1},
            .Command3 = {.left = 4920, .top = 3000, .width = 852, .height = 1212, .tabIndex = 8},
            .cmd1 = {.left = 240, .top = 7440, .width = 1572, .height = 492, .tabIndex = 2},
            .Command4_0 = {.left = 3120, .top = 7440, .width = 1572, .height = 492, .tabIndex = 5},
            .Command1 = {.left = 6000, .top = 7440, .width = 1572, .height = 492, .tabIndex = 3},
            .Command4_1 = {.left = 8880, .top = 7440, .width = 1572, .height = 492, .tabIndex = 6},
            .prog1 = {.left = 360, .top = 8280, .width = 6732, .height = 252, .tabIndex = 7},
            .Command2 = {.left = 8880, .top = 8280, .width = 1572, .height = 492, .tabIndex = 4},
        },
    .fileMenu = "mnufile",
    .exitItem = "mnuesci",
    .helpMenu = "mnuAiuto",
    .helpCaption = "&Aiuto",
    .jokeItem = "rid",
    .infoCaption = "&Info programma",
    .authorCaption = "??????????????",
    .smallTransferFont = true,
};

}  // namespace

const MainLayout& layoutOf(Variant variant) {
    switch (variant) {
        case Variant::frm1280:
            return kFrm1280;
        case Variant::frm800:
            return kFrm800;
        case Variant::frm640:
            break;
    }
    return kFrm640;
}

}  // namespace forms
