#!/bin/sh
# Checks the Debian package as a user gets it: its metadata, lintian's verdict, and the installed
# program and man page. Usage: check-deb.sh PACKAGE.deb VERSION
set -eu
deb=$1 version=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
field() { dpkg-deb -f "$deb" "$1"; }

[ "$(field Package)" = waitms ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = utils ] || fail "Section is '$(field Section)'"
[ -z "$(field Depends)" ] || fail "a static executable depends on nothing, not '$(field Depends)'"
field Description | grep -q 'milliseconds' || fail "the description does not say what the tool is for"

# lintian: no errors and no warnings (an overridden tag shows as O: and is fine).
lintian_output=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $lintian_output"
echo "$lintian_output" | grep -E '^[EW]:' && fail "lintian reports errors or warnings"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
for path in usr/bin/waitms usr/share/man/man1/waitms.1.gz usr/share/doc/waitms/copyright \
  usr/share/doc/waitms/changelog.gz; do
  [ -f "$root/$path" ] || fail "the package has no /$path"
done

# The installed program: exact bytes, exit status 0, and the version in its usage heading.
out=$(mktemp)
LC_ALL=C "$root/usr/bin/waitms" 0 >"$out" || fail "waitms 0 exited with $?"
printf 'Waiting 0 ms... Ok\r\n' | cmp -s - "$out" || fail "waitms 0 wrote '$(od -c "$out")'"
major=${version%%.*}
minor=$(echo "$version" | cut -d. -f2)
revision=${version##*.}
heading=$(printf 'Korvane - WaitMs %d.%02d.%04d\r' "$major" "$minor" "$revision")
LC_ALL=C "$root/usr/bin/waitms" | head -n 1 | grep -qxF "$heading" || fail "the usage heading is not '$heading'"
rm -f "$out"

# The man page renders without a warning, and carries the version.
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/waitms.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man reports: $warnings"
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$root/usr/share/man/man1/waitms.1.gz" 2>/dev/null | grep -q "waitms $version" ||
  fail "the man page does not show version $version"

[ "$failures" -eq 0 ] && echo "$deb: all checks passed"
exit "$failures"
