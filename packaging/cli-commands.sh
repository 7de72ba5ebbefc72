#!/usr/bin/env bash
# Writes the COMMANDS section of logwick-cli's manual page (a help2man include
# file): the --help of every subcommand, nested ones too, as the program prints
# it, found the way the bash completion finds them.
# Usage: cli-commands.sh LOGWICK_CLI OUTPUT
set -euo pipefail
cli=$1
out=$2
. "$(dirname "$0")/logwick-cli.bash"

# Text as roff shows it verbatim: escapes doubled, no line taken for a request,
# minus signs that can be copied into a shell.
roff() { sed -e 's/\\/\\e/g' -e "s/^[.']/\\\\\\&&/" -e 's/-/\\-/g'; }

walk() {
    local sub
    for sub in $(_logwick_cli_help "$cli" "$@" | awk -F'\t' '$1 == "sub" { print $2 }'); do
        printf '.SS "%s"\n.nf\n' "$(echo "logwick-cli $* $sub" | tr -s ' ' | roff)"
        "$cli" "$@" "$sub" --help | roff
        printf '.fi\n'
        walk "$@" "$sub"
    done
}

{
    echo "[COMMANDS]"
    walk
} >"$out"
