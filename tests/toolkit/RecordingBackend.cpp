#include "tests/toolkit/RecordingBackend.h"

#include <algorithm>

namespace toolkit::recording {

namespace {
constexpr const char* kLineBreak = "\r\n";
}

bool Memo::endsWithEmptyLine() const {
    return ControlOf::text.empty() || ControlOf::text.ends_with(kLineBreak);
}

int Memo::lineCount() const {
    const std::string& all = ControlOf::text;
    int breaks = 0;
    for (std::size_t at = all.find(kLineBreak); at != std::string::npos; at = all.find(kLineBreak, at + 2)) ++breaks;
    return breaks + (endsWithEmptyLine() ? 0 : 1);
}

MenuItem::~MenuItem() {
    for (MenuItem* child : children) child->parent = nullptr;
    if (parent != nullptr) parent->removeChild(*this);
}

void MenuItem::insertChild(int index, native::MenuItem& child) {
    auto& item = dynamic_cast<MenuItem&>(child);
    children.insert(children.begin() + index, &item);
    item.parent = this;
}

void MenuItem::removeChild(native::MenuItem& child) {
    auto& item = dynamic_cast<MenuItem&>(child);
    std::erase(children, &item);
    item.parent = nullptr;
}

Timer::Timer(Backend& backend) : backend_(backend) {
    backend_.timers.push_back(this);
}

Timer::~Timer() {
    std::erase(backend_.timers, this);
}

int Backend::messageBox(const std::string& text, const std::string& caption, int flags) {
    boxes.push_back({text, caption, flags});
    return boxAnswer;
}

Window& peerOf(const TForm& form) {
    return dynamic_cast<Window&>(form.nativeWindow());
}

MenuItem& peerOf(const TMenuItem& item) {
    return dynamic_cast<MenuItem&>(item.nativeItem());
}

}  // namespace toolkit::recording
