# Bash completion for zantrel: commands, each command's flags and setting names,
# all read from the program itself so they follow what it accepts.
_zantrel() {
  local cur=${COMP_WORDS[COMP_CWORD]} words
  if [[ $COMP_CWORD -eq 1 ]]; then
    words=$(zantrel --help 2>/dev/null | awk '/^commands:/{on=1; next} on && /^  [a-z]/{print $1}')
    COMPREPLY=($(compgen -W "$words --help --version" -- "$cur"))
    return
  fi
  local command=${COMP_WORDS[1]}
  if [[ $cur == --* ]]; then
    words=$(zantrel "$command" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)
    COMPREPLY=($(compgen -W "$words" -- "$cur"))
  elif [[ $command == set || $command == show ]] && [[ $COMP_CWORD -ge 3 ]]; then
    words=$(zantrel show --json 2>/dev/null | grep -o '"name": "[^"]*"' | cut -d'"' -f4)
    compopt -o nospace 2>/dev/null
    COMPREPLY=($(compgen -W "$words" -S = -- "$cur"))
  else
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
}
complete -F _zantrel zantrel
