# bash completion for telvara-send                          -*- shell-script -*-
#
# Everything offered is read from the program itself when Tab is pressed: the
# options and which of them take a value, the device and key names from its
# --help, the ports from its --list. So a new option or key needs no change here.

# The words of `telvara-send --help` that interest us, one "kind word" a line:
# "option --port", "value --port" (the option takes a value), "device VCR", "key play".
_telvara_send_help_words()
{
    "$1" --help 2>/dev/null | awk '
        {
            line = $0
            while (match(line, /(^|[[ |])--[a-z][a-z-]*/)) {
                word = substr(line, RSTART, RLENGTH); sub(/^[[ |]/, "", word)
                rest = substr(line, RSTART + RLENGTH)
                print "option " word
                if (rest ~ /^[ =][A-Z]+([] ,.]|$)/) print "value " word
                line = rest
            }
            line = $0
            while (match(line, /[A-Z][A-Za-z]* \([0-9]+\)/)) {
                word = substr(line, RSTART, RLENGTH); sub(/ .*/, "", word)
                print "device " word
                line = substr(line, RSTART + RLENGTH)
            }
        }
        /^  [a-z]+ +key "/ { print "key " $1 }
    ' | sort -u
}

_telvara_send()
{
    local cur prev words cword split
    _init_completion -s || return

    local help kind word options="" valued=" " devices="" keys=""
    help=$(_telvara_send_help_words "$1")
    while read -r kind word; do
        case $kind in
            option) options+=" $word" ;;
            value) valued+="$word " ;;
            device) devices+=" $word" ;;
            key) keys+=" $word" ;;
        esac
    done <<<"$help"

    if [[ $valued == *" $prev "* ]]; then
        case $prev in
            --port) COMPREPLY=($(compgen -W "$("$1" --list 2>/dev/null)" -- "$cur")) ;;
            --device) COMPREPLY=($(compgen -W "$devices" -- "$cur")) ;;
            --toggle) COMPREPLY=($(compgen -W "0 1" -- "$cur")) ;;
            *) COMPREPLY=() ;;  # a value we know nothing about: let the user type it
        esac
        return
    fi
    $split && return

    local i
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} == -- ]]; then
            COMPREPLY=($(compgen -W "$keys" -- "$cur"))
            return
        fi
    done
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    else
        COMPREPLY=($(compgen -W "$keys" -- "$cur"))
    fi
} &&
    complete -F _telvara_send telvara-send

# ex: filetype=sh
