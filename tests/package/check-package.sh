#!/usr/bin/env bash
# Checks a built package with Debian's own checkers: lintian (no errors;
# warnings are shown), desktop-file-validate on its menu entry and
# appstreamcli on its AppStream metadata; and that its dependencies came from
# the linked libraries and its icons have the sizes their folders name.
#   check-package.sh OUT-DIR
set -euo pipefail
deb=$(ls "$1"/zorvane_*.deb)
failed=0
fail() { echo "check-package: $*" >&2; failed=1; }

echo "== lintian"
lintian --allow-root --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

echo "== desktop-file-validate"
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop entry is not valid"

echo "== appstreamcli validate"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || fail "AppStream metadata is not valid"

echo "== dependencies"
depends=$(dpkg-deb -f "$deb" Depends)
echo "$depends"
for want in libc6 libqt6widgets6 libqt6webenginewidgets6 putty-tools x-terminal-emulator; do
  grep -q "$want" <<<"$depends" || fail "Depends lacks $want"
done

echo "== icons"
for png in "$root"/usr/share/icons/hicolor/*/apps/zorvane.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  file "$png" | grep -q "${size/x/ x }," || fail "$png is not $size"
done
[ -e "$root/usr/share/icons/hicolor/48x48/apps/zorvane.png" ] || fail "no 48x48 icon"

exit $failed
