#!/usr/bin/env bash
# Runs a Windows program under Wine in a console, as Windows gives one to a
# program started from a command prompt, and prints what the console shows,
# without its control sequences; exits with the program's code:
#   tests/windows/run-in-console.sh program.exe [arguments...]
# Wine gives a program a console of its own when it runs on a terminal: here
# a pseudo-terminal that script(1) opens.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

command -v script >/dev/null \
    || { echo "Skipped: script(1) is not installed, so no program gets a console" >&2; exit 77; }
printf -v command '%q ' "$here/run-under-wine.sh" "$@"
script --quiet --return --command "$command" /dev/null | sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' -e 's/\r//g'
