#pragma once
// Visual controls placed on a form: bounds, caption, hint and tab order.

#include <memory>
#include <string>

#include "toolkit/Component.h"
#include "toolkit/NativePeers.h"
#include "toolkit/Property.h"

class TForm;

enum class TAlign { None, Bottom, Client };  // Bottom: full width along the bottom edge

// A control's parent is the form that owns it; the toolkit has no nested containers.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    Property<TControl, std::string> Caption{this, &TControl::captionChanged};
    std::string Hint;   // data for the handlers; never displayed
    int TabOrder = -1;  // -1: not a tab stop

    TForm* Parent() const { return parent_; }
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    TAlign Align() const { return align_; }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    void SetAlign(TAlign AAlign);

    toolkit::native::Control* nativeControl() const { return native_.get(); }

protected:
    // Each kind calls this once from its constructor with its freshly made peer.
    void attach(std::unique_ptr<toolkit::native::Control> native);
    toolkit::native::Window& parentWindow() const;

private:
    void captionChanged();

    TForm* parent_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::None;
    std::unique_ptr<toolkit::native::Control> native_;
};
