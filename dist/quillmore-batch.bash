# bash completion for quillmore-batch                      -*- shell-script -*-
#
# Options come from the program's own --help; region and nuclide names from
# --list-regions and --list-nuclides of the data folder named on the command
# line (DATA by default), so they follow the data set in use.

# A word as typed, without its quotes and backslashes (never evaluated).
_quillmore_batch_plain()
{
    local word=${1//\\/}
    word=${word#[\"\']}
    word=${word%[\"\']}
    [[ $word == "~"* ]] && word=${word/#\~/$HOME}
    printf '%s' "$word"
}

# Adds to COMPREPLY the candidates ($@) that continue the last comma-separated
# item of $cur, ignoring case; earlier items are kept and blanks escaped. An
# item begun with a quote is completed within that quote.
_quillmore_batch_items()
{
    local head="" part=$cur candidate
    if [[ $part == *,* ]]; then
        head=${part%,*},
        part=${part##*,}
    fi
    local quoted=""
    if [[ $part == [\"\']* ]]; then
        quoted=1
        head=""
    fi
    part=$(_quillmore_batch_plain "$part")
    for candidate in "$@"; do
        [[ ${candidate,,} == "${part,,}"* ]] || continue
        if [[ $quoted ]]; then
            COMPREPLY+=("$candidate")
        else
            COMPREPLY+=("$head$(printf '%q' "$candidate")")
        fi
    done
}

# Completes the candidates ($@) that the comma-separated list in $cur does not
# hold yet: a format is named once.
_quillmore_batch_unlisted()
{
    local candidate listed="" fresh=()
    [[ $cur == *,* ]] && listed=,${cur%,*},
    for candidate in "$@"; do
        [[ ${listed,,} == *,$candidate,* ]] || fresh+=("$candidate")
    done
    _quillmore_batch_items "${fresh[@]}"
}

_quillmore_batch()
{
    local cur prev words cword split
    _init_completion -s || return

    local program=${words[0]} i word data_set="" intakes="" figures=""
    local -a data_dir=()
    [[ $program == "~"* ]] && program=${program/#\~/$HOME}
    type -P -- "$program" >/dev/null || program=quillmore-batch
    for ((i = 1; i < cword; i++)); do
        word=${words[i]}
        case $word in
            --data-dir) data_dir=(--data-dir "$(_quillmore_batch_plain "${words[i + 1]}")") ;;
            --data-dir=*) data_dir=(--data-dir "$(_quillmore_batch_plain "${word#*=}")") ;;
            --data-set) data_set=$(_quillmore_batch_plain "${words[i + 1]}") ;;
            --data-set=*) data_set=$(_quillmore_batch_plain "${word#*=}") ;;
            --intakes | --intakes=*) intakes=1 ;;
            --figures | --figures=*) figures=1 ;;
        esac
    done

    local line
    local -a items=()
    case $prev in
        --data-set)
            COMPREPLY=($(compgen -W 'inhalation ingestion' -- "$cur"))
            return
            ;;
        --data-dir | --output-dir)
            _filedir -d
            return
            ;;
        --times)
            _filedir
            return
            ;;
        --intakes)
            _filedir '@(csv|tsv|txt)'  # semicolon- or tab-separated files too
            return
            ;;
        --until | --until-age | --high-let-weight | --periods)
            return
            ;;
        --jobs)
            COMPREPLY=($(compgen -W "$(seq 1 "$(nproc 2>/dev/null || echo 1)")" -- "$cur"))
            return
            ;;
        --ages)
            _quillmore_batch_items all infant 1y 5y 10y 15y adult 1 2 3 4 5 6
            return
            ;;
        --format)
            _quillmore_batch_unlisted txt csv json risk
            return
            ;;
        --sites)
            _filedir csv
            return
            ;;
        --risk-unit)
            COMPREPLY=($(compgen -W 'mGy Gy cGy' -- "$cur"))
            return
            ;;
        --radiation-names)
            COMPREPLY=($(compgen -W 'alpha,low-LET' -- "$cur"))
            return
            ;;
        --figures)
            _quillmore_batch_unlisted svg pdf png
            return
            ;;
        --compare)
            COMPREPLY=($(compgen -W 'ages forms nuclides' -- "$cur"))
            return
            ;;
        --tail)
            COMPREPLY=($(compgen -W 'exponential zero cubic' -- "$cur"))
            return
            ;;
        --by)
            _quillmore_batch_unlisted nuclide route intake
            return
            ;;
        --compress)
            COMPREPLY=($(compgen -W 'gzip' -- "$cur"))
            return
            ;;
        --figure-size)
            COMPREPLY=($(compgen -W '6.4x7.2 6.4x4.8 3.5x5' -- "$cur"))
            return
            ;;
        --dpi)
            COMPREPLY=($(compgen -W '72 150 300 600' -- "$cur"))
            return
            ;;
        --form)
            COMPREPLY=($(compgen -W '1 2 3 4' -- "$cur"))
            return
            ;;
        --regions)
            # A person's figure draws at most 8 regions: "all" would be refused.
            [[ $intakes && $figures ]] || items=(all)
            while IFS= read -r line; do
                [[ $line =~ ^\ *([0-9]+)\ \ (.*)$ ]] &&
                    items+=("${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}")
            done < <("$program" "${data_dir[@]}" --data-set "${data_set:-inhalation}" \
                --list-regions 2>/dev/null)
            _quillmore_batch_items "${items[@]}"
            return
            ;;
    esac
    $split && return

    if [[ $cur == -* ]]; then
        while IFS= read -r line; do
            [[ $line =~ ^\ +(-[A-Za-z],\ )?(--[A-Za-z-]+)(,\ (--[A-Za-z-]+))? ]] &&
                items+=("${BASH_REMATCH[2]}" ${BASH_REMATCH[4]:+"${BASH_REMATCH[4]}"})
        done < <("$program" --help 2>/dev/null)
        COMPREPLY=($(compgen -W "${items[*]}" -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
        return
    fi

    # Nuclide names of the data set chosen, or of both.
    local kind
    for kind in ${data_set:-inhalation ingestion}; do
        while IFS= read -r line; do
            items+=("$line")
        done < <("$program" "${data_dir[@]}" --data-set "$kind" --list-nuclides 2>/dev/null)
    done
    _quillmore_batch_items $(printf '%s\n' "${items[@]}" | sort -u)
} &&
    complete -F _quillmore_batch quillmore-batch

# ex: filetype=sh
