#!/bin/sh
# The Debian package as a user gets it (lintian, its relations, the installed program's bytes)
# and, given the build folder, a distributor's install. ARCH is the Debian architecture the
# package is for; one not the machine's own runs under qemu-user.
#   check-deb.sh PACKAGE.deb ARCH [BUILD]
set -eu
deb=$1 arch=$2
shift 2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The ELF machine as readelf names it, and the emulator, of each architecture built.
case $arch in
  amd64) machine="Advanced Micro Devices X86-64" qemu=qemu-x86_64 ;;
  arm64) machine=AArch64 qemu=qemu-aarch64 ;;
  armhf) machine=ARM qemu=qemu-arm ;;
  i386) machine="Intel 80386" qemu=qemu-i386 ;;
  s390x) machine="IBM S/390" qemu=qemu-s390x ;;
  *) echo "check-deb.sh: unknown architecture $arch" >&2; exit 2 ;;
esac
[ "$arch" != "$(dpkg --print-architecture)" ] || qemu=
got=$(dpkg-deb -f "$deb" Architecture)
[ "$got" = "$arch" ] || fail "Architecture: $got, expected $arch"

# No errors and no warnings; an overridden tag shows as O: and is fine.
report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $report"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
got=$(readelf -h "$root/usr/bin/waitms" | sed -n 's/^ *Machine: *//p')
[ "$got" = "$machine" ] || fail "the program is for $got, expected $machine"
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
# The lintian override is the .deb's alone: an install into DESTDIR has none.
if [ $# -gt 0 ]; then
  DESTDIR=$root/destdir cmake --install "$1" >/dev/null
  ! find "$root/destdir" -path '*lintian*' | grep -q . || fail "cmake --install puts lintian files"
fi

[ "$failures" -eq 0 ] && echo "$deb: all checks passed"
exit "$failures"
