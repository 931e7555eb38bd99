#pragma once
// Main menu and menu items: radio groups, check marks, separators ("-"),
// automatic access keys, items added and removed at run time.

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/NativePeers.h"
#include "toolkit/Property.h"

inline constexpr const char* kSeparatorCaption = "-";  // a caption that makes a separator line

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    Property<TMenuItem, std::string> Caption{this, &TMenuItem::captionChanged};
    std::string Hint;  // data for the handlers; never displayed
    // Checking a radio item unchecks the radio items of its parent with the same group index.
    Property<TMenuItem, bool> Checked{this, &TMenuItem::checkedChanged, false};
    Property<TMenuItem, bool> RadioItem{this, &TMenuItem::radioChanged, false};
    Property<TMenuItem, int> GroupIndex{this, &TMenuItem::radioChanged, 0};
    TNotifyEvent OnClick;

    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes the item out of the menu; its owner still destroys it.
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int Index) const { return items_.at(static_cast<std::size_t>(Index)); }
    TMenuItem* Parent() const { return parent_; }

    // The caption as the menu shows it, with its access-key marker.
    std::string DisplayCaption() const { return displayCaption_; }

    void Click();  // what choosing the item does: runs OnClick, showing what it throws

    toolkit::native::MenuItem& nativeItem() const { return *native_; }

private:
    friend class TMainMenu;
    TMenuItem(TComponent* AOwner, std::unique_ptr<toolkit::native::MenuItem> native);

    void captionChanged();
    void checkedChanged();
    void radioChanged();
    void updateAccessKeys();

    std::unique_ptr<toolkit::native::MenuItem> native_;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
    std::string displayCaption_;
};

class TMainMenu : public TComponent {
public:
    // The menu bar of the form that owns it.
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;
    TMenuItem* Items;  // the bar itself; its children are the bar's entries
};
