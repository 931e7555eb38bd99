#pragma once
// The push button.

#include "toolkit/Control.h"

class TBitBtn : public TControl {
public:
    explicit TBitBtn(TComponent* AOwner);
    TNotifyEvent OnClick;
    void Click();  // what a user's click does: runs OnClick, showing what it throws

private:
    toolkit::native::Button* button_;
};
