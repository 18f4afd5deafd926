# bash completion for brelund-calc: its commands, their options and the
# values of the options that take a choice. Written by
# scripts/make-manpages.py from brelund-calc --help.
_brelund_calc() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local command="" i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --threads) ((i++)) ;;
            -*) ;;
            *) command=${COMP_WORDS[i]}; break ;;
        esac
    done
    local words
    if [[ -z $command ]]; then
        words="list add edit delete invert export upright inclined bonjean trim check hydrostatics stability conditions tanks damage report --threads --help --version"
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
        return
    fi
    case $prev in
        --format) COMPREPLY=($(compgen -W "csv json tsv" -- "$cur")); return ;;
        --kind) COMPREPLY=($(compgen -W "gz kz" -- "$cur")); return ;;
        --rule) COMPREPLY=($(compgen -W "exact one-point" -- "$cur")); return ;;
        --table) COMPREPLY=($(compgen -W "areas moments" -- "$cur")); return ;;
    esac
    if [[ $cur == -* ]]; then
        case $command in
            list) words="--help" ;;
            add) words="--help --name --scale --density --allow-empty" ;;
            edit) words="--help --rename --enabled --colour --permeability --density --specific-weight --filling --load-volume" ;;
            delete) words="--help" ;;
            invert) words="--help" ;;
            export) words="--help" ;;
            upright) words="--help --zmin --zmax --dz --heel --trim --dxf --rule" ;;
            inclined) words="--help --kind --xg --yg --zg --precision --vi --vf --dv --ai --af --da --trajectories --rule" ;;
            bonjean) words="--help --zstart --zend --dz --station0 --station20 --extra --table --sections" ;;
            trim) words="--help --xg --yg --zg --weight --tolerance --heel --trim --rule" ;;
            check) words="--help --strict" ;;
            hydrostatics) words="--help --draughts --heel --trim --density --baseline --ap --fp --lpp --format --digits" ;;
            stability) words="--help --condition --lightship --lcg --vcg --tcg --heels --density --baseline --ap --fp --flooding-angle --format --digits --weather --wind-pressure --bilge-keel-area --strict" ;;
            conditions) words="--help --format --digits" ;;
            tanks) words="--help --soundings --volumes --trims --heel --density --format --digits" ;;
            damage) words="--help --condition --case --open --bulkhead-deck --lightship --lcg --vcg --tcg --density --flooding-angle --baseline --ap --fp --criteria --format --digits --strict" ;;
            report) words="--help --conditions --damage --output" ;;
        esac
        COMPREPLY=($(compgen -W "$words --threads --help" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
        compopt -o filenames 2>/dev/null
    fi
}
complete -F _brelund_calc brelund-calc
