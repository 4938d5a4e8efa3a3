#!/usr/bin/env bash
# Compares the files a package holds with the list of those it must hold.
#   contents.sh PACKAGE LIST
set -euo pipefail
diff -u "$2" <(dpkg-deb --contents "$1" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | LC_ALL=C sort)
