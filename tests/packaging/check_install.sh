#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what the desktop, the
# manual and the shell find there, and the installed programs' help.
# Usage: check_install.sh BUILD_DIR        (exit 77: skipped, a tool is missing)
set -euo pipefail
build=$1

if ! command -v desktop-file-validate >/dev/null; then
  echo "SKIPPED: desktop-file-validate is not installed (desktop-file-utils; scripts/setup.sh installs it)"
  exit 77
fi

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for program in ledview ledview-cli; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is missing or not executable"
  [ -s "$prefix/share/man/man1/$program.1.gz" ] || fail "share/man/man1/$program.1.gz is missing"
done
desktop="$prefix/share/applications/ledview.desktop"
icon="$prefix/share/icons/hicolor/scalable/apps/ledview.svg"
completion="$prefix/share/bash-completion/completions/ledview-cli"
for file in "$desktop" "$icon" "$completion"; do
  [ -s "$file" ] || fail "${file#$prefix/} is missing"
done
[ "$failures" = 0 ] || exit 1

desktop-file-validate "$desktop" || fail "desktop-file-validate rejects ledview.desktop"
grep -qx 'Exec=ledview' "$desktop" || fail "the desktop entry does not start ledview"
grep -qx 'Icon=ledview' "$desktop" || fail "the desktop entry does not name the installed icon"
grep -q '<svg' "$icon" || fail "the icon is no SVG"

if command -v man >/dev/null; then
  for program in ledview ledview-cli; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$program.1.gz" 2>&1 >/dev/null || true)
    [ -z "$warnings" ] || fail "man warns on $program.1: $warnings"
  done
else
  echo "skipped: man is not installed, the manual pages were not rendered"
fi

# Help and version need no display: they are answered before Qt starts.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LEDVIEW_HOME "$@"; }
for program in ledview ledview-cli; do
  out=$(run "$prefix/bin/$program" --help) || fail "$program --help exits $?"
  [[ $out == "usage: $program "* ]] || fail "$program --help shows no usage on stdout: $out"
  out=$(run "$prefix/bin/$program" --version) || fail "$program --version exits $?"
  [[ $out =~ ^$program\ [0-9]+\.[0-9]+ ]] || fail "$program --version shows: $out"
  status=0
  err=$(run "$prefix/bin/$program" --no-such-option 2>&1 >/dev/null) || status=$?
  [ "$status" = 2 ] || fail "$program --no-such-option exits $status, not 2"
  [[ $err == *--no-such-option* ]] || fail "$program does not name the unknown option: $err"
done

# The installed ledview-cli on a demo suite of its own.
suite="$prefix/suite"
run "$prefix/bin/ledview-cli" demo "$suite" --locations 4 --years 1 >/dev/null || fail "installed ledview-cli demo failed"
out=$(run "$prefix/bin/ledview-cli" --home "$suite" journal 1-1) || fail "installed ledview-cli journal failed"
[[ $(head -1 <<<"$out") == *BALANCE ]] || fail "installed ledview-cli journal printed no journal: $(head -3 <<<"$out")"

# The completion offers every command and every option that the program's own
# help lists.
bash_completion=/usr/share/bash-completion/bash_completion
if [ -r "$bash_completion" ]; then
  complete_line() {
    bash -c 'source "$1"; source "$2"; shift 2
             COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
             _ledview_cli ledview-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
             printf "%s\n" "${COMPREPLY[@]}"' _ "$bash_completion" "$completion" ledview-cli "$@"
  }
  usage=$(run "$prefix/bin/ledview-cli" --help)
  commands=$(sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p' <<<"$usage")
  offered=$(complete_line "")
  for command in $commands; do
    grep -qx "$command" <<<"$offered" || fail "completion does not offer the command $command"
    options=$(run "$prefix/bin/ledview-cli" "$command" --help | grep -o -- '--[a-z][a-z-]*' | sort -u | grep -vx -- '--home' || true)
    offered_options=$(complete_line "$command" --)
    for option in $options; do
      grep -qx -- "$option" <<<"$offered_options" || fail "completion does not offer $command $option"
    done
  done
  [ "$(complete_line --home "$suite" jo)" = journal ] || fail "completion after --home DIR does not complete jo to journal"
else
  echo "skipped: bash-completion is not installed, the completion was not tried"
fi

[ "$failures" = 0 ] || exit 1
echo "installed tree checked in $prefix"
