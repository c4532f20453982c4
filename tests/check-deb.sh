#!/bin/sh
# The Debian package for ARCH as a user gets it: lintian, its relations, the installed program's
# bytes (under qemu-user for another ARCH). Usage: check-deb.sh PACKAGE.deb ARCH
set -eu
deb=$1 arch=$2 qemu=
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "Architecture is not $arch"
[ "$arch" = "$(dpkg --print-architecture)" ] ||  # lintian tells a program of another architecture
  qemu=qemu-$(dpkg-architecture -a "$arch" -qDEB_HOST_GNU_CPU 2>/dev/null | sed 's/^i.86$/i386/')

# No errors and no warnings; an overridden tag shows as O: and is fine.
report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $report"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
LC_ALL=C $qemu "$root/usr/bin/waitms" 0 >"$root/out" || fail "waitms 0 exited with $?"
printf 'Waiting 0 ms... Ok\r\n' | cmp -s - "$root/out" || fail "waitms 0 wrote $(od -c "$root/out")"

# Static: no Depends, Built-Using names what is linked in (lintian checks a dynamic link's Depends).
if ! readelf -d "$root/usr/bin/waitms" | grep -q NEEDED; then
  depends=$(dpkg-deb -f "$deb" Depends) using=$(dpkg-deb -f "$deb" Built-Using)
  [ -z "$depends" ] || fail "linked statically, yet Depends: $depends"
  for src in glibc 'gcc-[0-9]+'; do
    echo "$using" | grep -Eq "(^|, )$src \(= [^)]+\)" || fail "no $src in Built-Using: $using"
  done
fi

[ "$failures" -eq 0 ] && echo "$deb: all checks passed"
exit "$failures"
