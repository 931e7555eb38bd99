#include "toolkit/Application.h"

#include <cstdio>
#include <stdexcept>

#include "toolkit/TestHooks.h"

namespace {
constexpr const char* kUnknownException = "Unknown exception";
constexpr const char* kNotInitialized = "The application is not initialized";

TApplication theApplication;
}  // namespace

TApplication* Application = &theApplication;

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
    Shutdown();
}

void TApplication::Initialize(const BackendMaker& makeBackend) {
    if (backend_ == nullptr) backend_ = makeBackend();
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
