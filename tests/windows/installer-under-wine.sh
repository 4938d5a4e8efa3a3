#!/usr/bin/env bash
# Varno's installer as a Windows user's machine runs it, under Wine, as
# run-under-wine.sh --driver runs it:
#   installer-under-wine.sh varno-VERSION-setup.exe dxva2.dll VERSION PUBLISHER x11window PICTURES
# Installs silently, finds the programs and nothing else under Program Files,
# with no DLL they need beside them, the Start-menu entry and the entry in
# Add/Remove Programs; runs the installed varnoctl.exe and varno.exe against
# the simulated dxva2.dll, the window as window-under-wine.sh does, with its
# pictures in PICTURES; uninstalls silently and finds nothing left.
set -euo pipefail
setup=$1 simulated_dxva2=$2 version=$3 publisher=$4 window_tool=$5 pictures=$6

fail() {
    echo "$*" >&2
    exit 1
}

# In a copy of the prefix, thrown away afterwards: an install that fails
# halfway must not stay there for the next run to find.
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
cp -a "$WINEPREFIX" "$work/prefix"
export WINEPREFIX=$work/prefix

installed=$WINEPREFIX/drive_c/Program\ Files/Varno
shortcut=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Varno.lnk
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varno'

# What Windows holds, but for the temporary folder: the uninstaller runs
# from a copy of itself there, which Windows deletes when it next starts.
contents() {
    (cd "$WINEPREFIX/drive_c" && find . ! -path './users/*/Temp/*' | sort)
}
contents >"$work/before"

# The uninstaller runs on from its copy and returns at once: wineserver -w
# waits for the prefix's last process, and has Wine write the registry.
wine "$setup" /S || fail "The installer failed with $?"
wineserver -w

[[ "$(ls "$installed" | tr '\n' ' ')" == "README.txt Uninstall.exe varno.exe varnoctl.exe " ]] \
    || fail "Installed: $(ls "$installed" | tr '\n' ' ')"
for program in varno.exe varnoctl.exe; do
    if x86_64-w64-mingw32-objdump -p "$installed/$program" | grep 'DLL Name' \
            | grep -iE 'qt6|libstdc|libgcc|winpthread'; then
        fail "$program needs these DLLs beside it"
    fi
done
[[ -e "$shortcut" ]] || fail "No Start-menu entry"
entry=$(wine reg query "$uninstall_key" | tr -d '\r')
for value in "DisplayName    REG_SZ    Varno" "DisplayVersion    REG_SZ    $version" \
             "Publisher    REG_SZ    $publisher" \
             "UninstallString    REG_SZ    \"C:\\Program Files\\Varno\\Uninstall.exe\""; do
    grep -qF "    $value" <<<"$entry" || fail "The uninstall entry lacks \"$value\": $entry"
done

cp "$simulated_dxva2" "$installed/"
listed=$(wine "$installed/varnoctl.exe" list | tr -d '\r')
[[ "$listed" == $'0\tDisplay1\t\\\\.\\DISPLAY1\t\t\n1\tDisplay2\t\\\\.\\DISPLAY2\t\t' ]] \
    || fail "The installed varnoctl.exe lists: $listed"
"$(dirname "$0")/window-under-wine.sh" "$installed/varno.exe" "$window_tool" "$pictures"
rm "$installed/dxva2.dll"

wine "$installed/Uninstall.exe" /S || fail "The uninstaller failed with $?"
wineserver -w
left=$(contents | diff "$work/before" - || true)
[[ -z "$left" ]] || fail "Left after uninstalling: $left"
if grep -i varno "$WINEPREFIX"/*.reg; then
    fail "The registry still names Varno after uninstalling"
fi
