# shellcheck shell=bash
# Sourced by the installer round trips (msi-roundtrip, nsis-roundtrip): their check counters, the
# build of the Windows programs they run, their Wine calls, their look at the registry and the
# host's key they seed and restore; release-signing takes the counters. Not executable:
# scripts/test runs only the scripts that source it.
#
# The registry is read
# through quillet_regread (tests/e2e): each key with its class, each value with its type and its
# exact bytes, in the 32-bit view of HKEY_LOCAL_MACHINE unless asked for the 64-bit one. Expected
# values are spelt with rt_sz and rt_dword, which encode them here, apart from any product code.

# The round trip's name, for its messages and files; the repository it tests.
me=$(basename "$0")
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
passed=0
failed=0
skipped=0
winelog=/dev/null

die() {
  echo "$me: $*" >&2
  echo "$me: $passed passed, $((failed + 1)) failed, $skipped skipped"
  exit 1
}
ok() { passed=$((passed + 1)); echo "  ok    $*"; }
bad() { failed=$((failed + 1)); echo "  FAIL  $*"; }
# A row this machine cannot run: counted and said, never passed.
skip() { skipped=$((skipped + 1)); echo "  SKIP  $*"; }
# expect WHAT EXPECTED ACTUAL
expect() {
  if [ "$2" == "$3" ]; then ok "$1"; else bad "$1: expected [$2], got [$3]"; fi
}
# check WHAT [!] COMMAND...: passes when the command succeeds (with !: when it fails).
check() {
  local what=$1 want=0
  shift
  [ "$1" == '!' ] && { want=1; shift; }
  "$@"
  if [ $(($? != 0)) -eq $want ]; then ok "$what"; else bad "$what"; fi
}
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f s", b - a }'; }

# The installer authors' guide, whose recipes the round trips hold to their tested sources.
rt_guide=$root/docs/addon-makers.md
# rt_guide_quotes WHAT HEADING LANGUAGE SOURCE: every line of the guide's LANGUAGE code blocks in
# the section whose title begins with HEADING (up to the next title) is a line of SOURCE.
rt_guide_quotes() {
  local lines missing
  lines=$(awk -v head="$2" -v fence="\`\`\`$3" '
    /^#+ / { title = $0; sub(/^#+ /, "", title); if (in_section) exit; in_section = index(title, head) == 1; next }
    in_section && $0 == fence { on = 1; next }
    on && /^```$/ { on = 0 }
    on' "$rt_guide")
  missing=$(grep -vxF -f "$4" <<<"$lines")
  if [ -n "$lines" ] && [ -z "$missing" ]; then
    ok "the guide's $1 lines are lines of $(basename "$4")"
  else
    bad "the guide's $1 lines differ from $(basename "$4"): [$missing]"
  fi
}

# The last line of a round trip, and its exit status.
rt_finish() {
  [ $failed -eq 0 ] || echo "(Wine's messages: $winelog)"
  echo "$me: $passed passed, $failed failed, $skipped skipped"
  [ $failed -eq 0 ]
}

# rt_build PRESET TARGET...: configures and builds the targets of one preset into build/PRESET,
# its log in build/PRESET/<round trip>.build.log; dies with the log's end when that fails.
rt_build() {
  local preset=$1 log
  shift
  log=$root/build/$preset/$me.build.log
  mkdir -p "$(dirname "$log")"
  if ! (cd "$root" && cmake --preset "$preset" && cmake --build --preset "$preset" --target "$@") \
    >"$log" 2>&1; then
    tail -n 40 "$log"
    die "building $* ($preset) failed"
  fi
}

# rt_wine_up PROGRAMS: brings this tree's Wine up; the programs of quillet_launch and
# quillet_regread are taken from the build folder PROGRAMS (either build runs them). Wine's own
# messages go to a log: its services outlive the call that starts them and keep its output open,
# and whoever reads a round trip's output through a pipe would wait for them.
rt_wine_up() {
  rt_programs=$1
  # shellcheck source=scripts/wine-env.sh
  source "$root/scripts/wine-env.sh" || die "no Wine environment"
  winelog=$root/build/$me-wine.log
  rt_argfile=$root/build/$me-arguments.txt
  : >"$winelog"
  quillet_wine_up || die "the Wine environment did not come up"
}
wine() { command wine "$@" </dev/null 2>>"$winelog"; }
winepath() { command winepath "$@" </dev/null 2>>"$winelog"; }

# rt_launch SECONDS WINDOWS-PROGRAM ARGUMENT-TEXT: starts the program with exactly that argument
# text through quillet_launch, which prints and answers every message box the program shows;
# the program's exit status is ours. A program still running after SECONDS is ended (status 124,
# said on stderr): a box nobody could see, say, or an installer waiting for an answer.
rt_launch() {
  local limit=$1 program=$2 status
  printf '%s' "$3" >"$rt_argfile"
  timeout $((limit + 30)) wine "$(winepath -w "$rt_programs/quillet_launch.exe")" "$program" \
    "$(winepath -w "$rt_argfile")" "$limit"
  status=$?
  [ $status -eq 124 ] && echo "$me: ${program##*\\} did not end within $limit s" >&2
  return $status
}

# --- The registry ------------------------------------------------------------------------------
# rt_snapshot [-64] KEY: every line of the reader for HKLM\KEY and what lies below it.
rt_snapshot() { wine "$(winepath -w "$rt_programs/quillet_regread.exe")" "$@"; }
# rt_values [-64] KEY: the key's own lines (its class and its values, not its sub-keys'), without
# the key's path: `class "TEXT"` and `"NAME" = type N: BYTES`. Fails when the key is missing.
rt_values() {
  local key=${*: -1} lines
  lines=$(rt_snapshot "$@") && [ -n "$lines" ] || return 1
  awk -v prefix="[$key] " 'index($0, prefix) == 1 { print substr($0, length(prefix) + 1) }' <<<"$lines"
}
rt_has_key() { [ -n "$(rt_snapshot "$@")" ]; }
# rt_value KEY NAME: `type N: BYTES` of one value; fails when it is missing.
rt_value() {
  local line
  line=$(rt_values "$1" | grep -m1 -F "\"$2\" = ") || return 1
  echo "${line#*\" = }"
}
# The bytes a program reading a value gets, as the reader prints them: a REG_SZ text in Windows'
# ANSI code page (1252 here) with its terminating NUL, a REG_DWORD in four bytes, low one first.
rt_sz() {
  local bytes byte line='type 1:'
  bytes=$({ printf '%s' "$1" | iconv -f UTF-8 -t CP1252 && printf '\0'; } | od -An -v -tx1) ||
    die "cannot encode [$1] in code page 1252"
  for byte in $bytes; do line+=" $byte"; done
  echo "$line"
}
rt_dword() {
  printf 'type 4: %02x %02x %02x %02x\n' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) \
    $(($1 >> 24 & 255))
}
# rt_merkzettel_values FOLDER: the example add-on's key as the host reads it once either example
# installer registered it from FOLDER (a Windows path): its nine values and its class, quillet
# completing the program name, given without a folder, with its own folder.
rt_merkzettel_values() {
  local text="Sendungen für später vormerken"
  cat <<EOF
"AddOnName" = $(rt_sz Merkzettel)
"EinbindungsModus" = $(rt_dword 1)
"ExeDateiname" = $(rt_sz "$1\\Merkzettel.exe")
"KurzBeschreibung" = $(rt_sz "$text")
"LangBeschreibung" = $(rt_sz "")
"ParameterFest" = $(rt_sz "")
"ParameterZusatz" = $(rt_dword 2)
"SpezialButtonGrafikName" = $(rt_sz AddOn)
"SpezialButtonToolTiptext" = $(rt_sz "$text")
class "Anwendungsdaten"
EOF
}
# rt_decode `type N: BYTES`: a REG_SZ as its text (UTF-8, without the NUL), a REG_DWORD as its
# number in decimal; anything else as it is.
rt_decode() {
  local bytes=${1#*:} b
  case $1 in
    'type 1:'*)
      bytes=${bytes% 00}
      printf '%b' "${bytes// /\\x}" | iconv -f CP1252 -t UTF-8
      echo
      ;;
    'type 4:'*)
      read -r -a b <<<"$bytes"
      echo $((16#${b[3]}${b[2]}${b[1]}${b[0]}))
      ;;
    *) echo "$1" ;;
  esac
}

# --- The host's key as the round trips find it, seed and leave it ------------------------------
# The host's key and the example add-on's, in the 32-bit view; the two add-ons registered before
# ours, so that "as before" means more than an empty list.
host='Software\Orvo\Brannick\Brannick'
addon="$host\\AddOn_Merkzettel"
seed='Vellumar,Archivar'
# The text of "AddOns", or <none> when the value is missing.
addon_list() {
  local value
  value=$(rt_value "$host" AddOns) || { echo "<none>"; return; }
  rt_decode "$value"
}
# rt_host_found: remembers whether the host's tree was there and its add-on list (Wine up).
rt_host_found() {
  had_orvo=0
  rt_has_key 'Software\Orvo' && had_orvo=1
  list_found=$(addon_list)
}
# rt_host_restore: the add-on's key gone, and the host's tree (or its absence) and list as found.
rt_host_restore() {
  wine reg delete "HKLM\\$addon" /f /reg:32 >/dev/null 2>&1
  if [ "$had_orvo" -eq 0 ]; then
    wine reg delete 'HKLM\Software\Orvo' /f /reg:32 >/dev/null 2>&1
  elif [ "$list_found" == "<none>" ]; then
    wine reg delete "HKLM\\$host" /v AddOns /f /reg:32 >/dev/null 2>&1
  else
    wine reg add "HKLM\\$host" /v AddOns /d "$list_found" /f /reg:32 >/dev/null 2>&1
  fi
}
rt_seed() {
  wine reg add "HKLM\\$host" /v AddOns /d "$seed" /f /reg:32 >/dev/null || die "could not prepare the add-on list"
}
