#pragma once
// The Win32 peers of the toolkit: plain windows, the system's button, static,
// edit and status-bar controls, menus and thread timers. Only the Win32 backend
// and Windows-specific tests include this; app/ never does.
//
// Everything is laid out in pixels at 96 dpi and scaled with the system's dpi.
// All texts cross to Windows as UTF-16: UTF-8 for captions, Latin-1 byte for
// byte in the memo, so that a byte from the transmitter is one character
// whatever the system's code page.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Control.h"
#include "toolkit/Form.h"
#include "toolkit/Menu.h"
#include "toolkit/NativePeers.h"

namespace toolkit::win32 {

// Runs a callback of a peer. Nothing it throws leaves a window procedure: the
// portable side already shows what a handler throws, and this is the last net.
void callSafely(const std::function<void()>& callback);

inline constexpr const wchar_t* kFormClass = L"TelvaraForm";  // the window class of every form

int screenDpi();
int scaled(int designPixels);  // 96-dpi pixels to the screen's

class Win32Control;

class Win32Window : public native::Window {
public:
    Win32Window();
    ~Win32Window() override;
    void setCaption(const std::string& caption) override;
    void setBorder(native::Border border) override;
    void setClientSize(int width, int height) override;
    void setPosition(int left, int top) override;
    void setVisible(bool visible) override;
    bool isVisible() const override;
    void setTabOrder(const std::vector<native::Control*>& order) override;

    HWND hwnd() const { return hwnd_; }
    void dock(Win32Control& control, native::Align align);
    void undock(Win32Control& control);
    void menuBarChanged();  // the bar's height may have changed: keep the client size
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void applySize();
    void layoutDocked();
    DWORD style() const;

    HWND hwnd_ = nullptr;
    native::Border border_ = native::Border::Sizeable;
    int clientWidth_ = 0, clientHeight_ = 0;  // at 96 dpi
    bool shownBefore_ = false;
    bool menuChangePending_ = false;
    HWND lastFocus_ = nullptr;
    std::vector<HWND> tabOrder_;
    std::vector<std::pair<Win32Control*, native::Align>> docked_;
};

// What every control has: its window, its design bounds and how it reacts to
// the messages its parent gets on its behalf.
class Win32Control {
public:
    Win32Control(native::Window& parent, const wchar_t* windowClass, DWORD style, DWORD exStyle, bool formFont);
    virtual ~Win32Control();
    Win32Control(const Win32Control&) = delete;
    Win32Control& operator=(const Win32Control&) = delete;

    HWND hwnd() const { return hwnd_; }
    void place(int left, int top, int width, int height);  // client pixels at 96 dpi
    void dockTo(native::Align align);
    int designHeight() const { return height_; }

    virtual void command(WORD /*code*/) {}
    // A colour for WM_CTLCOLOR*, or nullptr for the system's default.
    virtual HBRUSH colors(HDC /*dc*/) { return nullptr; }

    static Win32Control* of(HWND hwnd);

protected:
    Win32Window& parent_;
    HWND hwnd_ = nullptr;

private:
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// The peer interfaces declare setBounds/setAlign/setText; each control forwards
// the geometry to Win32Control.
template <class Peer>
class Win32ControlOf : public Peer, public Win32Control {
public:
    using Win32Control::Win32Control;
    void setBounds(int left, int top, int width, int height) override { place(left, top, width, height); }
    void setAlign(native::Align align) override { dockTo(align); }
};

class Win32Button : public Win32ControlOf<native::Button> {
public:
    explicit Win32Button(native::Window& parent);
    void setText(const std::string& text) override;
    void command(WORD code) override;
};

class Win32Label : public Win32ControlOf<native::Label> {
public:
    explicit Win32Label(native::Window& parent);
    void setText(const std::string& text) override;
};

class Win32Edit : public Win32ControlOf<native::Edit> {
public:
    explicit Win32Edit(native::Window& parent);
    void setText(const std::string& text) override;
    void setReadOnly(bool readOnly) override;
    void setButtonFaceColor(bool buttonFace) override;
    std::string text() const override;
    HBRUSH colors(HDC dc) override;

private:
    bool buttonFace_ = false;
};

class Win32StatusBar : public Win32ControlOf<native::StatusBar> {
public:
    explicit Win32StatusBar(native::Window& parent);
    void setText(const std::string& text) override;
};

class Win32Memo : public Win32ControlOf<native::Memo> {
public:
    explicit Win32Memo(native::Window& parent);
    void setText(const std::string& latin1) override;
    void setScrollBars(bool horizontal, bool vertical) override;
    void setWordWrap(bool wrap) override;
    void setReadOnly(bool readOnly) override;
    bool endsWithEmptyLine() const override;
    void insertAtEnd(const std::string& latin1) override;
    int lineCount() const override;
    std::string text() const override;
};

class Win32MenuItem : public native::MenuItem {
public:
    Win32MenuItem();
    ~Win32MenuItem() override;
    void setCaption(const std::string& caption) override;
    void setSeparator(bool separator) override;
    void setChecked(bool checked) override;
    void setRadio(bool radio, int groupIndex) override;
    void insertChild(int index, native::MenuItem& child) override;
    void removeChild(native::MenuItem& child) override;

    UINT commandId() const { return id_; }
    HMENU submenu() const { return submenu_; }
    static Win32MenuItem* byCommand(UINT id);

protected:
    // The menu that holds this item's children: its popup, or the bar itself.
    virtual HMENU childMenu(bool create);
    virtual void childrenChanged() {}

private:
    void update();  // writes this item's state into its parent's menu
    MENUITEMINFOW info(std::wstring& caption) const;
    int position() const;

    UINT id_;
    std::string caption_;
    bool separator_ = false, checked_ = false, radio_ = false;
    HMENU submenu_ = nullptr;
    Win32MenuItem* parent_ = nullptr;
    std::vector<Win32MenuItem*> children_;
};

class Win32MenuBar : public Win32MenuItem {
public:
    explicit Win32MenuBar(native::Window& parent);
    ~Win32MenuBar() override;

protected:
    HMENU childMenu(bool create) override;
    void childrenChanged() override;

private:
    Win32Window& window_;
    HMENU bar_;
};

class Win32Timer : public native::Timer {
public:
    Win32Timer() = default;
    ~Win32Timer() override;
    void setInterval(int milliseconds) override;
    void setEnabled(bool enabled) override;

private:
    void start();
    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD);

    int interval_ = 0;
    bool enabled_ = false;
    UINT_PTR id_ = 0;
};

// The backend's own parts the peers share.
void registerWindowClass();
bool preTranslate(MSG& message);  // keyboard navigation; true when the message was handled

// For tests: the Windows objects behind toolkit components.
HWND win32Window(const TForm& form);
HWND win32Control(const TControl& control);
UINT win32Command(const TMenuItem& item);  // what WM_COMMAND carries when the item is chosen
HMENU win32Submenu(const TMenuItem& item);

}  // namespace toolkit::win32
