#pragma once
// The endpoint's change callback called by another thread, as the platform may call it (Wine's
// endpoint never does).
#include <windows.h>

#include <endpointvolume.h>

#include <thread>

inline HRESULT NotifyFromAnotherThread(IAudioEndpointVolumeCallback* ACallback, BOOL AMuted)
{
    AUDIO_VOLUME_NOTIFICATION_DATA data{};
    data.bMuted = AMuted;
    data.nChannels = 1;
    HRESULT result = E_FAIL;
    std::thread([&] { result = ACallback->OnNotify(&data); }).join();
    return result;
}
