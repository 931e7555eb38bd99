// The Windows program driven through its real windows: the window frames, the
// menus as Windows draws them, clicks and menu commands as window messages,
// keyboard navigation, message boxes and the bytes on the COM port.

#include <algorithm>
#include <cstdint>

#include "ProgramUnderWine.h"

#include <commctrl.h>
#include "TestPorts.h"
#include "core/Stk500Protocol.h"

using namespace std::chrono_literals;

namespace {

RECT clientRect(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
}

int dpi() {
    HDC screen = GetDC(nullptr);
    const int value = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return value;
}

int scaled(int designPixels) {
    return MulDiv(designPixels, dpi(), 96);
}

}  // namespace

TEST_F(ProgramUnderWine, TheKeypadWindowIsFixedAndItsClientAreaHasTheDesignSize) {
    const HWND main = mainWindow();
    const LONG_PTR style = GetWindowLongPtrW(main, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME) << "not resizable";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX) << "not maximisable";
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    const RECT client = clientRect(main);
    EXPECT_EQ(client.right, scaled(125));
    EXPECT_EQ(client.bottom, scaled(438)) << "below a menu bar that may wrap";
    RECT outer{};
    GetWindowRect(main, &outer);
    EXPECT_EQ(outer.left, 192);
    EXPECT_EQ(outer.top, 107);
    wchar_t caption[32] = {};
    GetWindowTextW(main, caption, 32);
    EXPECT_STREQ(caption, L"TELVARA");

    // The status bar fills the bottom 19 pixels, the keys keep their places;
    // scripts/test-windows runs this at 96 and at 144 dpi.
    RECT bar{};
    GetWindowRect(windowOf(Form1->StatusBar), &bar);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.top, scaled(438) - scaled(19)) << "docked: its height, along the bottom edge";
    EXPECT_EQ(bar.bottom, scaled(438));
    EXPECT_EQ(bar.right - bar.left, scaled(125));
    EXPECT_FALSE(GetWindowLongPtrW(windowOf(Form1->StatusBar), GWL_STYLE) & SBARS_SIZEGRIP);
    RECT key{};
    GetWindowRect(windowOf(Form1->BitBtn23), &key);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&key), 2);
    EXPECT_EQ(key.left, scaled(50));
    EXPECT_EQ(key.top, scaled(200));
    EXPECT_EQ(key.right - key.left, scaled(25));
}

TEST_F(ProgramUnderWine, TheDisplayFieldsAreReadOnlyOnTheButtonFaceColour) {
    for (const TEdit* edit : {Form1->EditTx, Form1->EditRx}) {
        const HWND field = windowOf(edit);
        EXPECT_TRUE(GetWindowLongPtrW(field, GWL_STYLE) & ES_READONLY);
        EXPECT_TRUE(GetWindowLongPtrW(field, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << "sunken border";
        // What the field asks its window for when it paints itself (read-only edits ask as statics).
        HDC dc = GetDC(field);
        const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
            mainWindow(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(field)));
        EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
        ReleaseDC(field, dc);
        EXPECT_EQ(brush, GetSysColorBrush(COLOR_BTNFACE));
    }
    HDC dc = GetDC(windowOf(FormDebug->Memo1));
    const auto memoBrush =
        reinterpret_cast<HBRUSH>(SendMessageW(debugWindow(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                              reinterpret_cast<LPARAM>(windowOf(FormDebug->Memo1))));
    ReleaseDC(windowOf(FormDebug->Memo1), dc);
    EXPECT_NE(memoBrush, GetSysColorBrush(COLOR_BTNFACE)) << "the memo keeps the window colour";
}

TEST_F(ProgramUnderWine, TheDebugWindowIsSizeableHiddenAndItsCloseBoxOnlyHidesIt) {
    const HWND debug = debugWindow();
    const LONG_PTR style = GetWindowLongPtrW(debug, GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(IsWindowVisible(debug));
    EXPECT_EQ(clientRect(debug).right, scaled(338));
    EXPECT_EQ(clientRect(debug).bottom, scaled(243));

    const LONG_PTR memoStyle = GetWindowLongPtrW(windowOf(FormDebug->Memo1), GWL_STYLE);
    EXPECT_TRUE(memoStyle & WS_HSCROLL);
    EXPECT_TRUE(memoStyle & WS_VSCROLL);
    EXPECT_TRUE(memoStyle & ES_AUTOHSCROLL) << "long lines do not wrap";
    EXPECT_FALSE(memoStyle & ES_READONLY);

    choose(Form1->MenuDebugWindow);
    EXPECT_TRUE(IsWindowVisible(debug));
    EXPECT_TRUE(menuState(Form1->MenuDebugWindow) & MFS_CHECKED);
    // The memo follows a resize.
    SetWindowPos(debug, nullptr, 0, 0, scaled(500), scaled(400), SWP_NOMOVE | SWP_NOZORDER);
    RECT memoRect{};
    GetWindowRect(windowOf(FormDebug->Memo1), &memoRect);
    EXPECT_EQ(memoRect.right - memoRect.left, clientRect(debug).right);
    EXPECT_EQ(memoRect.bottom - memoRect.top, clientRect(debug).bottom);

    SendMessageW(debug, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(debug));
    EXPECT_TRUE(IsWindow(debug)) << "hidden, not destroyed";
    EXPECT_FALSE(menuState(Form1->MenuDebugWindow) & MFS_CHECKED);
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(ProgramUnderWine, MenusShowAccessKeysRadioBulletsAndThePortsOfTheMap) {
    EXPECT_EQ(menuCaption(Form1->MenuFile), L"&File");
    EXPECT_EQ(menuCaption(Form1->MenuDevice), L"&Device");
    EXPECT_EQ(menuCaption(Form1->MenuPort), L"&Port");
    EXPECT_EQ(menuCaption(Form1->Tuner1), L"T&uner");
    EXPECT_TRUE(menuState(Form1->N1) & MFT_SEPARATOR);
    EXPECT_EQ(menuState(Form1->TV1), static_cast<UINT>(MFT_RADIOCHECK | MFS_CHECKED));
    EXPECT_EQ(menuState(Form1->VCR1), static_cast<UINT>(MFT_RADIOCHECK));
    EXPECT_FALSE(menuState(Form1->MenuDebugWindow) & (MFT_RADIOCHECK | MFS_CHECKED));

    // \Device\USBSER (REG_EXPAND_SZ) and \Device\USBSER000; the value of the
    // wrong type after them ends the list, and its name is shown as it is.
    ASSERT_EQ(Form1->MenuPort->Count(), 2);
    EXPECT_EQ(GetMenuItemCount(toolkit::win32::win32Submenu(*Form1->MenuPort)), 2);
    EXPECT_EQ(menuCaption(Form1->MenuPort->Items(0)), L"&COM30");
    EXPECT_EQ(menuCaption(Form1->MenuPort->Items(1)), L"C&OM20");
    EXPECT_EQ(menuState(Form1->MenuPort->Items(1)), static_cast<UINT>(MFT_RADIOCHECK));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Invalid data type for '\\Device\\USBSER_%s%n'");
    EXPECT_EQ(boxes[0].caption, "TELVARA");
    EXPECT_EQ(boxes[0].flags, MB_OK | MB_ICONSTOP);

    choose(Form1->Sat1);
    EXPECT_EQ(menuState(Form1->Sat1), static_cast<UINT>(MFT_RADIOCHECK | MFS_CHECKED));
    EXPECT_EQ(menuState(Form1->TV1), static_cast<UINT>(MFT_RADIOCHECK));
    EXPECT_EQ(Form1->DeviceAddress, 8);
}

TEST_F(ProgramUnderWine, AKeyPressGoesOutOnTheComPortAndIsReported) {
    choose(Form1->MenuPort->Items(1));
    EXPECT_EQ(status(), wintest::kProgramPort);
    EXPECT_EQ(menuState(Form1->MenuPort->Items(1)), static_cast<UINT>(MFT_RADIOCHECK | MFS_CHECKED));

    press(Form1->BitBtn1);
    EXPECT_EQ(status(), "0001");
    EXPECT_EQ(editText(Form1->EditTx), "0,1");
    EXPECT_EQ(fromTransmitter(28), "*BbDbBbBbBbBbBbBbBbBbBbBdB~*");
    press(Form1->BitBtn1);
    EXPECT_EQ(status(), "0801");
    EXPECT_EQ(fromTransmitter(28), "*BbBbDbBbBbBbBbBbBbBbBbBdB~*");
    EXPECT_EQ(memo(), "0x0001 -> *BbDbBbBbBbBbBbBbBbBbBbBdB~*\r\n0x0801 -> *BbBbDbBbBbBbBbBbBbBbBbBdB~*\r\n");
}

TEST_F(ProgramUnderWine, AnAbsentPortShowsErrorAndSendsNothing) {
    choose(Form1->MenuPort->Items(0));
    EXPECT_EQ(status(), "error");
    press(Form1->BitBtn1);
    EXPECT_EQ(status(), "error");
    EXPECT_EQ(memo(), "");
}

TEST_F(ProgramUnderWine, BytesFromTheTransmitterReachTheDebugMemoOnTheTimer) {
    choose(Form1->MenuPort->Items(1));
    ASSERT_EQ(transmitter->write("A\0B", 3), 3);
    EXPECT_TRUE(pumpUntil([&] { return !memo().empty(); }, 2s));
    EXPECT_EQ(memo(), "A\r\n");
    // Bytes above 127 stay one character each.
    ASSERT_EQ(transmitter->write("\xe9\xff", 2), 2);
    EXPECT_TRUE(pumpUntil([&] { return memo().size() > 3; }, 2s));
    EXPECT_EQ(memo(), "A\r\n\xe9\xff\r\n");
}

TEST_F(ProgramUnderWine, TheDebugMemoKeepsEveryLineBeyondTheEditControlsUsualLimit) {
    const std::string line(1000, 'x');
    for (int i = 0; i < 40; ++i) FormDebug->AddLine(line);  // 40 K characters; an edit stops at 32 K by default
    EXPECT_EQ(memo().size(), 40u * (line.size() + 2));
    EXPECT_EQ(FormDebug->Memo1->Lines->Count(), 40);
}

TEST_F(ProgramUnderWine, AHandlerThatThrowsIsShownAndTheNextClickWorks) {
    choose(Form1->MenuPort->Items(1));
    boxes.clear();
    Form1->BitBtn5->Hint = "five";
    press(Form1->BitBtn5);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "not a whole number: 'five'");
    EXPECT_EQ(boxes[0].flags, MB_OK | MB_ICONSTOP);
    EXPECT_EQ(fromTransmitter(1, 100), "");
    press(Form1->BitBtn1);
    EXPECT_EQ(status(), "0001");
}

TEST_F(ProgramUnderWine, RightAfterStartEnterPressesTheFirstKey) {
    EXPECT_EQ(GetFocus(), windowOf(Form1->BitBtn1)) << "the first tab stop has the focus at start";
    choose(Form1->MenuPort->Items(1));
    key(windowOf(Form1->BitBtn1), VK_RETURN);
    EXPECT_EQ(fromTransmitter(28), "*BbDbBbBbBbBbBbBbBbBbBbBdB~*");
    key(windowOf(Form1->BitBtn2), VK_SPACE);
    EXPECT_EQ(status(), "0802");
}

TEST_F(ProgramUnderWine, TabWalksTheDesignsOrderAndTypingInTheFieldsChangesNothing) {
    const std::pair<TControl*, TControl*> steps[] = {
        {Form1->BitBtn1, Form1->BitBtn2},  {Form1->BitBtn22, Form1->BitBtn23}, {Form1->BitBtn23, Form1->BitBtn24},
        {Form1->BitBtn29, Form1->EditTx},  {Form1->EditTx, Form1->EditRx},     {Form1->EditRx, Form1->BitBtn30},
        {Form1->BitBtn31, Form1->BitBtn1},
    };
    for (const auto& [from, to] : steps) {
        key(windowOf(from), VK_TAB);
        EXPECT_EQ(GetFocus(), windowOf(to)) << from->Name << " -> " << to->Name;
    }
    SetFocus(windowOf(Form1->EditTx));
    SendMessageW(windowOf(Form1->EditTx), WM_CHAR, L'x', 1);
    EXPECT_EQ(editText(Form1->EditTx), "-");
}

TEST_F(ProgramUnderWine, ExitEndsTheProgramAndClosesThePort) {
    choose(Form1->MenuPort->Items(1));
    ASSERT_NE(CurrentPort, nullptr);
    choose(Form1->Exit1);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(CurrentPort, nullptr);
    EXPECT_FALSE(Form1->Timer1->Enabled.get());
}

TEST_F(ProgramWithRealBoxes, TheErrorBoxIsAStopBoxCaptionedWithTheTitle) {
    EXPECT_EQ(startupBox.text, L"Invalid data type for '\\Device\\USBSER_%s%n'");
    EXPECT_TRUE(startupBox.stopIcon);
    EXPECT_EQ(startupBox.buttons, std::vector<std::wstring>{L"OK"});

    Form1->BitBtn5->Hint = "";
    BoxAnswerer answerer(L"TELVARA", IDOK);
    press(Form1->BitBtn5);
    answerer.finish();
    ASSERT_TRUE(answerer.found());
    EXPECT_EQ(answerer.box().text, L"not a whole number: ''");
    EXPECT_TRUE(answerer.box().stopIcon);
}

TEST_F(ProgramWithRealBoxes, TheConfirmationBoxKeepsTheTimerTickingAndCancelChangesNothing) {
    choose(Form1->MenuPort->Items(1));
    bool lineWhileShown = false;
    BoxAnswerer answerer(L"TELVARA", IDCANCEL, [&] {
        transmitter->write("hi", 2);
        for (int i = 0; i < 200 && !lineWhileShown; ++i) {
            Sleep(10);
            wchar_t text[16] = {};
            // WM_GETTEXT is served by the box's own loop on the program's thread.
            GetWindowTextW(windowOf(FormDebug->Memo1), text, 16);
            lineWhileShown = std::wstring(text) == L"hi\r\n";
        }
    });
    choose(Form1->ActivateBootloader1);
    answerer.finish();
    ASSERT_TRUE(answerer.found());
    EXPECT_EQ(answerer.box().text, L"Are you sure to activate the bootloader?");
    EXPECT_EQ(answerer.box().buttons, (std::vector<std::wstring>{L"OK", L"Cancel"}));
    EXPECT_FALSE(answerer.box().stopIcon);
    EXPECT_TRUE(lineWhileShown);
    EXPECT_NE(CurrentPort, nullptr) << "Cancel keeps the port";
    EXPECT_EQ(status(), wintest::kProgramPort);
}

TEST_F(ProgramWithRealBoxes, OkInTheConfirmationBoxGoesOnWithTheSignOn) {
    choose(Form1->MenuPort->Items(1));
    BoxAnswerer answerer(L"TELVARA", IDOK);
    choose(Form1->ActivateBootloader1);
    answerer.finish();
    ASSERT_TRUE(answerer.found());
    EXPECT_EQ(status(), "No Sync") << "the transmitter stayed silent";
    EXPECT_EQ(fromTransmitter(7), std::string("\x1b\x01\x00\x01\x0e\x01\x14", 7));
    EXPECT_EQ(CurrentPort, nullptr);
}

TEST_F(ProgramUnderWine, TheBootloaderIsActivatedOverTheComPortAt9600) {
    choose(Form1->MenuPort->Items(1));
    // The transmitter answers each message with a well-framed answer.
    std::vector<std::uint8_t> commands;
    std::thread answering([&] {
        for (int message = 0; message < 2; ++message) {
            std::uint8_t header[5];
            if (transmitter->read(header, 5, 3000) != 5) return;
            const int size = static_cast<int>(stk500::declaredBodySize(header));
            std::vector<std::uint8_t> body(static_cast<std::size_t>(size) + 1);
            int got = 0;
            while (got < size + 1) {
                const int n = transmitter->read(body.data() + got, size + 1 - got, 1000);
                if (n <= 0) return;
                got += n;
            }
            commands.push_back(body[0]);
            const std::uint8_t answerBody[] = {body[0], stk500::kStatusCmdOk};
            const std::vector<std::uint8_t> answer = stk500::frame(header[1], answerBody);
            transmitter->write(answer.data(), static_cast<int>(answer.size()));
        }
    });
    choose(Form1->ActivateBootloader1);
    answering.join();
    EXPECT_EQ(status(), "Success!");
    EXPECT_EQ(commands, (std::vector<std::uint8_t>{stk500::kCmdSignOn, stk500::kCmdFirmwareUpgrade}));
    EXPECT_EQ(CurrentPort, nullptr);
}
