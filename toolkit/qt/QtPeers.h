#pragma once
// The Qt 6 Widgets peers of the toolkit. Only the Qt backend and Qt-specific
// tests include this; app/ never does.

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <map>

#include "toolkit/Control.h"
#include "toolkit/Form.h"
#include "toolkit/Menu.h"
#include "toolkit/NativePeers.h"

namespace toolkit::qt {

// The part of a form below its menu bar; it keeps aligned controls docked.
class ClientArea : public QWidget {
public:
    using QWidget::QWidget;
    void dock(QWidget* widget, native::Align align);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutDocked();
    std::vector<std::pair<QPointer<QWidget>, native::Align>> docked_;
};

class FormWindow : public QMainWindow {
public:
    explicit FormWindow(std::function<void()>& onCloseRequest);
    ClientArea* client() const { return client_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<void()>& onCloseRequest_;
    ClientArea* client_;
};

class QtWindow : public native::Window {
public:
    QtWindow();
    ~QtWindow() override;
    void setCaption(const std::string& caption) override;
    void setBorder(native::Border border) override;
    void setClientSize(int width, int height) override;
    void setPosition(int left, int top) override;
    void setVisible(bool visible) override;
    bool isVisible() const override;
    void setTabOrder(const std::vector<native::Control*>& order) override;

    FormWindow* window() const { return window_; }
    void menuBarAttached() { applySize(); }

private:
    void applySize();
    FormWindow* window_;
    native::Border border_ = native::Border::Sizeable;
    int clientWidth_ = 0, clientHeight_ = 0;
};

class QtControl {
public:
    virtual ~QtControl() = default;
    virtual QWidget* widget() const = 0;
};

// Shared geometry handling; W is the Qt widget type.
template <class Peer, class W>
class QtControlOf : public Peer, public QtControl {
public:
    explicit QtControlOf(native::Window& parent)
        : client_(static_cast<QtWindow&>(parent).window()->client()), widget_(new W(client_)) {
        widget_->show();
    }
    ~QtControlOf() override { delete widget_.data(); }
    void setBounds(int left, int top, int width, int height) override {
        widget_->setGeometry(left, top, width, height);
    }
    void setAlign(native::Align align) override {
        if (align != native::Align::None) client_->dock(widget_, align);
    }
    QWidget* widget() const override { return widget_; }
    W* typed() const { return widget_; }

private:
    ClientArea* client_;
    QPointer<W> widget_;
};

// Enter presses a focused button as Space does, as on Windows; a plain
// QPushButton leaves Enter to a default button, and a form's buttons are none.
class FormButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class QtButton : public QtControlOf<native::Button, FormButton> {
public:
    explicit QtButton(native::Window& parent);
    void setText(const std::string& text) override;
};

class QtLabel : public QtControlOf<native::Label, QLabel> {
public:
    explicit QtLabel(native::Window& parent);
    void setText(const std::string& text) override;
};

class QtEdit : public QtControlOf<native::Edit, QLineEdit> {
public:
    explicit QtEdit(native::Window& parent);
    void setText(const std::string& text) override;
    void setReadOnly(bool readOnly) override;
    void setButtonFaceColor(bool buttonFace) override;
    std::string text() const override;
};

class QtStatusBar : public QtControlOf<native::StatusBar, QStatusBar> {
public:
    explicit QtStatusBar(native::Window& parent);
    void setText(const std::string& text) override;
    QLabel* label() const { return label_; }

private:
    QLabel* label_;
};

// A text block costs the document several hundred bytes besides its text (its
// entries in the document's tables, a layout kept once it has been laid out),
// far more than a typical line. So, while lines do not wrap, the lines well
// above the end are joined into blocks of many lines, split by line separators,
// which show, select and copy as the same lines; the last lines stay one block
// each, so that the window showing the end never lays out a joined block.
class QtMemo : public QtControlOf<native::Memo, QPlainTextEdit> {
public:
    explicit QtMemo(native::Window& parent);
    void setText(const std::string& latin1) override;
    void setScrollBars(bool horizontal, bool vertical) override;
    void setWordWrap(bool wrap) override;
    void setReadOnly(bool readOnly) override;
    bool endsWithEmptyLine() const override;
    void insertAtEnd(const std::string& latin1) override;
    int lineCount() const override;
    std::string text() const override;

private:
    void joinOldLines();
    void splitJoinedLines();

    int firstUnjoined_ = 0;  // blocks before it are joined, or were too long to join
    bool joined_ = false;    // some block holds more than one line
};

class QtMenuItem : public native::MenuItem {
public:
    QtMenuItem();
    ~QtMenuItem() override;
    void setCaption(const std::string& caption) override;
    void setSeparator(bool separator) override;
    void setChecked(bool checked) override;
    void setRadio(bool radio, int groupIndex) override;
    void insertChild(int index, native::MenuItem& child) override;
    void removeChild(native::MenuItem& child) override;

    QAction* action() const { return action_; }
    QMenu* submenu() const { return submenu_; }

protected:
    // Where this item's children go: its submenu, or the menu bar for the root.
    virtual QWidget* childContainer(bool create);
    virtual void childrenChanged() {}
    std::vector<QtMenuItem*> children_;

private:
    void triggered();
    void regroup();
    void restoreChecks();
    void showCaption();

    QPointer<QAction> action_;
    QPointer<QMenu> submenu_;
    QtMenuItem* parent_ = nullptr;
    QString caption_;
    bool separator_ = false;
    bool checked_ = false;
    bool radio_ = false;
    int groupIndex_ = 0;
    std::map<int, QPointer<QActionGroup>> groups_;  // of the children
};

class QtMenuBar : public QtMenuItem {
public:
    explicit QtMenuBar(native::Window& parent);

protected:
    QWidget* childContainer(bool create) override;

private:
    QtWindow& window_;
};

class QtTimer : public native::Timer {
public:
    QtTimer();
    void setInterval(int milliseconds) override;
    void setEnabled(bool enabled) override;
    QTimer& timer() { return timer_; }

private:
    QTimer timer_;
};

// For tests: the Qt objects behind toolkit components.
QMainWindow* qtWindow(const TForm& form);
QWidget* qtWidget(const TControl& control);
QAction* qtAction(const TMenuItem& item);
QMenu* qtSubmenu(const TMenuItem& item);

}  // namespace toolkit::qt
