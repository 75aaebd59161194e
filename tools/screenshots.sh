#!/usr/bin/env bash
# Starts Zelvano under Xvfb and takes screenshots of its windows into docs/:
# the three main-window layouts with a text encrypted, the resolution chooser,
# and the About, author and joke windows. Three sets: the desktop's defaults
# (docs/NAME.png); a dark palette with a 14-point desktop font, applied by the
# qt6ct platform theme after start-up (docs/NAME-dark.png); and a screen
# scaled by 2 (docs/NAME-scale2.png).
#   tools/screenshots.sh [path to the zelvano executable]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/deps.sh"
zelvano_install_missing run screenshots
exe=${1:-}
if [ -z "$exe" ]; then
    zelvano_build
    exe=$ZELVANO_BUILD_DIR/src/zelvano
fi
exe=$(realpath "$exe")
out=$ZELVANO_ROOT/docs
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs the rest of this script inside one virtual X server.
if [ -z "${ZELVANO_IN_XVFB:-}" ]; then
    ZELVANO_IN_XVFB=1 exec xvfb-run -a -s '-screen 0 2800x2200x24' "$0" "$exe"
fi

window() {  # waits for a visible window with exactly this title
    local id
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.2
    done
    echo "no window titled '$1'" >&2
    return 1
}

snap() {  # window id, file name
    [ -n "$1" ] || exit 1
    sleep 0.5
    import -window "$1" "$out/$2.png"
    echo "docs/$2.png"
}

# The qt6ct settings of the dark set: a dark colour scheme and a large font.
mkdir -p "$work/dark/qt6ct"
cat >"$work/dark/qt6ct/qt6ct.conf" <<'EOF'
[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
style=Fusion

[Fonts]
fixed="DejaVu Sans Mono,14,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
general="DejaVu Sans,14,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
EOF

set_env=()
start() {  # frmstart.dat value, rex.dat value
    rm -rf "$work/run" && mkdir "$work/run" && cd "$work/run"
    printf ' %s \r\n' "$1" >frmstart.dat
    printf ' %s \r\n' "$2" >rex.dat
    env "${set_env[@]}" "$exe" >/dev/null 2>&1 &
    pid=$!
}

stop() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# Client heights in pixels and where the input box's middle and "Cripta" lie.
declare -A choice=([frm640]=1 [frm800]=2 [frm1280]=0)
declare -A client=([frm640]=326 [frm800]=430 [frm1280]=590)
declare -A input=([frm640]="104 132" [frm800]="140 188" [frm1280]="164 244")
declare -A cripta=([frm640]="52 264" [frm800]="64 364" [frm1280]="68 512")
# Encrypted, some of these characters become control characters.
text='Salve mondo! Questo testo è stato criptato con Zelvano: 0123456789 ~}|{'

# shoot suffix [VARIABLE=value...]: one set of screenshots, the program run
# with these variables.
shoot() {
    local suffix=$1 scale=1 e variant id menu x y item downs rest name title info
    shift
    set_env=("$@")
    for e in "$@"; do
        [[ $e == QT_SCALE_FACTOR=* ]] && scale=${e#*=}
    done
    for variant in frm640 frm800 frm1280; do
        start 1 "${choice[$variant]}"
        id=$(window Zelvano) || exit 1
        menu=$(($(xwininfo -id "$id" | awk '/Height:/{print $2}') - ${client[$variant]} * scale))
        read -r x y <<<"${input[$variant]}"
        xdotool mousemove $((x * scale)) $((y * scale + menu)) click 1
        xdotool type --delay 5 "$text"
        read -r x y <<<"${cripta[$variant]}"
        xdotool mousemove $((x * scale)) $((y * scale + menu)) click 1
        snap "$id" "$variant$suffix"
        if [ "$variant" = frm800 ]; then
            # The help menu: joke (first item), About (second), author (third).
            for item in "0 AH AH AH AH AH AH FRMHAHA" "1 Informazioni su Zelvano  frmAbout" \
                "2 ECCOMI frmio"; do
                read -r downs rest <<<"$item"
                name=${rest##* }
                title=${rest% *}
                xdotool windowfocus --sync "$id"
                xdotool key alt+a
                for _ in $(seq "$downs"); do xdotool key Down; done
                xdotool key Return
                info=$(window "$title") || exit 1
                snap "$info" "$name$suffix"
            done
        fi
        stop
    done

    start 0 2
    id=$(window 'Zelvano - Risoluzioni') || exit 1
    snap "$id" "frmOpzioni$suffix"
    stop
}

shoot ""
shoot -dark QT_QPA_PLATFORMTHEME=qt6ct XDG_CONFIG_HOME="$work/dark"
shoot -scale2 QT_SCALE_FACTOR=2
