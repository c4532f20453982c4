#!/bin/sh
# A package as a user gets it: linter, architecture, licence, and the unpacked `waitms 0` (under
# qemu-user, or LAUNCHER for the zip). Usage: check-package.sh PACKAGE ARCH-IN-ITS-NAME [LAUNCHER]
set -eu
pkg=$1 arch=$2 run= notice="GNU C Library" root=$(mktemp -d) failures=0
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
case $arch in
  win32) run=$3 notice=MinGW-w64 ;;
  "$(dpkg --print-architecture)" | "$(uname -m)") ;;
  *) run=qemu-$(echo "$arch" | sed 's/^arm64$/aarch64/; s/^arm.*/arm/; s/^i.86$/i386/') ;;
esac

case $pkg in  # no errors and no warnings; a tag the project overrides or filters is fine
  *.deb) [ "$(dpkg-deb -f "$pkg" Architecture)" = "$arch" ] || fail "Architecture is not $arch"
    report=$(lintian --fail-on error,warning "$pkg" 2>&1) || fail "lintian: $report"
    dpkg-deb -x "$pkg" "$root" ;;
  *.rpm) [ "$(rpm -qp --qf '%{ARCH}' "$pkg")" = "$arch" ] || fail "architecture is not $arch"
    report=$(rpmlint -r "$(dirname "$0")/../doc/rpmlintrc" "$pkg" 2>&1) || fail "rpmlint: $report"
    rpm2cpio "$pkg" | (cd "$root" && cpio -idm --quiet) ;;
  *.tar.gz) tar -xzf "$pkg" -C "$root" ;;
  *.zip) unzip -q "$pkg" -d "$root" ;;
esac
licence=$(find "$root" -name 'LICENSE*' -o -name copyright)
grep -q "$notice" "$licence" || fail "no licence naming the $notice linked in"
[ "$arch" != win32 ] || ! LC_ALL=C grep -nPv '^[\t -~]*\r$' "$licence" "$root/README.txt" ||
  fail "not ASCII with CR LF, as type and Notepad need"

program=$(find "$root" -name waitms -type f -perm -u+x -o -name waitms.exe)
cd /  # so that waitms.exe finds its library beside it, not in the current folder
LC_ALL=C $run "$program" 0 >"$root/out" || fail "waitms 0 exited with $?"
printf 'Waiting 0 ms... Ok\r\n' | cmp -s - "$root/out" || fail "waitms 0 wrote $(od -c "$root/out")"

# Static: no Depends, Built-Using names what is linked in (lintian checks a dynamic link's Depends).
if [ "${pkg##*.}" = deb ] && ! readelf -d "$program" | grep -q NEEDED; then
  using=$(dpkg-deb -f "$pkg" Built-Using)
  [ -z "$(dpkg-deb -f "$pkg" Depends)" ] || fail "linked statically, yet with Depends"
  echo "$using" | grep -Eq "(^|, )glibc \(= " && echo "$using" | grep -Eq "(^|, )gcc-[0-9]+ \(= " ||
    fail "no glibc or no gcc in Built-Using: $using"
fi
[ "$failures" -eq 0 ] && echo "$pkg: all checks passed"
exit "$failures"
