#pragma once
// The program as a user meets it on Windows: started as the entry starts it
// (startProgram), real Win32 windows, the Port menu filled from the SERIALCOMM
// map of scripts/test-windows, and the transmitter played on the far end of
// the null-modem pair. User actions are window messages sent to the real windows.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/Program.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "platform/serialInterface.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Win32Peers.h"

struct ShownBox {
    std::string text;
    std::string caption;
    int flags;
};

// A dialog box of the program, found by its caption, as another thread sees it.
struct BoxOnScreen {
    std::wstring text;                  // the message
    std::vector<std::wstring> buttons;  // the captions of its buttons
    bool stopIcon = false;
};

class ProgramUnderWine : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND mainWindow() const { return toolkit::win32::win32Window(*Form1); }
    HWND debugWindow() const { return toolkit::win32::win32Window(*FormDebug); }
    static HWND windowOf(const TControl* control) { return toolkit::win32::win32Control(*control); }

    void press(TBitBtn* button);               // a click on the button
    void choose(TMenuItem* item);              // the menu command, as the menu sends it
    void key(HWND target, WPARAM virtualKey);  // a key typed while `target` has the focus
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
    void pumpFor(std::chrono::milliseconds time);

    std::string status() const;  // what the status bar shows
    std::string memo() const;    // what the debug window's memo shows
    std::string editText(const TEdit* edit) const;
    UINT menuState(const TMenuItem* item) const;  // MFS_ and MFT_ bits of the item in its menu
    std::wstring menuCaption(const TMenuItem* item) const;
    std::string fromTransmitter(std::size_t expected, int timeoutMs = 500);  // what the program wrote

    std::unique_ptr<serialInterface> transmitter;
    std::vector<ShownBox> boxes;  // boxes that the test answered in place of the user
    int boxAnswer = IDOK;
    bool realBoxes = false;  // set by a fixture's constructor: real boxes, answered by BoxAnswerer
    BoxOnScreen startupBox;  // with real boxes: the box shown while the forms were created
};

class ProgramWithRealBoxes : public ProgramUnderWine {
protected:
    ProgramWithRealBoxes() { realBoxes = true; }
};

// Waits in its own thread for a box with this caption, reads it, then runs
// `whileShown` and presses the button with command id `answer`.
// Gives up after a few seconds, so a box that never comes fails the test.
class BoxAnswerer {
public:
    BoxAnswerer(const wchar_t* caption, int answer, std::function<void()> whileShown = {});
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // Waits for the thread; then found() and box() tell what it saw.
    void finish();
    bool found() const { return found_; }
    const BoxOnScreen& box() const { return box_; }

private:
    void run(std::wstring caption, int answer, std::function<void()> whileShown);

    std::thread thread_;
    bool found_ = false;
    BoxOnScreen box_;
};
