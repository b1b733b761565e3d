#!/usr/bin/env bash
# Markdown tables of the documents stay whole: a row after a blank line that follows
# a table is no longer part of it and shows as a stray line of pipes.
set -u
status=0
for file in "$@"; do
    awk -v file="$file" '
        /^\|/ && previous == "" && beforeThat ~ /^\|/ { stray = FNR; row = $0; next_is_rule = 1 }
        next_is_rule && FNR == stray + 1 {
            if ($0 !~ /^\|[-| :]*$/) { printf "%s:%d: table row cut off by a blank line: %s\n", file, stray, row; bad = 1 }
            next_is_rule = 0
        }
        { beforeThat = previous; previous = $0 }
        END { exit bad }
    ' "$file" || status=1
done
exit $status
