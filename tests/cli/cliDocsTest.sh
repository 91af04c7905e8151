#!/usr/bin/env bash
# The generated bash completion as bash runs it, and the generated manual page as man renders it.
# usage: cliDocsTest.sh COMPLETION MANPAGE (test_cli writes both and runs it)
set -u
completion=$(realpath "$1") manpage=$(realpath "$2") failures=0
fail() { echo "$1"; failures=$((failures + 1)); }
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
    [[ $got == "$2" ]] || fail "completing \"$1\": got \"$got\", expected \"$2\""
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
expect "vellora-cli --par plan.par photo.jpg -o out.png tiling fl" "flip-horizontal flip-vertical"

command -v man >/dev/null || fail "man is not installed"
page=$(MANWIDTH=100 man -l "$manpage" 2>&1) || fail "man failed: $page"
for heading in NAME SYNOPSIS STEPS OPTIONS FIELDS "EXIT STATUS"; do
    grep -q "^$heading\$" <<<"$page" || fail "no $heading section"
done
grep -q -- "--grout-gray NAME" <<<"$page" || fail "no --grout-gray"
grep -q "0 = white, 1 = light gray" <<<"$page" || fail "no gray choices"
grep -q "^ *cropLeft 0 \.\.\. 2147483647 (default 0)$" <<<"$page" || fail "no ... in place of …"
warnings=$(groff -man -Tutf8 -ww -z "$manpage" 2>&1)
[[ -z $warnings ]] || fail "groff warns: $warnings"
exit $((failures > 0))
