#pragma once
// A value that tells its owner when it is assigned, so app code can write
// `StatusBar->Text = "error";` and the owner brings the native widget in step.

#include <utility>

template <class Owner, class T>
class Property {
public:
    using Changed = void (Owner::*)();

    Property(Owner* owner, Changed changed, T initial = T{})
        : owner_(owner), changed_(changed), value_(std::move(initial)) {}
    Property(const Property&) = delete;

    // Assigning the value it already has does nothing: the owner only hears of changes.
    Property& operator=(T value) {
        if (value == value_) return *this;
        value_ = std::move(value);
        (owner_->*changed_)();
        return *this;
    }
    Property& operator=(const Property& other) { return *this = other.value_; }

    operator const T&() const { return value_; }
    const T& get() const { return value_; }

    friend bool operator==(const Property& a, const T& b) { return a.value_ == b; }

private:
    Owner* owner_;
    Changed changed_;
    T value_;
};
