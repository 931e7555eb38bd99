#include "toolkit/StdCtrls.h"

#include "toolkit/Forms.h"

TBitBtn::TBitBtn(TComponent* AOwner) : TControl(AOwner) {
    auto native = Application->backend().createButton(parentWindow());
    button_ = native.get();
    button_->onClick = [this] { Click(); };
    attach(std::move(native));
}

void TBitBtn::Click() {
    if (OnClick) toolkit::dispatch([this] { OnClick(this); });
}

TLabel::TLabel(TComponent* AOwner) : TControl(AOwner) {
    attach(Application->backend().createLabel(parentWindow()));
}

TEdit::TEdit(TComponent* AOwner) : TControl(AOwner) {
    auto native = Application->backend().createEdit(parentWindow());
    edit_ = native.get();
    attach(std::move(native));
}

std::string TEdit::Text() const {
    return edit_->text();
}

void TEdit::styleChanged() {
    edit_->setReadOnly(ReadOnly);
    edit_->setButtonFaceColor(ButtonFaceColor);
}

TMemo::TMemo(TComponent* AOwner) : TControl(AOwner), Lines(&lines_), lines_(*this) {
    auto native = Application->backend().createMemo(parentWindow());
    memo_ = native.get();
    attach(std::move(native));
    styleChanged();
}

TMemo::~TMemo() = default;

void TMemo::styleChanged() {
    const TScrollStyle bars = ScrollBars;
    memo_->setScrollBars(bars == TScrollStyle::ssHorizontal || bars == TScrollStyle::ssBoth,
                         bars == TScrollStyle::ssVertical || bars == TScrollStyle::ssBoth);
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
