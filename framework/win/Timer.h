#pragma once
// Timer component: fires OnTimer on the thread that made it (the main thread), every Interval
// milliseconds while Enabled.
#include "framework/core/Component.h"
#include "framework/core/Event.h"
#include "framework/win/UtilityWindow.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned AInterval);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool AEnabled);

    TEvent<void(TTimer* Sender)> OnTimer;

private:
    void Update();
    unsigned FInterval = 1000;
    bool FEnabled = true;
    TUtilityWindow FWindow;
};
