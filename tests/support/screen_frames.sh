# Shell helpers of the window tests, sourced: screenshots against magshot's frames. Files are
# named relative to $work, the caller's scratch folder.

# Every pixel of picture FILE reduced to 5/6/5 bits, one line each; with GEOMETRY, of that part
# of it only, and with a third argument, one pixel of each 2 x 2 square of that part (a
# screenshot at 2 x gives the frame).
frame565() {
    convert "$1" ${2:+-crop "$2" +repage} ${3:+-sample 50%} -depth 8 rgb:- |
        od -An -v -tu1 -w3 | awk '{ print int($1 / 8), int($2 / 4), int($3 / 8) }'
}
# Picture SHOT (GEOMETRY of it, at 2 x unless SCALE says 1) shows magshot's frame REF: all
# 640 x 480 pixels.
same_frame() {
    local half=half
    [ "${4:-2}" = 1 ] && half=
    frame565 "$work/$1" "$3" $half >"$work/shot.txt" && frame565 "$work/$2" >"$work/ref.txt" &&
        [ "$(wc -l <"$work/shot.txt")" = 307200 ] && cmp -s "$work/shot.txt" "$work/ref.txt"
}
