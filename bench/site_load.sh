#!/usr/bin/env bash
# Load on the product site's submission path from a second process over loopback, with the rate
# limit off: requests a second and latency percentiles, then the database's rows counted against
# the answers, so that every proposal answered 200 is found stored exactly once.
#
#   bench/site_load.sh [SECONDS [CONNECTIONS]]    (default 20 s and 8 connections; at most 60 s)
#
# A benchmark, not a test: it prints figures and fails only when rows are missing or doubled.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${XL_BUILD:-$root/build}
seconds=${1:-20}
connections=${2:-8}
if ! [[ $seconds =~ ^[0-9]+$ && $connections =~ ^[0-9]+$ ]] || ((seconds < 1 || seconds > 60)) ||
    ((connections < 1 || connections > 256)); then
    echo "usage: $0 [SECONDS (1-60) [CONNECTIONS (1-256)]]" >&2
    exit 2
fi

[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target xiaoliao-site xiaoliao-site-load >/dev/null

work=$(mktemp -d)
site_pid=
cleanup() {
    [ -n "$site_pid" ] && kill "$site_pid" 2>/dev/null && wait "$site_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

"$build/site/xiaoliao-site" --listen 127.0.0.1:0 --db "$work/site.db" --rate-limit 0 \
    >"$work/site.out" 2>"$work/site.err" &
site_pid=$!
port=
for _ in $(seq 200); do
    port=$(sed -n 's|^listening on http://127\.0\.0\.1:\([0-9]*\)$|\1|p' "$work/site.out")
    [ -n "$port" ] && break
    sleep 0.05
done
[ -n "$port" ] || { echo "the site did not start:" >&2; cat "$work/site.err" >&2; exit 1; }

# The client stops sending at the deadline; the outer bound is for a site that stops answering.
timeout $((seconds + 20)) "$build/site/xiaoliao-site-load" "$port" "$seconds" "$connections" \
    "$work/ok.txt" >"$work/load.txt"

# Stopped before counting, so that every answered request has been committed and checkpointed.
kill "$site_pid"
wait "$site_pid" || true
site_pid=

/usr/bin/python3 - "$work/site.db" "$work/ok.txt" "$work/load.txt" "$connections" <<'PY'
import collections, sqlite3, sys

db_path, ok_path, load_path, connections = sys.argv[1:]
load = dict(line.strip().split("=", 1) for line in open(load_path))
answered_ok = collections.Counter(
    tuple(line.rstrip("\n").split("\t")) for line in open(ok_path, encoding="utf-8"))
with sqlite3.connect("file:%s?mode=ro" % db_path, uri=True) as db:
    stored = collections.Counter(
        (category, entry.decode("utf-8"))
        for category, entry in db.execute("SELECT category, entry FROM proposals"))
rows = sum(stored.values())
doubled = sum(1 for n in stored.values() if n > 1)
missing = sum((answered_ok - stored).values())
unanswered = sum((stored - answered_ok).values())

table = [
    ("load", "%s s, %s connections, 127.0.0.1, rate limit off" % (load["seconds"], connections)),
    ("requests answered", load["answered"]),
    ("  of them 200", load["ok"]),
    ("  other status", load["other_status"]),
    ("failed (no answer)", load["failed"]),
    ("requests per second", load["requests_per_second"]),
    ("latency p50", "%.2f ms" % float(load["p50_ms"])),
    ("latency p99", "%.2f ms" % float(load["p99_ms"])),
    ("latency max", "%.2f ms" % float(load["max_ms"])),
    ("answers over 100 ms", load["over_100_ms"]),
    ("rows stored", str(rows)),
    ("200s not stored", str(missing)),
    ("rows stored twice", str(doubled)),
    ("rows without a 200", str(unanswered)),
]
width = max(len(k) for k, _ in table)
print("Submission path of xiaoliao-site (/softwere/post/*.asp)")
for key, value in table:
    print("  %-*s  %s" % (width, key, value))
good = missing == 0 and doubled == 0 and rows == int(load["ok"]) + unanswered
print("every 200 stored exactly once: %s" % ("yes" if good else "NO"))
sys.exit(0 if good else 1)
PY
