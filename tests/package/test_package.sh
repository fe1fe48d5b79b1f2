#!/usr/bin/env bash
# The Debian package of a built tree, installed into a scratch root with dpkg -x: its files, its
# Depends against what the binaries load, the desktop entry and man pages, and the installed
# norlink started offscreen against the installed norlink-sim, as a user who cannot write the
# program's folder: it must take polls and keep norlink.ini in $XDG_CONFIG_HOME/norlink/.
#
# usage: test_package.sh BUILD_DIR WITH_CLI(0|1)
set -euo pipefail

build=$1
with_cli=$2

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

scratch=$(mktemp -d /tmp/norlink-package-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        { kill -KILL "$pid" && wait "$pid"; } 2>/dev/null || true
    done
    chmod -R u+w "$scratch" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
# Whoever runs the programs must reach their files.
chmod 755 "$scratch"

# The package, from the tree's own binaries, into the scratch folder (not the tree's package/).
start=$(date +%s)
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/cpack" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack"; }
debs=("$scratch"/cpack/norlink_*.deb)
[ -f "${debs[0]}" ] || fail "no package in $scratch/cpack"
deb=${debs[0]}
echo "package built in $(($(date +%s) - start)) s: $(basename "$deb")"

# --- Contents -----------------------------------------------------------------------------------
contents=$(dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }')
expect=(
    "./usr/bin/norlink -> ../libexec/norlink/norlink"
    "./usr/bin/norlink-sim"
    "./usr/libexec/norlink/norlink"
    "./usr/libexec/norlink/libkovra.so"
    "./usr/share/applications/norlink.desktop"
    "./usr/share/icons/hicolor/scalable/apps/norlink.svg"
    "./usr/share/man/man1/norlink.1.gz"
    "./usr/share/man/man1/norlink-sim.1.gz"
    "./usr/share/doc/norlink/copyright"
    "./usr/share/doc/norlink/changelog.gz"
    "./usr/share/doc/norlink/USER-GUIDE.md"
    "./usr/share/doc/norlink/USER-GUIDE.en.md"
)
if [ "$with_cli" = 1 ]; then
    expect+=(
        "./usr/bin/norlink-cli -> ../libexec/norlink/norlink-cli"
        "./usr/libexec/norlink/norlink-cli"
        "./usr/share/man/man1/norlink-cli.1.gz"
    )
fi
for entry in "${expect[@]}"; do
    grep -qxF -- "$entry" <<<"$contents" || { echo "$contents"; fail "missing: $entry"; }
done
grep -q '^\./usr/share/doc/norlink/img/.*\.png$' <<<"$contents" || fail "no screenshots in the guide"

# --- Depends covers every library the binaries load ---------------------------------------------
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
grep -qi kovra <<<"$depends" && fail "libkovra.so is private, yet in Depends"
declare -A depended=()
IFS=',' read -ra items <<<"$depends"
for item in "${items[@]}"; do
    item=${item#"${item%%[![:space:]]*}"}
    name=${item%% *}
    depended[$name]=1
done
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
    [ -n "${depended[$needed]:-}" ] || fail "Depends lacks $needed"
done

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
elves=("$root/usr/bin/norlink-sim" "$root/usr/libexec/norlink/norlink"
       "$root/usr/libexec/norlink/libkovra.so")
[ "$with_cli" = 1 ] && elves+=("$root/usr/libexec/norlink/norlink-cli")
owner() {
    # Merged /usr: dpkg knows a library by either name.
    dpkg-query -S "$1" 2>/dev/null || dpkg-query -S "${1#/usr}" 2>/dev/null || true
}
checked=0
for elf in "${elves[@]}"; do
    lddout=$(ldd "$elf") || fail "ldd $elf"
    grep -q "not found" <<<"$lddout" && { echo "$lddout"; fail "$elf: a library is not found"; }
    # Each library the file names itself (the others are its libraries' business).
    while read -r soname; do
        [ "$soname" = libkovra.so ] && continue
        lib=$(awk -v so="$soname" '$1 == so && $2 == "=>" { print $3 }' <<<"$lddout")
        [ -n "$lib" ] || fail "$elf: $soname not resolved"
        real=$(readlink -f "$lib")
        pkg=$(owner "$real" | head -n1 | cut -d: -f1)
        [ -n "$pkg" ] || fail "no package owns $real ($elf)"
        [ -n "${depended[$pkg]:-}" ] || fail "$elf needs $soname of $pkg, which Depends lacks"
        checked=$((checked + 1))
    done < <(readelf -d "$elf" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
done
[ "$checked" -ge 8 ] || fail "only $checked libraries checked"
# The programs find libkovra.so beside them, not through a search path.
for program in norlink norlink-cli; do
    [ -e "$root/usr/libexec/norlink/$program" ] || continue
    # Outputs taken whole first: grep -q ends early, and with pipefail the writer's SIGPIPE
    # would fail the check now and then.
    dynamic=$(readelf -d "$root/usr/libexec/norlink/$program")
    grep -q 'RUNPATH.*\[\$ORIGIN\]' <<<"$dynamic" || fail "$program has no RUNPATH \$ORIGIN"
    bound=$(ldd "$root/usr/libexec/norlink/$program")
    grep -qF "libkovra.so => $root/usr/libexec/norlink/libkovra.so" <<<"$bound" ||
        fail "$program does not bind the libkovra.so beside it"
done

# --- Desktop entry, icon, man pages -------------------------------------------------------------
desktop="$root/usr/share/applications/norlink.desktop"
validation=$(desktop-file-validate "$desktop" 2>&1) || true
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_cmd" ] || fail "Exec=$exec_cmd is not an installed command"
icon=$(sed -n 's/^Icon=//p' "$desktop")
svg="$root/usr/share/icons/hicolor/scalable/apps/$icon.svg"
[ -f "$svg" ] || fail "Icon=$icon has no scalable icon"
grep -q '<svg[^>]*viewBox=' "$svg" || fail "$svg is no scalable SVG"
for page in "$root"/usr/share/man/man1/*.1.gz; do
    [ "$(gzip -l "$page" | awk 'NR == 2 { print $2 }')" -gt 500 ] || fail "$page is empty"
    # The check lintian makes: warnings of man and groff.
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null) || fail "man $page"
    [ -z "$warnings" ] || fail "$page: $warnings"
    name=$(basename "$page" .1.gz)
    text=$(zcat "$page")
    grep -qF "${name//-/\\-} \\- " <<<"$text" || fail "$page: no NAME line"
done

# --- The installed program against the installed simulator -------------------------------------
run="$scratch/run"
mkdir -p "$run/home" "$run/config/norlink" "$run/runtime" "$run/cache"
chmod 700 "$run/runtime"
if [ "$(id -u)" -eq 0 ]; then
    # Root may write anywhere: run as nobody, who cannot write the program's folder.
    chown -R nobody:nogroup "$run"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
else
    chmod -R a-w "$root/usr/libexec/norlink"
    as_user=()
fi
run_env=(env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$run/home" XDG_CONFIG_HOME="$run/config"
         XDG_RUNTIME_DIR="$run/runtime" XDG_CACHE_HOME="$run/cache" QT_QPA_PLATFORM=offscreen
         ASAN_OPTIONS=detect_leaks=0)

link="$run/ttyNORLINK"
"${as_user[@]}" "${run_env[@]}" "$root/usr/bin/norlink-sim" --link "$link" \
    >"$scratch/sim.out" 2>"$scratch/sim.err" &
sim=$!
pids+=("$sim")
for _ in $(seq 200); do
    [ -L "$link" ] && break
    sleep 0.1
done
[ -L "$link" ] || { cat "$scratch/sim.err"; fail "norlink-sim made no port"; }
slave=$(readlink -f "$link")

# The port comes from the user's norlink.ini: found there, the program takes polls.
ini="$run/config/norlink/norlink.ini"
printf '[Porty]\nCOM2=%s\n' "$link" >"$ini"
[ "$(id -u)" -eq 0 ] && chown nobody:nogroup "$ini"

"${as_user[@]}" "${run_env[@]}" NORLINK_COMLOG="$run/comlog.txt" "$root/usr/bin/norlink" \
    >"$scratch/program.out" 2>&1 &
program=$!
pids+=("$program")
opened=0
for _ in $(seq 300); do
    for fd in /proc/"$program"/fd/*; do
        if [ "$(readlink "$fd" 2>/dev/null)" = "$slave" ]; then
            opened=1
            break 2
        fi
    done
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
[ "$opened" = 1 ] || { cat "$scratch/program.out"; fail "the installed norlink did not open the port"; }
sleep 3
kill -0 "$program" 2>/dev/null || { cat "$scratch/program.out"; fail "norlink stopped"; }
kill -TERM "$program"
status=0
timeout 20 tail --pid="$program" -f /dev/null || fail "norlink did not close on SIGTERM"
wait "$program" || status=$?
[ "$status" -eq 0 ] || { cat "$scratch/program.out"; fail "norlink exited with $status"; }
kill -TERM "$sim"
wait "$sim" || true

polls=$(grep -c "Prisla vyzva" "$run/comlog.txt" 2>/dev/null || true)
[ "${polls:-0}" -ge 3 ] || { cat "$scratch/program.out"; fail "only ${polls:-0} polls taken"; }
grep -q '^\[ComPort\]' "$ini" || fail "the settings were not saved to $ini: $(cat "$ini")"
grep -q "^COM2=$link\$" "$ini" || fail "$ini lost its port map"
beside=$(find "$root" -name 'norlink.ini' -o -name 'norlink-chyby.log')
[ -z "$beside" ] || fail "written beside the installed program: $beside"
echo "installed norlink took $polls polls; settings in $ini"

if [ "$with_cli" = 1 ]; then
    "${run_env[@]}" "$root/usr/bin/norlink-cli" --help >/dev/null || fail "norlink-cli --help"
fi
"${run_env[@]}" "$root/usr/bin/norlink-sim" --help >/dev/null || fail "norlink-sim --help"
echo "package test passed in $(($(date +%s) - start)) s"
