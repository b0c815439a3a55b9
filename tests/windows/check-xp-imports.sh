#!/usr/bin/env bash
# Holds slidesaver.scr to Windows XP SP3: cross-builds it, then reads its PE header and import
# table and fails on a subsystem or OS version XP's loader refuses (above 5.1), an import by
# ordinal, or any imported function not listed in xp-imports.txt.
#
#   check-xp-imports.sh [--build-dir DIR]     (default build/release/windows-i686)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$here/../../build/release/windows-i686"
[[ ${1:-} == --build-dir ]] && build=$(realpath -m "$2")
objdump=$(command -v i686-w64-mingw32-objdump || command -v objdump) ||
  { echo "check-xp-imports: objdump is missing" >&2; exit 1; }

"$here/../../cmake/cross-build-windows.sh" "$build" slidesaver
scr="$build/slidesaver.scr"
headers=$("$objdump" -p "$scr")
failures=0

# Windows XP is version 5.1; its loader refuses a program that asks for a later version.
for field in OSystemVersion SubsystemVersion; do
  major=$(awk -v f="Major$field" '$1 == f {print $2}' <<<"$headers")
  minor=$(awk -v f="Minor$field" '$1 == f {print $2}' <<<"$headers")
  if [[ -z $major ]] || ((major * 100 + minor > 501)); then
    echo "  FAIL $field ${major:-?}.${minor:-?} is above Windows XP's 5.1"
    failures=$((failures + 1))
  fi
done

# Every imported function as "DLL name", the DLL's name in upper case; by ordinal: "DLL #n".
imports=$(awk '
  /^\tDLL Name: / { dll = toupper($3); next }
  /^$/ { dll = "" }
  dll && /^\t[0-9a-f]+\t +[0-9]+  / { print dll, ($3 == "<none>" ? "#" $2 : $3) }' <<<"$headers" |
  sort -u)
[[ -n $imports ]] || { echo "  FAIL no import table read from $scr"; exit 1; }
allowed=$(grep -v '^#' "$here/xp-imports.txt" | awk 'NF { print toupper($1), $2 }' | sort -u)
unlisted=$(comm -23 <(echo "$imports") <(echo "$allowed"))
if [[ -n $unlisted ]]; then
  echo "  FAIL imports outside tests/windows/xp-imports.txt (not known to be in Windows XP SP3):"
  sed 's/^/         /' <<<"$unlisted"
  grep -qi '^KERNEL32.DLL GetTickCount64$' <<<"$unlisted" &&
    echo "       (winpthread's; a build tree configured with the posix thread model keeps" \
      "it: cmake --fresh --preset windows-i686)"
  failures=$((failures + 1))
fi
echo "  $(wc -l <<<"$imports") imports from $(cut -d' ' -f1 <<<"$imports" | sort -u | tr '\n' ' ')"
((failures == 0)) && echo "  ok   slidesaver.scr imports only what Windows XP SP3 has"
((failures == 0))
