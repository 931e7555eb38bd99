// The debug window: shown and hidden in step with its check mark, closed by
// hiding, and lines appended after whatever the user left in the memo.

#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocumentFragment>

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
        const char* text;  // the memo afterwards, "\r\n" breaks
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
         {"next", "more"},
         "x\r\nabc\r\nnext\r\nmore"},
        {"after the user cleared the memo",
         [](QPlainTextEdit* m) {
             FormDebug->AddLine("x");
             m->clear();
         },
         {"first"},
         "first\r\n"},
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

// A long session: the memo keeps lines above the end in fewer text blocks than
// lines, and still reads back, counts, copies and scrolls as one block a line.
TEST_F(ProgramTest, ALongSessionReadsBackCopiesAndScrollsLineForLine) {
    startProgram();
    choose(Form1->MenuDebugWindow);
    std::vector<std::string> lines;
    for (int i = 0; i < 2000; ++i) {
        std::string line(static_cast<std::size_t>(i % 61), '\0');
        for (std::size_t k = 0; k < line.size(); ++k) {
            const auto byte = static_cast<char>((i * 7 + static_cast<int>(k) * 13) % 256);
            line[k] = byte == '\r' || byte == '\n' ? '.' : byte;  // any byte but a line break
        }
        if (i == 700) line = std::string(5000, 'x');  // longer than a joined block
        lines.push_back(line);
    }
    std::string text, copied;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(FormDebug->Memo1->Lines->Add(lines[i]), static_cast<int>(i));
        text += lines[i] + "\r\n";
        copied += lines[i] + "\n";
    }
    runFor(std::chrono::milliseconds(50));
    QPlainTextEdit* memo = memoWidget();
    ASSERT_LT(memo->document()->blockCount(), 1000);  // lines were joined, or this test shows nothing
    EXPECT_EQ(FormDebug->Memo1->Lines->Text(), text);
    EXPECT_EQ(FormDebug->Memo1->Lines->Count(), 2000);
    EXPECT_EQ(memo->textCursor().position(), memo->document()->characterCount() - 1);

    // Copying and scrolling go as in a memo holding the same lines one block each.
    QPlainTextEdit plain;
    plain.setFont(memo->font());
    plain.setLineWrapMode(QPlainTextEdit::NoWrap);
    plain.setVerticalScrollBarPolicy(memo->verticalScrollBarPolicy());
    plain.setHorizontalScrollBarPolicy(memo->horizontalScrollBarPolicy());
    plain.resize(memo->size());
    plain.setPlainText(QString::fromLatin1(copied.data(), static_cast<qsizetype>(copied.size())));
    plain.show();
    runFor(std::chrono::milliseconds(50));
    ASSERT_EQ(plain.document()->blockCount(), 2001);
    QTextCursor all(memo->document()), plainAll(plain.document());
    all.select(QTextCursor::Document);
    plainAll.select(QTextCursor::Document);
    EXPECT_EQ(all.selection().toPlainText(), plainAll.selection().toPlainText());
    // The scroll bar counts in lines: the last page plus what lies above it is every line.
    const QScrollBar* bar = memo->verticalScrollBar();
    EXPECT_EQ(bar->maximum() + bar->pageStep(), 2001);
    EXPECT_TRUE(memo->viewport()->rect().contains(memo->cursorRect()));  // the caret at the end is in view

    // A joined line scrolled into view shows where it did before.
    memo->verticalScrollBar()->setValue(1000);
    plain.verticalScrollBar()->setValue(1000);
    EXPECT_EQ(memo->cursorForPosition(QPoint(5, 5)).position(), plain.cursorForPosition(QPoint(5, 5)).position());

    // Wrapping counts lines by block, so switching it on splits the joined lines.
    FormDebug->Memo1->WordWrap = true;
    EXPECT_EQ(memo->document()->blockCount(), 2001);
    EXPECT_EQ(FormDebug->Memo1->Lines->Text(), text);
    EXPECT_EQ(FormDebug->Memo1->Lines->Count(), 2000);
}
