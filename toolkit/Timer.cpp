#include "toolkit/Timer.h"

#include "toolkit/Application.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), native_(Application->backend().createTimer()) {
    native_->onTimer = [this] { Tick(); };
    stateChanged();
}

TTimer::~TTimer() {
    native_->setEnabled(false);
}

void TTimer::Tick() {
    if (Enabled && OnTimer) toolkit::dispatch([this] { OnTimer(this); });
}

void TTimer::stateChanged() {
    native_->setInterval(Interval);
    native_->setEnabled(Enabled && Interval > 0);
}
