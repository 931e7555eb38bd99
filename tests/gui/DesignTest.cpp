// The windows as built, checked row by row against the design a user sees.

#include <QActionGroup>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>

#include "core/Rc5Devices.h"
#include "tests/gui/ProgramFixture.h"
#include "toolkit/qt/QtPeers.h"

namespace {

using toolkit::qt::qtAction;
using toolkit::qt::qtWidget;
using toolkit::qt::qtWindow;

struct ControlRow {
    const char* name;
    const char* kind;  // the Qt class that shows it
    int left, top, width, height;
    const char* text;
    const char* hint;
    int tabOrder;  // -1: not in the focus cycle
};

const ControlRow kKeypadWindow[] = {
    {"Label2", "QLabel", 10, 336, 7, 13, "C", "", -1},
    {"Label3", "QLabel", 42, 336, 8, 13, "H", "", -1},
    {"Label4", "QLabel", 74, 336, 6, 13, "F", "", -1},
    {"Label1", "QLabel", 106, 336, 6, 13, "F", "", -1},
    {"BitBtn1", "QPushButton", 18, 40, 25, 25, "1", "1", 0},
    {"BitBtn2", "QPushButton", 50, 40, 25, 25, "2", "2", 1},
    {"BitBtn3", "QPushButton", 82, 40, 25, 25, "3", "3", 2},
    {"BitBtn4", "QPushButton", 18, 72, 25, 25, "4", "4", 3},
    {"BitBtn5", "QPushButton", 50, 72, 25, 25, "5", "5", 4},
    {"BitBtn6", "QPushButton", 82, 72, 25, 25, "6", "6", 5},
    {"BitBtn7", "QPushButton", 18, 104, 25, 25, "7", "7", 6},
    {"BitBtn8", "QPushButton", 50, 104, 25, 25, "8", "8", 7},
    {"BitBtn9", "QPushButton", 82, 104, 25, 25, "9", "9", 8},
    {"BitBtn10", "QPushButton", 18, 136, 25, 25, "AB", "-1", 9},
    {"BitBtn11", "QPushButton", 50, 136, 25, 25, "0", "0", 10},
    {"BitBtn12", "QPushButton", 82, 136, 25, 25, "ret", "-1", 11},
    {"BitBtn13", "QPushButton", 50, 168, 25, 25, "^", "33", 12},
    {"BitBtn14", "QPushButton", 18, 200, 25, 25, "<", "17", 13},
    {"BitBtn15", "QPushButton", 82, 200, 25, 25, ">", "16", 14},
    {"BitBtn16", "QPushButton", 50, 232, 25, 25, "v", "32", 15},
    {"BitBtn17", "QPushButton", 2, 272, 25, 25, "<<", "50", 16},
    {"BitBtn18", "QPushButton", 66, 272, 25, 25, ">", "53", 17},
    {"BitBtn19", "QPushButton", 98, 272, 25, 25, ">>", "52", 18},
    {"BitBtn20", "QPushButton", 34, 272, 25, 25, "||", "48", 19},
    {"BitBtn21", "QPushButton", 34, 304, 25, 25, "[]", "54", 20},
    {"BitBtn22", "QPushButton", 66, 304, 25, 25, "o", "55", 21},
    {"BitBtn23", "QPushButton", 50, 200, 25, 25, "OK", "-1", 22},
    {"BitBtn24", "QPushButton", 2, 352, 25, 25, "+", "-1", 23},
    {"BitBtn25", "QPushButton", 34, 352, 25, 25, "+", "-1", 24},
    {"BitBtn26", "QPushButton", 66, 352, 25, 25, "+", "-1", 25},
    {"BitBtn27", "QPushButton", 2, 384, 25, 25, "-", "-1", 26},
    {"BitBtn28", "QPushButton", 34, 384, 25, 25, "-", "-1", 27},
    {"BitBtn29", "QPushButton", 66, 384, 25, 25, "-", "-1", 28},
    {"EditTx", "QLineEdit", 18, 8, 41, 21, "-", "", 29},
    {"EditRx", "QLineEdit", 66, 8, 41, 21, "-", "", 30},
    {"StatusBar", "QStatusBar", 0, 419, 125, 19, "", "", -1},
    {"BitBtn30", "QPushButton", 98, 352, 25, 25, "+", "-1", 32},
    {"BitBtn31", "QPushButton", 98, 384, 25, 25, "-", "-1", 33},
};

QString shownText(QWidget* widget) {
    if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    if (auto* bar = qobject_cast<QStatusBar*>(widget)) return bar->findChild<QLabel*>()->text();
    return QStringLiteral("?");
}

struct MenuRow {
    const char* name;
    const char* parent;  // "" for the bar
    const char* shown;   // caption with its access-key marker; a line shows none
    bool checked;
    bool radio;
    const char* hint;
    bool line = false;  // a separator
};

const MenuRow kMenu[] = {
    {"MenuFile", "", "&File", false, false, ""},
    {"ActivateBootloader1", "MenuFile", "&Activate Bootloader", false, false, ""},
    {"MenuDebugWindow", "MenuFile", "&Debug Window", false, false, ""},
    {"N1", "MenuFile", "", false, false, "", true},
    {"Exit1", "MenuFile", "&Exit", false, false, ""},
    {"MenuDevice", "", "&Device", false, false, ""},
    {"TV1", "MenuDevice", "&TV", true, true, "0"},
    {"VCR1", "MenuDevice", "&VCR", false, true, "5"},
    {"Sat1", "MenuDevice", "&Sat", false, true, "8"},
    {"Amp1", "MenuDevice", "&Amp", false, true, "16"},
    {"Tuner1", "MenuDevice", "T&uner", false, true, "17"},
    {"Tape1", "MenuDevice", "Ta&pe", false, true, "18"},
    {"CD1", "MenuDevice", "&CD", false, true, "20"},
    {"MenuPort", "", "&Port", false, false, ""},
};

}  // namespace

TEST_F(ProgramTest, KeypadWindowMatchesItsDesignRowByRow) {
    startProgram();
    QMainWindow* window = qtWindow(*Form1);
    window->show();
    int rows = 0;
    for (const ControlRow& row : kKeypadWindow) {
        SCOPED_TRACE(row.name);
        auto* control = dynamic_cast<TControl*>(Form1->FindComponent(row.name));
        ASSERT_NE(control, nullptr);
        QWidget* widget = qtWidget(*control);
        EXPECT_STREQ(widget->metaObject()->className(), row.kind);
        EXPECT_EQ(widget->geometry(), QRect(row.left, row.top, row.width, row.height));
        EXPECT_EQ(shownText(widget), QString::fromUtf8(row.text));
        EXPECT_EQ(control->Hint, row.hint);
        EXPECT_TRUE(widget->toolTip().isEmpty() && widget->statusTip().isEmpty());  // hints are never shown
        EXPECT_EQ(widget->focusPolicy() == Qt::StrongFocus, row.tabOrder >= 0);
        ++rows;
    }
    EXPECT_EQ(Form1->Controls().size(), static_cast<std::size_t>(rows));  // nothing more on the window

    // The focus cycle follows the tab order, not the screen.
    std::vector<const ControlRow*> cycle;
    for (const ControlRow& row : kKeypadWindow)
        if (row.tabOrder >= 0) cycle.push_back(&row);
    std::sort(cycle.begin(), cycle.end(), [](auto* a, auto* b) { return a->tabOrder < b->tabOrder; });
    QWidget* focus = qtWidget(*Form1->BitBtn1);
    for (std::size_t i = 1; i < cycle.size(); ++i) {
        do focus = focus->nextInFocusChain();
        while (focus->focusPolicy() != Qt::StrongFocus);
        EXPECT_EQ(focus, qtWidget(*dynamic_cast<TControl*>(Form1->FindComponent(cycle[i]->name)))) << cycle[i]->name;
    }

    EXPECT_TRUE(qobject_cast<QLineEdit*>(qtWidget(*Form1->EditTx))->isReadOnly());
    EXPECT_TRUE(qobject_cast<QLineEdit*>(qtWidget(*Form1->EditRx))->isReadOnly());
    EXPECT_FALSE(qobject_cast<QStatusBar*>(qtWidget(*Form1->StatusBar))->isSizeGripEnabled());
}

TEST_F(ProgramTest, KeypadWindowIsFixedAtItsPlaceWithAClientAreaOf125By438) {
    startProgram();
    QMainWindow* window = qtWindow(*Form1);
    EXPECT_FALSE(window->isVisible());  // shown when the event loop starts
    window->show();
    runFor(std::chrono::milliseconds(50));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("TELVARA"));
    const int menuBar = window->menuBar()->height();
    EXPECT_GT(menuBar, 0);
    EXPECT_EQ(window->centralWidget()->geometry(), QRect(0, menuBar, 125, 438));  // all of it inside the window
    EXPECT_EQ(window->size(), QSize(125, menuBar + 438));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(192, 107));
}

TEST_F(ProgramTest, MenuTreeMatchesItsDesignWithAccessKeysChecksAndBullets) {
    startProgram();
    QMenuBar* bar = qtWindow(*Form1)->menuBar();
    QStringList barEntries;
    for (QAction* action : bar->actions()) barEntries << action->text();
    EXPECT_EQ(barEntries, (QStringList{"&File", "&Device", "&Port"}));

    for (const MenuRow& row : kMenu) {
        SCOPED_TRACE(row.name);
        auto* item = dynamic_cast<TMenuItem*>(Form1->FindComponent(row.name));
        ASSERT_NE(item, nullptr);
        QAction* action = qtAction(*item);
        EXPECT_EQ(action->isSeparator(), row.line);
        EXPECT_EQ(action->text(), QString::fromUtf8(row.shown));
        EXPECT_EQ(action->isChecked(), row.checked);
        EXPECT_EQ(item->Checked.get(), row.checked);
        const bool bullet = action->actionGroup() != nullptr && action->actionGroup()->isExclusive();
        EXPECT_EQ(bullet, row.radio);
        EXPECT_EQ(item->Hint, row.hint);
        EXPECT_TRUE(action->statusTip().isEmpty());
        if (*row.parent != '\0') {
            auto* parent = dynamic_cast<TMenuItem*>(Form1->FindComponent(row.parent));
            EXPECT_EQ(item->Parent(), parent);
            EXPECT_TRUE(toolkit::qt::qtSubmenu(*parent)->actions().contains(action));
        }
    }
}

TEST_F(ProgramTest, DeviceItemsCarryTheSystemAddressesOfTheirAppliances) {
    startProgram();
    ASSERT_EQ(Form1->MenuDevice->Count(), static_cast<int>(rc5::devices().size()));
    for (int i = 0; i < Form1->MenuDevice->Count(); ++i) {
        TMenuItem* item = Form1->MenuDevice->Items(i);
        const auto address = rc5::deviceAddress(item->Caption.get());
        ASSERT_TRUE(address.has_value()) << item->Caption.get();
        EXPECT_EQ(item->Hint, std::to_string(*address));
    }
}

TEST_F(ProgramTest, DebugWindowIsAHiddenSizeableWindowWithAnEditableUnwrappedMemo) {
    startProgram();
    QMainWindow* window = qtWindow(*FormDebug);
    EXPECT_FALSE(window->isVisible());
    window->show();
    runFor(std::chrono::milliseconds(50));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Debug Window"));
    EXPECT_EQ(window->size(), QSize(338, 243));
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(413, 253));
    EXPECT_EQ(window->centralWidget()->size(), QSize(338, 243));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);

    auto* memo = qobject_cast<QPlainTextEdit*>(qtWidget(*FormDebug->Memo1));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->geometry(), QRect(0, 0, 338, 243));
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_FALSE(memo->isReadOnly());
    EXPECT_TRUE(memo->toPlainText().isEmpty());

    window->resize(500, 400);  // the memo follows the window
    EXPECT_EQ(memo->size(), window->centralWidget()->size());
}
