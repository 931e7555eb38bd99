#include "toolkit/ComCtrls.h"

#include "toolkit/Forms.h"

TStatusBar::TStatusBar(TComponent* AOwner) : TControl(AOwner) {
    attach(Application->backend().createStatusBar(parentWindow()));
}

void TStatusBar::textChanged() {
    nativeControl()->setText(SimpleText);
}
