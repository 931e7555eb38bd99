#include "toolkit/Edit.h"

#include "toolkit/Application.h"

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
