// The keypad window as designed: controls in creation order, the menu tree,
// the receive timer. Keypad hints are RC-5 command numbers, Device hints RC-5
// system addresses: the handlers read them, never the captions.

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "core/ReceivedText.h"
#include "toolkit/FormDesign.h"

namespace {

using F = TForm1;
constexpr auto kClick = &F::DoButtonClick;
constexpr unsigned kDisplayField = csReadOnly | csButtonFaceColor;

// One row per control, in aligned columns (kept as laid out).
// clang-format off
const TControlDesign<F> kControls[] = {
    // field         name        left top  w    h   caption hint  tab onClick
    {&F::Label2,   "Label2",    10, 336,   7, 13, "C"},
    {&F::Label3,   "Label3",    42, 336,   8, 13, "H"},
    {&F::Label4,   "Label4",    74, 336,   6, 13, "F"},
    {&F::Label1,   "Label1",   106, 336,   6, 13, "F"},
    {&F::BitBtn1,  "BitBtn1",   18,  40,  25, 25, "1",   "1",   0, kClick},
    {&F::BitBtn2,  "BitBtn2",   50,  40,  25, 25, "2",   "2",   1, kClick},
    {&F::BitBtn3,  "BitBtn3",   82,  40,  25, 25, "3",   "3",   2, kClick},
    {&F::BitBtn4,  "BitBtn4",   18,  72,  25, 25, "4",   "4",   3, kClick},
    {&F::BitBtn5,  "BitBtn5",   50,  72,  25, 25, "5",   "5",   4, kClick},
    {&F::BitBtn6,  "BitBtn6",   82,  72,  25, 25, "6",   "6",   5, kClick},
    {&F::BitBtn7,  "BitBtn7",   18, 104,  25, 25, "7",   "7",   6, kClick},
    {&F::BitBtn8,  "BitBtn8",   50, 104,  25, 25, "8",   "8",   7, kClick},
    {&F::BitBtn9,  "BitBtn9",   82, 104,  25, 25, "9",   "9",   8, kClick},
    {&F::BitBtn10, "BitBtn10",  18, 136,  25, 25, "AB",  "-1",  9, kClick},
    {&F::BitBtn11, "BitBtn11",  50, 136,  25, 25, "0",   "0",  10, kClick},
    {&F::BitBtn12, "BitBtn12",  82, 136,  25, 25, "ret", "-1", 11, kClick},
    {&F::BitBtn13, "BitBtn13",  50, 168,  25, 25, "^",   "33", 12, kClick},
    {&F::BitBtn14, "BitBtn14",  18, 200,  25, 25, "<",   "17", 13, kClick},
    {&F::BitBtn15, "BitBtn15",  82, 200,  25, 25, ">",   "16", 14, kClick},
    {&F::BitBtn16, "BitBtn16",  50, 232,  25, 25, "v",   "32", 15, kClick},
    {&F::BitBtn17, "BitBtn17",   2, 272,  25, 25, "<<",  "50", 16, kClick},
    {&F::BitBtn18, "BitBtn18",  66, 272,  25, 25, ">",   "53", 17, kClick},
    {&F::BitBtn19, "BitBtn19",  98, 272,  25, 25, ">>",  "52", 18, kClick},
    {&F::BitBtn20, "BitBtn20",  34, 272,  25, 25, "||",  "48", 19, kClick},
    {&F::BitBtn21, "BitBtn21",  34, 304,  25, 25, "[]",  "54", 20, kClick},
    {&F::BitBtn22, "BitBtn22",  66, 304,  25, 25, "o",   "55", 21, kClick},
    {&F::BitBtn23, "BitBtn23",  50, 200,  25, 25, "OK",  "-1", 22, kClick},
    {&F::BitBtn24, "BitBtn24",   2, 352,  25, 25, "+",   "-1", 23, kClick},
    {&F::BitBtn25, "BitBtn25",  34, 352,  25, 25, "+",   "-1", 24, kClick},
    {&F::BitBtn26, "BitBtn26",  66, 352,  25, 25, "+",   "-1", 25, kClick},
    {&F::BitBtn27, "BitBtn27",   2, 384,  25, 25, "-",   "-1", 26, kClick},
    {&F::BitBtn28, "BitBtn28",  34, 384,  25, 25, "-",   "-1", 27, kClick},
    {&F::BitBtn29, "BitBtn29",  66, 384,  25, 25, "-",   "-1", 28, kClick},
    {&F::EditTx,   "EditTx",    18,   8,  41, 21, "-",   "",   29, nullptr, TAlign::None, kDisplayField},
    {&F::EditRx,   "EditRx",    66,   8,  41, 21, "-",   "",   30, nullptr, TAlign::None, kDisplayField},
    // Place 31 of the focus cycle; a status bar takes no focus.
    {&F::StatusBar, "StatusBar", 0, 419, 125, 19, "",    "",   -1, nullptr, TAlign::Bottom},
    {&F::BitBtn30, "BitBtn30",  98, 352,  25, 25, "+",   "-1", 32, kClick},
    {&F::BitBtn31, "BitBtn31",  98, 384,  25, 25, "-",   "-1", 33, kClick},
};
// clang-format on

constexpr auto kDevice = &F::DeviceMenuClick;
constexpr int kDeviceGroup = 1;

// One row per menu entry, in aligned columns (kept as laid out).
// clang-format off
const TMenuDesign<F> kMenu[] = {
    // field                    name                   level caption         checked radio group hint onClick
    {&F::MenuFile,            "MenuFile",            0, "File"},
    {&F::ActivateBootloader1, "ActivateBootloader1", 1, "Activate Bootloader", false, false, 0, "", &F::ActivateBootloader1Click},
    {&F::MenuDebugWindow,     "MenuDebugWindow",     1, kDebugWindowCaption, false, false, 0, "", &F::MenuDebugWindowClick},
    {&F::N1,                  "N1",                  1, kSeparatorCaption},
    {&F::Exit1,               "Exit1",               1, "Exit",  false, false, 0, "", &F::Exit1Click},
    {&F::MenuDevice,          "MenuDevice",          0, "Device"},
    {&F::TV1,                 "TV1",                 1, "TV",    true,  true, kDeviceGroup, "0",  kDevice},
    {&F::VCR1,                "VCR1",                1, "VCR",   false, true, kDeviceGroup, "5",  kDevice},
    {&F::Sat1,                "Sat1",                1, "Sat",   false, true, kDeviceGroup, "8",  kDevice},
    {&F::Amp1,                "Amp1",                1, "Amp",   false, true, kDeviceGroup, "16", kDevice},
    {&F::Tuner1,              "Tuner1",              1, "Tuner", false, true, kDeviceGroup, "17", kDevice},
    {&F::Tape1,               "Tape1",               1, "Tape",  false, true, kDeviceGroup, "18", kDevice},
    {&F::CD1,                 "CD1",                 1, "CD",    false, true, kDeviceGroup, "20", kDevice},
    {&F::MenuPort,            "MenuPort",            0, "Port"},  // UpdatePorts fills it
};
// clang-format on

const TTimerDesign<F> kTimers[] = {
    {&F::Timer1, "Timer1", receive::kPollIntervalMs, true, &F::Timer1Timer},
};

}  // namespace

const TFormDesign<TForm1>& TForm1::Design() {
    static const TFormDesign<F> design{
        .name = "Form1",
        .caption = kTitle,
        .left = 192,
        .top = 107,
        .clientWidth = 125,
        .clientHeight = 438,
        .borderStyle = TBorderStyle::Fixed,
        .visible = false,  // shown when the event loop starts
        .menu = &F::MainMenu1,
        .menuName = "MainMenu1",
        .controls = kControls,
        .menuItems = kMenu,
        .timers = kTimers,
        .onCreate = &F::FormCreate,
        .onHide = nullptr,
        .onClose = &F::FormClose,
    };
    return design;
}
