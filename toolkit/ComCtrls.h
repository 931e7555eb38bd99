#pragma once
// The status bar: one simple text along the bottom of the form.

#include <string>

#include "toolkit/Controls.h"

class TStatusBar : public TControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    Property<TStatusBar, std::string> SimpleText{this, &TStatusBar::textChanged};

private:
    void textChanged();
};
