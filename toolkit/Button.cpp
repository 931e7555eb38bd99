#include "toolkit/Button.h"

#include "toolkit/Application.h"

TBitBtn::TBitBtn(TComponent* AOwner) : TControl(AOwner) {
    auto native = Application->backend().createButton(parentWindow());
    button_ = native.get();
    button_->onClick = [this] { Click(); };
    attach(std::move(native));
}

void TBitBtn::Click() {
    if (OnClick) toolkit::dispatch([this] { OnClick(this); });
}
