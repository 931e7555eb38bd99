#pragma once
// The repeating timer; it ticks on the UI thread, modal boxes included.

#include <memory>

#include "toolkit/Component.h"
#include "toolkit/NativePeers.h"
#include "toolkit/Property.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    Property<TTimer, int> Interval{this, &TTimer::stateChanged, 1000};
    Property<TTimer, bool> Enabled{this, &TTimer::stateChanged, true};
    TNotifyEvent OnTimer;

    void Tick();  // what one expiry does: runs OnTimer, showing what it throws

private:
    void stateChanged();
    std::unique_ptr<toolkit::native::Timer> native_;
};
