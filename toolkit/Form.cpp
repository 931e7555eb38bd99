#include "toolkit/Form.h"

#include <algorithm>

#include "toolkit/Application.h"

TForm::TForm(TComponent* AOwner) : TComponent(AOwner), native_(Application->backend().createWindow()) {
    native_->onCloseRequest = [this] { toolkit::dispatch([this] { Close(); }); };
}

TForm::~TForm() {
    // Going away is not hiding: no handler runs on a half-destroyed form.
    native_->onCloseRequest = nullptr;
    OnHide = nullptr;
    OnClose = nullptr;
    DestroyComponents();
    if (Application->mainForm_ == this) Application->mainForm_ = nullptr;
}

void TForm::Close() {
    // Requests that reach a main form already ending the program (a second Exit
    // queued behind the first) find its close done: it runs once.
    if (Application->MainForm() == this && Application->Terminated()) return;
    TCloseAction action = TCloseAction::Close;
    if (OnClose) OnClose(this, action);
    if (action == TCloseAction::Stay) return;
    if (Application->MainForm() == this)
        Application->Terminate();
    else
        Hide();  // forms live until the end of the program
}

void TForm::SetPosition(int ALeft, int ATop) {
    left_ = ALeft;
    top_ = ATop;
    native_->setPosition(left_, top_);
}

void TForm::SetClientSize(int AWidth, int AHeight) {
    clientWidth_ = AWidth;
    clientHeight_ = AHeight;
    native_->setClientSize(clientWidth_, clientHeight_);
}

void TForm::SetBorderStyle(TBorderStyle ABorderStyle) {
    borderStyle_ = ABorderStyle;
    native_->setBorder(borderStyle_ == TBorderStyle::Fixed ? toolkit::native::Border::Fixed
                                                           : toolkit::native::Border::Sizeable);
}

void TForm::SetMenu(TMainMenu* AMenu) {
    menu_ = AMenu;
}

void TForm::InsertControl(TControl* AControl) {
    controls_.push_back(AControl);
}

void TForm::RemoveControl(TControl* AControl) {
    std::erase(controls_, AControl);
}

void TForm::UpdateTabOrder() {
    std::vector<TControl*> stops;
    for (TControl* c : controls_)
        if (c->TabOrder >= 0) stops.push_back(c);
    std::stable_sort(stops.begin(), stops.end(),
                     [](const TControl* a, const TControl* b) { return a->TabOrder < b->TabOrder; });
    std::vector<toolkit::native::Control*> order;
    for (TControl* c : stops) order.push_back(c->nativeControl());
    native_->setTabOrder(order);
}

void TForm::DoCreate() {
    if (OnCreate) toolkit::dispatch([this] { OnCreate(this); });
}

void TForm::captionChanged() {
    native_->setCaption(Caption);
}

void TForm::visibleChanged() {
    native_->setVisible(Visible);
    if (!Visible && OnHide) toolkit::dispatch([this] { OnHide(this); });
}
