#pragma once
// The backend boundary of the form toolkit.
//
// The portable classes (Application.h, Form.h and the controls' headers) hold
// every property, the component tree, radio groups, access keys, design-table
// building, exception catching at dispatch and the error display. Each of them drives one native peer
// declared here; a backend (toolkit/qt, toolkit/win32) implements these peers and
// createBackend(), and nothing else. A peer only creates and moves native widgets
// and reports user actions through the std::function members, which the portable
// side sets right after creation. A peer never calls back while the portable side
// is assigning to it (e.g. setChecked must not raise onClick).
//
// Texts are UTF-8, except the memo's, which are bytes shown as Latin-1: what the
// transmitter sends may be any byte, and one byte must stay one character.
// Line breaks in memo texts are "\r\n"; a backend maps them to its own.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace toolkit::native {

enum class Border { Fixed, Sizeable };      // Fixed: no resizing, no maximise box
enum class Align { None, Bottom, Client };  // Bottom: full width along the bottom edge

class Control {
public:
    virtual ~Control() = default;
    virtual void setBounds(int left, int top, int width, int height) = 0;  // client pixels at 96 dpi
    virtual void setAlign(Align align) = 0;
    virtual void setText(const std::string& text) = 0;
};

class Button : public Control {
public:
    std::function<void()> onClick;
};

class Label : public Control {};

class Edit : public Control {
public:
    virtual void setReadOnly(bool readOnly) = 0;
    virtual void setButtonFaceColor(bool buttonFace) = 0;  // the window's colour instead of a field's
    virtual std::string text() const = 0;
};

class StatusBar : public Control {};  // setText sets its one simple text

class Memo : public Control {
public:
    virtual void setScrollBars(bool horizontal, bool vertical) = 0;  // true: always shown
    virtual void setWordWrap(bool wrap) = 0;
    virtual void setReadOnly(bool readOnly) = 0;
    // True when the memo is empty or its text ends with a line break.
    virtual bool endsWithEmptyLine() const = 0;
    // Moves the caret to the end (the user's selection is gone), inserts the
    // text there, leaves the caret after it and scrolls it into view.
    // Must not grow slower with the size of the memo.
    virtual void insertAtEnd(const std::string& latin1) = 0;
    virtual int lineCount() const = 0;     // not counting an empty last line
    virtual std::string text() const = 0;  // Latin-1, "\r\n" line breaks
};

// A menu bar or a menu item; the bar is the root whose children are its entries.
// An item with children opens a submenu; an entry with none is a plain command.
class MenuItem {
public:
    virtual ~MenuItem() = default;
    // Caption with '&' before the access letter and "&&" for a literal '&'.
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setSeparator(bool separator) = 0;
    virtual void setChecked(bool checked) = 0;
    // Radio items of one parent and group index show a bullet when checked.
    virtual void setRadio(bool radio, int groupIndex) = 0;
    virtual void insertChild(int index, MenuItem& child) = 0;
    virtual void removeChild(MenuItem& child) = 0;
    // The user chose the item. The native check mark must stay as last set:
    // the portable item decides about checking.
    std::function<void()> onClick;
};

class Window {
public:
    virtual ~Window() = default;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setBorder(Border border) = 0;
    virtual void setClientSize(int width, int height) = 0;  // the menu bar is outside it
    virtual void setPosition(int left, int top) = 0;        // outer edges, on the screen
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    virtual void setTabOrder(const std::vector<Control*>& order) = 0;  // the focus cycle
    // The close box, Alt+F4 or the system menu asked to close; the window stays
    // as it is: the portable form decides whether to hide it or end the program.
    std::function<void()> onCloseRequest;
};

class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int milliseconds) = 0;
    virtual void setEnabled(bool enabled) = 0;  // ticks on the UI thread, also inside modal boxes
    std::function<void()> onTimer;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual std::unique_ptr<Window> createWindow() = 0;
    virtual std::unique_ptr<Button> createButton(Window& parent) = 0;
    virtual std::unique_ptr<Label> createLabel(Window& parent) = 0;
    virtual std::unique_ptr<Edit> createEdit(Window& parent) = 0;
    virtual std::unique_ptr<Memo> createMemo(Window& parent) = 0;
    virtual std::unique_ptr<StatusBar> createStatusBar(Window& parent) = 0;
    virtual std::unique_ptr<MenuItem> createMenuBar(Window& parent) = 0;
    virtual std::unique_ptr<MenuItem> createMenuItem() = 0;
    virtual std::unique_ptr<Timer> createTimer() = 0;

    virtual void setTitle(const std::string& title) = 0;  // the application's name in the task bar
    // Modal to the whole application; its loop keeps timers ticking. Flags and
    // the result are the Windows MB_ and ID values.
    virtual int messageBox(const std::string& text, const std::string& caption, int flags) = 0;
    virtual void run() = 0;  // until quit()
    virtual void quit() = 0;
    virtual void processMessages() = 0;  // handles what is pending, then returns
};

// Each backend defines this once. The portable toolkit never calls it: the
// program does, through TApplication::Initialize, so that the toolkit links
// without a backend and tests can bring one of their own.
std::unique_ptr<Backend> createBackend();

}  // namespace toolkit::native
