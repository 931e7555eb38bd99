// The menus: a form's menu bar, its entries and their popups.

#include "toolkit/win32/Win32Peers.h"

#include <algorithm>
#include <map>

#include "toolkit/win32/Win32Text.h"

namespace toolkit::win32 {

namespace {

constexpr UINT kFirstCommand = 1000;  // IDOK, IDCANCEL and friends stay free for the dialog manager

std::map<UINT, Win32MenuItem*>& commands() {
    static std::map<UINT, Win32MenuItem*> items;
    return items;
}

}  // namespace

Win32MenuItem::Win32MenuItem() {
    static UINT next = kFirstCommand;
    id_ = next++;
    commands()[id_] = this;
}

Win32MenuItem::~Win32MenuItem() {
    commands().erase(id_);
    // Children outlive their place here; a popup destroyed with items in it
    // would take their own popups along.
    for (Win32MenuItem* child : children_) {
        if (submenu_ != nullptr) RemoveMenu(submenu_, 0, MF_BYPOSITION);
        child->parent_ = nullptr;
    }
    children_.clear();
    if (parent_ != nullptr) parent_->removeChild(*this);
    if (submenu_ != nullptr) DestroyMenu(submenu_);
}

Win32MenuItem* Win32MenuItem::byCommand(UINT id) {
    const auto found = commands().find(id);
    return found == commands().end() ? nullptr : found->second;
}

void Win32MenuItem::setCaption(const std::string& caption) {
    caption_ = caption;
    update();
}

void Win32MenuItem::setSeparator(bool separator) {
    separator_ = separator;
    update();
}

void Win32MenuItem::setChecked(bool checked) {
    checked_ = checked;
    update();
}

void Win32MenuItem::setRadio(bool radio, int /*groupIndex*/) {
    // The portable item unchecks the rest of its group; the menu only draws the bullet.
    radio_ = radio;
    update();
}

MENUITEMINFOW Win32MenuItem::info(std::wstring& caption) const {
    caption = fromUtf8(caption_);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    item.fType = separator_ ? MFT_SEPARATOR : (radio_ ? MFT_RADIOCHECK : MFT_STRING);
    item.fState = checked_ ? MFS_CHECKED : MFS_UNCHECKED;
    item.wID = id_;
    item.hSubMenu = submenu_;
    item.dwTypeData = caption.data();
    item.cch = static_cast<UINT>(caption.size());
    return item;
}

int Win32MenuItem::position() const {
    if (parent_ == nullptr) return -1;
    const auto at = std::find(parent_->children_.begin(), parent_->children_.end(), this);
    return static_cast<int>(at - parent_->children_.begin());
}

void Win32MenuItem::update() {
    if (parent_ == nullptr) return;
    HMENU menu = parent_->childMenu(false);
    if (menu == nullptr) return;
    std::wstring caption;
    MENUITEMINFOW item = info(caption);
    SetMenuItemInfoW(menu, static_cast<UINT>(position()), TRUE, &item);
    parent_->childrenChanged();
}

HMENU Win32MenuItem::childMenu(bool create) {
    if (submenu_ == nullptr && create) {
        submenu_ = CreatePopupMenu();
        update();
    }
    return submenu_;
}

void Win32MenuItem::insertChild(int index, native::MenuItem& child) {
    auto& item = dynamic_cast<Win32MenuItem&>(child);
    HMENU menu = childMenu(true);
    index = std::clamp(index, 0, static_cast<int>(children_.size()));
    children_.insert(children_.begin() + index, &item);
    item.parent_ = this;
    std::wstring caption;
    MENUITEMINFOW info = item.info(caption);
    InsertMenuItemW(menu, static_cast<UINT>(index), TRUE, &info);
    childrenChanged();
}

void Win32MenuItem::removeChild(native::MenuItem& child) {
    auto& item = dynamic_cast<Win32MenuItem&>(child);
    const int at = item.position();
    if (item.parent_ != this || at < 0) return;
    if (HMENU menu = childMenu(false)) RemoveMenu(menu, static_cast<UINT>(at), MF_BYPOSITION);
    children_.erase(children_.begin() + at);
    item.parent_ = nullptr;
    if (children_.empty() && submenu_ != nullptr && dynamic_cast<Win32MenuBar*>(this) == nullptr) {
        // An entry with no items is a plain command again, not an empty popup.
        HMENU popup = submenu_;
        submenu_ = nullptr;
        update();
        DestroyMenu(popup);
    }
    childrenChanged();
}

Win32MenuBar::Win32MenuBar(native::Window& parent) : window_(dynamic_cast<Win32Window&>(parent)), bar_(CreateMenu()) {
    SetMenu(window_.hwnd(), bar_);
    window_.menuBarChanged();
}

Win32MenuBar::~Win32MenuBar() {
    SetMenu(window_.hwnd(), nullptr);
    // The items detach themselves; what is left of the bar goes with it.
    while (GetMenuItemCount(bar_) > 0) RemoveMenu(bar_, 0, MF_BYPOSITION);
    DestroyMenu(bar_);
}

HMENU Win32MenuBar::childMenu(bool) {
    return bar_;
}

void Win32MenuBar::childrenChanged() {
    window_.menuBarChanged();
}

// ---- test access

UINT win32Command(const TMenuItem& item) {
    return dynamic_cast<Win32MenuItem&>(item.nativeItem()).commandId();
}

HMENU win32Submenu(const TMenuItem& item) {
    return dynamic_cast<Win32MenuItem&>(item.nativeItem()).submenu();
}

}  // namespace toolkit::win32
