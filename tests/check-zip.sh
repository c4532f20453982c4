#!/bin/sh
# Checks the Windows zip as a user gets it: unpacked into a fresh folder, waitms.exe runs from there
# under Wine and finds its support library beside it. Usage: check-zip.sh PACKAGE.zip LAUNCHER
set -eu
zip=$1 launcher=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/unpacked" "$dir/alone"
(cd "$dir/unpacked" && unzip -q "$zip")
[ "$(cd "$dir/unpacked" && ls | sort | tr '\n' ' ')" = "KORVANESUPPORT0100.DLL README.txt waitms.exe " ] ||
  fail "the zip holds $(cd "$dir/unpacked" && ls | tr '\n' ' ')"
# README.txt: every line ends in CR LF.
if tr -d '\r' <"$dir/unpacked/README.txt" | cmp -s - "$dir/unpacked/README.txt"; then
  fail "README.txt has no CR LF line ends"
fi
[ "$(grep -c "$(printf '[^\r]$')" "$dir/unpacked/README.txt")" -eq 0 ] || fail "README.txt has a line without CR"

# Started from elsewhere, so that the library is found beside the program, not in the current folder.
cd "$dir"
LC_ALL=C "$launcher" "$dir/unpacked/waitms.exe" 0 >"$dir/out" 2>"$dir/err" || fail "waitms.exe 0 exited with $?"
printf 'Waiting 0 ms... Ok\r\n' | cmp -s - "$dir/out" || fail "waitms.exe 0 wrote '$(od -c "$dir/out")'"

# Without the library beside it, the program can't start: the one above found it there.
cp "$dir/unpacked/waitms.exe" "$dir/alone/"
if LC_ALL=C "$launcher" "$dir/alone/waitms.exe" 0 >"$dir/out" 2>&1; then
  fail "waitms.exe started without KORVANESUPPORT0100.DLL beside it"
fi

[ "$failures" -eq 0 ] && echo "$zip: all checks passed"
exit "$failures"
