#!/bin/sh
# The Debian package as a user gets it (lintian, its relations, the installed program's bytes)
# and, given the build folder, a distributor's install. Usage: check-deb.sh PACKAGE.deb [BUILD]
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

# Static: no Depends, Built-Using names what is linked in (lintian checks a dynamic link's Depends).
if ! readelf -d "$root/usr/bin/waitms" | grep -q NEEDED; then
  depends=$(dpkg-deb -f "$deb" Depends) using=$(dpkg-deb -f "$deb" Built-Using)
  [ -z "$depends" ] || fail "linked statically, yet Depends: $depends"
  for src in glibc 'gcc-[0-9]+'; do
    echo "$using" | grep -Eq "(^|, )$src \(= [^)]+\)" || fail "no $src in Built-Using: $using"
  done
fi
# The lintian override is the .deb's alone: an install into DESTDIR has none.
if [ $# -gt 1 ]; then
  DESTDIR=$root/destdir cmake --install "$2" >/dev/null
  ! find "$root/destdir" -path '*lintian*' | grep -q . || fail "cmake --install puts lintian files"
fi

[ "$failures" -eq 0 ] && echo "$deb: all checks passed"
exit "$failures"
