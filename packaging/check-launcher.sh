#!/usr/bin/env bash
# The menu launcher, run in a copy of the installed layout in front of a
# stand-in for the program that notes the folder it was started in: the
# launcher must create and enter the configuration folder and pass on the
# program's exit status.
#   check-launcher.sh LAUNCHER LAUNCHER_DIR BIN_DIR   (the last two relative to the prefix)
set -euo pipefail
launcher=$1 launcher_dir=$2 bin_dir=$3
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
mkdir -p "$t/prefix/$launcher_dir" "$t/prefix/$bin_dir" "$t/home" "$t/cwd"
cp "$launcher" "$t/prefix/$launcher_dir/zelvano-launcher"
chmod +x "$t/prefix/$launcher_dir/zelvano-launcher"  # as installed
printf '#!/bin/sh\npwd >"$ZELVANO_TEST_OUT"\nexit 3\n' >"$t/prefix/$bin_dir/zelvano"
chmod +x "$t/prefix/$bin_dir/zelvano"

failed=0
# XDG_CONFIG_HOME ("unset", "empty" or a path; @ is the test folder), expected folder
while read -r config expected; do
    rm -rf "$t/home" "$t/config" "$t/out" && mkdir "$t/home"
    env=(env -u XDG_CONFIG_HOME HOME="$t/home" ZELVANO_TEST_OUT="$t/out")
    case $config in
        unset) ;;
        empty) env+=(XDG_CONFIG_HOME=) ;;
        *) env+=(XDG_CONFIG_HOME="${config//@/$t}") ;;
    esac
    (cd "$t/cwd" && "${env[@]}" "$t/prefix/$launcher_dir/zelvano-launcher") && status=0 || status=$?
    expected=${expected//@/$t}
    got=$(cat "$t/out" 2>/dev/null || echo "(not started)")
    mode=$(stat -c %a "$expected" 2>/dev/null || echo none)
    home=$(cd "$t/home" && ls -A)
    want_home=
    case $expected in "$t/home/"*) want_home=.config ;; esac
    if [ "$got" != "$expected" ] || [ "$status" -ne 3 ] || [ "$mode" != 700 ] ||
        [ "$home" != "$want_home" ]; then
        echo "XDG_CONFIG_HOME=$config: started in $got (want $expected), status $status" \
            "(want 3), folder mode $mode (want 700), home holds: ${home:-nothing}"
        failed=1
    fi
done <<'CASES'
unset @/home/.config/zelvano
empty @/home/.config/zelvano
@/config @/config/zelvano
relative/path @/home/.config/zelvano
CASES
exit $failed
