#!/usr/bin/env bash
# varno.exe's window as a Windows user meets it, under Wine, as
# run-under-wine.sh --driver runs it, with the simulated dxva2.dll beside it:
#   window-under-wine.sh varno.exe x11window PICTURES
# Waits for the window by its title; opens the monitor list with the keyboard
# and reads both monitors' friendly names in a picture of it; turns the
# brightness dial in focus one step with the keyboard and finds exactly that
# one write to the first monitor in the dll's log; closes the window, and the
# program ends with 0 having said nothing but its import paths. The pictures
# stay in the folder PICTURES.
set -euo pipefail
program=$1 window_tool=$2 pictures=$3
title="ZOD ID IDA"

fail() {
    echo "$*" >&2
    exit 1
}

work=$(mktemp -d)
varno=
trap '[[ -z "$varno" ]] || kill "$varno" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$pictures"

# Z: is the Unix root, whichever drive the program runs from.
windows_path() {
    local path=$1
    echo "Z:${path//\//\\}"
}
echo "log = $(windows_path "$work/calls.log")" >"$work/monitors"
# Wine's HLSL compiler cannot compile Qt Quick's Direct3D 11 shaders, which
# leaves the window blank: Qt Quick's software renderer draws it.
WINEQT_QUICK_BACKEND=software VARNO_DXVA2SIM=$(windows_path "$work/monitors") \
    wine "$program" 2>"$work/errors" &
varno=$!
"$window_tool" wait "$title" 60000 || fail "No window \"$title\": $(cat "$work/errors")"
# Until Qt has drawn it.
sleep 2

# Qt draws the list; its text is read back from the picture, enlarged, where
# a 1 may come out as an l. Wine names the monitors Display1 and Display2.
"$window_tool" keys "$title" space
sleep 1
import -window "$title" "$pictures/windows-monitor-list.png"
convert "$pictures/windows-monitor-list.png" -resize 300% -colorspace Gray "$work/list.png"
listed=$(tesseract "$work/list.png" - --psm 4 2>/dev/null)
grep -q 'Display[1l]' <<<"$listed" && grep -q Display2 <<<"$listed" \
    || fail "The monitor list does not show Display1 and Display2; it reads: $listed"

# Out of the list, from the list's box to the brightness dial, one step up.
"$window_tool" keys "$title" Escape Tab Right
sleep 1
import -window "$title" "$pictures/windows-dial-turned.png"
written=$(tr -d '\r' <"$work/calls.log" | grep '^Set' || true)
[[ "$written" == "SetMonitorBrightness(monitor1, brightness, 71) -> done" ]] \
    || fail "Written through dxva2, instead of brightness 71 to the first monitor: $written"

"$window_tool" close "$title" || fail "The window went away before it was closed"
status=0
wait "$varno" || status=$?
varno=
[[ "$status" == 0 ]] || fail "varno.exe ended with $status: $(cat "$work/errors")"
# Wine lacks two calls of Windows 10 for the screens' pixel density, and Qt
# says so.
said=$(tr -d '\r' <"$work/errors" \
           | grep -v -e '^QList(' -e 'SetProcessDpiAwarenessContext(' \
                     -e 'EnableNonClientDpiScaling() failed' || true)
[[ -z "$said" ]] || fail "varno.exe said: $said"
