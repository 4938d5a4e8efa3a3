#!/usr/bin/env bash
# Installs the package, starts the installed program under a virtual X server
# with no monitors, closes its window as a user would, and purges the package
# again, also when a step fails, so that the machine is left as it was.
#   install.sh PACKAGE WINDOW_TOOL
set -euo pipefail
package=$1
export VARNO_WINDOW_TOOL=$2

# A Varno that was installed before is someone's: leave it alone.
status=$(dpkg-query --show --showformat='${db:Status-Status}' varno 2>/dev/null || true)
if [[ -n "$status" && "$status" != not-installed ]]; then
    echo "varno is already installed here ($status); not touching it"
    exit 77
fi

trap 'dpkg --purge varno > /dev/null' EXIT
dpkg --install "$package"
xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    QT_QPA_PLATFORM=xcb /usr/bin/varno &
    trap "kill $! 2> /dev/null || true" EXIT
    "$VARNO_WINDOW_TOOL" wait "ZOD ID IDA" 20000
    xprop -name "ZOD ID IDA" _NET_WM_ICON | grep "_NET_WM_ICON(CARDINAL) = " > /dev/null
    "$VARNO_WINDOW_TOOL" close "ZOD ID IDA"
    wait $!
'
dpkg --purge varno
trap - EXIT

# What stays of the package's paths are directories that other packages own.
for path in $(dpkg-deb --contents "$package" | awk '{ sub(/^\./, "", $6); print $6 }'); do
    if [[ -e "$path" ]] && ! { [[ -d "$path" ]] && dpkg-query --search "$path" > /dev/null 2>&1; }; then
        echo "left behind: $path"
        exit 1
    fi
done
