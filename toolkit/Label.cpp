#include "toolkit/Label.h"

#include "toolkit/Application.h"

TLabel::TLabel(TComponent* AOwner) : TControl(AOwner) {
    attach(Application->backend().createLabel(parentWindow()));
}
