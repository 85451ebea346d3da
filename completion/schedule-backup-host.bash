# SPDX-License-Identifier: BSD-3-Clause
# bash completion for schedule-backup-host: its commands, the options the command on the line
# accepts, and the values of those options that have a fixed set or name a file or folder.

_schedule_backup_host()
{
    local commands="show set schedule next status cameras"
    local global="--help --help-all --version --data --plugin-dir --latency --timeout --trace"
    global+=" --trace-file"
    # Options that take a value; the word after them is never the command.
    local valued=" --data --plugin-dir --latency --timeout --trace --trace-file --enabled --dir"
    valued+=" --cyclic --throughput --range --cameras --schedule --name --at --group "
    local -A scoped=(
        [set]="--enabled --dir --cyclic --throughput --range --cameras --schedule --name"
        [schedule]="--schedule --name"
        [show]="--json"
        [next]="--at --json"
        [status]="--json"
        [cameras]="--group --json"
    )

    local cur=${COMP_WORDS[COMP_CWORD]} prev=""
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    # "--opt=value": bash splits at "=" unless COMP_WORDBREAKS lacks it.
    if [[ $cur == = ]]; then
        cur=""
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $cur == --*=* ]]; then
        prev=${cur%%=*}
        cur=${cur#*=}
    fi

    COMPREPLY=()
    case $prev in
    --enabled | --cyclic)
        mapfile -t COMPREPLY < <(compgen -W "on off" -- "$cur")
        return
        ;;
    --data | --plugin-dir | --dir)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
        return
        ;;
    --trace-file)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return
        ;;
    --trace)
        mapfile -t COMPREPLY < <(compgen -W "0 1 2 3 4 5" -- "$cur")
        return
        ;;
    --cameras)
        mapfile -t COMPREPLY < <(compgen -W "all" -- "$cur")
        return
        ;;
    --schedule)
        mapfile -t COMPREPLY < <(compgen -W "none daily" -- "$cur")
        return
        ;;
    --latency | --timeout | --throughput | --range | --name | --at | --group)
        return
        ;;
    esac

    # The command is the first word that is neither an option nor an option's value.
    local command="" word i
    for ((i = 1; i < COMP_CWORD; ++i)); do
        word=${COMP_WORDS[i]}
        if [[ $word == -* ]]; then
            [[ $valued == *" $word "* && ${COMP_WORDS[i + 1]} != = ]] && ((++i))
        elif [[ $word == = ]]; then
            ((++i))
        elif [[ " $commands " == *" $word "* ]]; then
            command=$word
            break
        fi
    done

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$global ${command:+${scoped[$command]}}" -- "$cur")
    elif [[ -z $command ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
    fi
}
complete -F _schedule_backup_host schedule-backup-host
