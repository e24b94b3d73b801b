#pragma once
// The short sound after a mute toggle made by the mouse's button: one for muted, another for live
// again, embedded as WAV resources and played asynchronously on the default output device, so
// that the main thread never waits for it.
void PlayMuteSound(bool AMuted);
