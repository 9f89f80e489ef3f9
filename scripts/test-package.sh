#!/usr/bin/env bash
# The package on a fresh machine: builds it, installs it with apt into a clean Debian 12 root
# and uses it there as a user would: wallscan-cli, the file type, the window under Xvfb, the
# hand-over to a running program, quitting, and apt remove keeping the user's files.
#   bash scripts/test-package.sh        (as root: debootstrap, chroot and mount need it)
# Takes a few minutes; not part of scripts/test.sh. Pictures and logs land in build/package/.
# The downloaded packages are kept in build/package/debootstrap-cache for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
out=$repo/build/package
[ "$(id -u)" -eq 0 ] || { echo "test-package: run as root (debootstrap, chroot, mount)" >&2; exit 1; }

need=()
command -v debootstrap >/dev/null 2>&1 || need+=(debootstrap)
command -v Xvfb >/dev/null 2>&1 || need+=(xvfb)
command -v xdotool >/dev/null 2>&1 || need+=(xdotool)
command -v import >/dev/null 2>&1 || need+=(imagemagick)
if [ ${#need[@]} -gt 0 ]; then
    echo "== installing ${need[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

echo "== building the package"
bash scripts/package.sh
deb=$(ls "$out"/wallscan_*.deb)

# The Debian mirror this machine's apt uses (Debian 12 lists it in deb822 or one-line form).
sources=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list 2>/dev/null || true)
mirror=$(grep -oE 'https?://[^ ]+/debian/?( |$)' <<<"$sources" | head -1 | tr -d ' ')
security=$(grep -oE 'https?://[^ ]+/debian-security/?( |$)' <<<"$sources" | head -1 | tr -d ' ')
mirror=${mirror:-http://deb.debian.org/debian}
security=${security:-http://deb.debian.org/debian-security}

root=$(mktemp -d /var/tmp/wallscan-root.XXXXXX)
# The root's "/" inside the chroot: users other than root (apt's _apt) must get through it.
chmod 755 "$root"
display=
xvfb=
gui=
mounts=()
cleanup() {
    set +e
    [ -n "$gui" ] && kill "$gui" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    # Mounts come off in the reverse order; a busy one is detached lazily rather than left.
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[$i]}" 2>/dev/null || umount -l "${mounts[$i]}"
    done
    if grep -q " $root" /proc/mounts; then
        echo "test-package: something is still mounted under $root; not removing it" >&2
    else
        rm -rf "$root"
    fi
}
trap cleanup EXIT
mountIn() {  # mountIn TARGET mount-arguments...
    local target=$root$1
    shift
    mkdir -p "$target"
    mount "$@" "$target"
    mounts+=("$target")
}
inRoot() {  # a clean environment, as a login would give
    chroot "$root" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
        ${display:+DISPLAY=$display} "$@"
}

echo "== debootstrap Debian 12 (bookworm) from $mirror into $root"
mkdir -p "$out/debootstrap-cache"
if ! debootstrap --variant=minbase --cache-dir="$out/debootstrap-cache" bookworm "$root" \
    "$mirror" >"$out/debootstrap.log" 2>&1; then
    tail -20 "$out/debootstrap.log" >&2
    exit 1
fi
cat >"$root/etc/apt/sources.list" <<SOURCES
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb $security bookworm-security main
SOURCES
# The mirror may be a dated snapshot whose Release files are past their validity.
printf 'Acquire::Check-Valid-Until "false";\nAcquire::Check-Date "false";\n' \
    >"$root/etc/apt/apt.conf.d/99wallscan-test"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
mountIn /proc -t proc proc
mountIn /dev/pts --bind /dev/pts

echo "== apt install ./$(basename "$deb") in the clean root"
cp "$deb" "$root/tmp/"
inRoot apt-get update -qq
before=$(inRoot dpkg-query -W -f='${Package}\n' | wc -l)
inRoot env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "/tmp/$(basename "$deb")" \
    >"$out/apt-install.log" 2>&1 || { tail -30 "$out/apt-install.log" >&2; exit 1; }
after=$(inRoot dpkg-query -W -f='${Package}\n' | wc -l)
echo "installed: $(inRoot dpkg-query -W -f='${Package} ${Version}' wallscan), with $((after - before - 1)) packages it pulled in"

failures=0
check() {  # check WHAT COMMAND...: runs, shows the output, counts a failure
    local what=$1
    shift
    echo "-- $what"
    if ! "$@"; then
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}
expectOutput() {  # expectOutput PATTERN COMMAND...
    local pattern=$1 text
    shift
    text=$("$@" 2>&1) || { echo "$text"; return 1; }
    echo "$text"
    grep -qE "$pattern" <<<"$text"
}

echo "== in the clean root"
check "wallscan-cli --version" expectOutput '^wallscan-cli [0-9]' inRoot wallscan-cli --version
check "wallscan --version (no display)" expectOutput '^wallscan [0-9]' inRoot wallscan --version
check "wallscan-cli dump of an installed sample" expectOutput '^Regime:' \
    bash -c "chroot '$root' wallscan-cli dump /usr/share/wallscan/samples/pipe_8mm.mem | head -8"
check "wallscan-cli table finds the installed templates" expectOutput '\$|[0-9]' \
    bash -c "chroot '$root' wallscan-cli table /usr/share/wallscan/samples/single_readings.mem | head -12"
check "manual pages" expectOutput 'wallscan-cli\.1\.gz' \
    bash -c "ls '$root'/usr/share/man/man1/ | grep wallscan"
check "xdg-mime query default application/x-wallscan-mem" expectOutput \
    '^org\.wallscan\.WallScan\.desktop$' inRoot xdg-mime query default application/x-wallscan-mem
# The same check as a picture, for a report: what a terminal in the clean root shows ("%" is
# ImageMagick's escape in a label, and the desktop entry's "%f" must come out as written).
{
    echo "# inside the clean Debian 12 root, after apt install ./$(basename "$deb")"
    echo "\$ xdg-mime query default application/x-wallscan-mem"
    inRoot xdg-mime query default application/x-wallscan-mem 2>&1
    echo "\$ grep x-wallscan-mem /usr/share/applications/mimeinfo.cache"
    grep x-wallscan-mem "$root/usr/share/applications/mimeinfo.cache"
    echo "\$ grep -A3 '^Exec' /usr/share/applications/org.wallscan.WallScan.desktop"
    grep -A3 '^Exec' "$root/usr/share/applications/org.wallscan.WallScan.desktop"
} >"$out/xdg-mime.txt" 2>&1 || true
"$(command -v /usr/bin/convert || command -v convert)" -background white -fill black -font DejaVu-Sans-Mono -pointsize 15 \
    label:"$(sed 's/%/%%/g' "$out/xdg-mime.txt")" -bordercolor white -border 12 \
    "$out/test-package-xdg-mime.png" 2>/dev/null || true
check "the file type is registered" expectOutput 'application/x-wallscan-mem' \
    bash -c "grep -h 'x-wallscan-mem' '$root/usr/share/mime/globs2' '$root/usr/share/applications/mimeinfo.cache'"

echo "== the program under Xvfb"
for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
display=:$n
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
mountIn /tmp/.X11-unix --bind /tmp/.X11-unix
# A user's working folder with the files the program keeps there, so that start-up is quiet.
work=$root/root/scans
mkdir -p "$work"
cp "$root/usr/share/wallscan/samples/pipe_8mm.mem" "$work/temp.mem"
printf 'Port:\r\nCOM1\r\nTable rows:\r\n36\r\nFontSize:\r\n12\r\nRange of measure:\r\n0.00\r\nBaud Rate:\r\n9600\r\n' \
    >"$work/options.sav"
waitWindow() {  # waitWindow TITLE: true once a window of that title is mapped (20 s at most)
    for _ in $(seq 200); do
        DISPLAY=$display xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
chroot "$root" env -i HOME=/root PATH=/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$display" \
    sh -c 'cd /root/scans && exec wallscan /usr/share/wallscan/samples/pipe_8mm.mem' \
    >"$out/gui.log" 2>&1 &
gui=$!
check "wallscan FILE.mem shows the profile" waitWindow 'График результатов замеров'
check "the main window is up" waitWindow '^WallScan$'
sleep 1  # let the windows finish painting before the picture is taken
import -display "$display" -window root "$out/test-package-file.png"
check "a second wallscan hands its folder over and exits" \
    timeout 20 chroot "$root" env -i HOME=/root PATH=/usr/bin:/bin LANG=C.UTF-8 \
    DISPLAY="$display" wallscan /usr/share/wallscan/samples/relief
check "the running program shows the relief" waitWindow 'Рельеф'
check "still one main window" expectOutput '^1$' \
    bash -c "DISPLAY=$display xdotool search --onlyvisible --name '^WallScan\$' | wc -l"
sleep 1
import -display "$display" -window root "$out/test-package-relief.png"
echo "screenshots: $out/test-package-file.png, $out/test-package-relief.png"

# Quit through the main window's menu as a user would: Alt+Ф opens "Файл", Ы is "В&ыход". The
# program writes options.sav and temp.mem into its working folder on the way out.
rm -f "$work/temp.mem"
main=$(DISPLAY=$display xdotool search --onlyvisible --name '^WallScan$' | head -1)
DISPLAY=$display xdotool windowfocus --sync "$main" key alt+Cyrillic_ef sleep 0.5 key Cyrillic_yeru
check "Файл > Выход ends the program" bash -c "
    for _ in \$(seq 100); do kill -0 $gui 2>/dev/null || exit 0; sleep 0.1; done; exit 1"
wait "$gui" 2>/dev/null || true
gui=
check "temp.mem and options.sav written at exit" test -s "$work/temp.mem" -a -s "$work/options.sav"

echo "== apt remove"
inRoot env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q wallscan >"$out/apt-remove.log" 2>&1
check "the programs are gone" bash -c "! test -e '$root/usr/bin/wallscan'"
check "the user's files stay" bash -c "ls -l '$work' && test -s '$work/temp.mem' -a -s '$work/options.sav'"

echo
if [ "$failures" -eq 0 ]; then
    echo "test-package: all checks passed"
else
    echo "test-package: $failures check(s) failed"
    exit 1
fi
