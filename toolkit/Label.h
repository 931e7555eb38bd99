#pragma once
// Static text on a form.

#include "toolkit/Control.h"

class TLabel : public TControl {
public:
    explicit TLabel(TComponent* AOwner);
};
