// The debug window: shown and hidden in step with its check mark, closed by
// hiding, and lines appended after whatever the user left in the memo.

#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "tests/gui/ProgramFixture.h"
#include "toolkit/qt/QtPeers.h"

namespace {
QPlainTextEdit* memoWidget() {
    return qobject_cast<QPlainTextEdit*>(toolkit::qt::qtWidget(*FormDebug->Memo1));
}
}  // namespace

TEST_F(ProgramTest, DebugWindowItemShowsAndHidesTheWindowWithItsCheckMark) {
    startProgram();
    QMainWindow* window = toolkit::qt::qtWindow(*FormDebug);
    EXPECT_FALSE(Form1->MenuDebugWindow->Checked.get());
    choose(Form1->MenuDebugWindow);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(Form1->MenuDebugWindow->Checked.get());
    EXPECT_TRUE(toolkit::qt::qtAction(*Form1->MenuDebugWindow)->isChecked());
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(413, 253));
    choose(Form1->MenuDebugWindow);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(Form1->MenuDebugWindow->Checked.get());
    EXPECT_FALSE(toolkit::qt::qtAction(*Form1->MenuDebugWindow)->isChecked());
}

TEST_F(ProgramTest, ClosingTheDebugWindowHidesItClearsTheMarkAndKeepsItsLines) {
    startProgram();
    FormDebug->AddLine("kept");
    choose(Form1->MenuDebugWindow);
    QMainWindow* window = toolkit::qt::qtWindow(*FormDebug);
    window->move(300, 200);  // the user moves it; it stays there
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(Form1->MenuDebugWindow->Checked.get());
    EXPECT_FALSE(Application->Terminated());
    EXPECT_NE(FormDebug, nullptr);

    FormDebug->AddLine("while hidden");
    choose(Form1->MenuDebugWindow);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(Form1->MenuDebugWindow->Checked.get());
    EXPECT_EQ(window->pos(), QPoint(300, 200));
    EXPECT_EQ(debugLines(), (std::vector<std::string>{"kept", "while hidden"}));
}

TEST_F(ProgramTest, AppendedLinesStartOnALineOfTheirOwnWhateverTheUserLeft) {
    struct Case {
        const char* what;
        std::function<void(QPlainTextEdit*)> user;  // what the user did before the appends
        std::vector<std::string> appends;
        const char* text;                            // the memo afterwards, "\r\n" breaks
    };
    const Case cases[] = {
        {"normal appends", {}, {"a", "b"}, "a\r\nb\r\n"},
        {"an empty text adds an empty line", {}, {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {"a text with a line break shows as two lines", {}, {"A\r\nB"}, "A\r\nB\r\n"},
        {"after an unterminated line typed by the user",
         [](QPlainTextEdit* m) {
             FormDebug->AddLine("x");
             m->moveCursor(QTextCursor::End);
             m->insertPlainText("abc");
         },
         {"next", "more"}, "x\r\nabc\r\nnext\r\nmore"},
        {"after the user cleared the memo", [](QPlainTextEdit* m) {
             FormDebug->AddLine("x");
             m->clear();
         },
         {"first"}, "first\r\n"},
    };
    startProgram();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        memoWidget()->clear();
        if (c.user) c.user(memoWidget());
        for (const std::string& line : c.appends) FormDebug->AddLine(line);
        EXPECT_EQ(FormDebug->Memo1->nativeMemo().text(), c.text);
    }
}

TEST_F(ProgramTest, AnAppendReplacesTheUsersSelectionAndLeavesTheCaretAfterIt) {
    startProgram();
    FormDebug->AddLine("first line");
    QPlainTextEdit* memo = memoWidget();
    QTextCursor selection(memo->document());
    selection.setPosition(0);
    selection.setPosition(5, QTextCursor::KeepAnchor);
    memo->setTextCursor(selection);
    FormDebug->AddLine("second");
    EXPECT_FALSE(memo->textCursor().hasSelection());
    EXPECT_EQ(memo->textCursor().position(), memo->document()->characterCount() - 1);
    EXPECT_EQ(debugLines(), (std::vector<std::string>{"first line", "second"}));
}
