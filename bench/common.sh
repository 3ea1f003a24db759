# Shared by the end-to-end timing scripts; sourced, not run.
# Reads the arguments <path-to-plimsy> [repetitions] into $plimsy and
# $repetitions, makes a scratch folder $work with a tmux socket $socket
# (both removed on exit), and defines the helpers below.

if [[ $# -lt 1 ]]; then
  echo "usage: $0 <path-to-plimsy> [repetitions]" >&2
  exit 2
fi
plimsy=$(realpath "$1")
repetitions=${2:-5}

work=$(mktemp -d)
socket=$work/tmux.sock
cleanup() {
  tmux -S "$socket" kill-server 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

now_ms() {
  echo $(($(date +%s%N) / 1000000))
}

# Reads numbers, one a line; prints their median, minimum and maximum.
median() {
  sort -n | awk '{ v[NR] = $1 } END {
    printf "median %d ms (min %d, max %d, n %d)", v[int((NR + 1) / 2)], v[1], v[NR], NR }'
}

# Makes an empty repository at $1 with an identity set.
new_repo() {
  git init -q -b main "$1"
  git -C "$1" config user.name bench
  git -C "$1" config user.email bench@example.com
  git -C "$1" config commit.gpgsign false
}
