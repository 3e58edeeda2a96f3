#!/usr/bin/env bash
# Photographs the nine pages of build/bin/OvraMonitor.exe in the Wine prefix
# $WINEPREFIX on the X display $DISPLAY (both set up by the caller, with a
# wineserver running):
#   take.sh <build folder> <output folder> <dpi label> "<themes>" "<machines>"
# themes: light dark; machines: simulated (the stand-in pdh.dll and power
# library of the tests, so every value is present) and bare (Wine's own
# libraries, where the reasons show). A stand-in that the build did not make is
# left out, and the machine is then only partly simulated (said on stderr).
# Pictures land in <output folder>/<machine>/<theme>-<dpi label>/<n>-<page>.png;
# what Wine and the photographer said, in <output folder>/wine.log.
set -euo pipefail

build=$1 out=$2 dpi=$3 themes=$4 machines=$5
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
pages=(Ringkasan Performa Penyimpanan Baterai Sensor Proses Riwayat Pro Pengaturan)
# The client area photographed, in dip: tall enough for a whole page, so
# nothing hides below the fold; 11 s of settling give the slow tick (GPU, every
# 10 s) its second reading.
width=${SHOTS_WIDTH:-1060} height=${SHOTS_HEIGHT:-1400} settle_ms=${SHOTS_SETTLE_MS:-11000}

windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

system32="$WINEPREFIX/drive_c/windows/system32"
appdata=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming 2>/dev/null | grep -v /Public/ | head -1)
[ -n "$appdata" ] || { echo "no user folder in $WINEPREFIX" >&2; exit 1; }

# The stand-ins of the simulated PC, where the build puts them.
stand_ins=()
install_stand_in() { # <dll name> <candidate built files...>
  local name=$1 file
  shift
  for file in "$@"; do
    if [ -f "$file" ]; then
      cp "$file" "$system32/$name.dll"
      # Wine keeps its own library unless a process asks for ours ("name=n").
      "$root/tools/wine-run" reg add 'HKCU\Software\Wine\DllOverrides' /v "$name" /d builtin /f \
        </dev/null >/dev/null 2>&1
      stand_ins+=("$name")
      return
    fi
  done
  echo "take.sh: no stand-in $name.dll built; the simulated PC uses Wine's own" >&2
}
case " $machines " in *" simulated "*)
  install_stand_in pdh "$build/tests/simulated-pc/pdh.dll"
  install_stand_in powrprof "$build/tests/simulated-pc/powrprof.dll" "$build/tests/fakes/powrprof.dll"
esac

state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT

for machine in $machines; do
  for theme in $themes; do
    folder="$out/$machine/$theme-$dpi"
    rm -rf "$folder" && mkdir -p "$folder"

    # A fresh data folder with only the theme chosen: 0 light, 1 dark.
    rm -rf "$appdata/OvraMonitor" && mkdir -p "$appdata/OvraMonitor"
    printf '[umum]\r\ntema=%d\r\n' "$([ "$theme" = dark ] && echo 1 || echo 0)" \
      >"$appdata/OvraMonitor/settings.ini"

    overrides="mscoree,mshtml="
    if [ "$machine" = simulated ] && [ ${#stand_ins[@]} -gt 0 ]; then
      overrides="$(IFS=,; echo "${stand_ins[*]}")=n;$overrides"
      # The program may change the power plans: it gets a copy of the machine.
      cp "$here/simulated-pc.txt" "$here/simulated-power.txt" "$state/"
      # The GPU counters name the adapter DXGI lists on this display.
      luid=$("$root/tools/wine-run" "$build/tools/shoot.exe" --luid </dev/null 2>>"$out/wine.log" |
             tr -d '\r' || true)
      [ -n "$luid" ] && sed -i "s/luid_0x00000000_0x0000D1A2/$luid/g" "$state/simulated-pc.txt"
    fi
    WINEDLLOVERRIDES="$overrides" \
      OVRA_PDH_STATE="$(windows_path "$state/simulated-pc.txt")" \
      OVRA_FAKE_POWER="$(windows_path "$state/simulated-power.txt")" \
      "$root/tools/wine-run" "$build/tools/shoot.exe" "$(windows_path "$build/bin/OvraMonitor.exe")" \
      "$(windows_path "$folder")" 123456789 "$width" "$height" "$settle_ms" </dev/null >/dev/null \
      2>>"$out/wine.log"

    for n in 1 2 3 4 5 6 7 8 9; do
      convert "$folder/page-$n.bmp" "$folder/$n-${pages[n - 1]}.png"
      rm "$folder/page-$n.bmp"
    done
    # The tip of a cut name, a chart's readout and the open tray menu, when taken.
    for extra in 10:tip:nama-utuh 11:readout:grafik 12:menu:menu-baki; do
      IFS=: read -r n file name <<<"$extra"
      if [ -f "$folder/extra-$file.bmp" ]; then
        convert "$folder/extra-$file.bmp" "$folder/$n-$name.png" && rm "$folder/extra-$file.bmp"
      fi
    done
    echo "$folder"
  done
done
rm -rf "$appdata/OvraMonitor"
