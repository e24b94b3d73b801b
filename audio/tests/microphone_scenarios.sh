#!/usr/bin/env bash
# microphone_scenarios.sh SCENARIO WINE_RUN [PROGRAM]: the microphone tests that need Wine settings
# or a sound server that comes later. Run inside scripts/wine-session.sh.
#   wine_settings            the mixer test programs and the monitor's test on an older system
#                            run as on Windows XP (Wine's per-program version); the fake mixer's
#                            programs load the winmm.dll beside them
#   capture_device_appears   PROGRAM starts with no sound server, so with no capture device; a
#                            sound server with a microphone appears while it waits
source "$(dirname "$0")/../../scripts/strict-mode.sh"
scenario=$1
wine_run=$2
app_defaults='HKCU\Software\Wine\AppDefaults'

case $scenario in
wine_settings)
  for program in audio_mixer_tests.exe audio_fake_mixer_tests.exe shell_older_system_tests.exe \
                 shell_older_system_mixer_tests.exe; do
    "$wine_run" reg add "$app_defaults\\$program" /v Version /d winxp /f >/dev/null
  done
  for program in audio_fake_mixer_tests.exe shell_older_system_mixer_tests.exe; do
    "$wine_run" reg add "$app_defaults\\$program\\DllOverrides" /v winmm /d native /f >/dev/null
  done
  ;;
capture_device_appears)
  program=$3
  dir=$(mktemp -d)
  pulse_pid=
  finish() {
    if [ -n "$pulse_pid" ]; then kill "$pulse_pid" 2>/dev/null || true; fi
    "$wine_run" reg delete 'HKCU\Software\Wine\Drivers' /v Audio /f >/dev/null 2>&1 || true
    rm -rf "$dir"
  }
  trap finish EXIT
  # Wine settles on one audio driver per process at its first use of audio: without a sound server
  # it would take ALSA, which has no device here, for the life of the process. Told to use
  # PulseAudio only, it tries again at every use until the server is there.
  "$wine_run" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null
  # While the enumerator cannot be made in the program, Wine's COM starts it in a surrogate
  # (dllhost.exe) that inherits the program's output and outlives it: the output goes to a file,
  # so that ctest does not wait for the surrogate.
  QEL_AUDIO_SCENARIO_DIR="Z:${dir//\//\\}" PULSE_SERVER="unix:$dir/native" \
    "$wine_run" "$program" --gtest_filter='CaptureDeviceArrival.*' >"$dir/output.txt" 2>&1 &
  test_pid=$!
  for _ in $(seq 600); do
    [ -e "$dir/waiting" ] || ! kill -0 "$test_pid" 2>/dev/null && break
    sleep 0.1
  done
  if [ -e "$dir/waiting" ]; then
    mkdir -p "$dir/run"
    PULSE_RUNTIME_PATH="$dir/run" pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
      --load="module-native-protocol-unix socket=$dir/native" \
      --load="module-null-source source_name=nullmic" >/dev/null 2>&1
    pulse_pid=$(cat "$dir/run/pid")
    touch "$dir/ready"
  fi
  status=0
  wait "$test_pid" || status=$?
  cat "$dir/output.txt"
  exit $status
  ;;
*)
  echo "unknown scenario $scenario" >&2
  exit 2
  ;;
esac
