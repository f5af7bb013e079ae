# bash completion for orvixfax: its commands, their options, and the
# address book's groups and persons where a command takes a WHO, a group's
# NAME or a MEMBER (asked of the program itself: orvixfax book show --names).

# The commands under each command, and the options each command takes.
_orvixfax_commands() {
    case "$1" in
        "") echo "ticket book fax settings" ;;
        book) echo "show find add remove group resave import export edit" ;;
        "book group") echo "add remove members" ;;
        settings) echo "show set" ;;
    esac
}

_orvixfax_options() {
    local common="--dir --codepage --help"
    case "$1" in
        "") echo "--help --version --dir --codepage" ;;
        ticket) echo "--pcl --ps --job --at --kanji --out --codepage --help" ;;
        fax) echo "--pcl --ps --to --name --cover --no-cover --note --sender-name --sender-fax --sender-business" \
                  "--sender-home --fine --ultrafine --dry-run --no-save --script --at --out $common" ;;
        "settings show") echo "--json $common" ;;
        "book show") echo "--json --names $common" ;;
        "book add") echo "--first-name --last-name --company --department --notes --number --details $common" ;;
        "book import") echo "--format --separator --encoding --dry-run $common" ;;
        "book export") echo "--format --separator --encoding $common" ;;
        "book edit") echo "--script $common" ;;
        *) echo "$common" ;;
    esac
}

# Options that take a value (the next word).
_orvixfax_takes_value() {
    case "$1" in
        --dir|--codepage|--job|--at|--out|--to|--name|--note|--sender-name|--sender-fax|--sender-business|\
        --sender-home|--script|--first-name|--last-name|--company|--department|--notes|--number|--details|\
        --format|--separator|--encoding) return 0 ;;
    esac
    return 1
}

# A word as the shell will pass it: its quotes and backslashes taken off.
_orvixfax_dequote() {
    local word=$1 plain="" i c
    case "$word" in
        \'*) word=${word#\'}; printf '%s' "${word%\'}"; return ;;
        \"*) word=${word#\"}; word=${word%\"} ;;
    esac
    for (( i = 0; i < ${#word}; i++ )); do
        c=${word:i:1}
        if [[ $c == \\ ]]; then (( i++ )); c=${word:i:1}; fi
        plain+=$c
    done
    printf '%s' "$plain"
}

# Offers the names (one a line on standard input) that begin with the word
# being completed, quoted as that word began.
_orvixfax_offer_names() {
    local cur=$1 typed name
    typed=$(_orvixfax_dequote "$cur")
    while IFS= read -r name; do
        [[ -n $name && $name == "$typed"* ]] || continue
        case "$cur" in
            \'*) COMPREPLY+=("'${name//\'/\'\\\'\'}'") ;;
            \"*) name=${name//\\/\\\\}; name=${name//\"/\\\"}; name=${name//\$/\\\$}; name=${name//\`/\\\`}
                 COMPREPLY+=("\"$name\"") ;;
            *) COMPREPLY+=("$(printf '%q' "$name")") ;;
        esac
    done
}

# The groups and persons of the book, asked of the program ($1) with the
# --dir and --codepage of the command line.
_orvixfax_names() {
    local program=$1
    shift
    "$program" book show --names "$@" 2>/dev/null
}

_orvixfax() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=""
    (( COMP_CWORD > 0 )) && prev=${COMP_WORDS[COMP_CWORD-1]}
    local program=${COMP_WORDS[0]} path="" book=() positionals=0 i word
    COMPREPLY=()
    # The command typed so far, and the --dir and --codepage that say
    # which book the names come from.
    for (( i = 1; i < COMP_CWORD; i++ )); do
        word=${COMP_WORDS[i]}
        if [[ $word == --dir || $word == --codepage ]] && (( i + 1 < COMP_CWORD )); then
            book+=("$word" "$(_orvixfax_dequote "${COMP_WORDS[i+1]}")")
            (( i++ ))
        elif [[ $word == -* ]]; then
            _orvixfax_takes_value "$word" && (( i++ ))
        elif [[ " $(_orvixfax_commands "$path") " == *" $word "* ]]; then
            path="${path:+$path }$word"
        else
            (( positionals++ ))
        fi
    done

    case "$prev" in
        --dir) COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --job|--out|--script) COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --codepage) COMPREPLY=($(compgen -W "1252 932 1250 1251 1253 1254 1257" -- "$cur")); return ;;
        --format) COMPREPLY=($(compgen -W "csv vcard" -- "$cur")); return ;;
        --separator) COMPREPLY=($(compgen -W ", ';' tab" -- "$cur")); return ;;
        --encoding) COMPREPLY=($(compgen -W "UTF-8 ISO-8859-1 CP1252 UTF-16" -- "$cur")); return ;;
        --to) _orvixfax_offer_names "$cur" < <(_orvixfax_names "$program" "${book[@]}"); return ;;
    esac
    _orvixfax_takes_value "$prev" && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_orvixfax_options "$path")" -- "$cur"))
        return
    fi
    local commands
    commands=$(_orvixfax_commands "$path")
    if [[ -n $commands ]]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        return
    fi
    case "$path" in
        "book remove")
            (( positionals == 0 )) && _orvixfax_offer_names "$cur" < <(_orvixfax_names "$program" "${book[@]}") ;;
        "book group add"|"book group remove"|"book group members")
            # First the group's NAME, then its MEMBERs.
            if (( positionals == 0 )); then
                _orvixfax_offer_names "$cur" < <(_orvixfax_names "$program" "${book[@]}" | sed -n 's/^\[\(.*\)\]$/\1/p')
            elif [[ $path != "book group members" ]]; then
                _orvixfax_offer_names "$cur" < <(_orvixfax_names "$program" "${book[@]}" | grep -v '^\[')
            fi ;;
        "book import"|"book export")
            (( positionals == 0 )) && COMPREPLY=($(compgen -f -- "$cur")) ;;
        "settings set")
            (( positionals == 0 )) && COMPREPLY=($(compgen -W "CoverPage CurrentSelection NewRecipient Resolution
                RecipNameTrue RecipNumberTrue RecipCompanyTrue SenderName SenderNameTrue SenderFaxNumber
                SenderFaxNumberTrue SenderHomeNumber SenderHomeNumberTrue SenderBusinessNumber
                SenderBusinessNumberTrue" -- "$cur")) ;;
    esac
}

complete -F _orvixfax orvixfax
