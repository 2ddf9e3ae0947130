#!/usr/bin/env bash
# Builds the Debian package (the `package` preset) and checks it as an installer would meet it: every
# file in its place, the control fields, a valid desktop entry and AppStream file, lintian without
# errors, and the installed program, extracted into a temporary root, running an unattended LOADSAVE
# through the command on the PATH as an unprivileged user, finding its data beside its real path and
# writing nothing into its own directory.
# Usage: scripts/package-check.sh [--no-build]
set -euo pipefail
cd "$(dirname "$0")/.."
failures=0
fail() { echo "package-check: FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "package-check: ok: $*"; }

if [ "${1:-}" != "--no-build" ]; then
  scripts/ensure-packages.sh
  cmake --preset package >/dev/null
  cmake --build --preset package
fi

version=$(sed -n 's/^project(configurator VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=moxta-configurator
appid=com.moxta.Configurator
progdir=usr/lib/$name
deb="build/package/${name}_${version}_$(dpkg --print-architecture).deb"
if [ ! -f "$deb" ]; then
  echo "package-check: FAIL: no package $deb" >&2
  exit 1
fi
echo "package-check: $deb, $(stat -c %s "$deb") bytes"

# --- the file list -----------------------------------------------------------------------------------
expected=(
  "usr/bin/configurator -> ../lib/$name/configurator"
  "$progdir/configurator"
  "$progdir/libmoxtausbdll.so"
  "usr/share/applications/$appid.desktop"
  "usr/share/icons/hicolor/scalable/apps/$appid.svg"
  "usr/share/icons/hicolor/256x256/apps/$appid.png"
  "usr/share/metainfo/$appid.metainfo.xml"
  "usr/share/man/man1/configurator.1.gz"
  "usr/share/doc/$name/changelog.gz"
  "usr/share/doc/$name/copyright"
)
for f in data/*; do expected+=("$progdir/$(basename "$f")"); done
for f in docs/manual/*.list; do expected+=("$progdir/$(basename "$f" .list).pdf"); done
# Files and links only; directories are implied by them.
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { $1=$2=$3=$4=$5=""; sub(/^ +\.\//, ""); print }' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$actual" == "$wanted" ]; then
  pass "the package holds exactly the ${#expected[@]} expected files"
else
  fail "the package's files differ from the expected ones (< expected, > in the package):"
  diff <(echo "$wanted") <(echo "$actual") >&2 || true
fi
listing=$(dpkg-deb -c "$deb")
if [[ "$listing" =~ (^|$'\n')-rw-r--r--[^$'\n']*" ./$progdir/libmoxtausbdll.so"($'\n'|$) ]]; then
  pass "the device library is installed without execute bits"
else
  fail "the device library's permissions are not rw-r--r--"
fi

# --- control fields ----------------------------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Version)" == "$version" ] && pass "Version $version" || fail "Version is '$(field Version)', not $version"
[ "$(field Package)" == "$name" ] && pass "Package $name" || fail "Package is '$(field Package)'"
depends=$(field Depends)
echo "package-check: Depends: $depends"
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo fonts-dejavu-core; do
  [[ ", $depends," == *", $lib "* || ", $depends," == *", $lib,"* ]] || fail "Depends lacks $lib"
done
[[ "$depends" == *moxta* ]] && fail "Depends names the package's own device library"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"

# --- extracted tree: metadata ------------------------------------------------------------------------
# Resolved, since the program reports the real paths it opens.
tmp=$(realpath "$(mktemp -d -p /tmp pkgcheck.XXXXXX)")
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
root="$tmp/root"
dpkg-deb -x "$deb" "$root"
chmod 755 "$root"

if desktop-file-validate "$root/usr/share/applications/$appid.desktop"; then
  pass "desktop-file-validate"
else
  fail "desktop-file-validate"
fi
if appstreamcli validate --no-net "$root/usr/share/metainfo/$appid.metainfo.xml"; then
  pass "appstreamcli validate --no-net"
else
  fail "appstreamcli validate --no-net"
fi
png="$root/usr/share/icons/hicolor/256x256/apps/$appid.png"
# The PNG header's width and height, big-endian at bytes 16 to 23.
size=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }')
[ "$size" == "256x256" ] && pass "icon PNG is 256x256" || fail "icon PNG is $size, not 256x256"

# --- lintian -----------------------------------------------------------------------------------------
if lintian --fail-on error "$deb" > "$tmp/lintian.txt" 2>&1; then
  pass "lintian: no errors"
else
  fail "lintian reports errors"
fi
grep -E '^[EW]:' "$tmp/lintian.txt" || true

# --- the installed program ---------------------------------------------------------------------------
work="$tmp/work"
mkdir -p "$work/home"
printf '[bench]\nlin_baud=0\n[adapter:ZUBREX-0001]\nserial=100001\n[box:ZUBREX-0001:0]\n' > "$work/bench.ini"
printf '[configuration]\ntype=KVR5E\n[parameters]\nref1_stroke_max=6120\n[strings]\nConfType=KVR5E\n' \
  > "$work/a.cfg"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  # The installed tree belongs to the user too, so that a write into it would succeed and be seen
  # below rather than be refused unnoticed.
  chown -R 65534:65534 "$work" "$root"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
trace=()
if strace -f -o /dev/null true 2>/dev/null; then
  # One file per thread: a call of one thread never splits another's line.
  trace=(strace -ff -qq -o "$tmp/trace"
         -e trace=openat,open,creat,mkdir,mkdirat,rename,renameat,renameat2,unlink,unlinkat,symlinkat,linkat,truncate)
else
  fail "strace cannot trace here: whether the program finds its data beside its real path is unchecked"
fi
touch "$tmp/before-run"
set +e
"${trace[@]}" "${as_user[@]}" env -i PATH="$root/usr/bin" HOME="$work/home" \
  QT_QPA_PLATFORM=offscreen MOXTA_BENCH="$work/bench.ini" \
  /usr/bin/timeout 120 configurator LOADSAVE "$work/a.cfg" > "$tmp/run.txt" 2>&1
status=$?
set -e
if [ "$status" -eq 0 ]; then
  pass "LOADSAVE through $root/usr/bin/configurator ended with exit status 0"
else
  fail "LOADSAVE ended with exit status $status"
  cat "$tmp/run.txt" >&2
fi
lines=$(wc -l < "$work/a.cfg")
if [ "$lines" -gt 100 ] && grep -qx 'ref1_stroke_max=6120' "$work/a.cfg" && grep -qx 'ConfType=KVR5E' "$work/a.cfg"; then
  pass "the file was written back whole ($lines lines, its values kept)"
else
  fail "the file was not written back as expected ($lines lines)"
fi
if [ -f "$work/home/.config/Moxta/configurator/configurator.ini" ]; then
  pass "settings kept under the user's configuration folder (~/.config/Moxta/configurator)"
else
  fail "no settings file under ~/.config/Moxta/configurator"
fi
changed=$(find "$root" -newer "$tmp/before-run")
if [ -z "$changed" ]; then
  pass "nothing written into the installed tree"
else
  fail "the run changed the installed tree:"
  echo "$changed" >&2
fi
traces=("$tmp"/trace.*)
if [ -f "${traces[0]}" ]; then
  for data in Actuators.ini Hints.ini; do
    # grep -q alone: a pipe into it would end the first grep early, a failure under pipefail.
    if grep -qhE "^open(at)?\(.*\"$root/$progdir/$data\", O_RDONLY.*= [0-9]+$" "${traces[@]}"; then
      pass "$data read from the program directory"
    else
      fail "$data was not read from $root/$progdir; the run's calls naming it:"
      grep -h "$data" "${traces[@]}" >&2 || true
    fi
  done
  writes=$(grep -hE "^(open(at)?|creat)\(.*\"$root/[^\"]*\", [^)]*(O_WRONLY|O_RDWR|O_CREAT)" "${traces[@]}" || true)
  writes+=$(grep -hE "^(mkdir(at)?|rename(at2?)?|unlink(at)?|symlinkat|linkat|truncate)\(.*\"$root/" "${traces[@]}" || true)
  if [ -n "$writes" ]; then
    fail "the program tried to change its own tree:"
    echo "$writes" >&2
  else
    pass "no attempt to change the installed tree"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "package-check: $failures check(s) failed" >&2
  exit 1
fi
echo "package-check: all checks passed"
