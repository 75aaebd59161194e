#!/usr/bin/env bash
# Walks Zelvano with the keyboard under the Orca screen reader and prints what
# Orca said at each step: the resolution chooser, the main window with its
# commands, F10, and the About, author and joke windows, then "Esci".
#
# Everything runs in a private session: an X server of its own (Xvfb) with a
# window manager (xfwm4, which gives new windows the focus as a desktop does),
# a D-Bus session with its own accessibility bus, and a speech-dispatcher whose
# generic module appends each utterance to a file instead of speaking it (any
# sound goes to libao's null driver). Orca, speech-dispatcher and the window
# manager read their settings from a temporary home; Orca speaks the position
# of an item in its group ("1 of 3"). The program runs in a temporary folder
# whose preference files open the chooser with "640 x 480" selected.
#
#   tools/screen-reader.sh [--check] [--debug] [path to the zelvano executable]
#
# Without a path it builds build/ (or $ZELVANO_BUILD_DIR) and runs src/zelvano.
# --check  also fails when Orca does not say what a blind user needs to hear
#          (listed at the end of the output).
# --debug  keeps the temporary folder with Orca's debug log and the speech file.
# Exit status: 0 walked (whatever the program let Orca say); 1 the session
# failed (Orca did not start or said nothing of the program); 2 wrong command
# line; 3 --check found something missing.
set -euo pipefail

usage() { sed -n '2,/^set -euo/p' "$0" | sed -n 's/^# \{0,1\}//p'; }

if [ -z "${ZELVANO_SR_INSIDE:-}" ]; then
    check=0
    debug=0
    exe=
    for arg in "$@"; do
        case $arg in
            --check) check=1 ;;
            --debug) debug=1 ;;
            -h | --help) usage; exit 0 ;;
            -*) echo "screen-reader.sh: unknown option $arg" >&2; exit 2 ;;
            *) [ -z "$exe" ] || { echo "screen-reader.sh: one executable only" >&2; exit 2; }
               exe=$arg ;;
        esac
    done
    source "$(dirname "${BASH_SOURCE[0]}")/deps.sh"
    if [ -z "$exe" ]; then
        zelvano_install_missing run screenreader
        zelvano_build
        exe=$ZELVANO_BUILD_DIR/src/zelvano
    else
        zelvano_install_missing screenreader
    fi
    [ -x "$exe" ] || { echo "screen-reader.sh: no executable at $exe" >&2; exit 2; }

    work=$(mktemp -d "${TMPDIR:-/tmp}/zelvano-sr.XXXXXX")
    xvfb_pid=
    finish() {
        [ -z "$xvfb_pid" ] || { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
        if [ "$debug" = 1 ] || [ "${status:-0}" = 1 ]; then
            echo "Kept $work (speech.txt, the logs, orca-debug.txt with --debug)." >&2
        else
            rm -rf "$work"
        fi
    }
    trap finish EXIT
    # Xvfb picks a free display number itself and writes it to the file.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || { echo "screen-reader.sh: Xvfb did not start" >&2; exit 1; }
    status=
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u QT_LINUX_ACCESSIBILITY_ALWAYS_ON \
        -u DBUS_SESSION_BUS_ADDRESS -u AT_SPI_BUS_ADDRESS \
        DISPLAY=":$(head -n1 "$work/display")" ZELVANO_SR_INSIDE=1 ZELVANO_SR_WORK="$work" \
        ZELVANO_SR_EXE="$(realpath "$exe")" ZELVANO_SR_CHECK="$check" ZELVANO_SR_DEBUG="$debug" \
        dbus-run-session -- bash "$(realpath "$0")" 3>&1 >"$work/session.out" \
        2>"$work/session.log" && status=0 || status=$?
    [ "$status" -ne 1 ] || grep -h 'screen-reader.sh:' "$work/session.log" >&2 || true
    exit "$status"
fi

# From here on: inside the private D-Bus session, on the private display. The
# session's daemons keep the first standard output; the walk prints to the
# caller's, which came as descriptor 3.
exec 1>&3 3>&-
work=$ZELVANO_SR_WORK
export HOME=$work/home XDG_RUNTIME_DIR=$work/xdg-runtime XDG_CONFIG_HOME=$work/home/.config
export XDG_DATA_HOME=$work/home/.local/share XDG_CACHE_HOME=$work/home/.cache
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
mkdir -p "$XDG_CONFIG_HOME/speech-dispatcher/modules" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" \
    "$XDG_RUNTIME_DIR" "$work/orca" "$work/run"
chmod 700 "$XDG_RUNTIME_DIR"
speech=$work/speech.txt
: >"$speech"
pids=()
stop_all() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    # Orca may hang in its own shutdown; it is ours, so it goes for good.
    sleep 0.2
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
}
trap stop_all EXIT
fail() {
    echo "screen-reader.sh: $*" >&2
    exit 1
}

# speech-dispatcher does not start unless its module can open a sound output:
# libao's null driver is one that needs no sound device.
echo "default_driver=null" >"$HOME/.libao"
# speech-dispatcher: every voice is the generic module, whose "synthesis" is
# one line appended to the speech file.
cat >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf" <<EOF
AudioOutputMethod "libao"
AddModule "capture" "sd_generic" "capture.conf"
DefaultModule capture
DefaultLanguage "en"
LogLevel 2
LogDir "$work/speech-dispatcher-log"
EOF
{
    # In the module's command $DATA stands for the text, quoted by the module.
    printf '%s\n' "GenericExecuteSynth \"printf '%s\\\\n' \\'\$DATA\\' >>$speech\""
    echo 'AddVoice "en" "MALE1" "capture"'
    for lang in en en-US it C; do echo "GenericLanguage \"$lang\" \"$lang\" \"utf-8\""; done
    # The whole utterance in one go, not cut at full stops, and every
    # character kept (by default the module blanks out < > / and others).
    echo 'GenericMaxChunkLength 100000'
    printf 'GenericDelimiters "\001"\nGenericStripPunctChars "\001"\n'
} >"$XDG_CONFIG_HOME/speech-dispatcher/modules/capture.conf"
# Orca: no first-start wizard, position in group spoken.
cat >"$work/orca/user-settings.conf" <<'EOF'
{
    "general": {"firstStart": false, "enablePositionSpeaking": true},
    "pronunciations": {},
    "keybindings": {},
    "profiles": {"default": {"profile": ["Default", "default"], "enablePositionSpeaking": true}}
}
EOF

xfwm4 --compositor=off --sm-client-disable >"$work/xfwm4.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
    fail "the window manager did not start"

speech-dispatcher --run-single --timeout 0 >"$work/speech-dispatcher.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [ -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ] && break
    sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ] || fail "speech-dispatcher did not start"

# Orca's launcher, with two changes that concern this session only:
# - Orca refuses to start while any process of this user is called orca, the
#   user's own screen reader included; this one lives in a session of its own,
#   so it skips that test (and leaves every other Orca alone).
# - speech-dispatcher 0.11's generic module, given a text with line breaks,
#   now and then runs its command once more on stale bytes of its input (old
#   settings, the end of an earlier text). Line breaks become blanks before
#   the text leaves Orca: it sounds the same, and one utterance is one line.
cat >"$work/orca-launch.py" <<'EOF'
import re
import runpy
import sys

import speechd.client

send_data = speechd.client._SSIP_Connection.send_data
speechd.client._SSIP_Connection.send_data = lambda connection, data: send_data(
    connection, re.sub(r"[ \t]*[\r\n]+[ \t]*", " ", data))

sys.argv[0] = "orca"
launcher = runpy.run_path("/usr/bin/orca", run_name="orca_launcher")
launcher["main"].__globals__["otherOrcas"] = lambda: []
sys.exit(launcher["main"]())
EOF
orca_args=(-u "$work/orca")
[ "$ZELVANO_SR_DEBUG" = 1 ] && orca_args+=(--debug-file "$work/orca-debug.txt")
LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=en /usr/bin/python3 "$work/orca-launch.py" "${orca_args[@]}" \
    >"$work/orca.log" 2>&1 &
pids+=($!)
for _ in $(seq 600); do
    grep -q 'Screen reader on' "$speech" && break
    sleep 0.1
done
grep -q 'Screen reader on' "$speech" || fail "Orca did not start (nothing in the speech file)"

# --- The walk -----------------------------------------------------------------

mark=$(wc -l <"$speech")
said=            # what Orca said during the last step
declare -A heard # step label -> what Orca said

# Waits until Orca has had its say: for the first new word up to $1 ms, then
# until nothing new comes for 300 ms (at most 8 s in all).
settle() {
    local first=${1:-1200} size last waited=0 quiet=0
    last=$(stat -c %s "$speech")
    while [ "$waited" -lt "$first" ]; do
        sleep 0.05
        waited=$((waited + 50))
        size=$(stat -c %s "$speech")
        [ "$size" != "$last" ] && break
    done
    [ "$(stat -c %s "$speech")" = "$last" ] && return 0
    last=
    while [ "$waited" -lt 8000 ] && [ "$quiet" -lt 300 ]; do
        size=$(stat -c %s "$speech")
        if [ "$size" = "$last" ]; then quiet=$((quiet + 50)); else quiet=0; last=$size; fi
        sleep 0.05
        waited=$((waited + 50))
    done
}

# Collects what Orca said since the last call into $said.
collect() {
    local n
    n=$(wc -l <"$speech")
    said=$(sed -n "$((mark + 1)),${n}p" "$speech")
    mark=$n
}

# report LABEL TITLE: prints the step and what Orca said for it.
report() {
    heard[$1]=$said
    echo "== $2"
    if [ -n "$said" ]; then
        sed 's/^/   /' <<<"$said"
    else
        echo "   (nothing)"
    fi
}

# key LABEL TITLE KEY...: presses the keys, one after the other, letting Orca
# speak after each.
key() {
    local label=$1 title=$2 k
    shift 2
    for k in "$@"; do
        xdotool key --clearmodifiers "$k"
        settle
    done
    collect
    report "$label" "$title"
}

# until_said LABEL TITLE KEY PATTERN MAX: presses KEY until Orca says
# something that matches PATTERN (an extended regular expression), at most MAX times.
until_said() {
    local label=$1 title=$2 k=$3 pattern=$4 max=$5 all='' i
    for ((i = 1; i <= max; i++)); do
        xdotool key --clearmodifiers "$k"
        settle
        collect
        all+=${all:+$'\n'}$said
        grep -qE -- "$pattern" <<<"$said" && break
    done
    said=$all
    report "$label" "$title ($k x$((i > max ? max : i)))"
}

# Waits (up to $3 tenths of a second, 100 unless given) for a window with
# exactly this title to be shown or gone.
window_shown() {
    local id
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ]
}
wait_window() {  # TITLE shown|gone [TENTHS]
    for _ in $(seq "${3:-100}"); do
        if window_shown "$1"; then [ "$2" = shown ] && return 0; else [ "$2" = gone ] && return 0; fi
        sleep 0.1
    done
    return 1
}

# menu_item LABEL TITLE ALT-KEY ITEMS PATTERN: opens a menu with its access
# key and goes down to the item whose spoken name matches PATTERN. ITEMS
# matches any item of that menu: when Orca says none, the menu did not open
# (the menu bar may have kept the keyboard from an earlier Escape), so Escape
# leaves the menu bar and the access key is pressed again.
menu_item() {
    local label=$1 title=$2 access=$3 items=$4 pattern=$5 all='' i
    for ((i = 0; i < 3; i++)); do
        xdotool key --clearmodifiers "$access"
        settle
        collect
        all+=${all:+$'\n'}$said
        grep -qE -- "$items" <<<"$said" && break
        xdotool key --clearmodifiers Escape
        settle
        xdotool key --clearmodifiers Escape
        settle
        collect
        all+=${all:+$'\n'}$said
    done
    for ((i = 0; i < 8; i++)); do
        grep -qE -- "$pattern" <<<"$said" && break
        xdotool key --clearmodifiers Down
        settle
        collect
        all+=${all:+$'\n'}$said
    done
    said=$all
    report "$label" "$title"
    grep -qE -- "$pattern" <<<"$said" && return 0
    echo "   (the menu item was not reached)"
    xdotool key --clearmodifiers Escape Escape
    settle
    collect
    return 1
}

# close_window LABEL TITLE WINDOW-TITLE: Escape, and Alt+F4 from the window
# manager when Escape leaves the window open.
escape_closes=()
close_window() {
    key "$1" "$2: Escape" Escape
    if wait_window "$3" gone 15; then
        escape_closes+=("$3:yes")
    else
        escape_closes+=("$3:no")
        echo "   (still open: closing it with the window manager's Alt+F4)"
        key "$1-altf4" "$2: Alt+F4" alt+F4
        wait_window "$3" gone || fail "the window \"$3\" does not close"
    fi
}

# more LABEL: what Orca says while a new window settles belongs to the step
# that opened it.
more() {
    settle 1000
    collect
    [ -z "$said" ] && return 0
    heard[$1]+=$'\n'$said
    sed 's/^/   /' <<<"$said"
}

# help_window LABEL NAME ITEM-PATTERN WINDOW-TITLE: opens a window from the
# help menu, lets Orca read it and closes it.
help_items='ridere|Info|Autore|\?\?\?'
help_window() {
    local label=$1 name=$2 pattern=$3 title=$4
    menu_item "menu-$label" "Help menu to the $name item" alt+a "$help_items" "$pattern" || return 0
    key "$label" "Enter: the $name window opens" Return
    if wait_window "$title" shown 50; then
        more "$label"
        close_window "$label-close" "$name window" "$title"
    else
        echo "   (no window \"$title\")"
    fi
}

program_running() { kill -0 "$program" 2>/dev/null; }

start=${EPOCHREALTIME/[^0-9]/} # microseconds, whatever the decimal sign
cd "$work/run"
printf ' 0 \r\n' >frmstart.dat
printf ' 1 \r\n' >rex.dat
"$ZELVANO_SR_EXE" >"$work/zelvano.log" 2>&1 &
program=$!
pids+=("$program")
wait_window "Zelvano - Risoluzioni" shown || fail "the chooser did not open (see $work/zelvano.log)"
settle 3000
collect
report chooser "The chooser opens"

key down1 "Down" Down
# Orca must say something of the program, not only its own start.
[ -n "${heard[chooser]:-}${heard[down1]:-}" ] || fail "Orca said nothing of the program"
key down2 "Down" Down
key up1 "Up" Up
key up2 "Up" Up
key whereami "Where Am I (KP_Enter)" KP_Enter
until_said tab-ok "Tab to Ok" Tab 'Ok' 8
key ok "Enter on Ok: the main window opens" Return
wait_window "Zelvano" shown || fail "the main window did not open"
more ok

xdotool type --delay 40 ciao
settle
collect
report type "Type ciao"
until_said tab-cripta "Tab to Cripta" Tab 'Cripta' 10
key cripta "Enter on Cripta" Return
until_said tab-transfer "Tab to <==" Tab '<==|Sposta|less' 10
key transfer "Enter on <==" Return
until_said tab-decripta "Tab to Decripta" Tab 'Decripta' 10
key decripta "Enter on Decripta" Return
until_said tab-clear0 "Tab to the first Svuota" Tab 'Svuota' 10
key clear0 "Enter on the first Svuota" Return
until_said tab-clear1 "Tab to the second Svuota" Tab 'Svuota' 10
key clear1 "Enter on the second Svuota" Return

key f10 "F10" F10
key f10-escape "Escape" Escape Escape

help_window about About 'Info' "Informazioni su Zelvano "
help_window author author 'Autore|\?\?\?' "ECCOMI"
help_window joke joke 'ridere' "AH AH AH AH AH AH"

until_said tab-esci "Tab to Esci" Tab 'Esci' 12
key esci "Enter on Esci" Return
for _ in $(seq 30); do program_running || break; sleep 0.1; done
if program_running; then echo "   (the program is still running)"; else echo "   (the program ended)"; fi
tenths=$(((${EPOCHREALTIME/[^0-9]/} - start) / 100000))
echo "Walk took $((tenths / 10)).$((tenths % 10)) s."

# --- What a blind user needs to hear ------------------------------------------

missing=0
expect() {  # DESCRIPTION, then a command that succeeds when it holds
    local what=$1
    shift
    if "$@"; then
        echo "  yes  $what"
    else
        echo "  NO   $what"
        missing=$((missing + 1))
    fi
}
says() { grep -qiF -- "$2" <<<"${heard[$1]:-}"; }
says_all() {  # LABEL TEXT...: every text said in that step
    local label=$1 text
    shift
    for text in "$@"; do says "$label" "$text" || return 1; done
}
position() {  # OPTION POSITION: said in some arrow-key step with that position
    local label
    for label in chooser down1 down2 up1 up2; do
        says "$label" "$1" && says "$label" "$2" && return 0
    done
    return 1
}
closed_by_escape() { printf '%s\n' "${escape_closes[@]}" | grep -qx "$1:yes"; }
result=$(printf ciao | "$(dirname "$ZELVANO_SR_EXE")/zelvano-cipher" encrypt 2>/dev/null | sed 's/^ *//' || true)

echo "What a blind user needs to hear:"
expect "Enter on Cripta after typing ciao is answered with the result (${result:-?})" \
    says cripta "${result:-no result}"
expect "the About window speaks Versione 1.0.1 and its notice when it opens" \
    says_all about "Versione 1.0.1" "Avviso"
expect "the author window speaks its greeting when it opens" says author "ECCOMI A VOI"
expect "the joke window speaks its lines when it opens" \
    says_all joke "MA DAVVERO VI" "SERVE UN AIUTO" "MA PER PIACERE"
expect "Escape closes the author window" closed_by_escape "ECCOMI"
expect "Escape closes the joke window" closed_by_escape "AH AH AH AH AH AH"
expect "position speaking: 640 x 480 is 1 of 3" position "640 x 480" "1 of 3"
expect "position speaking: 1280x1024 o maggiore is 3 of 3" position "1280x1024 o maggiore" "3 of 3"
expect "F10 opens File" says f10 "File"

if [ "$ZELVANO_SR_CHECK" = 1 ] && [ "$missing" -gt 0 ]; then
    echo "$missing missing."
    exit 3
fi
exit 0
