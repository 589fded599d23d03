#!/usr/bin/env bash
# Builds the Debian package from this build tree, checks its file list and metadata,
# unpacks it into a scratch root and runs the installed programs from there: the tool on
# an installed example, and the editor offscreen up to its first picture, which must find
# its data files in the installed tree.
#   package_test.sh BUILD_DIR SOURCE_DIR [required data file ...]
set -euo pipefail
build=$1
source=$2
shift 2

if ! command -v dpkg-deb >/dev/null || ! command -v dpkg-shlibdeps >/dev/null; then
  echo "SKIP: dpkg-deb or dpkg-shlibdeps (dpkg-dev) is not installed"
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/out/velomast_*_*.deb)
echo "package: $(basename "$deb")"
[[ $(basename "$deb") =~ ^velomast_[0-9.]+_[a-z0-9]+\.deb$ ]] || { echo "FAIL: package name"; exit 1; }

fail=0
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' >"$work/files"
for f in /usr/bin/velomast /usr/bin/velomast-cli /usr/bin/velomast-cli-pictures \
         /usr/share/applications/io.github.velomast.Velomast.desktop \
         /usr/share/mime/packages/velomast.xml \
         /usr/share/metainfo/io.github.velomast.Velomast.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/velomast.svg \
         /usr/share/icons/hicolor/16x16/apps/velomast.png \
         /usr/share/icons/hicolor/256x256/apps/velomast.png \
         /usr/share/man/man1/velomast.1.gz /usr/share/man/man1/velomast-cli.1.gz \
         /usr/share/velomast/examples/dipole.maa "$@"; do
  grep -qx "$f" "$work/files" || { echo "FAIL: $f is not in the package"; fail=1; }
done
if grep -E '^/usr/(include|lib/cmake)|/tests?/|bench' "$work/files"; then echo "FAIL: build-only files packaged"; fail=1; fi

control=$(dpkg-deb -f "$deb")
echo "$control" | grep -q '^Depends: .*libqt6widgets6' || { echo "FAIL: computed dependencies"; echo "$control"; fail=1; }
echo "$control" | grep -q '^Recommends: nec2c, xnec2c, qt6-translations-l10n' || { echo "FAIL: Recommends"; fail=1; }

root="$work/root"
dpkg -x "$deb" "$root"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/io.github.velomast.Velomast.desktop" | grep -v '^.*: hint:' && fail=1 || true
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.velomast.Velomast.metainfo.xml" >"$work/as.log" 2>&1 ||
    { cat "$work/as.log"; echo "FAIL: AppStream data"; fail=1; }
fi

# The installed programs, from the scratch root (a relocated prefix).
export ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME"
out=$("$root/usr/bin/velomast-cli" info "$root/usr/share/velomast/examples/dipole.maa") ||
  { echo "FAIL: installed velomast-cli info"; fail=1; }
echo "$out" | head -3
# Drawing commands run in the helper program beside velomast-cli.
"$root/usr/bin/velomast-cli" render "$root/usr/share/velomast/examples/dipole.maa" "$work/dipole.png" &&
  [ -s "$work/dipole.png" ] || { echo "FAIL: installed velomast-cli render"; fail=1; }
shot=$(timeout 60 "$root/usr/bin/velomast" --exit-after-paint "$root/usr/share/velomast/examples/dipole.maa" 2>"$work/editor.log") ||
  { cat "$work/editor.log"; echo "FAIL: installed editor"; fail=1; }
echo "$shot"
echo "$shot" | grep -q '^painted: [0-9]*x[0-9]*' || { echo "FAIL: no first paint"; fail=1; }
for f in "$@"; do
  case "$f" in
    */Language/*) key=language ;; */test.frf) key=template ;; */readme.txt) key=readme ;; *) continue ;;
  esac
  echo "$shot" | grep -q "^$key: $root/usr/share/velomast/" || { echo "FAIL: the installed editor did not find its $key"; fail=1; }
done
# Nothing is written beside the installed program.
[[ -z $(find "$root/usr/bin" -newer "$deb" -type f -name '*.ini') ]] || { echo "FAIL: settings written beside the program"; fail=1; }
echo "$shot" | grep -qx "settings: $HOME/.config/velomast/velomast.ini" ||
  { echo "FAIL: settings not in the user's configuration folder"; fail=1; }

[[ $fail -eq 0 ]] && echo "package test passed"
exit $fail
