// The debug window as designed: one memo filling a sizeable window.

#include "app/Unit2.h"
#include "toolkit/FormDesign.h"

namespace {

using F = TFormDebug;

// One row per control, in aligned columns (kept as laid out).
// clang-format off
const TControlDesign<F> kControls[] = {
    // field      name     left top width height caption hint tab onClick align              style
    {&F::Memo1, "Memo1", 0,   0,  338,  243,   "",     "",  0,  nullptr, TAlign::Client, csBothScrollBars | csNoWordWrap},
};
// clang-format on

}  // namespace

const TFormDesign<TFormDebug>& TFormDebug::Design() {
    static const TFormDesign<F> design{
        .name = "FormDebug",
        .caption = kDebugWindowCaption,
        .left = 413,
        .top = 253,
        .clientWidth = 338,  // 346 x 270 with a Windows frame
        .clientHeight = 243,
        .borderStyle = TBorderStyle::Sizeable,
        .visible = false,
        .menu = nullptr,
        .menuName = "",
        .controls = kControls,
        .menuItems = {},
        .timers = {},
        .onCreate = nullptr,
        .onHide = &F::FormHide,
        .onClose = nullptr,
    };
    return design;
}
