#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree, unpacks it, and checks that
# desktops and software centres would find everything, and that it would install here.
# Usage: package_test.sh BUILD_DIR EXPECTED_VERSION [CPACK]
set -uo pipefail

build_dir="${1:?usage: package_test.sh BUILD_DIR EXPECTED_VERSION [CPACK]}"
version="${2:?usage: package_test.sh BUILD_DIR EXPECTED_VERSION [CPACK]}"
cpack="${3:-cpack}"

id=io.github.irobunkai.Irobunkai
icon_sizes=(16 32 48 64 128 256)
runtime_packages=(libqt6core6 libqt6gui6 libqt6widgets6 qt6-image-formats-plugins libgomp1
  fonts-ipafont-gothic libheif1 libjxl0.7 libraw20 libgs-common)

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "PASS: $*"; }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }
check() { # check DESCRIPTION COMMAND...
  local what="$1"
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
finish() {
  echo "$passed passed, $failed failed"
  ((failed == 0))
  exit
}

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

missing=()
for tool in "$cpack" dpkg dpkg-deb dpkg-query readelf ldconfig desktop-file-validate appstreamcli \
  timeout od; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if ((${#missing[@]} > 0)); then
  fail "tools missing: ${missing[*]} (desktop-file-validate is in desktop-file-utils," \
    "appstreamcli in appstream, readelf in binutils)"
  finish
fi

if [[ ! -f "$build_dir/CPackConfig.cmake" ]]; then
  fail "$build_dir/CPackConfig.cmake not found: the project does not include(CPack)"
  finish
fi

# Package into the scratch directory so that a package already in the build tree is
# neither overwritten nor mistaken for this one.
if timeout 300 "$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$scratch/out" \
  >"$scratch/cpack.log" 2>&1; then
  pass "cpack -G DEB"
else
  fail "cpack -G DEB; its output:"
  cat "$scratch/cpack.log"
  finish
fi

debs=("$scratch"/out/*.deb)
if ((${#debs[@]} != 1)) || [[ ! -f "${debs[0]}" ]]; then
  fail "expected exactly one .deb, found: ${debs[*]}"
  finish
fi
deb="${debs[0]}"
arch="$(dpkg --print-architecture)"
check "file name is irobunkai_${version}_${arch}.deb" \
  test "$(basename "$deb")" = "irobunkai_${version}_${arch}.deb"

field() { dpkg-deb -f "$deb" "$1"; }
check "Package is irobunkai" test "$(field Package)" = irobunkai
check "Version is $version" test "$(field Version)" = "$version"
check "Architecture is $arch" test "$(field Architecture)" = "$arch"
check "Section is graphics" test "$(field Section)" = graphics
check "Maintainer has a name and an address" \
  grep -qE '^[^<]+ <[^@>]+@[^>]+>$' <<<"$(field Maintainer)"
description="$(field Description)"
check "Description has a summary and a long part" test "$(wc -l <<<"$description")" -ge 2
check "Description's long part does not repeat the summary" \
  test "$(sed -n '2s/^ *//p' <<<"$description")" != "$(head -n1 <<<"$description")"

# Depends as clauses, one per line, each "name" or "name (op version)".
depends="$(field Depends | tr ',' '\n' | sed 's/^ *//; s/ *$//' | grep -v '^$')"
depends_names="$(cut -d" " -f1 <<<"$depends")"
for p in "${runtime_packages[@]}"; do
  check "Depends names $p" grep -qxF "$p" <<<"$depends_names"
done

# Each clause must be met by what is installed here: a misspelt name or an impossible
# version floor would make the package uninstallable.
while read -r name op ver; do
  op="${op#(}"
  ver="${ver%)}"
  installed="$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null)"
  if [[ -z "$installed" ]]; then
    fail "Depends on $name, which is not an installed package here"
  elif [[ -n "$op" ]] && ! dpkg --compare-versions "$installed" "$op" "$ver"; then
    fail "Depends on $name ($op $ver) but $installed is installed"
  else
    pass "Depends clause '$name${op:+ ($op $ver)}' is met by $installed"
  fi
done <<<"$depends"

# Every owner of a library the binary links must be in Depends. Sanitizer runtimes are
# skipped: sanitizer builds are tested, never shipped.
owner_of() {
  local lib="$1" path candidates c
  path="$(ldconfig -p | awk -v lib="$lib" '$1 == lib { print $NF; exit }')"
  [[ -n "$path" ]] || return 1
  candidates=("$path" "$(readlink -f "$path")")
  for c in "${candidates[@]}"; do # Debian 12 merges /lib into /usr/lib; dpkg knows one.
    candidates+=("${c#/usr}" "/usr${c#/usr}")
  done
  for c in "${candidates[@]}"; do
    dpkg-query -S "$c" 2>/dev/null | head -n1 | sed 's/:.*//' && return 0
  done
  return 1
}

dpkg-deb -x "$deb" "$scratch/root" || { fail "dpkg-deb -x"; finish; }
root="$scratch/root"
bin="$root/usr/bin/irobunkai"

check "usr/bin/irobunkai is an executable file" test -f "$bin" -a -x "$bin"
if [[ -f "$bin" ]]; then
  # The stripped, packaged binary itself must still start.
  if out="$(QT_QPA_PLATFORM=offscreen timeout 30 "$bin" --version 2>&1)" &&
    grep -qF "irobunkai $version" <<<"$out"; then
    pass "packaged irobunkai --version says $version"
  else
    fail "packaged irobunkai --version: $out"
  fi

  needed="$(readelf -d "$bin" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')"
  check "the binary links some libraries" test -n "$needed"
  for lib in $needed; do
    case "$lib" in lib[alt]san.so.* | libubsan.so.* | libhwasan.so.*) continue ;; esac
    owner="$(owner_of "$lib")"
    if [[ -z "$owner" ]]; then
      fail "no installed package owns $lib, which the binary links"
    else
      check "Depends covers $lib (from $owner)" grep -qxF "$owner" <<<"$depends_names"
    fi
  done
fi

listing="$(dpkg-deb -c "$deb")"
check "every file lies under ./usr/" \
  test -z "$(awk '$1 !~ /^d/ && $NF !~ /^\.\/usr\// { print }' <<<"$listing")"
check "every entry is owned by root/root" \
  test -z "$(awk '$2 != "root/root" { print }' <<<"$listing")"
check "usr/bin/irobunkai is mode 0755" \
  grep -qE '^-rwxr-xr-x .* \./usr/bin/irobunkai$' <<<"$listing"
check "data files under usr/share are mode 0644" \
  test -z "$(awk '$1 !~ /^d/ && $NF ~ /^\.\/usr\/share\// && $1 != "-rw-r--r--" { print }' \
    <<<"$listing")"

desktop="$root/usr/share/applications/$id.desktop"
metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
check "desktop file in usr/share/applications" test -s "$desktop"
check "metainfo in usr/share/metainfo" test -s "$metainfo"
check "scalable icon in hicolor/scalable/apps" \
  grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/$id.svg"

# Reads width and height from the PNG header.
png_size() {
  local hex
  hex="$(od -An -tx1 -j16 -N8 "$1" 2>/dev/null | tr -d ' \n')"
  [[ ${#hex} -eq 16 ]] || return 1
  echo "$((16#${hex:0:8}))x$((16#${hex:8:8}))"
}
for n in "${icon_sizes[@]}"; do
  png="$root/usr/share/icons/hicolor/${n}x${n}/apps/$id.png"
  magic="$(head -c4 "$png" 2>/dev/null | od -An -c | tr -d ' ')"
  check "hicolor/${n}x${n}/apps/$id.png is a ${n}x${n} PNG" \
    test "$magic" = '211PNG' -a "$(png_size "$png")" = "${n}x${n}"
done

# What the files point at must be what the package holds.
key() { sed -n "s/^$1=//p" "$desktop" 2>/dev/null | head -n1; }
exec_cmd="$(key Exec | awk '{ print $1 }')"
check "desktop Exec '$exec_cmd' is a program in usr/bin" \
  test -n "$exec_cmd" -a -x "$root/usr/bin/$exec_cmd"
check "desktop Icon is $id" test "$(key Icon)" = "$id"
mime_types=(image/png image/jpeg image/gif image/bmp image/webp image/tiff image/heic image/heif
  image/avif image/jxl image/x-adobe-dng image/x-canon-cr2 image/x-canon-cr3 image/x-nikon-nef
  image/x-sony-arw image/x-fuji-raf image/x-olympus-orf image/x-panasonic-rw2 image/x-pentax-pef)
for t in "${mime_types[@]}"; do
  check "desktop MimeType lists $t" grep -qxF "$t" <<<"$(key MimeType | tr ';' '\n')"
  check "metainfo provides $t" grep -qF "<mediatype>$t</mediatype>" "$metainfo"
done
check "metainfo launchable names the packaged desktop file" \
  grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"
check "metainfo id is $id" grep -qF "<id>$id</id>" "$metainfo"
check "metainfo has a release $version" grep -qF "<release version=\"$version\"" "$metainfo"

# desktop-file-validate exits non-zero on errors only; warnings count as failures too,
# hints do not.
if out="$(timeout 60 desktop-file-validate "$desktop" 2>&1)" &&
  ! grep -qE '(error|warning):' <<<"$out"; then
  pass "desktop-file-validate"
else
  fail "desktop-file-validate"
fi
[[ -z "$out" ]] || echo "$out"

# appstreamcli fails on errors and warnings itself; info notes would still pass it, so any
# note but a pedantic one counts as a failure here. validate-tree also checks that the
# desktop file the metainfo launches is in the tree.
appstream() { # appstream DESCRIPTION ARGS...
  local what="$1" out status
  shift
  out="$(timeout 60 appstreamcli "$@" 2>&1)"
  status=$?
  if ((status == 0)) && ! grep -qE '^ *[EWI]: ' <<<"$out"; then
    pass "$what"
  else
    fail "$what (exit $status)"
  fi
  echo "$out"
}
appstream "appstreamcli validate --no-net" validate --no-net "$metainfo"
appstream "appstreamcli validate-tree --no-net" validate-tree --no-net "$root"

finish
