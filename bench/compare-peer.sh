#!/bin/bash
# Renders the compared documents with ours (bench/pretty_peer --once) and with the peer printer
# (PEER_DIR/run.sh, which installs the peer into a scratch folder), and prints the ratio of the
# times per row. Then times the shapes that grow faster than their size, each bounded by LIMIT
# seconds. Usage: bench/compare-peer.sh [BUILD_DIR]   (default: build)
set -u
build=${1:-build}
ours="$build/bench/pretty_peer"
peer=${PEER_DIR:-/work/shared/peer-prettier}/run.sh
limit=${LIMIT:-60}
[ -x "$ours" ] || { echo "missing $ours (build the pretty_peer target)" >&2; exit 1; }

# The fastest of REPS runs of a command printing "kind n ms bytes": prints "ms bytes".
best() {
    local reps=$1 ms bytes b="" by=""
    shift
    for _ in $(seq "$reps"); do
        read -r _ _ ms bytes < <(timeout "$limit" "$@") || { echo "- -"; return; }
        if [ -z "$b" ] || awk -v a="$ms" -v b="$b" 'BEGIN{exit !(a<b)}'; then b=$ms; by=$bytes; fi
    done
    echo "$b $by"
}

reps=${REPS:-3}
printf '%-12s %8s %10s %10s %10s %10s %8s\n' ours n ours-ms ours-bytes peer-ms peer-bytes ratio
while read -r kind peerkind n; do
    read -r o ob < <(best "$reps" "$ours" --once "$kind" "$n")
    read -r p pb < <(best "$reps" bash "$peer" "$peerkind" "$n")
    ratio=$(awk -v o="$o" -v p="$p" 'BEGIN{ if (o=="-"||p=="-"||p==0) print "-"; else printf "%.2f", o/p }')
    printf '%-12s %8s %10s %10s %10s %10s %8s\n' "$kind" "$n" "$o" "$ob" "$p" "$pb" "$ratio"
done <<'ROWS'
flat flat 100000
flat flat 1000000
fill fill 1000000
nested nested 1000
nested nested 5000
nested-one nested 1000
nested-one nested 5000
ROWS

echo
echo "Shapes growing faster than their size (ours only, each run bounded by $limit s):"
printf '%-16s %8s %10s %10s\n' kind n ms bytes
while read -r kind n; do
    read -r o ob < <(best 1 "$ours" --once "$kind" "$n")
    [ "$o" = "-" ] && o="did-not-finish"
    printf '%-16s %8s %10s %10s\n' "$kind" "$n" "$o" "$ob"
done <<'ROWS'
sep-nested 1000
sep-nested 2000
sep-nested 4000
annotate-nested 5000
annotate-nested 10000
annotate-nested 20000
staircase 10000
staircase 100000
staircase 1000000
ROWS
