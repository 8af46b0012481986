#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves the install elsewhere (a relocated install
# must work as well) and checks it as a user meets it: every file in its place, the validators
# of the desktop entry and the metainfo, --help and --version, the command-line tool on the
# installed sample pool, and a first start of the program with fresh settings and an empty
# data folder, which must copy the sample pool there and open it.
#   check-install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$work/staged" >/dev/null
mv "$work/staged" "$work/moved"
prefix=$work/moved

for file in bin/courtsider bin/courtsider-cli \
  share/courtsider/Courtsider.hlp/contents.html \
  share/courtsider/Sample.BGD/System.dat share/courtsider/Sample.BGD/Teams.dat \
  share/courtsider/Sample.BGD/PlayPick.dat \
  share/applications/courtsider.desktop \
  share/metainfo/com.tarnwell.Courtsider.metainfo.xml \
  share/icons/hicolor/scalable/apps/courtsider.svg \
  share/icons/hicolor/48x48/apps/courtsider.png \
  share/icons/hicolor/256x256/apps/courtsider.png \
  share/man/man1/courtsider.1 share/man/man1/courtsider-cli.1; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
# Nothing the programs ship with lies beside them: they find it through the layout.
[ -z "$(ls "$prefix/bin" | grep -v '^courtsider\(-cli\)\?$')" ] || fail "stray files in bin: $(ls "$prefix/bin")"
for size in 48 256; do
  file "$prefix/share/icons/hicolor/${size}x${size}/apps/courtsider.png" |
    grep -q "PNG image data, $size x $size" || fail "the ${size} px icon is not $size x $size"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/courtsider.svg" || fail "the SVG icon is no SVG"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/courtsider.desktop" || fail "desktop entry"
else
  echo "SKIP: desktop-file-validate is not installed"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/com.tarnwell.Courtsider.metainfo.xml" \
    >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log"; fail "metainfo"; }
else
  echo "SKIP: appstreamcli is not installed"
fi
if command -v man >/dev/null; then
  for page in courtsider courtsider-cli; do
    MANWIDTH=80 man -l "$prefix/share/man/man1/$page.1" 2>"$work/man.err" | grep -q "$version" ||
      fail "the manual page of $page does not render with the version"
    [ ! -s "$work/man.err" ] || { cat "$work/man.err"; fail "the manual page of $page has errors"; }
  done
fi

# A user of our own: fresh settings, an empty home and data folder, no display.
export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
export XDG_RUNTIME_DIR=$work/runtime
unset COURTSIDER_SETTINGS QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

[ "$("$prefix/bin/courtsider-cli" --version)" = "courtsider-cli $version" ] || fail "courtsider-cli --version"
[ "$("$prefix/bin/courtsider" --version)" = "Courtsider $version" ] || fail "courtsider --version"
"$prefix/bin/courtsider-cli" --help | grep -q "courtsider-cli info DIR" || fail "courtsider-cli --help"
"$prefix/bin/courtsider" --help | grep -q -- "--check" || fail "courtsider --help"

info=$("$prefix/bin/courtsider-cli" info "$prefix/share/courtsider/Sample.BGD") ||
  fail "courtsider-cli info on the installed sample pool"
echo "$info" | grep -q '"teams":64,' || fail "the installed sample pool has not 64 teams: $info"

settings=$work/settings.ini
pools=$XDG_DATA_HOME/Tarnwell/Courtsider
opened=$("$prefix/bin/courtsider" --settings "$settings" --check) || fail "the first start opened no pool"
[ "$opened" = "$pools/Sample.BGD" ] || fail "the first start opened '$opened', not the user's sample"
for file in System.dat Teams.dat PlayPick.dat; do
  cmp -s "$pools/Sample.BGD/$file" "$prefix/share/courtsider/Sample.BGD/$file" ||
    fail "$file of the sample was not copied whole"
done
grep -qx "Courtsider\\\\AppDirectory=$pools" "$settings" || fail "AppDirectory not recorded: $(cat "$settings")"
grep -qx "Courtsider\\\\DataDirectory=Sample.BGD" "$settings" || fail "DataDirectory not recorded"
[ ! -e "$XDG_CONFIG_HOME/Tarnwell/Courtsider.ini" ] || fail "the user's own settings file was written"

# The pools folder gone at a later start: a clear message, and the sample again.
rm -rf "$pools"
opened=$("$prefix/bin/courtsider" --settings "$settings" --check 2>"$work/stderr") ||
  fail "the start after losing the pools folder opened no pool"
[ "$opened" = "$pools/Sample.BGD" ] || fail "after losing the pools folder it opened '$opened'"
grep -q "The folder that holds your pools, \"$pools\", no longer exists" "$work/stderr" ||
  fail "no message about the lost pools folder: $(cat "$work/stderr")"
echo "installed, relocated and started: $prefix"
