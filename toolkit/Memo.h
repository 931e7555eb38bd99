#pragma once
// The multi-line text field and its lines.

#include <memory>
#include <string>

#include "toolkit/Control.h"
#include "toolkit/Strings.h"

enum class TScrollStyle { None, Horizontal, Vertical, Both };

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

    Property<TMemo, TScrollStyle> ScrollBars{this, &TMemo::styleChanged, TScrollStyle::None};
    Property<TMemo, bool> WordWrap{this, &TMemo::styleChanged, true};
    Property<TMemo, bool> ReadOnly{this, &TMemo::styleChanged, false};
    TStrings* Lines;

    toolkit::native::Memo& nativeMemo() const { return *memo_; }

private:
    void styleChanged();
    toolkit::native::Memo* memo_;
    TMemoStrings lines_;
};
