#!/usr/bin/env python3
"""Draws the demo magazine's ANSI art (demo/art/*.ans) from code.

Each picture is a grid of cells (character, colour, background, bold) drawn with a few
primitives, then written as ANSI: colours with SGR sequences, runs of blank cells as cursor
moves, 79 cells a row (the viewer shows 79 columns of an ANSI row) ended by CR LF.
Run it from anywhere: python3 tools/demoart/make_art.py
"""
import math
import os
import random

W, H = 79, 40
FULL, UPPER, LOWER, LIGHT, MEDIUM, DARK = 219, 223, 220, 176, 177, 178
BLACK, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8)


class Picture:
    def __init__(self, rows):
        self.rows = rows
        self.cells = [[(32, WHITE, BLACK, False) for _ in range(W)] for _ in range(rows)]

    def put(self, x, y, ch, fg=WHITE, bg=BLACK, bold=False):
        if 0 <= x < W and 0 <= y < self.rows:
            self.cells[y][x] = (ch if isinstance(ch, int) else ord(ch), fg, bg, bold)

    def text(self, x, y, s, fg=WHITE, bg=BLACK, bold=False):
        for i, c in enumerate(s):
            self.put(x + i, y, c, fg, bg, bold)

    def centre(self, y, s, fg=WHITE, bg=BLACK, bold=False):
        self.text((W - len(s)) // 2, y, s, fg, bg, bold)

    def ansi(self):
        out = bytearray(b"\x1b[0m\x1b[2J\x1b[H")
        state = (WHITE, BLACK, False)
        for y, row in enumerate(self.cells):
            x = 0
            while x < W:
                ch, fg, bg, bold = row[x]
                # A run of default blanks becomes a cursor move (nothing after it on the row
                # needs no move at all).
                if ch == 32 and bg == BLACK:
                    run = x
                    while run < W and row[run][0] == 32 and row[run][2] == BLACK:
                        run += 1
                    if run == W:
                        break
                    if run - x > 3:
                        out += b"\x1b[%dC" % (run - x)
                        x = run
                        continue
                if (fg, bg, bold) != state:
                    codes = ["0"] + (["1"] if bold else []) + ["%d" % (30 + fg), "%d" % (40 + bg)]
                    out += ("\x1b[" + ";".join(codes) + "m").encode()
                    state = (fg, bg, bold)
                out.append(ch)
                x += 1
            out += b"\x1b[0m\r\n" if state != (WHITE, BLACK, False) else b"\r\n"
            state = (WHITE, BLACK, False)
        return bytes(out)


# 5 x 7 capitals for the title.
LETTERS = {
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
}


def big_word(pic, word, top, colours):
    width = len(word) * 7 - 1
    left = (W - width) // 2
    for i, letter in enumerate(word):
        for r, bits in enumerate(LETTERS[letter]):
            for c, bit in enumerate(bits):
                if bit == "1":
                    x, y = left + i * 7 + c, top + r
                    pic.put(x + 1, y + 1, MEDIUM, BLUE)  # shadow first, letters over it
    for i, letter in enumerate(word):
        fg, bold = colours[i % len(colours)]
        for r, bits in enumerate(LETTERS[letter]):
            for c, bit in enumerate(bits):
                if bit == "1":
                    pic.put(left + i * 7 + c, top + r, FULL, fg, BLACK, bold)


def cover():
    random.seed(7)
    pic = Picture(24)
    for _ in range(70):  # a starfield
        x, y = random.randrange(W), random.randrange(24)
        pic.put(x, y, random.choice([".", "+", 250, 249]), random.choice([WHITE, CYAN, BLUE]),
                BLACK, random.random() < 0.3)
    big_word(pic, "QUORVEL", 3, [(CYAN, True), (CYAN, False), (BLUE, True), (MAGENTA, True),
                                 (MAGENTA, False), (RED, True), (YELLOW, True)])
    for x in range(8, W - 8):  # a rule with a gradient of shades
        shade = [LIGHT, MEDIUM, DARK, FULL][min(3, abs(x - W // 2) // 8) ^ 3]
        pic.put(x, 13, shade, CYAN if x % 2 else BLUE)
    pic.centre(15, "the disk magazine viewer", YELLOW, BLACK, True)
    pic.centre(16, "a manual for magazine authors, written as a magazine", WHITE)
    box_left, box_right, box_top, box_bottom = 20, 58, 18, 22
    for x in range(box_left + 1, box_right):
        pic.put(x, box_top, 205, GREEN)
        pic.put(x, box_bottom, 205, GREEN)
    for y in range(box_top + 1, box_bottom):
        pic.put(box_left, y, 186, GREEN)
        pic.put(box_right, y, 186, GREEN)
    for x, y, ch in [(box_left, box_top, 201), (box_right, box_top, 187),
                     (box_left, box_bottom, 200), (box_right, box_bottom, 188)]:
        pic.put(x, y, ch, GREEN)
    pic.centre(19, "Page Down and the arrows scroll", GREEN, BLACK, True)
    pic.centre(20, "Esc: contents   F1: help", GREEN, BLACK, True)
    pic.centre(21, "F9: music   F12: quit", GREEN, BLACK, True)
    return pic


def night():
    random.seed(11)
    pic = Picture(40)
    for y in range(40):
        for x in range(W):
            if y < 18:  # sky: denser shades towards the horizon
                if random.random() < y / 24.0:
                    pic.put(x, y, [LIGHT, LIGHT, MEDIUM][random.randrange(3)], BLUE)
                elif random.random() < 0.02:
                    pic.put(x, y, ".", WHITE, BLACK, True)
    for y in range(3, 10):  # the moon
        for x in range(56, 70):
            d = math.hypot((x - 62.5) / 2.0, y - 6)
            if d < 3.3:
                pic.put(x, y, FULL if d < 2.6 else DARK, YELLOW, BLACK, True)
    for x in range(W):  # two mountain ranges
        far = int(14 + 3 * math.sin(x / 7.0) + 2 * math.sin(x / 3.1))
        near = int(18 + 3 * math.sin(x / 11.0 + 1) + 1.5 * math.sin(x / 4.3))
        for y in range(far, 18):
            pic.put(x, y, MEDIUM if y == far else FULL, MAGENTA)
        for y in range(near, 24):
            pic.put(x, y, DARK if y == near else FULL, BLUE)
    for y in range(24, 34):  # water with the moon's reflection
        for x in range(W):
            if random.random() < 0.5:
                pic.put(x, y, [LIGHT, 196, 126][random.randrange(3)], CYAN if (x + y) % 3 else BLUE, BLUE)
            else:
                pic.put(x, y, 32, WHITE, BLUE)
            if 59 <= x <= 66 and random.random() < 0.6 - (y - 24) * 0.05:
                pic.put(x, y, [196, 205, 126][random.randrange(3)], YELLOW, BLUE, True)
    pic.centre(36, "night falls on page ten", CYAN, BLACK, True)
    pic.centre(37, "an ANSI picture drawn for this magazine", WHITE)
    return pic


def banner():
    """A small banner written by hand with cursor positions, saves and restores."""
    e = "\x1b["
    rows = []
    # A frame of double lines, drawn row by row.
    rows.append(e + "0;1;34;40m" + chr(201) + chr(205) * 60 + chr(187))
    for _ in range(4):
        rows.append(e + "0;1;34;40m" + chr(186) + e + "60C" + chr(186))
    rows.append(chr(200) + chr(205) * 60 + chr(188) + e + "0m")
    art = "\r\n".join(rows) + "\r\n"
    # Then the words, placed into the frame with H (row;column), s and u.
    art += e + "2;6H" + e + "1;33m" + "ANSI" + e + "s" + e + "0;37m" + " art: colours, blocks " + \
        e + "1;32m" + chr(219) + chr(178) + chr(177) + chr(176)
    art += e + "3;6H" + e + "0;36m" + "and the cursor moved by escape sequences"
    art += e + "u" + e + "2B" + e + "1;35m" + "saved, restored, moved two down"
    art += e + "5;6H" + e + "0;30;47m" + " black on white " + e + "0;37;41m" + " white on red " + \
        e + "1;37;44m" + " bright white on blue " + e + "0m"
    art += e + "7;1H"
    return art.encode("latin-1")


def main():
    top = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    pictures = {"cover.ans": cover().ansi(), "night.ans": night().ansi(), "banner.ans": banner()}
    for name, data in pictures.items():
        with open(os.path.join(top, "demo", "art", name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
