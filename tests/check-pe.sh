#!/bin/sh
# Checks what waitms.exe and KORVANESUPPORT0100.DLL are as files, with the cross binutils: no Wine
# needed. Usage: check-pe.sh BUILD_DIR EXPECTED_VERSION (e.g. "1, 0, 0, 4")
set -eu
dir=$1 version=$2
exe=$dir/waitms.exe dll=$dir/KORVANESUPPORT0100.DLL
objdump=i686-w64-mingw32-objdump windres=i686-w64-mingw32-windres
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
has() { grep -qE "$2" "$1" || fail "$3"; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
$objdump -f "$exe" >"$tmp/exe.f"
$objdump -p "$exe" >"$tmp/exe.p"
$objdump -p "$dll" >"$tmp/dll.p"
$windres -i "$exe" -O rc -o "$tmp/exe.rc"

has "$tmp/exe.f" 'file format pei-i386' "waitms.exe is not a PE32 image for Intel 80386"
has "$tmp/exe.p" 'Subsystem[[:space:]]+00000003' "waitms.exe is not a console program"
has "$tmp/dll.p" '^[[:space:]]+DLL$' "KORVANESUPPORT0100.DLL is not a DLL"

# Imports, DLL by DLL: the names the program calls, undecorated.
imports() { # DLL name -> its imported function names, one per line
  awk -v dll="$2" '
    /DLL Name:/ { current = toupper($3) }
    current == toupper(dll) && NF == 3 && $1 ~ /^[0-9a-f]+$/ { print $3 }
  ' "$1" | sort
}
for name in GetStdHandle WriteFile Sleep; do
  imports "$tmp/exe.p" KERNEL32.DLL | grep -qx "$name" || fail "waitms.exe does not import $name from KERNEL32"
done
imports "$tmp/exe.p" COMCTL32.DLL | grep -qx InitCommonControls ||
  fail "waitms.exe does not import InitCommonControls from COMCTL32"
expected="ksAnsiToOem ksFormatVersion ksGetThunderMainHandle ksIsInIDE ksRegisterAppPath ksSetWindowResIconAll"
got=$(imports "$tmp/exe.p" KORVANESUPPORT0100.DLL | tr '\n' ' ' | sed 's/ $//')
[ "$got" = "$expected" ] || fail "imports from KORVANESUPPORT0100.DLL are '$got', expected '$expected'"
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' "$tmp/dll.p" | awk '/^[[:space:]]+\[ *[0-9]+\]/ { print $NF }' | sort | tr '\n' ' ' | sed 's/ $//')
[ "$exports" = "$expected" ] || fail "KORVANESUPPORT0100.DLL exports '$exports', expected '$expected'"

# Nothing but the system's DLLs and the support library: libstdc++, libgcc and winpthread are inside.
for f in exe dll; do
  grep 'DLL Name:' "$tmp/$f.p" | awk '{ print toupper($3) }' | while read -r name; do
    case $name in
      KERNEL32.DLL | MSVCRT.DLL | COMCTL32.DLL | USER32.DLL | VERSION.DLL | KORVANESUPPORT0100.DLL) ;;
      *) echo "FAIL: $f imports $name, which a user would have to copy too" ;;
    esac
  done
done >"$tmp/dlls"
[ -s "$tmp/dlls" ] && { cat "$tmp/dlls"; failures=$((failures + 1)); }

# Resources: the icon group, two 32x32 images of 16 and 256 colours, and the version.
has "$tmp/exe.rc" '"A_MAIN" 14' "no icon group A_MAIN"
has "$tmp/exe.rc" '"\\040\\040\\020\\000", 1, 4,' "A_MAIN has no 32x32 image of 16 colours"
has "$tmp/exe.rc" '"\\040\\040\\000\\000", 1, 8,' "A_MAIN has no 32x32 image of 256 colours"
has "$tmp/exe.rc" "FILEVERSION $version\$" "FILEVERSION is not $version"
has "$tmp/exe.rc" "PRODUCTVERSION $version\$" "PRODUCTVERSION is not $version"
has "$tmp/exe.rc" 'VALUE "FileVersion", "1\.00\.0004"' "FileVersion string is not 1.00.0004"
has "$tmp/exe.rc" 'VALUE "ProductVersion", "1\.00\.0004"' "ProductVersion string is not 1.00.0004"
has "$tmp/exe.rc" 'VALUE "FileDescription", "Korvane - WaitMs 1\.00"' "FileDescription is wrong"
has "$tmp/exe.rc" 'VALUE "OriginalFilename", "waitms\.exe"' "OriginalFilename is wrong"
has "$tmp/exe.rc" 'VALUE "ProductName", ' "no ProductName"
# The copyright line is Cyrillic, stored as UTF-16 ("\x041a" is the first letter of the maker).
has "$tmp/exe.rc" 'VALUE "LegalCopyright", L"\(c\) \\x041a' "LegalCopyright is not the Cyrillic line"
has "$tmp/exe.rc" 'VALUE "Translation", 0x419, 1200' "the string table is not Unicode"

[ "$failures" -eq 0 ] && echo "waitms.exe and KORVANESUPPORT0100.DLL: all checks passed"
exit "$failures"
