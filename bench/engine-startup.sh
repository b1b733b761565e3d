#!/usr/bin/env bash
# Time from starting the bundled engine to its handshake's last line ("ucciok" or
# "uciok"), over several runs, and the same for "isready" sent at once after it (the
# hash table is made by then). Usage: bench/engine-startup.sh [engine] [runs] [ucci|uci]
set -euo pipefail
engine=${1:-build/bin/qinglan-engine}
runs=${2:-20}
hello=${3:-ucci}

# Milliseconds since the run began, from bash's own clock (no process started for it).
since() { echo $(((${EPOCHREALTIME/./} - $1) / 1000)); }

once() {
    local began=${EPOCHREALTIME/./} line
    coproc ENGINE { exec "$engine"; }
    echo "$hello" >&"${ENGINE[1]}"
    while read -r line <&"${ENGINE[0]}"; do [ "$line" = "${hello}ok" ] && break; done
    echo "handshake_ms $(since "$began")"
    echo isready >&"${ENGINE[1]}"
    while read -r line <&"${ENGINE[0]}"; do [ "$line" = readyok ] && break; done
    echo "readyok_ms $(since "$began")"
    echo quit >&"${ENGINE[1]}"
    wait "$ENGINE_PID" 2>/dev/null || true
}

once >/dev/null # warm the caches once
for _ in $(seq "$runs"); do once; done | awk '
    { v[$1, n[$1]++] = $2; keys[$1] = 1 }
    END {
        for (k in keys) {
            m = n[k]
            for (i = 0; i < m; i++) a[i] = v[k, i]
            for (i = 0; i < m; i++) for (j = i + 1; j < m; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
            printf "%s runs=%d median=%d min=%d max=%d\n", k, m, a[int((m - 1) / 2)], a[0], a[m - 1]
        }
    }'
