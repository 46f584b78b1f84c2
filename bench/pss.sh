#!/bin/sh
# Proportional set size of a process and of every process below it (the web
# engine's helpers), from /proc/PID/smaps_rollup: one row a process, then the
# sum. Pss shares each page among the processes that map it, so the rows add
# up to what the program costs the machine.
#
#   bench/pss.sh PID [label]
set -eu
root="$1"
label="${2:-}"

descendants() { # pid: itself, then its children's trees
    echo "$1"
    for child in $(cat /proc/"$1"/task/*/children 2>/dev/null); do
        descendants "$child"
    done
}

kind() { # pid: the web engine's --type (and utility sub-type), or the name
    # Renderers are forked by a zygote and keep its command line.
    parent=$(awk '{print $4}' /proc/"$1"/stat 2>/dev/null || echo 0)
    if tr '\0' '\n' < /proc/"$parent"/cmdline 2>/dev/null | grep -qx -- --type=zygote; then
        echo "renderer"
        return
    fi
    cmd=$(tr '\0' '\n' < /proc/"$1"/cmdline 2>/dev/null || true)
    type=$(echo "$cmd" | sed -n 's/^--type=//p' | head -n 1)
    sub=$(echo "$cmd" | sed -n 's/^--utility-sub-type=//p' | head -n 1)
    if [ -n "$type" ]; then
        echo "$type${sub:+ ($sub)}"
    else
        cat /proc/"$1"/comm 2>/dev/null || echo gone
    fi
}

[ -n "$label" ] && echo "$label"
printf '  %-8s %-44s %10s\n' pid process "Pss MB"
total=0
for pid in $(descendants "$root"); do
    kb=$(awk '/^Pss:/ {print $2}' /proc/"$pid"/smaps_rollup 2>/dev/null || true)
    [ -n "$kb" ] || continue
    total=$((total + kb))
    printf '  %-8s %-44s %10.1f\n' "$pid" "$(kind "$pid")" "$(echo "$kb" | awk '{print $1 / 1024}')"
done
printf '  %-8s %-44s %10.1f\n' "" total "$(echo "$total" | awk '{print $1 / 1024}')"
