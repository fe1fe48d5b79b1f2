#!/usr/bin/env bash
# Remakes the user guide's screenshots (docs/img/*.png): the real norlink window of the release
# tree on a virtual display (Xvfb), against norlink-sim loaded with a demonstration configuration.
# Run by hand; it installs ImageMagick (import, convert) and builds what it needs.
#   scripts/screenshots.sh [BUILD_DIR]     (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ -z "${NORLINK_SCREENSHOTS_INNER:-}" ]; then
    ./scripts/install-deps.sh screenshots
    build=${1:-build/release}
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" --target norlink norlink-sim
    # The window's layout follows the font: always the same screen, the program's own fonts.
    NORLINK_SCREENSHOTS_INNER=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$build"
fi

build=$1
out="$root/docs/img"
mkdir -p "$out"
work=$(mktemp -d /tmp/norlink-screenshots-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        { kill "$pid" && wait "$pid"; } 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# A copy of the program in a folder of its own: its norlink.ini and exports stay there.
cp "$build/bin/norlink" "$build/bin/libkovra.so" "$work/"

# The demonstration configuration: a few numbers, recipients and texts (Windows-1250, as the
# device stores them); one slot refers to an empty number and one text has no recipient, so the
# window marks the one and the write preview warns about both.
python3 - "$work/demo.log" <<'PY'
import sys
entries = {
    "Tel. cisla": {"Cislo 00": "603111222", "Cislo 01": "604333444",
                   "Cislo 02": "777555666", "Cislo 03": "602987654"},
    "Porucha komunikace": {"Expander 00 pozice 00": "0", "Expander 00 pozice 01": "2"},
    "Obnova komunikace": {"Expander 00 pozice 00": "0"},
    "Zprava porucha": {"Pozice 00": "Porucha komunikace s expanderem 1, objekt Skladová 12"},
    "Zprava obnova": {"Pozice 00": "Komunikace s expanderem 1 obnovena"},
    "Cisla sepnuti": {"Expander 00 vstup 00 pozice 00": "0",
                      "Expander 00 vstup 00 pozice 01": "1",
                      "Expander 00 vstup 01 pozice 00": "1"},
    "Cisla rozpojeni": {"Expander 00 vstup 00 pozice 00": "0",
                        "Expander 00 vstup 00 pozice 01": "5"},
    "Zprava sepnuti": {"Expander 00 pozice 00": "Vstup 1: narušení zóny Sklad (dveře)",
                       "Expander 00 pozice 01": "Vstup 2: požární hlásič",
                       "Expander 00 pozice 02": "Vstup 3: porucha technologie"},
    "Zprava rozpojeni": {"Expander 00 pozice 00": "Vstup 1: zóna Sklad opět v klidu"},
}
text = ""
for section, keys in entries.items():
    text += f"[{section}]\n" + "".join(f"{k}={v}\n" for k, v in keys.items()) + "\n"
open(sys.argv[1], "wb").write(text.encode("cp1250"))
PY

link="$work/ttyNORLINK"
"$build/bin/norlink-sim" --link "$link" --config "$work/demo.log" --hw-type "NORLINK GSM" \
    --sw-version "SW 1.00" --hw-version "HW 1.0" >"$work/sim.out" 2>"$work/sim.err" &
pids+=($!)
sim=${pids[-1]}
for _ in $(seq 100); do
    [ -e "$link" ] && break
    sleep 0.1
done
# The window at a size of its own (section Okno), wide enough for the numbers beside the
# recipients, at a place that keeps the positions below true.
printf '[Porty]\nCOM2=%s\n[Okno]\nX=40\nY=40\nSirka=1600\nVyska=700\n' "$link" >"$work/norlink.ini"

export LANG=cs_CZ.UTF-8 QT_QPA_PLATFORM=xcb
"$work/norlink" >"$work/program.out" 2>&1 &
pids+=($!)
window=$(xdotool search --sync --onlyvisible --name '^NORLINK' | head -n1)
sleep 2
eval "$(xdotool getwindowgeometry --shell "$window")"
wx=$X wy=$Y ww=$WIDTH wh=$HEIGHT

# Controls are clicked at their places in the 1600 x 700 window (menu bar included), as the
# program's layout puts them with the fonts of this machine.
click() { # x, y inside the window
    xdotool mousemove $((wx + $1)) $((wy + $2)) click 1
}
menu() { # x of a menu title in the menu bar
    xdotool mousemove $((wx + $1)) $((wy + 9)) click 1
}
shot() { # name: the window's part of the screen, with its menus and boxes
    sleep 0.7
    import -window root -crop "${ww}x${wh}+${wx}+${wy}" +repage "$out/$1.png"
    echo "screenshots: $out/$1.png"
}
shot_window() { # name, window title
    sleep 0.7
    local id
    id=$(xdotool search --sync --onlyvisible --name "$2" | tail -n1)
    import -window "$id" "$out/$1.png"
    echo "screenshots: $out/$1.png"
}
requests() { # the simulator's count of answered requests so far
    kill -USR1 "$sim"
    sleep 0.3
    grep -o 'requests [0-9]*' "$work/sim.err" | tail -n1 | cut -d' ' -f2
}
wait_idle() { # until the simulator answers no more requests
    local last=-1 now
    for _ in $(seq 240); do
        now=$(requests)
        [ "$now" = "$last" ] && return 0
        last=$now
        sleep 1
    done
    echo "screenshots: the read did not end" >&2
    exit 1
}

shot okno-start
menu 110
shot menu-port
xdotool key Escape

xdotool key F5 # Načti tel. čísla
wait_idle
[ "$(requests)" -gt 0 ] || { echo "screenshots: the phone read sent nothing" >&2; exit 1; }
shot okno-cisla

click 720 32 # Načti nastavení expanderů - vše
sleep 6
shot prubeh-cteni
wait_idle
shot okno-nastaveni

# A changed text and recipient show bold; the write button's tooltip counts the blocks.
click 700 200 # Porucha komunikace
xdotool key ctrl+End
xdotool type --delay 30 " - volejte servis"
click 390 213 # Hg_Komunikace, third slot, column Porucha
xdotool type --delay 30 "3"
xdotool key Return
click 40 108 # the phone grid's header: the memo and the grid are left
xdotool mousemove $((wx + 1070)) $((wy + 49)) # Zapiš nastavení expanderů: its tooltip
sleep 2
shot okno-zmeny

xdotool key ctrl+s # Program → Ulož nastavení
shot ulozeno
xdotool key Return

# The write: the preview lists the changes and the warnings; "Zapsat" (before the default "Zpět")
# sends them, and the box at the end says they are written and verified.
click 1070 49 # Zapiš nastavení expanderů
shot_window kontrola-zapisu 'Kontrola zápisu'
xdotool key shift+Tab space # Zapsat
wait_idle
shot zapsano
xdotool key Return

# The report of the window's configuration, its first page as a picture.
# The Program menu: Načti tel. čísla, Ulož nastavení, Načti nastavení ze souboru, Obnovit ze
# zálohy…, Protokol…, Komunikační log, Ukonči.
menu 30
xdotool key Down Down Down Down Down Return # Protokol…
sleep 1
xdotool type --delay 30 "Sklad Vodňany, Žižkova 12"
xdotool key Tab
xdotool type --delay 30 "Jan Novák"
xdotool key Return # Uložit PDF
sleep 2
xdotool key Return # the box with the PDF's path
pdf=$(ls -t "$work"/protokol*.pdf | head -n1)
pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$pdf" "$out/protokol"
echo "screenshots: $out/protokol.png"

menu 30
xdotool key Down Down Down Down Down Down Return # Komunikační log
shot_window komunikacni-log 'Komunikační log'

echo "screenshots: done; look at each before committing"
