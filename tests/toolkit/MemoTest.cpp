// The memo's lines: a new line goes after whatever the memo holds, even a
// last line the user typed without a line break.

#include <gtest/gtest.h>

#include "tests/toolkit/RecordingApplication.h"
#include "tests/toolkit/TestForm.h"

using namespace toolkit::recording;

TEST_F(RecordingApplication, MemoLinesAddedAfterAnUnterminatedLineStartALineOfTheirOwn) {
    TTestForm* form = nullptr;
    Application->MakeForm(&form);
    TStrings& lines = *form->Memo1->Lines;
    Memo& memo = peerOf<Memo>(*form->Memo1);
    EXPECT_EQ(lines.Add("first"), 0);
    EXPECT_EQ(lines.Add(""), 1);
    EXPECT_EQ(memo.text(), "first\r\n\r\n");
    memo.insertAtEnd("typed");  // the user, with no Enter at the end
    EXPECT_EQ(lines.Text(), "first\r\n\r\ntyped\r\n");
    EXPECT_EQ(lines.Add("\xff byte"), 3);
    EXPECT_EQ(memo.text(), "first\r\n\r\ntyped\r\n\xff byte");
    EXPECT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines.Text(), "first\r\n\r\ntyped\r\n\xff byte\r\n");
}
