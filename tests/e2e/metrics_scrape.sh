#!/usr/bin/env bash
# OvraMonitor.exe on the simulated PC writes its metrics file, node exporter serves it, Prometheus
# scrapes it with our rules ("for:" removed); all on 127.0.0.1, bounded waits, stopped by PID.
#   metrics_scrape.sh <OvraMonitor.exe> <repository>   ($WINEPREFIX, $DISPLAY, a wineserver)
set -euo pipefail
exe=$1 root=$2 work=$(mktemp -d) pids=()
appdata=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming | grep -v /Public/ | head -1)
trap 'for p in "${pids[@]}"; do { kill "$p"; wait "$p"; } 2>/dev/null || true; done
      rm -rf "$work" "$appdata/OvraMonitor"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
free_port() { # one nobody listens on now
  local p=$((20000 + RANDOM % 20000)); while (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; do p=$((p + 1)); done; echo $p; }
wait_for() { local end=$((SECONDS + $1)); shift; until "$@"; do [ $SECONDS -lt $end ] || return 1; sleep 0.5; done; }

# Zone TZ00 at 90.05 °C, over the safety limit of 85 °C; drive C: busy.
mkdir -p "$work/prom" "$work/tsdb" "$appdata/OvraMonitor"
printf '%s\n' '\Thermal Zone Information(\_TZ.TZ00)\Temperature = 3632' >"$work/pc.txt" \
  '\Thermal Zone Information(\_TZ.TZ01)\Temperature = 3122' \
  '\LogicalDisk(C:)\Disk Read Bytes/sec = 1572864' '\LogicalDisk(C:)\Disk Write Bytes/sec = 356352'
printf '[umum]\r\ninterval_lambat_ms=5000\r\nekspor_metrik=1\r\nfolder_metrik=%s\r\n' \
  "$(winpath "$work/prom")" >"$appdata/OvraMonitor/settings.ini"
WINEDLLOVERRIDES="pdh=n;mscoree,mshtml=" OVRA_PDH_STATE="$(winpath "$work/pc.txt")" \
  "$root/tools/wine-run" "$exe" </dev/null >/dev/null 2>&1 & pids+=($!)
file_ready() { grep -qs 'ovra_drive_read_bytes_per_second{.*drive="C:"' "$work"/prom/*; }
wait_for 60 file_ready || fail "no metrics file with the drive rates in 60 s"
[ "$(ls "$work/prom" | grep -c '^ovra_.*\.prom$')" = 1 ] || fail "not one file: $(ls "$work/prom")"
promtool check metrics <"$work"/prom/ovra_*.prom || fail "promtool rejects the file"
promtool check rules "$root/monitoring/ovra_rules.yml" >/dev/null || fail "promtool rejects the rules"

exporter=$(free_port)
prometheus-node-exporter --collector.disable-defaults --collector.textfile \
  --collector.textfile.directory="$work/prom" --web.listen-address="127.0.0.1:$exporter" \
  >"$work/exporter.log" 2>&1 & pids+=($!)
server=$(free_port)
sed '/^ *for:/d' "$root/monitoring/ovra_rules.yml" >"$work/rules.yml"
printf '%s\n' 'global: {scrape_interval: 1s, evaluation_interval: 1s}' \
  "rule_files: [\"$work/rules.yml\"]" \
  "scrape_configs: [{job_name: ovra, static_configs: [{targets: [\"127.0.0.1:$exporter\"]}]}]" \
  >"$work/prometheus.yml"
prometheus --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/tsdb" \
  --web.listen-address="127.0.0.1:$server" >"$work/prometheus.log" 2>&1 & pids+=($!)

query() { # the value of the first series answered
  curl -sG --max-time 5 "http://127.0.0.1:$server/api/v1/query" --data-urlencode "query=$1" |
    sed -n 's/.*"value":\[[0-9.]*,"\([^"]*\)"\].*/\1/p'
}
answers() { [ "$(query "$1")" = "$2" ]; }
expect() { wait_for 60 answers "$1" "$2" && echo "ok: $1 = $2" || fail "$1 = '$(query "$1")', not $2"; }
expect 'round(ovra_temperature_celsius{zone="\\_TZ.TZ00"}, 0.01)' 90.05
expect 'round(ovra_hottest_temperature_celsius, 0.01)' 90.05
expect 'ovra_drive_read_bytes_per_second{drive="C:"}' 1572864
expect 'ovra_drive_write_bytes_per_second{drive="C:"}' 356352
expect 'ovra_alert_active{kind="temperature"}' 1
expect 'count(ovra_info{version="1.0.0"})' 1
expect 'ALERTS{alertname="OvraTemperatureOverLimit",alertstate="firing"}' 1
