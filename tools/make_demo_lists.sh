#!/bin/sh
# Writes the demo list files of data/cons: GBK text, CR LF after every line.
# The names match the programmes the demo download server offers.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
cons="$here/data/cons"
mkdir -p "$cons"

write() { # file, then one argument per line
    f="$cons/$1"; shift
    : > "$f.utf8"
    for line in "$@"; do printf '%s\r\n' "$line" >> "$f.utf8"; done
    iconv -f UTF-8 -t GBK "$f.utf8" > "$f"
    rm "$f.utf8"
}

write b01.inb 两只老虎 小星星 找朋友 拔萝卜 数鸭子
write b02.inb 小老鼠上灯台 月亮婆婆 排排坐
write b03.inb "Twinkle Twinkle Little Star" "Old MacDonald" "Row Row Row Your Boat"
write b04.inb 龟兔赛跑 小马过河 乌鸦喝水
write b05.inb 小红帽 白雪公主 丑小鸭
write b06.inb ABC字母歌 "Colors 认颜色"
write b07.inb 静夜思 春晓 咏鹅
write b08.inb 声母歌 韵母歌
write b09.inb
write b10.inb 找不同 连连看
write b11.inb
write b12.inb 数字1到10
write b13.inb
write b14.inb
write shoucang.inb
write lishi.inb
# Key characters 11-13 and 4-6 of the first field make the key "k7demo".
write guihu.inb "abcemo1234k7d9999,demo"
write update.inb "4.2,2026-12-08"
