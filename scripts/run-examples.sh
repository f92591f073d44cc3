#!/usr/bin/env bash
# Installs what is missing, builds the example programs and only what they need, and runs them.
# Usage: run-examples.sh [-j N]   (N parallel jobs; default: the number of cores)
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
vux_parse_jobs "$@"

vux_setup
vux_main_build vux-examples

list="$VUX_MAIN_BUILD/examples.list"
[[ -f "$list" ]] || vux_fail "$list is missing"
count=0
while IFS= read -r program; do
    [[ -n "$program" ]] || continue
    vux_step "Running example $(basename "$program")"
    "$program" </dev/null
    count=$((count + 1))
done <"$list"
vux_step "Ran $count example program(s)"
