#pragma once
// The status bar: one line of text along the bottom of the form.

#include <string>

#include "toolkit/Control.h"

class TStatusBar : public TControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    Property<TStatusBar, std::string> Text{this, &TStatusBar::textChanged};

private:
    void textChanged();
};
