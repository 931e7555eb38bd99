// The Qt menus: a menu bar, its entries and their submenus.

#include <QMenuBar>

#include "toolkit/qt/QtPeers.h"
#include "toolkit/qt/QtText.h"

namespace toolkit::qt {

QtMenuItem::QtMenuItem() : action_(new QAction()) {
    action_->setMenuRole(QAction::NoRole);
    QObject::connect(action_, &QAction::triggered, [this] { triggered(); });
}

QtMenuItem::~QtMenuItem() {
    for (QtMenuItem* child : children_) child->parent_ = nullptr;
    if (parent_ != nullptr) parent_->removeChild(*this);
    delete submenu_.data();
    delete action_.data();
    for (auto& [index, group] : groups_) delete group.data();
}

void QtMenuItem::setCaption(const std::string& caption) {
    caption_ = fromUtf8(caption);
    showCaption();
}

void QtMenuItem::setSeparator(bool separator) {
    separator_ = separator;
    action_->setSeparator(separator);
    showCaption();
}

// Some styles draw a separator action's text beside its line; a line shows none.
void QtMenuItem::showCaption() {
    action_->setText(separator_ ? QString() : caption_);
}

void QtMenuItem::setChecked(bool checked) {
    checked_ = checked;
    if (checked) action_->setCheckable(true);
    action_->setChecked(checked);
}

void QtMenuItem::setRadio(bool radio, int groupIndex) {
    radio_ = radio;
    groupIndex_ = groupIndex;
    if (radio) action_->setCheckable(true);
    regroup();
}

// Radio items sit in an exclusive action group so that the menu draws a bullet;
// the group's own unchecking is undone after every trigger (restoreChecks).
void QtMenuItem::regroup() {
    if (action_->actionGroup() != nullptr) action_->actionGroup()->removeAction(action_);
    if (!radio_ || parent_ == nullptr) return;
    QPointer<QActionGroup>& group = parent_->groups_[groupIndex_];
    if (group.isNull()) {
        group = new QActionGroup(nullptr);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    }
    group->addAction(action_);
    action_->setChecked(checked_);
}

void QtMenuItem::insertChild(int index, native::MenuItem& child) {
    auto& item = static_cast<QtMenuItem&>(child);
    QWidget* container = childContainer(true);
    QAction* before =
        index < static_cast<int>(children_.size()) ? children_[static_cast<std::size_t>(index)]->action_ : nullptr;
    container->insertAction(before, item.action_);
    children_.insert(children_.begin() + index, &item);
    item.parent_ = this;
    item.regroup();
    childrenChanged();
}

void QtMenuItem::removeChild(native::MenuItem& child) {
    auto& item = static_cast<QtMenuItem&>(child);
    if (QWidget* container = childContainer(false)) container->removeAction(item.action_);
    std::erase(children_, &item);
    item.parent_ = nullptr;
    item.regroup();
    if (children_.empty() && !submenu_.isNull()) {
        // An entry with no items is a plain command again, not an empty popup.
        action_->setMenu(static_cast<QMenu*>(nullptr));
        delete submenu_.data();
    }
}

QWidget* QtMenuItem::childContainer(bool create) {
    if (submenu_.isNull() && create) {
        submenu_ = new QMenu();
        submenu_->setToolTipsVisible(false);
        action_->setMenu(submenu_.data());
    }
    return submenu_.data();
}

void QtMenuItem::restoreChecks() {
    std::vector<QtMenuItem*> items = parent_ != nullptr ? parent_->children_ : std::vector<QtMenuItem*>{this};
    for (QtMenuItem* item : items)
        if (!item->checked_ && item->action_->isChecked()) item->action_->setChecked(false);
    for (QtMenuItem* item : items)
        if (item->checked_ && !item->action_->isChecked()) item->action_->setChecked(true);
}

void QtMenuItem::triggered() {
    restoreChecks();
    if (onClick) onClick();
}

QtMenuBar::QtMenuBar(native::Window& parent) : window_(static_cast<QtWindow&>(parent)) {
    auto* bar = new QMenuBar();
    bar->setNativeMenuBar(false);
    window_.window()->setMenuBar(bar);
    window_.menuBarAttached();
}

QWidget* QtMenuBar::childContainer(bool) {
    return window_.window()->menuBar();
}

// ---- test access

QAction* qtAction(const TMenuItem& item) {
    return static_cast<QtMenuItem&>(item.nativeItem()).action();
}

QMenu* qtSubmenu(const TMenuItem& item) {
    return static_cast<QtMenuItem&>(item.nativeItem()).submenu();
}

}  // namespace toolkit::qt
