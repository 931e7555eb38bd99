#include "toolkit/StatusBar.h"

#include "toolkit/Application.h"

TStatusBar::TStatusBar(TComponent* AOwner) : TControl(AOwner) {
    attach(Application->backend().createStatusBar(parentWindow()));
}

void TStatusBar::textChanged() {
    nativeControl()->setText(Text);
}
