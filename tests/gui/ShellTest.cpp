// Start-up, shutdown and the error display of the program as a whole.

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "tests/gui/ProgramFixture.h"
#include "toolkit/TestHooks.h"
#include "toolkit/qt/QtPeers.h"

using namespace std::chrono_literals;

namespace {

// Answers the next modal box as a user would, after looking at it.
void answerNextBox(QMessageBox::StandardButton button, QString* text, QString* title, QMessageBox::Icon* icon,
                   int afterMs) {
    QTimer::singleShot(afterMs, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        *text = box->text();
        *title = box->windowTitle();
        *icon = box->icon();
        box->button(button)->click();
    });
}

}  // namespace

TEST_F(ProgramTest, StartsWithNoPortDeviceTvToggleZeroAndTheDebugWindowHidden) {
    startProgram();
    EXPECT_EQ(Application->MainForm(), Form1);
    EXPECT_EQ(Application->Title.get(), "TELVARA");
    EXPECT_EQ(Form1->ToggleBit, 0);
    EXPECT_EQ(Form1->DeviceAddress, 0);
    EXPECT_EQ(Form1->PortName, "");
    EXPECT_EQ(CurrentPort, nullptr);
    EXPECT_EQ(portHandlesOpen(), 0);
    EXPECT_TRUE(Form1->TV1->Checked.get());
    EXPECT_EQ(Form1->EditTx->Text(), "-");
    EXPECT_EQ(status(), "");
    EXPECT_FALSE(FormDebug->Visible.get());
    EXPECT_FALSE(Form1->MenuDebugWindow->Checked.get());
    EXPECT_TRUE(Form1->Timer1->Enabled.get());
    EXPECT_EQ(Form1->Timer1->Interval.get(), 100);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ProgramTest, AnExceptionFromAHandlerIsShownAndTheProgramGoesOn) {
    startProgram();
    choosePort();
    Form1->BitBtn5->Hint = "five";
    press(Form1->BitBtn5);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "not a whole number: 'five'");
    EXPECT_EQ(boxes[0].caption, "TELVARA");
    EXPECT_EQ(boxes[0].flags, MB_OK | MB_ICONSTOP);
    EXPECT_EQ(wire(), "");  // the rest of the handler was skipped
    EXPECT_EQ(Form1->ToggleBit, 0);
    EXPECT_EQ(status(), "ttyACM0");

    press(Form1->BitBtn1);
    EXPECT_EQ(status(), "0001");
    EXPECT_FALSE(wire().empty());
}

TEST_F(ProgramTest, TheErrorBoxIsARealStopBoxCaptionedWithTheTitle) {
    toolkit::testing::setMessageBoxAnswer({});
    startProgram();
    Form1->BitBtn5->Hint = "";
    QString text, title;
    QMessageBox::Icon icon{};
    answerNextBox(QMessageBox::Ok, &text, &title, &icon, 50);
    press(Form1->BitBtn5);
    EXPECT_EQ(text, QStringLiteral("not a whole number: ''"));
    EXPECT_EQ(title, QStringLiteral("TELVARA"));
    EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST_F(ProgramTest, TheRealConfirmationBoxKeepsTheReceiveTimerRunning) {
    toolkit::testing::setMessageBoxAnswer({});
    startProgram();
    choosePort();
    QTimer::singleShot(50, [this] { pty->send("while asking"); });
    QString text, title;
    QMessageBox::Icon icon{};
    answerNextBox(QMessageBox::Cancel, &text, &title, &icon, 600);
    choose(Form1->ActivateBootloader1);
    EXPECT_EQ(text, QStringLiteral("Are you sure to activate the bootloader?"));
    EXPECT_EQ(title, QStringLiteral("TELVARA"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(debugLines(), std::vector<std::string>{"while asking"});
    EXPECT_EQ(status(), "ttyACM0");
}

TEST_F(ProgramTest, ClosingTheKeypadWindowStopsTheTimerClosesThePortAndEndsTheProgram) {
    struct Case {
        const char* what;
        bool choosePort;
        bool debugShown;
        bool viaExit;
    };
    const Case cases[] = {
        {"no port ever chosen, close box", false, false, false},
        {"port open, Exit", true, false, true},
        {"port open, debug window shown, close box", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        startProgram();
        if (c.choosePort) choosePort();
        if (c.debugShown) choose(Form1->MenuDebugWindow);
        if (c.viaExit)
            choose(Form1->Exit1);
        else
            toolkit::qt::qtWindow(*Form1)->close();
        EXPECT_TRUE(Application->Terminated());
        EXPECT_FALSE(Form1->Timer1->Enabled.get());
        EXPECT_EQ(CurrentPort, nullptr);
        EXPECT_EQ(portHandlesOpen(), 0);
        EXPECT_TRUE(boxes.empty());
        TearDown();
        SetUp();
    }
}

TEST_F(ProgramTest, ExitAndTheCloseBoxEndTheRunningLoopAndCloseOnceWithTheDebugWindowShownOrHidden) {
    struct Case {
        const char* what;
        bool debugShown;
        bool viaExit;
    };
    const Case cases[] = {
        {"debug window shown, Exit", true, true},
        {"debug window shown, close box", true, false},
        {"debug window hidden, Exit", false, true},
        {"debug window hidden, close box", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        startProgram();
        choosePort();
        int closes = 0;
        int timerEnabledAfterClose = -1;
        Form1->OnClose = [&closes, close = Form1->OnClose](TObject* sender, TCloseAction& action) {
            ++closes;
            close(sender, action);
        };
        // Both timers belong to the keypad window, so they go with it whichever way the loop ends.
        QMainWindow* keypad = toolkit::qt::qtWindow(*Form1);
        bool watchdogFired = false;
        auto* watchdog = new QTimer(keypad);
        watchdog->setSingleShot(true);
        QObject::connect(watchdog, &QTimer::timeout, [&] {
            watchdogFired = true;
            timerEnabledAfterClose = Form1->Timer1->Enabled.get() ? 1 : 0;
            QCoreApplication::exit(1);  // ends even a loop the program failed to end
        });
        watchdog->start(10'000);
        QTimer::singleShot(50, keypad, [&] {
            if (c.debugShown) choose(Form1->MenuDebugWindow);
            if (c.viaExit)
                choose(Form1->Exit1);
            else
                keypad->close();
            keypad->close();  // a hasty second request, handled before the loop looks again
        });
        Application->Run();
        EXPECT_FALSE(watchdogFired) << "the loop went on after the keypad window closed; its timer was "
                                    << (timerEnabledAfterClose == 1 ? "running" : "stopped");
        EXPECT_EQ(closes, 1);
        EXPECT_EQ(CurrentPort, nullptr);
        EXPECT_EQ(portHandlesOpen(), 0);
        EXPECT_EQ(Application->ComponentCount(), 0);
        Form1 = nullptr;
        FormDebug = nullptr;
        Application->Initialize();
    }
}

TEST_F(ProgramTest, RunShowsTheKeypadWindowAndReturnsOnceItIsClosed) {
    startProgram();
    bool shownWhenRunning = false;
    QTimer::singleShot(100, [&] {
        shownWhenRunning = toolkit::qt::qtWindow(*Form1)->isVisible();
        choose(Form1->Exit1);
    });
    Application->Run();  // returns only when the main form has closed
    EXPECT_TRUE(shownWhenRunning);
    EXPECT_EQ(Application->MainForm(), nullptr);  // both windows are gone
    EXPECT_EQ(Application->ComponentCount(), 0);
    Form1 = nullptr;
    FormDebug = nullptr;
    Application->Initialize();  // for the tests after this one
}
