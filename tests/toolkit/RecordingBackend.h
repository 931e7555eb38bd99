#pragma once
// A backend for the toolkit's own tests: its peers draw nothing, they keep what
// the portable side told them, and a test raises the user's actions on them
// (Button::onClick, MenuItem::onClick, Timer::onTimer, Window::onCloseRequest).
// It runs wherever the toolkit builds, so the portable rules are checked in
// every build, the sanitizer and the Windows builds included.

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Control.h"
#include "toolkit/Form.h"
#include "toolkit/Menu.h"
#include "toolkit/NativePeers.h"

namespace toolkit::recording {

struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

class Window : public native::Window {
public:
    void setCaption(const std::string& text) override { caption = text; }
    void setBorder(native::Border value) override { border = value; }
    void setClientSize(int width, int height) override {
        clientWidth = width;
        clientHeight = height;
    }
    void setPosition(int x, int y) override {
        left = x;
        top = y;
    }
    void setVisible(bool value) override { visible = value; }
    bool isVisible() const override { return visible; }
    void setTabOrder(const std::vector<native::Control*>& order) override { tabOrder = order; }

    std::string caption;
    native::Border border = native::Border::Sizeable;
    int clientWidth = 0, clientHeight = 0, left = 0, top = 0;
    bool visible = false;
    std::vector<native::Control*> tabOrder;
};

template <class Peer>
class ControlOf : public Peer {
public:
    void setBounds(int left, int top, int width, int height) override { bounds = {left, top, width, height}; }
    void setAlign(native::Align value) override { align = value; }
    void setText(const std::string& value) override { text = value; }

    Bounds bounds;
    native::Align align = native::Align::None;
    std::string text;
};

using Button = ControlOf<native::Button>;
using Label = ControlOf<native::Label>;
using StatusBar = ControlOf<native::StatusBar>;

class Edit : public ControlOf<native::Edit> {
public:
    void setReadOnly(bool value) override { readOnly = value; }
    void setButtonFaceColor(bool value) override { buttonFace = value; }
    std::string text() const override { return ControlOf::text; }

    bool readOnly = false, buttonFace = false;
};

// Holds its text as the native memo would: Latin-1 with "\r\n" line breaks.
class Memo : public ControlOf<native::Memo> {
public:
    void setScrollBars(bool horizontal, bool vertical) override {
        horizontalBar = horizontal;
        verticalBar = vertical;
    }
    void setWordWrap(bool value) override { wordWrap = value; }
    void setReadOnly(bool value) override { readOnly = value; }
    bool endsWithEmptyLine() const override;
    void insertAtEnd(const std::string& latin1) override { ControlOf::text += latin1; }
    int lineCount() const override;
    std::string text() const override { return ControlOf::text; }

    bool horizontalBar = false, verticalBar = false, wordWrap = true, readOnly = false;
};

class MenuItem : public native::MenuItem {
public:
    ~MenuItem() override;
    void setCaption(const std::string& value) override { caption = value; }
    void setSeparator(bool value) override { separator = value; }
    void setChecked(bool value) override { checked = value; }
    void setRadio(bool value, int group) override {
        radio = value;
        groupIndex = group;
    }
    void insertChild(int index, native::MenuItem& child) override;
    void removeChild(native::MenuItem& child) override;

    std::string caption;  // with its access-key marker
    bool separator = false, checked = false, radio = false;
    int groupIndex = 0;
    MenuItem* parent = nullptr;
    std::vector<MenuItem*> children;
};

class Backend;

class Timer : public native::Timer {
public:
    explicit Timer(Backend& backend);
    ~Timer() override;
    void setInterval(int milliseconds) override { interval = milliseconds; }
    void setEnabled(bool value) override { enabled = value; }

    int interval = 0;
    bool enabled = false;

private:
    Backend& backend_;
};

struct Box {
    std::string text, caption;
    int flags;
};

class Backend : public native::Backend {
public:
    std::unique_ptr<native::Window> createWindow() override { return std::make_unique<Window>(); }
    std::unique_ptr<native::Button> createButton(native::Window&) override { return std::make_unique<Button>(); }
    std::unique_ptr<native::Label> createLabel(native::Window&) override { return std::make_unique<Label>(); }
    std::unique_ptr<native::Edit> createEdit(native::Window&) override { return std::make_unique<Edit>(); }
    std::unique_ptr<native::Memo> createMemo(native::Window&) override { return std::make_unique<Memo>(); }
    std::unique_ptr<native::StatusBar> createStatusBar(native::Window&) override {
        return std::make_unique<StatusBar>();
    }
    std::unique_ptr<native::MenuItem> createMenuBar(native::Window&) override { return std::make_unique<MenuItem>(); }
    std::unique_ptr<native::MenuItem> createMenuItem() override { return std::make_unique<MenuItem>(); }
    std::unique_ptr<native::Timer> createTimer() override { return std::make_unique<Timer>(*this); }

    void setTitle(const std::string& value) override { title = value; }
    int messageBox(const std::string& text, const std::string& caption, int flags) override;
    void run() override {}  // the tests raise the events themselves
    void quit() override { ++quits; }
    void processMessages() override {}

    std::string title;
    std::vector<Box> boxes;  // every box shown, in order
    int boxAnswer = 1;       // IDOK
    int quits = 0;
    std::vector<Timer*> timers;  // the live ones, oldest first
};

// The recording peers behind toolkit components.
Window& peerOf(const TForm& form);
MenuItem& peerOf(const TMenuItem& item);
template <class Peer>
Peer& peerOf(const TControl& control) {
    return dynamic_cast<Peer&>(*control.nativeControl());
}

}  // namespace toolkit::recording
