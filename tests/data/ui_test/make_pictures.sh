#!/bin/sh
# Draws the test menu's pictures: flat colours, so that the drawing tests can
# tell each picture by one pixel. Writes binary PPM pictures and turns them
# into .bbq files with our converter.
#   tests/data/ui_test/make_pictures.sh <path of bbq_convert>
set -e
convert_tool=$1
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# flat <name> <width> <height> <red> <green> <blue>
flat() {
    printf 'P6\n%d %d\n255\n' "$2" "$3" > "$work/$1.ppm"
    pixel=$(printf '\\%03o\\%03o\\%03o' "$4" "$5" "$6")
    count=$(($2 * $3))
    i=0
    while [ $i -lt $count ]; do
        printf "$pixel"
        i=$((i + 1))
    done >> "$work/$1.ppm"
    ASAN_OPTIONS=detect_leaks=0 "$convert_tool" -rgb "$work/$1.ppm" "$here/pictures/$1.bbq"
}

flat panel 32 32 180 40 40
flat button 40 20 40 160 60
flat lamp_0 16 16 40 60 200
flat lamp_1 16 16 230 210 40
