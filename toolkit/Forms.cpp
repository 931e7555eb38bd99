#include "toolkit/Forms.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "toolkit/TestHooks.h"

namespace {
constexpr const char* kUnknownException = "Unknown exception";
constexpr const char* kNotInitialized = "The application is not initialized";

TApplication theApplication;
}  // namespace

TApplication* Application = &theApplication;

// ---- TForm

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
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) return;
    if (Application->MainForm() == this)
        Application->Terminate();
    else
        Hide();  // forms live until the end; caFree and caMinimize hide as well
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
    native_->setBorder(borderStyle_ == TBorderStyle::bsSingle ? toolkit::native::Border::Fixed
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

// ---- TApplication

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
    Shutdown();
}

void TApplication::Initialize() {
    if (backend_ == nullptr) backend_ = toolkit::native::createBackend();
    terminated_ = false;
    backend_->setTitle(Title);
}

toolkit::native::Backend& TApplication::backend() const {
    if (backend_ == nullptr) throw std::logic_error(kNotInitialized);
    return *backend_;
}

void TApplication::Run() {
    if (mainForm_ != nullptr && !terminated_) {
        mainForm_->Show();
        backend().run();
    }
    Shutdown();
}

void TApplication::Terminate() {
    terminated_ = true;
    if (backend_ != nullptr) backend_->quit();
}

void TApplication::ProcessMessages() {
    backend().processMessages();
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, int Flags) {
    if (const auto& answer = toolkit::testing::messageBoxAnswer()) return answer(Text, Caption, Flags);
    return backend().messageBox(Text, Caption, Flags);
}

void TApplication::ShowException(const std::exception& E) {
    if (backend_ == nullptr && !toolkit::testing::messageBoxAnswer()) {
        std::fprintf(stderr, "%s: %s\n", Title.get().c_str(), E.what());
        return;
    }
    MessageBox(E.what(), Title, MB_OK | MB_ICONSTOP);
}

void TApplication::Shutdown() {
    DestroyComponents();
    mainForm_ = nullptr;
    backend_.reset();
}

void TApplication::titleChanged() {
    if (backend_ != nullptr) backend_->setTitle(Title);
}

namespace toolkit {

void dispatch(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    } catch (...) {
        Application->ShowException(std::runtime_error(kUnknownException));
    }
}

}  // namespace toolkit
