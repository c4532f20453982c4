#!/bin/sh
# waitms.exe and KORVANESUPPORT0100.DLL as files, read with the cross binutils: check-pe.sh BUILD_DIR
set -eu
dir=$1 tmp=$(mktemp -d) failures=0
trap 'rm -rf "$tmp"' EXIT
i686-w64-mingw32-objdump -fp "$dir/waitms.exe" >"$tmp/exe"
i686-w64-mingw32-objdump -p "$dir/KORVANESUPPORT0100.DLL" >"$tmp/dll"
i686-w64-mingw32-windres -i "$dir/waitms.exe" -O rc -o "$tmp/rc"
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
has() { grep -qE "$2" "$1" || fail "$3"; }

has "$tmp/exe" 'file format pei-i386' "waitms.exe is not PE32 for i386"
has "$tmp/exe" 'Subsystem[[:space:]]+00000003' "waitms.exe is not a console program"

# What the files may import from each system DLL: by name, or as #number by ordinal (objdump shows
# no name or "<none>"). All are in Windows XP SP3 (Microsoft's page on each says so; for
# InitCommonControls Vista, but comctl32 has had it from the first). Add one only once checked.
cat >"$tmp/allowed" <<'LIST'
KERNEL32.DLL CloseHandle CreateSemaphoreW DeleteCriticalSection EnterCriticalSection FreeLibrary
KERNEL32.DLL GetCurrentThreadId GetLastError GetModuleFileNameW GetModuleHandleA GetModuleHandleW
KERNEL32.DLL GetProcAddress InitializeCriticalSection IsDBCSLeadByteEx LeaveCriticalSection
KERNEL32.DLL LoadLibraryA LoadLibraryW MultiByteToWideChar ReleaseSemaphore SetLastError Sleep
KERNEL32.DLL TlsAlloc TlsFree TlsGetValue TlsSetValue VirtualProtect VirtualQuery
KERNEL32.DLL WaitForSingleObject WideCharToMultiByte GetCommandLineW GetLocaleInfoW GetStartupInfoA
KERNEL32.DLL GetStdHandle WriteFile QueryPerformanceCounter QueryPerformanceFrequency LoadLibraryExW
KERNEL32.DLL SetUnhandledExceptionFilter IsDebuggerPresent GetSystemDirectoryW
MSVCRT.DLL __mb_cur_max _amsg_exit _errno _initterm _iob abort atoi calloc fputc fputs free fwrite
MSVCRT.DLL localeconv malloc memchr memcmp memcpy memmove memset realloc setlocale strchr strcmp
MSVCRT.DLL strerror strlen strncmp vfprintf wcslen _read _close __getmainargs __initenv __p__acmdln
MSVCRT.DLL __p__commode __p__fmode __set_app_type __setusermatherr _cexit _onexit exit fprintf
MSVCRT.DLL signal _lock _unlock
COMCTL32.DLL InitCommonControls
VERSION.DLL GetFileVersionInfoSizeW GetFileVersionInfoW VerQueryValueW
USER32.DLL CharToOemBuffA DestroyIcon GetSystemMetrics IsWindow LoadImageW SendMessageW
LIST
for f in exe dll; do
  got=$(awk '/^M[a-z]+(OSystem|Subsystem)Version/ { printf "%s ", $2 }' "$tmp/$f")
  [ "$got" = "5 1 5 1 " ] || fail "$f: OS and subsystem versions are $got, not 5 1 5 1 (XP SP3)"
  awk '/DLL Name:/ { dll = toupper($3) } /^$/ { dll = "" } dll && $2 ~ /^[0-9]+$/ {
    print dll ":" (NF >= 3 && $3 != "<none>" ? $3 : "#" $2) }' "$tmp/$f" >"$tmp/$f.imports"
  extra=$(awk 'FILENAME == ARGV[1] { for (i = 2; i <= NF; i++) ok[$1 ":" $i]; next }
    !($0 in ok) && !/^KORVANESUPPORT/' "$tmp/allowed" "$tmp/$f.imports" | xargs)
  [ -z "$extra" ] || fail "$f imports what is not known to be in Windows XP SP3: $extra"
done
ks="ksAnsiToOem ksFormatVersion ksGetThunderMainHandle ksIsInIDE ksRegisterAppPath ksSetWindowResIconAll"
got=$(sed -n 's/^KORVANESUPPORT0100.DLL://p' "$tmp/exe.imports" | sort | xargs)
[ "$got" = "$ks" ] || fail "waitms.exe imports '$got' from the support library"
got=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' "$tmp/dll" | sort | xargs)
[ "$got" = "$ks" ] || fail "KORVANESUPPORT0100.DLL exports '$got'"

has "$tmp/rc" '"A_MAIN" 14' "no icon group A_MAIN"
has "$tmp/rc" 'VALUE "FileVersion", "1\.00\.0004"' "FileVersion is not 1.00.0004"
[ "$failures" -eq 0 ] && echo "waitms.exe and KORVANESUPPORT0100.DLL: all checks passed"
exit "$failures"
