#include "toolkit/Control.h"

#include <stdexcept>

#include "toolkit/Form.h"

namespace {
constexpr const char* kControlNeedsForm = "A control must be owned by a form";

toolkit::native::Align nativeAlign(TAlign align) {
    switch (align) {
        case TAlign::Bottom: return toolkit::native::Align::Bottom;
        case TAlign::Client: return toolkit::native::Align::Client;
        case TAlign::None: break;
    }
    return toolkit::native::Align::None;
}
}  // namespace

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), parent_(dynamic_cast<TForm*>(AOwner)) {
    if (parent_ == nullptr) throw std::invalid_argument(kControlNeedsForm);
}

TControl::~TControl() {
    parent_->RemoveControl(this);
}

void TControl::attach(std::unique_ptr<toolkit::native::Control> native) {
    native_ = std::move(native);
    parent_->InsertControl(this);
}

toolkit::native::Window& TControl::parentWindow() const {
    return parent_->nativeWindow();
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    native_->setBounds(left_, top_, width_, height_);
}

void TControl::SetAlign(TAlign AAlign) {
    align_ = AAlign;
    native_->setAlign(nativeAlign(align_));
}

void TControl::captionChanged() {
    native_->setText(Caption);
}
