#!/bin/bash
# Runs a command inside the project's Wine environment:
#   scripts/wine-env.sh [--build DIR] COMMAND [ARGS...]
# - a private WINEPREFIX under the build folder, made once with wineboot;
# - WINEDEBUG=-all;
# - an Xvfb display when DISPLAY is not set;
# - a private PulseAudio server with a null sink when no sound server is
#   reachable (the sink's monitor is a capture device: a loopback sound card);
# - a persistent wineserver, so each Wine process starts quickly.
# Every process started here is stopped here, by its PID.
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build/mingw"
if [ "${1:-}" = "--build" ]; then BUILD="$(cd "$2" && pwd)"; shift 2; fi

export WINEPREFIX="${WINEPREFIX:-$BUILD/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
# No Mono or Gecko prompt; and no winemenubuilder, which would copy the
# installer's Start-menu shortcut into this machine's desktop menus.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"

STARTED=()
cleanup() {
    if [ -n "${WINESERVER_PID:-}" ]; then
        wineserver -k 2>/dev/null
        wait "$WINESERVER_PID" 2>/dev/null
    fi
    for pid in "${STARTED[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    STARTED+=($!)
    export DISPLAY=":$n"
    for _ in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
fi

if ! pactl info >/dev/null 2>&1; then
    export XDG_RUNTIME_DIR="$BUILD/pulse-runtime"
    export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
    mkdir -p "$PULSE_RUNTIME_PATH"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset PULSE_SERVER
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
        --load="module-null-sink sink_name=null" \
        --load="module-native-protocol-unix" \
        --load="module-always-sink" >"$BUILD/pulseaudio.log" 2>&1 &
    STARTED+=($!)
    for _ in $(seq 1 100); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    pactl set-default-sink null >/dev/null 2>&1
    pactl set-default-source null.monitor >/dev/null 2>&1
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver -w
fi

wineserver -f -p >/dev/null 2>&1 &
WINESERVER_PID=$!
# Start Wine's own services now, detached from our output: otherwise the
# first program run under ctest starts them, they inherit its output pipe,
# and ctest waits for them until it times out.
wine cmd /c exit </dev/null >/dev/null 2>&1

# Without a window manager (Xvfb), Wine waits 2 s whenever a managed window
# is hidden, so every closed message box would cost 2 s. Unmanaged windows
# don't wait.
if [ ! -f "$WINEPREFIX/.mirravox-unmanaged" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1 &&
        touch "$WINEPREFIX/.mirravox-unmanaged"
fi

"$@"
