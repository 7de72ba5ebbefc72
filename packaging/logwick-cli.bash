# bash completion for logwick-cli                           -*- shell-script -*-
#
# Everything offered is read from the program's own --help when Tab is
# pressed, so the completion follows the program it completes: every
# subcommand (nested ones too) and every option, files where the program
# expects a file, the choices an option lists, and the numbers of the serial
# ports present for --port.

# _logwick_cli_help CLI [SUBCOMMAND...]: what the help of that command lists,
# one record a line, fields separated by tabs:
#   sub NAME          a subcommand
#   opt NAMES VALUE   an option; NAMES separated by commas; VALUE is the kind
#                     of value it takes as the help names it, empty for a flag
#   pos NAME VALUE    a positional argument
_logwick_cli_help() {
    local cli=$1
    shift
    "$cli" "$@" --help 2>/dev/null | awk '
        # A heading: "Options:", "Positionals:", "Subcommands:" or a group name.
        /^[^ ].*:$/ { section = $0; next }
        /^  [^ ]/ {
            entry = substr($0, 3)
            # The description starts after a run of two or more blanks.
            if (match(entry, /  +/)) entry = substr(entry, 1, RSTART - 1)
            name = entry; sub(/ .*/, "", name)
            rest = substr(entry, length(name) + 2)
            if (section == "Subcommands:") print "sub\t" name
            else if (section == "Positionals:") print "pos\t" name "\t" rest
            else if (name ~ /^-/) {
                # A flag shows no value, only what it requires or excludes.
                if (rest ~ /^(REQUIRED|Needs:|Excludes:|\()/) rest = ""
                print "opt\t" name "\t" rest
            }
        }'
}

# _logwick_cli_value RECORDS OPTION: the value kind of OPTION; fails for a
# flag or an option the command does not have.
_logwick_cli_value() {
    awk -F'\t' -v option="$2" '
        $1 == "opt" {
            n = split($2, names, ",")
            for (i = 1; i <= n; i++)
                if (names[i] == option) { if ($3 != "") { print $3; found = 1 } exit }
        }
        END { exit !found }' <<<"$1"
}

# _logwick_cli_ports CLI: the numbers of the COM ports present. Taken from
# `logwick-cli ports` when the program has it; otherwise the devices are
# numbered here as the program numbers them: COM1-32 /dev/ttyS0-31 (only
# those with a UART behind them), COM33-64 /dev/ttyUSB0-31, COM65-96
# /dev/ttyACM0-31, and any COMn link in the ports folder, which wins.
_logwick_cli_ports() {
    local cli=$1
    if grep -q $'^sub\tports$' <<<"$(_logwick_cli_help "$cli")"; then
        "$cli" ports 2>/dev/null | awk '$1 ~ /^COM[0-9]+$/ { print substr($1, 4) }'
        return
    fi
    local folder=${LOGWICK_PORTS_DIR:-${XDG_CONFIG_HOME:-$HOME/.config}/Ormet/ports}
    local -A seen=()
    local link n device first prefix type
    for link in "$folder"/COM*; do
        n=${link##*/COM}
        [[ $n =~ ^[1-9][0-9]*$ ]] || continue
        seen[$n]=1
        [[ -c $link ]] && echo "$n"
    done
    for first in 1:ttyS 33:ttyUSB 65:ttyACM; do
        prefix=${first#*:}
        for device in /dev/"$prefix"*; do
            n=${device#/dev/"$prefix"}
            [[ $n =~ ^[0-9]+$ && -c $device ]] && ((n < 32)) || continue
            if [[ $prefix == ttyS ]]; then
                read -r type 2>/dev/null <"/sys/class/tty/ttyS$n/type" || type=0
                [[ $type != 0 ]] || continue
            fi
            n=$((n + ${first%%:*}))
            [[ ${seen[$n]-} ]] || echo "$n"
        done
    done
}

_logwick_cli() {
    local cur prev words cword split
    _init_completion -s || return

    local cli=${words[0]}
    [[ $cli == "~/"* ]] && cli=$HOME/${cli#"~/"}
    local -a path=()
    local records value word i positionals=0 skip=
    records=$(_logwick_cli_help "$cli")

    # Follow the words before the cursor down the subcommands, stepping over
    # the values of options.
    for ((i = 1; i < cword; i++)); do
        word=${words[i]}
        if [[ $skip ]]; then
            skip=
        elif [[ $word == -* ]]; then
            [[ $word != *=* ]] && _logwick_cli_value "$records" "$word" >/dev/null && skip=1
        elif grep -qxF $'sub\t'"$word" <<<"$records"; then
            path+=("$word")
            records=$(_logwick_cli_help "$cli" "${path[@]}")
            positionals=0
        else
            positionals=$((positionals + 1))
        fi
    done

    if [[ $prev == -* ]] && value=$(_logwick_cli_value "$records" "$prev"); then
        case $prev in
            --port)
                COMPREPLY=($(compgen -W "$(_logwick_cli_ports "$cli")" -- "$cur"))
                return
                ;;
        esac
        case $value in
            *\{*\}*)
                value=${value#*\{}
                value=${value%%\}*}
                value=$(tr ',' '\n' <<<"$value" | sed 's/->.*//')
                COMPREPLY=($(compgen -W "$value" -- "$cur"))
                ;;
            *DIR*) _filedir -d ;;
            *TEXT* | *FILE* | *PATH*) _filedir ;;
            # Numbers, dates and ranges: nothing to offer.
        esac
        return
    fi
    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(awk -F'\t' '$1 == "opt" { gsub(",", " ", $2); print $2 }' <<<"$records")" \
            -- "$cur"))
        return
    fi

    COMPREPLY=($(compgen -W "$(awk -F'\t' '$1 == "sub" { print $2 }' <<<"$records")" -- "$cur"))
    # The positional the cursor is on: a file unless the help says otherwise.
    # A positional that takes several values ("...") takes all that follow.
    value=$(awk -F'\t' -v n=$((positionals + 1)) '
        $1 == "pos" && (++i == n || $3 ~ /\.\.\./) { print $3; exit }' <<<"$records")
    case $value in
        *DIR*) _filedir -d ;;
        *TEXT* | *FILE* | *PATH*) _filedir ;;
    esac
} &&
    complete -F _logwick_cli logwick-cli
