#include "toolkit/FormDesign.h"

namespace toolkit::design {

void applyControl(TControl& control, const char* name, int left, int top, int width, int height, const char* caption,
                  const char* hint, int tabOrder, TAlign align, unsigned style) {
    control.Name = name;
    control.SetBounds(left, top, width, height);
    control.SetAlign(align);
    control.Caption = caption;
    control.Hint = hint;
    control.TabOrder = tabOrder;
    if (auto* edit = dynamic_cast<TEdit*>(&control)) {
        edit->ReadOnly = (style & csReadOnly) != 0;
        edit->ButtonFaceColor = (style & csButtonFaceColor) != 0;
    }
    if (auto* memo = dynamic_cast<TMemo*>(&control)) {
        memo->ReadOnly = (style & csReadOnly) != 0;
        memo->WordWrap = (style & csNoWordWrap) == 0;
        if (style & csBothScrollBars) memo->ScrollBars = TScrollStyle::Both;
    }
}

}  // namespace toolkit::design
