#include "toolkit/Menu.h"

#include <algorithm>
#include <stdexcept>

#include "toolkit/AccessKeys.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace {
constexpr const char* kMenuInsertedTwice = "Menu inserted twice";
constexpr const char* kMenuIndexOutOfBounds = "Menu index out of bounds";
constexpr const char* kMainMenuNeedsForm = "A main menu must be owned by a form";
}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TMenuItem(AOwner, Application->backend().createMenuItem()) {}

TMenuItem::TMenuItem(TComponent* AOwner, std::unique_ptr<toolkit::native::MenuItem> native)
    : TComponent(AOwner), native_(std::move(native)) {
    native_->onClick = [this] { Click(); };
}

TMenuItem::~TMenuItem() {
    // Items this one owns are usually its own submenu: they go first, while it is whole.
    DestroyComponents();
    for (TMenuItem* child : items_) {
        native_->removeChild(*child->native_);
        child->parent_ = nullptr;
    }
    items_.clear();
    if (parent_ != nullptr) parent_->Remove(this);
}

void TMenuItem::Add(TMenuItem* Item) {
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (Item->parent_ != nullptr) throw std::logic_error(kMenuInsertedTwice);
    if (Index < 0 || Index > Count()) throw std::out_of_range(kMenuIndexOutOfBounds);
    items_.insert(items_.begin() + Index, Item);
    Item->parent_ = this;
    native_->insertChild(Index, *Item->native_);
    updateAccessKeys();
}

void TMenuItem::Delete(int Index) {
    if (Index < 0 || Index >= Count()) throw std::out_of_range(kMenuIndexOutOfBounds);
    TMenuItem* item = items_[static_cast<std::size_t>(Index)];
    items_.erase(items_.begin() + Index);
    item->parent_ = nullptr;
    native_->removeChild(*item->native_);
    item->updateAccessKeys();
    updateAccessKeys();
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto found = std::find(items_.begin(), items_.end(), Item);
    if (found != items_.end()) Delete(static_cast<int>(found - items_.begin()));
}

void TMenuItem::Click() {
    if (OnClick) toolkit::dispatch([this] { OnClick(this); });
}

void TMenuItem::captionChanged() {
    native_->setSeparator(Caption == kSeparatorCaption);
    if (parent_ != nullptr)
        parent_->updateAccessKeys();
    else
        updateAccessKeys();
}

void TMenuItem::checkedChanged() {
    native_->setChecked(Checked);
    if (!Checked || !RadioItem || parent_ == nullptr) return;
    for (TMenuItem* sibling : parent_->items_)
        if (sibling != this && sibling->RadioItem && sibling->GroupIndex == GroupIndex) sibling->Checked = false;
}

void TMenuItem::radioChanged() {
    native_->setRadio(RadioItem, GroupIndex);
}

// Recomputes the markers of this item's children; an item outside a menu
// shows its caption with no marker.
void TMenuItem::updateAccessKeys() {
    if (parent_ == nullptr) {
        displayCaption_.clear();
        for (char c : Caption.get()) displayCaption_ += (c == '&') ? std::string("&&") : std::string(1, c);
        native_->setCaption(displayCaption_);
    }
    std::vector<std::string> captions;
    captions.reserve(items_.size());
    for (const TMenuItem* item : items_) captions.push_back(item->Caption);
    const std::vector<std::string> shown = toolkit::withAccessKeys(captions);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i]->displayCaption_ == shown[i]) continue;
        items_[i]->displayCaption_ = shown[i];
        items_[i]->native_->setCaption(shown[i]);
    }
}

TMainMenu::TMainMenu(TComponent* AOwner) : TComponent(AOwner) {
    auto* form = dynamic_cast<TForm*>(AOwner);
    if (form == nullptr) throw std::invalid_argument(kMainMenuNeedsForm);
    Items = new TMenuItem(this, Application->backend().createMenuBar(form->nativeWindow()));
}

TMainMenu::~TMainMenu() = default;
