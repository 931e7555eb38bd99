// The Qt 6 Widgets backend: creates the peers and owns the QApplication.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "toolkit/Application.h"
#include "toolkit/qt/QtPeers.h"
#include "toolkit/qt/QtText.h"

namespace toolkit::qt {
namespace {

constexpr int kButtonsMask = 0x0F;
constexpr int kIconMask = 0xF0;

class QtBackend : public native::Backend {
public:
    QtBackend() : app_(argc_, argv_) {
        QApplication::setQuitOnLastWindowClosed(false);  // the main form ends the program
    }

    std::unique_ptr<native::Window> createWindow() override { return std::make_unique<QtWindow>(); }
    std::unique_ptr<native::Button> createButton(native::Window& p) override { return std::make_unique<QtButton>(p); }
    std::unique_ptr<native::Label> createLabel(native::Window& p) override { return std::make_unique<QtLabel>(p); }
    std::unique_ptr<native::Edit> createEdit(native::Window& p) override { return std::make_unique<QtEdit>(p); }
    std::unique_ptr<native::Memo> createMemo(native::Window& p) override { return std::make_unique<QtMemo>(p); }
    std::unique_ptr<native::StatusBar> createStatusBar(native::Window& p) override {
        return std::make_unique<QtStatusBar>(p);
    }
    std::unique_ptr<native::MenuItem> createMenuBar(native::Window& p) override {
        return std::make_unique<QtMenuBar>(p);
    }
    std::unique_ptr<native::MenuItem> createMenuItem() override { return std::make_unique<QtMenuItem>(); }
    std::unique_ptr<native::Timer> createTimer() override { return std::make_unique<QtTimer>(); }

    void setTitle(const std::string& title) override { QApplication::setApplicationName(fromUtf8(title)); }

    int messageBox(const std::string& text, const std::string& caption, int flags) override {
        QMessageBox box;
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowTitle(fromUtf8(caption));
        box.setText(fromUtf8(text));
        box.setTextFormat(Qt::PlainText);
        if ((flags & kIconMask) == MB_ICONSTOP) box.setIcon(QMessageBox::Critical);
        QPushButton* ok = box.addButton(QMessageBox::Ok);
        box.setDefaultButton(ok);
        if ((flags & kButtonsMask) == MB_OKCANCEL) {
            box.setEscapeButton(box.addButton(QMessageBox::Cancel));
        } else {
            box.setEscapeButton(ok);
        }
        box.exec();  // its loop keeps timers ticking
        return box.clickedButton() == ok ? IDOK : IDCANCEL;
    }

    void run() override {
        running_ = true;
        QApplication::exec();
        running_ = false;
    }
    // Ends the loop directly. QApplication::quit() would first ask every visible
    // window to close, and a form's window leaves that to the form: the debug
    // window hides, the keypad window would run its close a second time, and
    // whether the quit went through depended on the order Qt visited them in.
    // Outside exec() an exit would linger and end the next modal loop at once.
    void quit() override {
        if (running_) QCoreApplication::exit(0);
    }
    void processMessages() override { QApplication::processEvents(QEventLoop::AllEvents); }

private:
    // The program takes no arguments; Qt reads its settings from the environment.
    static inline int argc_ = 1;
    static inline char programName_[] = "telvara";
    static inline char* argv_[] = {programName_, nullptr};
    QApplication app_;
    bool running_ = false;
};

}  // namespace
}  // namespace toolkit::qt

std::unique_ptr<toolkit::native::Backend> toolkit::native::createBackend() {
    return std::make_unique<toolkit::qt::QtBackend>();
}
