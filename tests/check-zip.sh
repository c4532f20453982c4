#!/bin/sh
# The Windows zip as a user gets it: unpacked into a fresh folder, waitms.exe runs from there under
# Wine and finds its support library beside it. Usage: check-zip.sh PACKAGE.zip LAUNCHER
set -eu
zip=$1 launcher=$2
dir=$(mktemp -d); trap 'rm -rf "$dir"' EXIT
(cd "$dir" && unzip -q "$zip")
LC_ALL=C grep -nPv '^[\t -~]*\r$' "$dir/README.txt" && { echo "FAIL: README.txt: not ASCII, CR LF"; exit 1; }
cd /  # so that the library is found beside the program, not in the current folder
LC_ALL=C "$launcher" "$dir/waitms.exe" 0 >"$dir/out" || { echo "FAIL: waitms.exe 0 exited with $?"; exit 1; }
printf 'Waiting 0 ms... Ok\r\n' | cmp -s - "$dir/out" || { echo "FAIL: waitms.exe 0 wrote $(od -c "$dir/out")"; exit 1; }
echo "$zip: all checks passed"
