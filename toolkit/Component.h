#pragma once
// The root of the toolkit's object model: objects, owned components, events.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// Handlers are members `void X(TObject* Sender)`; the design tables bind them.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// A component belongs to its owner, which destroys it (last created first).
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    std::string Name;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<std::size_t>(index)); }
    TComponent* FindComponent(std::string_view name) const;
    void DestroyComponents();

private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
};
