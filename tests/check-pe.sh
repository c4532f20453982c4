#!/bin/sh
# What waitms.exe and KORVANESUPPORT0100.DLL are as files, read with the cross binutils.
# Usage: check-pe.sh BUILD_DIR
set -eu
dir=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
i686-w64-mingw32-objdump -fp "$dir/waitms.exe" >"$tmp/exe"
i686-w64-mingw32-objdump -p "$dir/KORVANESUPPORT0100.DLL" >"$tmp/dll"
i686-w64-mingw32-windres -i "$dir/waitms.exe" -O rc -o "$tmp/rc"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
has() { grep -qE "$2" "$1" || fail "$3"; }

has "$tmp/exe" 'file format pei-i386' "waitms.exe is not PE32 for i386"
has "$tmp/exe" 'Subsystem[[:space:]]+00000003' "waitms.exe is not a console program"
# The names imported from each DLL, undecorated, as "DLL:name" lines.
awk '/DLL Name:/ { dll = toupper($3) } dll && NF == 3 && $1 ~ /^[0-9a-f]+$/ { print dll ":" $3 }' \
  "$tmp/exe" >"$tmp/imports"
for name in KERNEL32.DLL:GetStdHandle KERNEL32.DLL:WriteFile KERNEL32.DLL:Sleep \
  COMCTL32.DLL:InitCommonControls; do
  has "$tmp/imports" "^$name\$" "waitms.exe does not import $name"
done
ks="ksAnsiToOem ksFormatVersion ksGetThunderMainHandle ksIsInIDE ksRegisterAppPath ksSetWindowResIconAll"
got=$(sed -n 's/^KORVANESUPPORT0100.DLL://p' "$tmp/imports" | sort | xargs)
[ "$got" = "$ks" ] || fail "waitms.exe imports '$got' from the support library"
got=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' "$tmp/dll" | sort | xargs)
[ "$got" = "$ks" ] || fail "KORVANESUPPORT0100.DLL exports '$got'"
# Nothing a user would have to copy besides the two files: the MinGW run-time is linked in.
others=$(cat "$tmp/exe" "$tmp/dll" | awk '/DLL Name:/ { print toupper($3) }' | sort -u |
  grep -vxE 'KERNEL32.DLL|MSVCRT.DLL|COMCTL32.DLL|USER32.DLL|VERSION.DLL|KORVANESUPPORT0100.DLL' | xargs)
[ -z "$others" ] || fail "the files import $others"

has "$tmp/rc" '"A_MAIN" 14' "no icon group A_MAIN"
has "$tmp/rc" "^ ?FILEVERSION 1, 0, 0, 4\$" "FILEVERSION is not 1, 0, 0, 4"
has "$tmp/rc" 'VALUE "FileVersion", "1\.00\.0004"' "FileVersion is not 1.00.0004"
has "$tmp/rc" 'VALUE "LegalCopyright", L"\(c\) \\x041a' "LegalCopyright is not the Cyrillic line"
[ "$failures" -eq 0 ] && echo "waitms.exe and KORVANESUPPORT0100.DLL: all checks passed"
exit "$failures"
