#pragma once
// The single-line text field.

#include <string>

#include "toolkit/Control.h"

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
