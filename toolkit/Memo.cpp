#include "toolkit/Memo.h"

#include "toolkit/Application.h"

TMemo::TMemo(TComponent* AOwner) : TControl(AOwner), Lines(&lines_), lines_(*this) {
    auto native = Application->backend().createMemo(parentWindow());
    memo_ = native.get();
    attach(std::move(native));
    styleChanged();
}

TMemo::~TMemo() = default;

void TMemo::styleChanged() {
    const TScrollStyle bars = ScrollBars;
    memo_->setScrollBars(bars == TScrollStyle::Horizontal || bars == TScrollStyle::Both,
                         bars == TScrollStyle::Vertical || bars == TScrollStyle::Both);
    memo_->setWordWrap(WordWrap);
    memo_->setReadOnly(ReadOnly);
}

namespace {
constexpr const char* kLineBreak = "\r\n";
}

int TMemoStrings::Add(const std::string& S) {
    toolkit::native::Memo& memo = memo_.nativeMemo();
    // Normally the text ends with a line break and the new line goes onto the
    // empty last line; after a line the user left unterminated it starts a line
    // of its own, and then the text does not end with a break.
    if (memo.endsWithEmptyLine())
        memo.insertAtEnd(S + kLineBreak);
    else
        memo.insertAtEnd(kLineBreak + S);
    return memo.lineCount() - 1;
}

int TMemoStrings::Count() const {
    return memo_.nativeMemo().lineCount();
}

std::string TMemoStrings::Text() const {
    std::string text = memo_.nativeMemo().text();
    if (!text.empty() && !text.ends_with(kLineBreak)) text += kLineBreak;
    return text;
}
