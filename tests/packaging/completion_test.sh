#!/usr/bin/env bash
# The bash completion of logwick-cli against the program itself: at every level exactly the subcommands and
# options its help lists; files where a file is expected, nothing where a number or a date is; the ports
# present for --port; option values stepped over when finding the subcommand.
# Usage: completion_test.sh LOGWICK_CLI COMPLETION_SCRIPT
set -o pipefail
cli=$1
[[ -f /usr/share/bash-completion/bash_completion ]] || { echo "bash-completion is not installed" >&2; exit 1; }
# shellcheck disable=SC1091
. /usr/share/bash-completion/bash_completion
# shellcheck disable=SC1090
. "$2"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# tab WORD...: what Tab offers after the words, the last one being the word under the cursor; sorted.
tab() {
  COMP_WORDS=("$cli" "$@") COMP_CWORD=$# COMPREPLY=()
  COMP_LINE="${COMP_WORDS[*]}" COMP_POINT=${#COMP_LINE}
  _logwick_cli
  printf '%s\n' "${COMPREPLY[@]}" | sort -u | sed '/^$/d'
}

# What the help lists, read without the completion's own reading: the names under "Subcommands:", and every
# option name at the start of an entry.
subcommands() { "$cli" "$@" --help | sed -n '/^Subcommands:$/,/^$/p' | sed -n 's/^  \([a-z][^ ]*\).*/\1/p'; }
options() { "$cli" "$@" --help | grep -oE '^  -[-A-Za-z0-9,]+' | tr -d ' ' | tr ',' '\n'; }

expect_same() {
  [[ $(sort -u <<<"$2" | sed '/^$/d') == "$3" ]] || fail "$1: expected [$(sort -u <<<"$2" | tr '\n' ' ')] got [$(tr '\n' ' ' <<<"$3")]"
}

# In an empty folder, so that no file is offered alongside.
work=$(mktemp -d)
trap 'kill $simulator 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1

levels=0
check_level() {
  local sub
  levels=$((levels + 1))
  expect_same "options of '$*'" "$(options "$@")" "$(tab "$@" -)"
  expect_same "subcommands of '$*'" "$(subcommands "$@")" "$(tab "$@" "")"
  for sub in $(subcommands "$@"); do check_level "$@" "$sub"; done
}
check_level
[[ $(subcommands | wc -l) -ge 5 ]] || fail "the help lists too few subcommands: $(subcommands | tr '\n' ' ')"
[[ $(tab --v) == "--version" ]] || fail "--version is not completed"

touch "panel.t7kev" "report.txt"
expect_same "show's FILE" $'panel.t7kev\nreport.txt' "$(tab show "")"
expect_same "export -o" "report.txt" "$(tab export panel.t7kev -o r)"
expect_same "read --trace" "panel.t7kev" "$(tab read --trace p)"
expect_same "sample --count" "" "$(tab sample --count "")"
expect_same "show --from" "" "$(tab show --from "")"
# The value of -o is not a subcommand: read's options, not show's.
expect_same "options after a value named like a subcommand" "$(options read)" "$(tab read -o show -)"

# --port: the ports present, among them a simulated panel's link in the ports folder.
export LOGWICK_PORTS_DIR=$work/ports
mkdir -p "$LOGWICK_PORTS_DIR"
"$cli" simulate --as-com 219 >/dev/null 2>&1 &
simulator=$!
for _ in $(seq 100); do [[ -e $LOGWICK_PORTS_DIR/COM219 ]] && break; sleep 0.05; done
ports=$(tab read --port "")
grep -qx 219 <<<"$ports" || fail "--port does not offer the simulated COM219: [$(tr '\n' ' ' <<<"$ports")]"
grep -qvE '^[0-9]+$' <<<"$ports" && fail "--port offers more than numbers: $ports"
expect_same "--port 21" "219" "$(tab read --port 21)"

echo "completion: $levels command levels checked, $failures failures"
[[ $failures -eq 0 ]]
