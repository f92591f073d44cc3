#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every example program.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

vux_setup
vux_main_build

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
