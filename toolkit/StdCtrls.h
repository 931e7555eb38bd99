#pragma once
// The standard controls: push button, static text, single-line field, memo.

#include <memory>
#include <string>

#include "toolkit/Controls.h"

class TBitBtn : public TControl {
public:
    explicit TBitBtn(TComponent* AOwner);
    TNotifyEvent OnClick;
    void Click();  // what a user's click does: runs OnClick, showing what it throws

private:
    toolkit::native::Button* button_;
};

class TLabel : public TControl {
public:
    explicit TLabel(TComponent* AOwner);
};

// Caption is its text.
class TEdit : public TControl {
public:
    explicit TEdit(TComponent* AOwner);
    Property<TEdit, bool> ReadOnly{this, &TEdit::styleChanged, false};
    Property<TEdit, bool> ButtonFaceColor{this, &TEdit::styleChanged, false};
    std::string Text() const;  // what the field shows now

private:
    void styleChanged();
    toolkit::native::Edit* edit_;
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo;

// The memo's lines: Add appends a line after whatever the user left at the end.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TMemo& memo) : memo_(memo) {}
    int Add(const std::string& S) override;
    int Count() const override;
    std::string Text() const override;

private:
    TMemo& memo_;
};

class TMemo : public TControl {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;

    Property<TMemo, TScrollStyle> ScrollBars{this, &TMemo::styleChanged, TScrollStyle::ssNone};
    Property<TMemo, bool> WordWrap{this, &TMemo::styleChanged, true};
    Property<TMemo, bool> ReadOnly{this, &TMemo::styleChanged, false};
    TStrings* Lines;

    toolkit::native::Memo& nativeMemo() const { return *memo_; }

private:
    void styleChanged();
    toolkit::native::Memo* memo_;
    TMemoStrings lines_;
};
