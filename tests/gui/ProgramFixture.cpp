#include "tests/gui/ProgramFixture.h"

#include <QApplication>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <thread>

#include "toolkit/TestHooks.h"
#include "toolkit/qt/QtPeers.h"

void ProgramTest::SetUp() {
    pty = std::make_unique<PseudoTerminal>();
    tree = std::make_unique<SimulatedDeviceTree>();
    ASSERT_TRUE(tree->addTty("ttyACM0", "cdc_acm", pty->slavePath()));
    ::setenv("TELVARA_ROOT", tree->root().c_str(), 1);
    toolkit::testing::setMessageBoxAnswer([this](const std::string& text, const std::string& caption, int flags) {
        boxes.push_back({text, caption, flags});
        if (whileBoxShown) whileBoxShown();
        return boxAnswer;
    });
}

void ProgramTest::TearDown() {
    endProgram();
    toolkit::testing::setMessageBoxAnswer({});
    ::unsetenv("TELVARA_ROOT");
}

void ProgramTest::press(TBitBtn* button) {
    auto* widget = qobject_cast<QPushButton*>(toolkit::qt::qtWidget(*button));
    ASSERT_NE(widget, nullptr);
    widget->click();
}

void ProgramTest::choose(TMenuItem* item) {
    toolkit::qt::qtAction(*item)->trigger();
}

bool ProgramTest::runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void ProgramTest::runFor(std::chrono::milliseconds time) {
    runUntil([] { return false; }, time);
}

std::vector<std::string> ProgramTest::debugLines() const {
    const std::string text = FormDebug->Memo1->Lines->Text();
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string ProgramTest::wire(int quietMs) const {
    const std::vector<std::uint8_t> bytes = pty->drain(quietMs);
    return {bytes.begin(), bytes.end()};
}

int ProgramTest::portHandlesOpen() const {
    struct stat slave {};
    if (::stat(pty->slavePath().c_str(), &slave) != 0) return -1;
    int count = 0;
    DIR* dir = ::opendir("/proc/self/fd");
    while (const dirent* entry = ::readdir(dir)) {
        struct stat target {};
        const std::string path = std::string("/proc/self/fd/") + entry->d_name;
        if (::stat(path.c_str(), &target) == 0 && S_ISCHR(target.st_mode) && target.st_rdev == slave.st_rdev) ++count;
    }
    ::closedir(dir);
    return count - 1;  // the pty keeps one of its own
}
