#!/usr/bin/env bash
# The generated bash completion as bash runs it, and the generated manual page as man renders it.
# usage: cliDocsTest.sh COMPLETION MANPAGE
set -u
completion=$(realpath "$1")
manpage=$(realpath "$2")
failures=0

source "$completion"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
touch "$folder/photo.jpg" "$folder/plan.par"
cd "$folder"

# expect "WORDS..." "REPLY": completes the last of WORDS.
expect() {
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _vellora_cli
    local got="${COMPREPLY[*]}"
    if [[ $got != "$2" ]]; then
        echo "completing \"$1\": got \"$got\", expected \"$2\""
        failures=$((failures + 1))
    fi
}

expect "vellora-cli photo.jpg til" "tiling"
expect "vellora-cli photo.jpg rotate-" "rotate-right rotate-180 rotate-left"
expect "vellora-cli photo.jpg --grou" "--grout --grout-gray --grout-mm"
expect "vellora-cli --set tilingMed" "tilingMedianIndex="
expect "vellora-cli photo.jpg --grout-gray li" "light-gray little-gray"
expect "vellora-cli photo.jpg --colors 1" "16 128"
expect "vellora-cli photo.jpg --match c" "ciede2000"
expect "vellora-cli photo.jpg --tile " ""
expect "vellora-cli --colors 16 ph" "photo.jpg"
expect "vellora-cli --par pl" "plan.par"
# bash splits NAME=VALUE at the "=" into three words.
expect "vellora-cli --set tilingMedianIndex = 3 ph" "photo.jpg"
expect "vellora-cli --set tilingMedianIndex = 3 photo.jpg inv" "invert"
expect "vellora-cli photo.jpg --set tilingMedianIndex = " ""
expect "vellora-cli --par plan.par photo.jpg -o out.png tiling fl" \
    "flip-horizontal flip-vertical"

if command -v man >/dev/null; then
    page=$(MANWIDTH=100 man -l "$manpage" 2>&1) || { echo "man failed: $page"; failures=$((failures + 1)); }
    for heading in NAME SYNOPSIS STEPS OPTIONS FIELDS "EXIT STATUS"; do
        grep -q "^$heading\$" <<<"$page" || { echo "no $heading section"; failures=$((failures + 1)); }
    done
    grep -q -- "--grout-gray NAME" <<<"$page" || { echo "no --grout-gray"; failures=$((failures + 1)); }
    grep -q "0 = white, 1 = light gray" <<<"$page" || { echo "no gray choices"; failures=$((failures + 1)); }
    warnings=$(groff -man -Tutf8 -ww -z "$manpage" 2>&1)
    [[ -z $warnings ]] || { echo "groff warns: $warnings"; failures=$((failures + 1)); }
else
    echo "man is not installed"
    failures=$((failures + 1))
fi
exit $((failures > 0))
