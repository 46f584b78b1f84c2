#!/usr/bin/python3
"""Draws the built-in pictures and speaks the built-in sounds.

The outputs are committed; the build never runs this. Run it again only when a
picture or a sound should change:

    /usr/bin/python3 tools/make_resources.py [--only pictures|sounds]

Needs Debian's python3-pil, fonts-noto-cjk, espeak-ng and sox. Writes into resources/bitmaps, resources/icons and
resources/sounds next to this folder, and the icon's sizes one by one into
packaging/icons for the desktop's icon theme.
"""

import argparse
import math
import os
import struct
import subprocess
import sys
import tempfile
import wave

from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BITMAPS = os.path.join(ROOT, "resources", "bitmaps")
ICONS = os.path.join(ROOT, "resources", "icons")
SOUNDS = os.path.join(ROOT, "resources", "sounds")
THEME_ICONS = os.path.join(ROOT, "packaging", "icons")

FONT_FILE = "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"
FONT_INDEX_SC = 2  # Noto Sans CJK SC inside the collection
WINDOW_GREEN = (192, 255, 192)  # the main window's background
SCALE = 4  # draw large, shrink once: smooth edges without a vector library

# Button number, name, tile colour, and a symbol drawn small in a corner.
CATEGORIES = [
    (1, "中文儿歌", (255, 112, 112), "♪"),
    (2, "中文童谣", (255, 150, 60), "♫"),
    (3, "英文儿歌", (240, 90, 170), "♪"),
    (4, "小故事", (80, 170, 250), "★"),
    (5, "童话故事", (150, 110, 240), "★"),
    (6, "学英语", (40, 190, 200), "A"),
    (7, "学古诗", (200, 140, 70), "✿"),
    (8, "学拼音", (60, 190, 110), "ā"),
    (9, "识字", (250, 100, 70), "字"),
    (10, "益智游戏", (120, 200, 40), "?"),
    (11, "涂色拼图", (255, 120, 200), "♥"),
    (12, "数学游戏", (60, 130, 240), "+"),
    (13, "语文游戏", (230, 170, 0), "☀"),
    (14, "英语游戏", (0, 175, 160), "B"),
]

WELCOME = "欢迎来到儿童乐园"


def font(size_px):
    return ImageFont.truetype(FONT_FILE, size_px, index=FONT_INDEX_SC)


def has_glyph(fnt, text):
    """False when the font would draw the empty box for a character."""
    def ink(t):
        m = fnt.getmask(t)
        return bytes(Image.frombytes("L", m.size, bytes(m)).tobytes()) if m.size[0] else b""
    missing = ink("\U0010FFFD")
    return all(ink(c) != missing for c in text)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def lighter(c, t=0.45):
    return mix(c, (255, 255, 255), t)


def darker(c, t=0.35):
    return mix(c, (0, 0, 0), t)


def vertical_gradient(size, top, bottom):
    w, h = size
    img = Image.new("RGB", size)
    d = ImageDraw.Draw(img)
    for y in range(h):
        d.line([(0, y), (w, y)], fill=mix(top, bottom, y / max(1, h - 1)))
    return img


def text_outlined(draw, xy, text, fnt, fill, outline, width):
    draw.text(xy, text, font=fnt, fill=fill, anchor="mm",
              stroke_width=width, stroke_fill=outline)


def save_bmp(img, name):
    """24-bit BMP, the only depth the window's picture buttons are given."""
    img.convert("RGB").save(os.path.join(BITMAPS, name), format="BMP")


def text_rows(name):
    # Four characters read best as two rows of two; two or three in one row.
    if len(name) == 4:
        return [name[:2], name[2:]]
    return [name]


def category_tile(name, colour, symbol, selected):
    s = 71 * SCALE
    canvas = Image.new("RGB", (s, s), WINDOW_GREEN)
    mask = Image.new("L", (s, s), 0)
    inset = 2 * SCALE
    radius = 14 * SCALE
    ImageDraw.Draw(mask).rounded_rectangle(
        [inset, inset, s - inset - 1, s - inset - 1], radius, fill=255)

    if selected:
        # Selected: a glowing gold frame round a pale tile, the name in the
        # category's own colour, so the chosen button stands out at a glance.
        glow = Image.new("L", (s, s), 0)
        ImageDraw.Draw(glow).rounded_rectangle(
            [0, 0, s - 1, s - 1], radius + 2 * SCALE, fill=255)
        glow = glow.filter(ImageFilter.GaussianBlur(2 * SCALE))
        canvas.paste(Image.new("RGB", (s, s), (255, 240, 80)), (0, 0), glow)
        face = vertical_gradient((s, s), (255, 255, 235), lighter(colour, 0.7))
        text_fill, text_line = darker(colour, 0.15), (255, 255, 255)
    else:
        face = vertical_gradient((s, s), lighter(colour, 0.35), colour)
        text_fill, text_line = (255, 255, 255), darker(colour, 0.45)
    canvas.paste(face, (0, 0), mask)

    d = ImageDraw.Draw(canvas)
    if selected:
        d.rounded_rectangle([inset, inset, s - inset - 1, s - inset - 1],
                            radius, outline=(255, 190, 0), width=4 * SCALE)
    else:
        d.rounded_rectangle([inset, inset, s - inset - 1, s - inset - 1],
                            radius, outline=darker(colour, 0.2), width=SCALE)
        # A soft highlight across the top half, like a glossy sweet.
        gloss = Image.new("L", (s, s), 0)
        ImageDraw.Draw(gloss).ellipse(
            [-s // 4, -s // 2, s + s // 4, s // 3], fill=70)
        gloss = Image.composite(gloss, Image.new("L", (s, s), 0), mask)
        canvas.paste(Image.new("RGB", (s, s), (255, 255, 255)), (0, 0), gloss)
        d = ImageDraw.Draw(canvas)

    sym_colour = (255, 200, 0) if selected else lighter(colour, 0.75)
    d.text((s - 13 * SCALE, 12 * SCALE), symbol, font=font(13 * SCALE),
           fill=sym_colour, anchor="mm", stroke_width=SCALE,
           stroke_fill=darker(colour, 0.3))

    rows = text_rows(name)
    size = {1: 30, 2: 27, 3: 21, 4: 23}[len(name) if len(rows) == 1 else 4]
    fnt = font(size * SCALE)
    centre_y = 39 * SCALE
    step = 25 * SCALE
    first_y = centre_y - step * (len(rows) - 1) / 2
    for i, row in enumerate(rows):
        text_outlined(d, (s / 2, first_y + i * step), row, fnt, text_fill,
                      text_line, 2 * SCALE)
    return canvas.resize((71, 71), Image.LANCZOS)


def round_button(draw_symbol, base=(60, 150, 240)):
    s = 27 * SCALE
    canvas = Image.new("RGB", (s, s), WINDOW_GREEN)
    mask = Image.new("L", (s, s), 0)
    ImageDraw.Draw(mask).ellipse([SCALE, SCALE, s - SCALE - 1, s - SCALE - 1],
                                 fill=255)
    canvas.paste(vertical_gradient((s, s), lighter(base, 0.45), darker(base, 0.1)),
                 (0, 0), mask)
    d = ImageDraw.Draw(canvas)
    d.ellipse([SCALE, SCALE, s - SCALE - 1, s - SCALE - 1],
              outline=darker(base, 0.35), width=SCALE)
    draw_symbol(d, s)
    return canvas.resize((27, 27), Image.LANCZOS)


def speaker(d, s, colour=(255, 255, 255)):
    u = s / 27
    d.polygon([(6 * u, 11 * u), (9 * u, 11 * u), (14 * u, 6.5 * u),
               (14 * u, 20.5 * u), (9 * u, 16 * u), (6 * u, 16 * u)],
              fill=colour)


def sound_on(d, s):
    speaker(d, s)
    u = s / 27
    for r in (3.5, 6.5):
        d.arc([15 * u - r * u, 13.5 * u - r * u, 15 * u + r * u, 13.5 * u + r * u],
              -50, 50, fill=(255, 255, 255), width=round(1.6 * u))


def sound_off(d, s):
    speaker(d, s)
    u = s / 27
    # The red prohibition sign over the loudspeaker, thin enough to leave
    # the loudspeaker recognisable underneath.
    red = (235, 25, 25)
    d.ellipse([5 * u, 5 * u, 22 * u, 22 * u], outline=red, width=round(2 * u))
    a, b = 13.5 - 5.9, 13.5 + 5.9
    d.line([(a * u, a * u), (b * u, b * u)], fill=red, width=round(2 * u))


def play_symbol(d, s):
    u = s / 27
    d.polygon([(10.5 * u, 7.5 * u), (20 * u, 13.5 * u), (10.5 * u, 19.5 * u)],
              fill=(255, 255, 255))


def pause_symbol(d, s):
    u = s / 27
    d.rectangle([8.5 * u, 8 * u, 11.8 * u, 19 * u], fill=(255, 255, 255))
    d.rectangle([15.2 * u, 8 * u, 18.5 * u, 19 * u], fill=(255, 255, 255))


def fullscreen_symbol(d, s):
    u = s / 27
    w = round(1.8 * u)
    white = (255, 255, 255)
    for cx, cy, dx, dy in ((7, 7, 1, 1), (20, 7, -1, 1), (7, 20, 1, -1),
                           (20, 20, -1, -1)):
        d.line([(cx * u, cy * u), ((cx + 4 * dx) * u, cy * u)], fill=white, width=w)
        d.line([(cx * u, cy * u), (cx * u, (cy + 4 * dy) * u)], fill=white, width=w)


def back_button():
    w, h = 47 * SCALE, 27 * SCALE
    base = (255, 140, 40)
    canvas = Image.new("RGB", (w, h), WINDOW_GREEN)
    mask = Image.new("L", (w, h), 0)
    box = [SCALE, SCALE, w - SCALE - 1, h - SCALE - 1]
    ImageDraw.Draw(mask).rounded_rectangle(box, 8 * SCALE, fill=255)
    canvas.paste(vertical_gradient((w, h), lighter(base, 0.4), base), (0, 0), mask)
    d = ImageDraw.Draw(canvas)
    d.rounded_rectangle(box, 8 * SCALE, outline=darker(base, 0.3), width=SCALE)
    text_outlined(d, (w / 2, h / 2 - SCALE / 2), "返回", font(16 * SCALE),
                  (255, 255, 255), darker(base, 0.45), SCALE)
    return canvas.resize((47, 27), Image.LANCZOS)


# --- the dolphin ----------------------------------------------------------

# Outline of a dolphin facing left, on a 256 grid; the snout tip is first.
DOLPHIN_BODY = [(8, 122), (36, 112), (58, 92), (92, 78), (132, 74), (172, 82),
                (206, 98), (228, 112), (246, 90), (252, 96), (240, 124),
                (254, 150), (246, 154), (222, 132), (190, 134), (150, 144),
                (110, 146), (74, 140), (48, 132), (34, 130)]
DOLPHIN_BELLY = [(36, 124), (74, 128), (110, 134), (150, 132), (190, 124),
                 (170, 144), (110, 146), (74, 140), (48, 132), (34, 130)]
DOLPHIN_FIN = [(118, 78), (150, 38), (162, 80)]
DOLPHIN_FLIPPER = [(96, 140), (84, 176), (124, 144)]
DOLPHIN_EYE = (62, 106)


def rotated(points, angle_deg, centre=(128, 128)):
    a = math.radians(angle_deg)
    cx, cy = centre
    return [(cx + (x - cx) * math.cos(a) - (y - cy) * math.sin(a),
             cy + (x - cx) * math.sin(a) + (y - cy) * math.cos(a))
            for x, y in points]


def dolphin(size, angle_deg, margin):
    """The dolphin on a transparent square; returns (image, snout tip)."""
    parts = [DOLPHIN_BODY, DOLPHIN_BELLY, DOLPHIN_FIN, DOLPHIN_FLIPPER,
             [DOLPHIN_EYE]]
    parts = [rotated(p, angle_deg) for p in parts]
    xs = [x for p in parts for x, _ in p]
    ys = [y for p in parts for _, y in p]
    span = max(max(xs) - min(xs), max(ys) - min(ys))
    big = size * 8
    k = (big - 2 * margin * 8) / span
    ox, oy = margin * 8 - min(xs) * k, margin * 8 - min(ys) * k

    def fit(p):
        return [(ox + x * k, oy + y * k) for x, y in p]

    body, belly, fin, flipper, eye = (fit(p) for p in parts)
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    line = (10, 50, 140, 255)
    stroke = max(8, round(big / 40))
    d.polygon(fin, fill=(20, 90, 210, 255), outline=line, width=stroke)
    d.polygon(body, fill=(30, 120, 235, 255), outline=line, width=stroke)
    d.polygon(belly, fill=(150, 210, 255, 255))
    d.polygon(flipper, fill=(20, 90, 210, 255), outline=line, width=stroke)
    ex, ey = eye[0]
    r = big / 26
    d.ellipse([ex - r, ey - r, ex + r, ey + r], fill=(10, 20, 50, 255))
    d.ellipse([ex - r / 3, ey - r / 1.4, ex + r / 3, ey - r / 4],
              fill=(255, 255, 255, 255))
    tip = body[0]
    return img.resize((size, size), Image.LANCZOS), (tip[0] / 8, tip[1] / 8)


def cursor():
    # Snout up and to the left, like an arrow pointer; the snout is the hotspot.
    img, tip = dolphin(32, 45, 1)
    return img, (min(31, max(0, math.floor(tip[0]))),
                 min(31, max(0, math.floor(tip[1]))))


def app_icon(size):
    s = 256
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    mask = Image.new("L", (s, s), 0)
    ImageDraw.Draw(mask).rounded_rectangle([4, 4, s - 5, s - 5], 52, fill=255)
    sky = vertical_gradient((s, s), (120, 210, 255), (40, 140, 230)).convert("RGBA")
    img.paste(sky, (0, 0), mask)
    d = ImageDraw.Draw(img)
    d.ellipse([168, 22, 232, 86], fill=(255, 215, 40, 255))
    sea = Image.new("L", (s, s), 0)
    sd = ImageDraw.Draw(sea)
    sd.rectangle([0, 196, s, s], fill=255)
    for x in range(-20, s + 40, 48):
        sd.ellipse([x, 178, x + 48, 214], fill=255)
    sea = Image.composite(sea, Image.new("L", (s, s), 0), mask)
    img.paste(Image.new("RGBA", (s, s), (20, 90, 190, 255)), (0, 0), sea)
    jumper, _ = dolphin(200, -30, 6)
    img.alpha_composite(jumper, (18, 20))
    return img.resize((size, size), Image.LANCZOS)


def make_pictures():
    os.makedirs(BITMAPS, exist_ok=True)
    os.makedirs(ICONS, exist_ok=True)
    for number, name, colour, symbol in CATEGORIES:
        if not has_glyph(font(40), name + symbol):
            raise SystemExit(f"the font lacks a character of {name}{symbol}")
        save_bmp(category_tile(name, colour, symbol, False), f"{100 + number}.bmp")
        save_bmp(category_tile(name, colour, symbol, True), f"{200 + number}.bmp")
    save_bmp(round_button(sound_on), "JINGYIN1.bmp")
    save_bmp(round_button(sound_off), "JINGYIN2.bmp")
    save_bmp(round_button(play_symbol, (40, 180, 80)), "BOFANG.bmp")
    save_bmp(round_button(pause_symbol, (250, 150, 30)), "ZANTING.bmp")
    save_bmp(round_button(fullscreen_symbol), "QUANPING.bmp")
    save_bmp(back_button(), "FANHUI.bmp")

    img, hotspot = cursor()
    img.save(os.path.join(ICONS, "dolphin.png"))
    print(f"dolphin.png hotspot: {hotspot[0]},{hotspot[1]}")
    big = app_icon(256)
    big.save(os.path.join(ICONS, "qorvel.png"))
    sizes = [16, 24, 32, 48, 64, 256]
    big.save(os.path.join(ICONS, "qorvel.ico"), format="ICO",
             sizes=[(n, n) for n in sizes])
    split_icon(os.path.join(ICONS, "qorvel.ico"), THEME_ICONS)


def split_icon(ico_path, out_dir):
    """Writes each picture of an .ico (stored as PNG) as <size>.png, so the
    installed icon theme shows exactly the pictures of the program's icon."""
    with open(ico_path, "rb") as f:
        data = f.read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    if kind != 1:
        raise SystemExit(f"{ico_path} is not an icon")
    os.makedirs(out_dir, exist_ok=True)
    for i in range(count):
        width = data[6 + 16 * i] or 256
        length, offset = struct.unpack_from("<II", data, 6 + 16 * i + 8)
        picture = data[offset:offset + length]
        if not picture.startswith(b"\x89PNG"):
            raise SystemExit(f"picture {i} of {ico_path} is not a PNG")
        with open(os.path.join(out_dir, f"{width}.png"), "wb") as f:
            f.write(picture)


# --- sounds ---------------------------------------------------------------

RATE = 22050
# Qt 6.4's QSoundEffect can drop the last part of a sound (QTBUG-111045), so
# every sound ends in this much silence and the voice is heard to its end.
TAIL_SECONDS = 0.5
MAX_SECONDS = 4.4  # of chime and voice, before the silent tail
MAX_TOTAL_BYTES = 4 * 1024 * 1024  # all sounds together, built into the program


def write_pcm(path, frames):
    """16-bit mono PCM WAVE, played as it is with no decoder."""
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def read_pcm(path):
    with wave.open(path, "rb") as w:
        if (w.getnchannels(), w.getsampwidth(), w.getframerate()) != (1, 2, RATE):
            raise SystemExit(f"{path}: not 16-bit mono at {RATE} Hz")
        return w.readframes(w.getnframes())


def chime(seconds):
    """A short rising two-note chime in front of the spoken name."""
    frames = bytearray()
    notes = [(784.0, 0.0), (1046.5, 0.18)]  # G5 then C6
    n = int(RATE * seconds)
    for i in range(n):
        t = i / RATE
        v = 0.0
        for freq, start in notes:
            if t >= start:
                u = t - start
                v += 0.3 * math.sin(2 * math.pi * freq * u) * math.exp(-u * 7)
        frames += struct.pack("<h", int(max(-1, min(1, v)) * 32000))
    return bytes(frames)


def speak(text, path):
    """Mandarin speech at RATE with the silence at both ends cut away."""
    raw = path + ".raw.wav"
    subprocess.run(["espeak-ng", "-v", "cmn", "-s", "150", "-p", "60",
                    "-w", raw, text], check=True)
    trim = ["silence", "1", "0.02", "0.5%"]
    subprocess.run(["sox", raw, "-r", str(RATE), "-c", "1", "-b", "16", path,
                    *trim, "reverse", *trim, "reverse"], check=True)
    return read_pcm(path)


def check_pcm_wave(path):
    with open(path, "rb") as f:
        data = f.read()
    tag, channels, rate = struct.unpack_from("<HHI", data, 20)
    bits = struct.unpack_from("<H", data, 34)[0]
    tail = data[-int(RATE * TAIL_SECONDS) * 2:]
    ok = data[:4] == b"RIFF" and data[8:12] == b"WAVE" and tag == 1 \
        and channels == 1 and rate == RATE and bits == 16 \
        and tail == bytes(len(tail))
    seconds = (len(data) - 44) / (2 * RATE)
    print(f"{os.path.basename(path)}: tag {tag}, {channels} ch, {rate} Hz, "
          f"{bits} bit, {seconds:.2f} s{'' if ok else '  <-- wrong format or no silent end'}")
    return ok, len(data)


def make_sounds():
    os.makedirs(SOUNDS, exist_ok=True)
    ok = True
    total = 0
    bell = chime(0.55)
    silence = bytes(int(RATE * TAIL_SECONDS) * 2)
    jobs = [("QIDONG.wav", WELCOME)]
    jobs += [(f"SOUND{n:02d}.wav", name) for n, name, _, _ in CATEGORIES]
    with tempfile.TemporaryDirectory() as tmp:
        for file_name, text in jobs:
            sound = bell + speak(text, os.path.join(tmp, "voice.wav"))
            if len(sound) > MAX_SECONDS * RATE * 2:
                raise SystemExit(f"{text}: {len(sound) / RATE / 2:.2f} s is too long")
            out = os.path.join(SOUNDS, file_name)
            write_pcm(out, sound + silence)
            file_ok, size = check_pcm_wave(out)
            ok = ok and file_ok
            total += size
    print(f"all sounds: {total} bytes")
    return ok and total <= MAX_TOTAL_BYTES


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--only", choices=["pictures", "sounds"])
    args = parser.parse_args()
    ok = True
    if args.only != "sounds":
        make_pictures()
    if args.only != "pictures":
        ok = make_sounds()
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
