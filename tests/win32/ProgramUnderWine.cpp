#include "ProgramUnderWine.h"

#include <commctrl.h>

#include "TestPorts.h"
#include "toolkit/TestHooks.h"
#include "toolkit/win32/Win32Text.h"

using toolkit::win32::win32Command;
using toolkit::win32::win32Control;

void ProgramUnderWine::SetUp() {
    transmitter.reset(openPort9600(wintest::kTransmitterPort));
    ASSERT_TRUE(transmitter) << "the null modem of scripts/test-windows is not there";
    char sink[512];
    while (transmitter->read(sink, sizeof sink, 20) > 0) {}
    if (!realBoxes) {
        toolkit::testing::setMessageBoxAnswer([this](const std::string& text, const std::string& caption, int flags) {
            boxes.push_back({text, caption, flags});
            return boxAnswer;
        });
    }
    {
        std::unique_ptr<BoxAnswerer> answerer;
        if (realBoxes) answerer = std::make_unique<BoxAnswerer>(L"TELVARA", IDOK);
        startProgram();
        if (answerer) {
            answerer->finish();
            startupBox = answerer->box();
        }
    }
    Form1->Show();
    pumpFor(std::chrono::milliseconds(50));
}

void ProgramUnderWine::TearDown() {
    endProgram();
    Application->Shutdown();
    toolkit::testing::setMessageBoxAnswer({});
}

void ProgramUnderWine::press(TBitBtn* button) {
    SendMessageW(windowOf(button), BM_CLICK, 0, 0);
}

void ProgramUnderWine::choose(TMenuItem* item) {
    SendMessageW(mainWindow(), WM_COMMAND, MAKEWPARAM(win32Command(*item), 0), 0);
}

void ProgramUnderWine::key(HWND target, WPARAM virtualKey) {
    SetFocus(target);
    PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(target, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
    pumpFor(std::chrono::milliseconds(30));
}

bool ProgramUnderWine::pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        Application->ProcessMessages();
        Sleep(2);
    }
    return true;
}

void ProgramUnderWine::pumpFor(std::chrono::milliseconds time) {
    pumpUntil([] { return false; }, time);
}

std::string ProgramUnderWine::status() const {
    HWND bar = windowOf(Form1->StatusBar);
    // In simple mode part 0 reads the simple text; wine refuses SB_SIMPLEID here.
    EXPECT_TRUE(SendMessageW(bar, SB_ISSIMPLE, 0, 0));
    const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, 0, 0));
    std::wstring text(length + 1u, L'\0');
    SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return toolkit::win32::toUtf8(text);
}

std::string ProgramUnderWine::memo() const {
    HWND edit = windowOf(FormDebug->Memo1);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    std::string bytes;
    for (wchar_t c : text) bytes += static_cast<char>(c);
    return bytes;
}

std::string ProgramUnderWine::editText(const TEdit* edit) const {
    wchar_t text[64] = {};
    GetWindowTextW(windowOf(edit), text, 64);
    return toolkit::win32::toUtf8(text);
}

UINT ProgramUnderWine::menuState(const TMenuItem* item) const {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_FTYPE;
    const HMENU menu = item->Parent() == Form1->MainMenu1->Items ? GetMenu(mainWindow())
                                                                 : toolkit::win32::win32Submenu(*item->Parent());
    if (!GetMenuItemInfoW(menu, win32Command(*item), FALSE, &info)) return 0xFFFFFFFF;
    return info.fState | info.fType;
}

std::wstring ProgramUnderWine::menuCaption(const TMenuItem* item) const {
    const HMENU menu = item->Parent() == Form1->MainMenu1->Items ? GetMenu(mainWindow())
                                                                 : toolkit::win32::win32Submenu(*item->Parent());
    wchar_t text[64] = {};
    GetMenuStringW(menu, win32Command(*item), text, 64, MF_BYCOMMAND);
    return text;
}

std::string ProgramUnderWine::fromTransmitter(std::size_t expected, int timeoutMs) {
    std::string got;
    char buffer[512];
    while (got.size() < expected) {
        const int n = transmitter->read(buffer, sizeof buffer, timeoutMs);
        if (n <= 0) break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

// ---- BoxAnswerer

BoxAnswerer::BoxAnswerer(const wchar_t* caption, int answer, std::function<void()> whileShown)
    : thread_([this, c = std::wstring(caption), answer, w = std::move(whileShown)] { run(c, answer, w); }) {}

BoxAnswerer::~BoxAnswerer() {
    finish();
}

void BoxAnswerer::finish() {
    if (thread_.joinable()) thread_.join();
}

namespace {

BOOL CALLBACK readChild(HWND child, LPARAM context) {
    auto& box = *reinterpret_cast<BoxOnScreen*>(context);
    wchar_t className[32] = {}, text[256] = {};
    GetClassNameW(child, className, 32);
    GetWindowTextW(child, text, 256);
    const std::wstring kind = className;
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    if (_wcsicmp(kind.c_str(), L"Button") == 0) {
        box.buttons.emplace_back(text);
    } else if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON) {
            const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            box.stopIcon = icon != nullptr && icon == LoadIconW(nullptr, MAKEINTRESOURCEW(32513));  // IDI_HAND
        } else if (text[0] != L'\0') {
            box.text = text;
        }
    }
    return TRUE;
}

}  // namespace

void BoxAnswerer::run(std::wstring caption, int answer, std::function<void()> whileShown) {
    HWND box = nullptr;
    for (int i = 0; i < 500 && box == nullptr; ++i) {
        box = FindWindowW(L"#32770", caption.c_str());
        if (box == nullptr) Sleep(10);
    }
    if (box == nullptr) return;
    found_ = true;
    EnumChildWindows(box, readChild, reinterpret_cast<LPARAM>(&box_));
    if (whileShown) whileShown();
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}
