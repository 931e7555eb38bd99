#include "toolkit/Component.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner) : owner_(AOwner) {
    if (owner_ != nullptr) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (owner_ != nullptr) std::erase(owner_->components_, this);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    auto found =
        std::find_if(components_.begin(), components_.end(), [name](const TComponent* c) { return c->Name == name; });
    return found == components_.end() ? nullptr : *found;
}

void TComponent::DestroyComponents() {
    // Last created first: later components may refer to earlier ones, never the reverse.
    while (!components_.empty()) delete components_.back();
}
