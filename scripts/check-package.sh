#!/usr/bin/env bash
# scripts/check-package.sh DEB: checks a Melotrix Debian package. lintian finds
# no error; the desktop entry, the MIME package, the AppStream metainfo and the
# man pages validate; every file an install puts into the package is there,
# owned by root with the usual modes; the unpacked melotrix-cli runs.
# With --tools it only tells whether the checking tools are installed.
# Exits 77 (skipped) when one is missing.
set -euo pipefail

missing=()
for tool in dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli update-mime-database man; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if ((${#missing[@]})); then
  echo "skipped: ${missing[*]} not installed (scripts/deps.sh installs them)"
  exit 77
fi
[[ ${1:-} == --tools ]] && exit 0
deb=${1:?usage: check-package.sh DEB}

status=0
fail() {
  echo "FAIL: $*"
  status=1
}

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

share=usr/share
expected=(usr/bin/melotrix usr/bin/melotrix-cli "$share/applications/melotrix.desktop"
  "$share/mime/packages/melotrix-mxv.xml" "$share/metainfo/io.github.melotrix.Melotrix.metainfo.xml"
  "$share/icons/hicolor/scalable/apps/melotrix.svg" "$share/doc/melotrix/copyright"
  "$share/doc/melotrix/changelog.Debian.gz")
for size in 16 32 48 64 128 256; do expected+=("$share/icons/hicolor/${size}x$size/apps/melotrix.png"); done
# The man pages and the completion come as one: when one is there, all are expected.
manual=("$share/man/man1/melotrix.1.gz" "$share/man/man1/melotrix-cli.1.gz" "$share/bash-completion/completions/melotrix-cli")
for file in "${manual[@]}"; do
  if [[ -e $root/$file ]]; then
    expected+=("${manual[@]}")
    break
  fi
done
for file in "${expected[@]}"; do
  [[ -f $root/$file ]] || fail "$file is not in the package"
done

# Each PNG is as wide and high as its folder says (the width and height of its IHDR chunk).
for png in "$root/$share"/icons/hicolor/*x*/apps/melotrix.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$png")
  [[ ${width}x$height == "$size" ]] || fail "${png#"$root"/} is ${width}x$height"
done

# Root owns everything; programs and folders are 755, the rest 644.
while read -r mode owner _ _ _ name; do
  case $mode in d*) want=drwxr-xr-x ;; *) [[ $name == ./usr/bin/* ]] && want=-rwxr-xr-x || want=-rw-r--r-- ;; esac
  [[ $owner == root/root && $mode == "$want" ]] || fail "$name is $mode $owner"
done < <(dpkg-deb -c "$deb")

lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"
desktop-file-validate "$root/$share/applications/melotrix.desktop" || fail "the desktop entry does not validate"
appstreamcli validate --no-net "$root/$share/metainfo/io.github.melotrix.Melotrix.metainfo.xml" >/dev/null ||
  fail "the AppStream metainfo does not validate"
# The MIME package builds a database without a complaint, and its type is found by glob.
mkdir -p "$root/mime/packages"
cp "$root/$share/mime/packages/melotrix-mxv.xml" "$root/mime/packages/"
[[ -z $(XDG_DATA_HOME=$root update-mime-database "$root/mime" 2>&1) ]] || fail "update-mime-database complains of the MIME package"
grep -q ':application/x-melotrix-mxv:\*\.mxv' "$root/mime/globs2" 2>/dev/null || fail "the MIME database lacks *.mxv"
for page in "$root/$share"/man/man1/*.gz; do
  [[ -e $page ]] || continue
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [[ -z $warnings ]] || fail "${page#"$root"/} warns: $warnings"
done
completion=$root/$share/bash-completion/completions/melotrix-cli
[[ ! -e $completion ]] || bash -n "$completion" || fail "the completion is no bash script"

version=$(dpkg-deb -f "$deb" Version)
"$root/usr/bin/melotrix-cli" --version | grep -qF "${version%-*}" || fail "melotrix-cli --version does not say ${version%-*}"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the dependencies do not name the libraries"
exit $status
