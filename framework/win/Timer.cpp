#include "framework/win/Timer.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* AOwner)
    : TComponent(AOwner), FWindow([this](TMessage& m) {
          if (m.Msg != WM_TIMER) return false;
          if (FEnabled) OnTimer(this);
          return true;
      })
{
    Update();
}

TTimer::~TTimer() { KillTimer(FWindow.Handle(), kTimerId); }

void TTimer::SetInterval(unsigned AInterval)
{
    if (AInterval == FInterval) return;
    FInterval = AInterval;
    Update();
}

void TTimer::SetEnabled(bool AEnabled)
{
    if (AEnabled == FEnabled) return;
    FEnabled = AEnabled;
    Update();
}

// Every change starts the count anew, so disabling and enabling again restarts the interval.
void TTimer::Update()
{
    KillTimer(FWindow.Handle(), kTimerId);
    if (FEnabled && FInterval > 0 && !Designing()) SetTimer(FWindow.Handle(), kTimerId, FInterval, nullptr);
}
