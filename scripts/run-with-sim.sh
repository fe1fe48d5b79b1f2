#!/usr/bin/env bash
# Builds the program and the virtual communicator, starts the simulator on a pseudo-terminal, maps
# the program's COM port to it in norlink.ini and opens the window. Extra arguments go to
# norlink-sim (for example --noise 0.1 or --config nastaveni.log).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<'MSG'
run-with-sim: no display (neither DISPLAY nor WAYLAND_DISPLAY is set).
Run it from a desktop session, over "ssh -X", or on a virtual display:
    xvfb-run -a -s "-screen 0 1600x900x24" make run
(the window is then invisible; "import -window root shot.png" under that display shows it).
MSG
    exit 2
fi

make build
bin=build/release/bin
ini="$bin/norlink.ini"
link="${NORLINK_SIM_LINK:-/tmp/norlink-sim-$(id -u)}"

# The port the program will open: [ComPort] Cislo, 2 when the file does not say otherwise.
port=$(python3 scripts/ini-value.py get "$ini" ComPort Cislo 2)
python3 scripts/ini-value.py set "$ini" Porty "COM$port" "$link"

"$bin/norlink-sim" --link "$link" "$@" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -e "$link" ] && break
    sleep 0.1
done
echo "run-with-sim: COM$port -> $link (norlink-sim, pid $sim)"
"$bin/norlink"
