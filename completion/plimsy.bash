# bash completion for plimsy(1), installed as completions/plimsy and, for
# "git plimsy", as completions/git-plimsy. It builds on git's completion:
# after "plimsy" come its own command words and git's commands, and the
# words after a command are completed as git completes them (revisions and
# paths for diff and log).

# bash-completion loads git's completion only once "git" is completed.
__plimsy_load_git_completion ()
{
	declare -F __git_complete >/dev/null 2>&1 && return 0
	if declare -F __load_completion >/dev/null 2>&1; then
		__load_completion git
		declare -F __git_complete >/dev/null 2>&1 && return 0
	fi
	local file
	for file in /usr/share/bash-completion/completions/git \
		/usr/local/share/bash-completion/completions/git \
		/etc/bash_completion.d/git; do
		if [ -r "$file" ]; then
			. "$file"
			declare -F __git_complete >/dev/null 2>&1 && return 0
		fi
	done
	return 1
}

# Completes the plimsy command line in git completion's `words` (words[0]
# is plimsy itself), `cword` and `cur`.
__plimsy_main ()
{
	local own_words=y
	if [ "$cword" -gt 1 ]; then
		case "${words[1]}" in
		help|--help|-h|version|--version|-v)
			return
			;;
		git)
			# "plimsy git ARGS" runs "git ARGS".
			words=("${words[0]}" "${words[@]:2}")
			((cword--))
			own_words=
			;;
		esac
	fi
	__git_main
	if [ "$cword" -eq 1 ] && [ -n "$own_words" ]; then
		local word reply
		for word in diff log help version git; do
			[[ $word == "$cur"* ]] || continue
			for reply in "${COMPREPLY[@]}"; do
				[ "$reply" = "$word " ] && continue 2
			done
			COMPREPLY+=("$word ")
		done
	fi
}

# git's completion calls this for "git plimsy ...", with the index of the
# word "plimsy" in __git_cmd_idx.
_git_plimsy ()
{
	words=("${words[@]:__git_cmd_idx}")
	((cword -= __git_cmd_idx))
	__plimsy_main
}

if __plimsy_load_git_completion; then
	__git_complete plimsy __plimsy_main
	__git_complete git-plimsy __plimsy_main
else
	complete -W "diff log help version git" plimsy git-plimsy
fi
