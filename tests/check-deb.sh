#!/bin/sh
# The Debian package as a user gets it: lintian's verdict, and the installed program's bytes.
# Usage: check-deb.sh PACKAGE.deb
set -eu
deb=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# No errors and no warnings; an overridden tag shows as O: and is fine.
report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $report"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
LC_ALL=C "$root/usr/bin/waitms" 0 >"$root/out" || fail "waitms 0 exited with $?"
printf 'Waiting 0 ms... Ok\r\n' | cmp -s - "$root/out" || fail "waitms 0 wrote $(od -c "$root/out")"

[ "$failures" -eq 0 ] && echo "$deb: all checks passed"
exit "$failures"
