#include "forms/main/layouts.h"

namespace forms {
namespace {

constexpr MainLayout kFrm640 = {
    "frm640",
    6456,
    4884,
    ":/bg640.jpg",
    {{{"txt1", 360, 480, 2412, 3252, 0},
      {"txt2", 3600, 480, 2412, 3252, 1},
      {"Command3", 2880, 1560, 612, 852, 8},
      {"cmd1", 360, 3840, 852, 252, 6},
      {"Command4_0", 1920, 3840, 852, 252, 3},
      {"Command1", 3600, 3840, 852, 252, 2},
      {"Command4_1", 5160, 3840, 852, 252, 4},
      {"prog1", 360, 4320, 4092, 252, 5},
      {"Command2", 5160, 4320, 852, 252, 7}}},
    "mnuFile",
    "esci",
    "mnuAiuto",
    "&Aiuto?",
    "rrr",
    "&Info sul programma",
    "???????",
    false,
};

constexpr MainLayout kFrm800 = {
    "frm800",
    8976,
    6456,
    ":/bg800.jpg",
    {{{"txt1", 360, 600, 3492, 4452, 8},
      {"txt2", 5040, 600, 3492, 4452, 7},
      {"Command3", 4080, 2160, 732, 1092, 1},
      {"cmd1", 360, 5280, 1212, 372, 3},
      {"Command4_0", 2640, 5280, 1212, 372, 5},
      {"Command1", 5040, 5280, 1212, 372, 6},
      {"Command4_1", 7320, 5280, 1212, 372, 4},
      {"prog1", 360, 6000, 5892, 252, 0},
      {"Command2", 7320, 5880, 1212, 372, 2}}},
    "mnufile",
    "esci",
    "mnuaiuto",
    "&Aiuto?",
    "rid",
    "&Info programma",
    "???????????",
    false,
};

constexpr MainLayout kFrm1280 = {
    "frm1280",
    10824,
    8856,
    ":/bg1280.jpg",
    {{{"txt1", 240, 240, 4452, 6852, 0},
      {"txt2", 6000, 240, 4452, 6852, 1},
      {"Command3", 4920, 3000, 852, 1212, 8},
      {"cmd1", 240, 7440, 1572, 492, 2},
      {"Command4_0", 3120, 7440, 1572, 492, 5},
      {"Command1", 6000, 7440, 1572, 492, 3},
      {"Command4_1", 8880, 7440, 1572, 492, 6},
      {"prog1", 360, 8280, 6732, 252, 7},
      {"Command2", 8880, 8280, 1572, 492, 4}}},
    "mnufile",
    "mnuesci",
    "mnuAiuto",
    "&Aiuto",
    "rid",
    "&Info programma",
    "??????????????",
    true,
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
