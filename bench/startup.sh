#!/usr/bin/env bash
# Time from process start to the first painted window, the resident memory then, and
# the time to quit: the program leaves right after its first paint
# (QINGLAN_EXIT_AFTER_FIRST_PAINT), so the whole run minus the first paint is the
# way out (saving settings, unloading engines, tearing down). One virtual display
# is kept for all runs. Usage: bench/startup.sh [program] [runs]
set -euo pipefail
bin=${1:-build/bin/qinglan}
runs=${2:-10}

if [ "${INSIDE_XVFB:-}" != 1 ]; then
    INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$bin" "$runs"
fi

export QINGLAN_NO_SOUND=1 QINGLAN_EXIT_AFTER_FIRST_PAINT=1
"$bin" >/dev/null 2>&1 || true # warm the caches once
for _ in $(seq "$runs"); do
    began=$(date +%s%N)
    "$bin" 2>/dev/null
    echo "whole_run_ms $((($(date +%s%N) - began) / 1000000))"
done | awk '
    /^first_paint_ms_since_process_start/ { start[n1++] = $2; last = $2 }
    /^resident_kib/ { rss[n2++] = $2 }
    /^whole_run_ms/ { quit[n3++] = $2 - last }
    function median(a, n,   i, j, t) {
        for (i = 0; i < n; i++) for (j = i + 1; j < n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
        return a[int((n - 1) / 2)]
    }
    END {
        printf "first_paint_ms runs=%d median=%d min=%d max=%d\n", n1, median(start, n1), start[0], start[n1 - 1]
        printf "resident_kib_at_first_paint median=%d\n", median(rss, n2)
        printf "quit_ms runs=%d median=%d min=%d max=%d\n", n3, median(quit, n3), quit[0], quit[n3 - 1]
    }'
