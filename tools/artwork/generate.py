#!/usr/bin/python3
"""Draws every picture, the icon and the cursor of the Quibbix launcher.

Run with Debian's python3 (python3-pil) and the DejaVu fonts installed:

    /usr/bin/python3 tools/artwork/generate.py [output-folder]

The default output folder is resources/art/ beside this tool. Nothing is
read but the fonts and the menu layout of the program (src/menu/layout.inc,
through tools/quibtables.py); running it twice writes identical bytes.

Every picture is drawn in true colour (shapes at three times the final size
and scaled down, text at the final size with hinting) and then mapped onto
one shared 256-colour table, which is the menu picture's table and so the
palette the launcher realises. Pictures whose table is shorter than 256
entries use only the first entries of that shared table.

The text comes from the stored lettering (lettering.py): masks FreeType drew
on Debian 12, so that a newer Pillow or FreeType elsewhere draws the same
pictures. --render-text draws them afresh (see --help).
"""

import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import quibtables  # noqa: E402

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
SS = 3  # supersampling factor for shapes

MENU_SIZE = (621, 431)
BOX_SIZE_A = (111, 150)   # 115 116 117 118 155 161
BOX_SIZE_B = (110, 151)   # 119 120 121
FRAME_SIZE = (101, 59)
QUIT_SIZE = (79, 43)
INFO_SIZE = (570, 320)

BOX_ART_POS = quibtables.POSITIONS["BOX_ART_POS"]
BUTTON_POS = quibtables.POSITIONS["PLAY_BUTTON_POS"]
QUIT_POS = quibtables.POSITIONS["QUIT_BUTTON_POS"]

# Product boxes along the bottom of the menu picture, left to right:
# (title, left, top, right, bottom) of the clickable place of each box.
HOT_SPOTS = sorted(((title,) + box for title, box in enumerate(quibtables.HOT_SPOTS)),
                   key=lambda spot: spot[1])

# title: (caption lines, text on the box, top colour, bottom colour, accent, emblem)
EDITIONS = {
    0: (["Volume 1", "Jumbo"], "VOLUME 1", (255, 84, 46), (150, 14, 30), (255, 214, 64), "jumbo"),
    1: (["Volume 2"], "VOLUME 2", (70, 168, 255), (18, 58, 156), (255, 226, 80), "two"),
    2: (["Volume 3"], "VOLUME 3", (98, 214, 92), (16, 104, 44), (255, 240, 80), "three"),
    3: (["Jocko"], "JOCKO", (255, 180, 46), (196, 84, 0), (44, 44, 150), "jocko"),
    4: (["Glimmer"], "GLIM", (196, 128, 255), (72, 24, 140), (255, 240, 160), "glim"),
    5: (["Reelies"], "REELIES", (48, 216, 196), (10, 104, 122), (255, 80, 160), "reel"),
    6: (["The Whirl"], "THE WHIRL", (255, 96, 196), (138, 14, 106), (128, 240, 255), "whirl"),
    7: (["Nodial"], "NODIAL", (170, 184, 204), (58, 72, 104), (255, 90, 54), "nodial"),
    8: (["Brasher! Zippier!", "Zanier!"], "BRASHER!", (212, 255, 60), (60, 140, 0), (255, 46, 122), "bolt"),
}

BOX_ART_IDS = [(119, 0, BOX_SIZE_B), (120, 1, BOX_SIZE_B), (121, 2, BOX_SIZE_B),
               (116, 3, BOX_SIZE_A), (118, 4, BOX_SIZE_A), (115, 5, BOX_SIZE_A),
               (117, 6, BOX_SIZE_A), (155, 7, BOX_SIZE_A), (161, 8, BOX_SIZE_A)]

# Button frames: id -> (set, look). Looks: 0 normal, 1 pressed, 2 activated, 3 focused.
INSTALL_LABEL = ("INSTALL", "CD GAME")
PLAY_LABEL = ("PLAY", "CD-ROM")
CHAT_INSTALL_LABEL = ("INSTALL", "CHATTERBOX")
CHAT_PLAY_LABEL = ("PLAY", "CHATTERBOX")
QUIT_LABEL = ("QUIT",)
FRAMES = {
    125: (INSTALL_LABEL, 0), 123: (INSTALL_LABEL, 1), 122: (INSTALL_LABEL, 2), 124: (INSTALL_LABEL, 3),
    126: (PLAY_LABEL, 0), 127: (PLAY_LABEL, 1), 129: (PLAY_LABEL, 2), 128: (PLAY_LABEL, 3),
    133: (CHAT_INSTALL_LABEL, 0), 131: (CHAT_INSTALL_LABEL, 1), 130: (CHAT_INSTALL_LABEL, 2),
    132: (CHAT_INSTALL_LABEL, 3),
    134: (CHAT_PLAY_LABEL, 0), 135: (CHAT_PLAY_LABEL, 1), 137: (CHAT_PLAY_LABEL, 2), 136: (CHAT_PLAY_LABEL, 3),
    138: (QUIT_LABEL, 0), 139: (QUIT_LABEL, 1), 141: (QUIT_LABEL, 2), 140: (QUIT_LABEL, 3),
}

# Length of each picture's colour table where it is not 256.
COLOUR_COUNTS = {131: 253, 135: 245, 138: 234, 139: 231, 140: 245, 141: 245, 148: 18}

# Stage colours shared by the menu and the box-art surroundings.
STAGE_TOP = (58, 16, 96)
STAGE_BOTTOM = (12, 4, 34)
GOLD = (255, 204, 48)
GOLD_DARK = (160, 96, 8)
PLATE = (28, 10, 52)


# ---------------------------------------------------------------- helpers

import lettering  # noqa: E402  (the text, as stored masks or drawn afresh by FreeType)

_lettering = None


def font(name, size):
    return _lettering.font(name, size)


def put_text(draw, xy, text, fnt, fill, stroke=0, stroke_fill=None):
    lettering.draw_text(draw, xy, text, fnt, fill, stroke, stroke_fill)


SANS_BOLD = "DejaVuSans-Bold.ttf"
COND_BOLD = "DejaVuSansCondensed-Bold.ttf"
SERIF_BOLD = "DejaVuSerif-Bold.ttf"


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def vertical_gradient(size, top, bottom):
    mask = Image.linear_gradient("L").resize(size, Image.BICUBIC)
    return Image.composite(Image.new("RGB", size, bottom), Image.new("RGB", size, top), mask)


def radial_glow(size, centre, radius, colour, strength):
    """Returns an L mask of a soft round glow, for compositing a colour."""
    glow = Image.radial_gradient("L").resize((radius * 2, radius * 2), Image.BICUBIC)
    glow = glow.point(lambda v: int(max(0, 255 - v) * strength))
    mask = Image.new("L", size, 0)
    mask.paste(glow, (centre[0] - radius, centre[1] - radius))
    return mask


def add_glow(img, centre, radius, colour, strength):
    mask = radial_glow(img.size, centre, radius, colour, strength)
    img.paste(Image.new("RGB", img.size, colour), (0, 0), mask)


def drop_shadow(img, shape_mask, offset, blur, strength):
    """Darkens img under a blurred, shifted copy of shape_mask."""
    shadow = Image.new("L", img.size, 0)
    shadow.paste(shape_mask, offset)
    shadow = shadow.filter(ImageFilter.GaussianBlur(blur)).point(lambda v: int(v * strength))
    img.paste(Image.new("RGB", img.size, (0, 0, 0)), (0, 0), shadow)


def text_size(text, fnt, stroke=0):
    box = fnt.getbbox(text, stroke_width=stroke)
    return box[2] - box[0], box[3] - box[1], box


def draw_text_centred(draw, cx, top, text, fnt, fill, stroke=0, stroke_fill=None):
    w, _, box = text_size(text, fnt, stroke)
    put_text(draw, (cx - w // 2 - box[0], top - box[1]), text, fnt, fill, stroke, stroke_fill)


def fit_font(name, text, max_width, start, stroke=0):
    size = start
    while size > 6 and text_size(text, font(name, size), stroke)[0] > max_width:
        size -= 1
    return font(name, size)


def shadowed_text(img, cx, top, text, fnt, fill, stroke, stroke_fill, shadow_offset=2, blur=1.5):
    """Centred text with an outline and a soft drop shadow."""
    mask = Image.new("L", img.size, 0)
    draw_text_centred(ImageDraw.Draw(mask), cx, top, text, fnt, 255, stroke, 255)
    drop_shadow(img, mask, (shadow_offset, shadow_offset), blur, 0.8)
    draw_text_centred(ImageDraw.Draw(img), cx, top, text, fnt, fill, stroke, stroke_fill)


def logo_layer(text, size, fill_top, fill_bottom, outline, stroke, angle=0):
    """The series logo: chunky letters with a gradient fill and an outline."""
    fnt = font(SANS_BOLD, size)
    w, h, box = text_size(text, fnt, stroke)
    pad = stroke + 4
    layer_size = (w + pad * 2, h + pad * 2)
    outer = Image.new("L", layer_size, 0)
    inner = Image.new("L", layer_size, 0)
    origin = (pad - box[0], pad - box[1])
    put_text(ImageDraw.Draw(outer), origin, text, fnt, 255, stroke, 255)
    put_text(ImageDraw.Draw(inner), origin, text, fnt, 255)
    fill = vertical_gradient(layer_size, fill_top, fill_bottom)
    rgba = Image.new("RGBA", layer_size, outline + (0,))
    rgba.putalpha(outer)
    glyphs = fill.convert("RGBA")
    glyphs.putalpha(inner)
    rgba = Image.alpha_composite(rgba, glyphs)
    # a thin highlight along the top of each letter
    shine = Image.new("RGBA", layer_size, (255, 255, 255, 0))
    cut = inner
    lower = Image.new("L", layer_size, 0)
    lower.paste(inner, (0, max(2, size // 10)))
    highlight = Image.composite(Image.new("L", layer_size, 0), cut, lower).point(lambda v: v * 45 // 100)
    shine.putalpha(highlight)
    rgba = Image.alpha_composite(rgba, shine)
    if angle:
        rgba = rgba.rotate(angle, resample=Image.BICUBIC, expand=True)
    return rgba


def paste_with_shadow(img, layer, pos, offset=3, blur=2.5, strength=0.75):
    drop_shadow(img, layer.getchannel("A"), (pos[0] + offset, pos[1] + offset), blur, strength)
    img.paste(layer, pos, layer)


def star_points(cx, cy, outer, inner, points=5, turn=-90):
    import math
    result = []
    for i in range(points * 2):
        r = outer if i % 2 == 0 else inner
        a = math.radians(turn + i * 180.0 / points)
        result.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return result


# ---------------------------------------------------------------- emblems

def draw_emblem(draw, kind, box, accent, dark):
    """Draws an edition's emblem into box (left, top, right, bottom), high resolution."""
    import math
    l, t, r, b = box
    cx, cy = (l + r) / 2, (t + b) / 2
    rad = min(r - l, b - t) / 2
    if kind in ("jumbo", "two", "three"):
        digit = {"jumbo": "1", "two": "2", "three": "3"}[kind]
        draw.ellipse((cx - rad, cy - rad, cx + rad, cy + rad), fill=accent, outline=dark, width=max(2, int(rad / 8)))
        fnt = font(SANS_BOLD, int(rad * 1.5))
        w, h, bb = text_size(digit, fnt)
        put_text(draw, (cx - w / 2 - bb[0], cy - h / 2 - bb[1]), digit, fnt, dark)
        if kind == "jumbo":
            # a ribbon across the disc
            band = rad * 0.42
            top = cy + rad * 0.55
            draw.polygon([(cx - rad * 1.3, top), (cx + rad * 1.3, top), (cx + rad * 1.15, top + band / 2),
                          (cx + rad * 1.3, top + band), (cx - rad * 1.3, top + band),
                          (cx - rad * 1.15, top + band / 2)], fill=(230, 20, 40), outline=dark)
            fnt = font(SANS_BOLD, max(6, int(band * 0.78)))
            w, h, bb = text_size("JUMBO", fnt)
            put_text(draw, (cx - w / 2 - bb[0], top + (band - h) / 2 - bb[1]), "JUMBO", fnt, (255, 255, 255))
    elif kind == "jocko":
        # a grinning face with a jester's cap
        draw.ellipse((cx - rad * 0.8, cy - rad * 0.55, cx + rad * 0.8, cy + rad * 0.95), fill=accent, outline=dark,
                     width=max(2, int(rad / 10)))
        draw.polygon([(cx - rad * 0.85, cy - rad * 0.3), (cx - rad * 1.0, cy - rad * 1.0), (cx, cy - rad * 0.55),
                      (cx + rad * 1.0, cy - rad * 1.0), (cx + rad * 0.85, cy - rad * 0.3)], fill=(230, 30, 60),
                     outline=dark)
        for px in (-1.0, 1.0):
            draw.ellipse((cx + px * rad - rad * 0.16, cy - rad * 1.16, cx + px * rad + rad * 0.16, cy - rad * 0.84),
                         fill=(255, 230, 60), outline=dark)
        for ex in (-0.32, 0.32):
            draw.ellipse((cx + ex * rad - rad * 0.12, cy - rad * 0.05, cx + ex * rad + rad * 0.12, cy + rad * 0.2),
                         fill=(255, 255, 255))
        draw.arc((cx - rad * 0.5, cy, cx + rad * 0.5, cy + rad * 0.7), 20, 160, fill=(255, 255, 255),
                 width=max(2, int(rad / 7)))
    elif kind == "glim":
        for (sx, sy, s) in ((0, 0, 1.0), (-0.62, -0.55, 0.42), (0.66, 0.5, 0.36), (0.6, -0.62, 0.3)):
            pts = star_points(cx + sx * rad, cy + sy * rad, rad * s, rad * s * 0.3, 4, -90)
            draw.polygon(pts, fill=accent, outline=dark)
    elif kind == "reel":
        draw.ellipse((cx - rad, cy - rad, cx + rad, cy + rad), fill=accent, outline=dark, width=max(2, int(rad / 9)))
        for i in range(5):
            a = math.radians(-90 + i * 72)
            hx, hy = cx + math.cos(a) * rad * 0.55, cy + math.sin(a) * rad * 0.55
            draw.ellipse((hx - rad * 0.22, hy - rad * 0.22, hx + rad * 0.22, hy + rad * 0.22), fill=dark)
        draw.ellipse((cx - rad * 0.12, cy - rad * 0.12, cx + rad * 0.12, cy + rad * 0.12), fill=dark)
    elif kind == "whirl":
        width = max(3, int(rad / 5))
        pts = []
        for i in range(0, 700):
            a = math.radians(i * 1.4)
            rr = rad * (0.08 + 0.92 * i / 700)
            pts.append((cx + math.cos(a) * rr, cy + math.sin(a) * rr))
        draw.line(pts, fill=dark, width=width + 4, joint="curve")
        draw.line(pts, fill=accent, width=width, joint="curve")
    elif kind == "nodial":
        draw.ellipse((cx - rad, cy - rad, cx + rad, cy + rad), fill=(250, 250, 250), outline=dark,
                     width=max(2, int(rad / 10)))
        for i in range(10):
            a = math.radians(-60 + i * 27)
            hx, hy = cx + math.cos(a) * rad * 0.66, cy + math.sin(a) * rad * 0.66
            draw.ellipse((hx - rad * 0.14, hy - rad * 0.14, hx + rad * 0.14, hy + rad * 0.14), fill=dark)
        draw.line((cx - rad * 0.75, cy + rad * 0.75, cx + rad * 0.75, cy - rad * 0.75), fill=accent,
                  width=max(3, int(rad / 4)))
    elif kind == "bolt":
        pts = [(0.15, -1.0), (-0.6, 0.12), (-0.05, 0.12), (-0.3, 1.0), (0.62, -0.2), (0.08, -0.2), (0.4, -1.0)]
        draw.polygon([(cx + x * rad, cy + y * rad) for x, y in pts], fill=accent, outline=dark,
                     width=max(2, int(rad / 10)))


# ---------------------------------------------------------------- product box

def product_box(width, height, title, detail):
    """A shrink-wrapped product box with a little depth, on a transparent ground.

    detail is True for the large box art (logo, emblem and name on the front)
    and False for the small boxes of the menu (logo band and emblem only).
    """
    caption, box_text, top, bottom, accent, emblem = EDITIONS[title]
    W, H = width * SS, height * SS
    depth = max(3, width // 12) * SS
    layer = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    fw, fh = W - depth, H - depth
    front = vertical_gradient((fw, fh), top, bottom)
    add_glow(front, (fw // 3, fh // 3), int(fw * 0.9), mix(top, (255, 255, 255), 0.5), 0.35)
    d = ImageDraw.Draw(front)
    dark = mix(bottom, (0, 0, 0), 0.6)
    # diagonal stripes give the box a bit of energy
    stripe = mix(top, (255, 255, 255), 0.18)
    for i in range(-fh, fw, fw // 4):
        d.polygon([(i, fh), (i + fw // 10, fh), (i + fw // 10 + fh // 2, 0), (i + fh // 2, 0)], fill=stripe)
    band_h = int(fh * 0.2)
    d.rectangle((0, 0, fw, band_h), fill=mix(bottom, (0, 0, 0), 0.35))
    d.line((0, band_h, fw, band_h), fill=GOLD, width=SS * 2)
    logo = logo_layer("QUIBBIX" if detail else "QBX", int(band_h * 0.62), (255, 244, 120), (255, 150, 20),
                      (40, 10, 20), max(2, band_h // 12), angle=0)
    scale = min((fw * 0.88) / logo.width, (band_h * 0.9) / logo.height)
    logo = logo.resize((max(1, int(logo.width * scale)), max(1, int(logo.height * scale))), Image.LANCZOS)
    front.paste(logo, ((fw - logo.width) // 2, (band_h - logo.height) // 2), logo)
    if detail:
        em_top, em_bottom = band_h + fh * 0.06, fh * 0.7
        name_band = (int(fh * 0.76), int(fh * 0.94))
    else:
        em_top, em_bottom = band_h + fh * 0.08, fh * 0.92
        name_band = None
    em_h = em_bottom - em_top
    draw_emblem(d, emblem, (fw / 2 - em_h / 2, em_top, fw / 2 + em_h / 2, em_bottom), accent, dark)
    if name_band:
        d.rectangle((0, name_band[0], fw, name_band[1]), fill=(255, 255, 255))
        d.rectangle((0, name_band[0], fw, name_band[0] + SS), fill=GOLD)
        d.rectangle((0, name_band[1] - SS, fw, name_band[1]), fill=GOLD)
        fnt = fit_font(COND_BOLD, box_text, fw * 0.86, int((name_band[1] - name_band[0]) * 0.62))
        draw_text_centred(d, fw // 2, name_band[0] + (name_band[1] - name_band[0]) * 0.2, box_text, fnt, dark)
    # rim light
    d.rectangle((0, 0, fw - 1, fh - 1), outline=mix(top, (255, 255, 255), 0.6), width=SS)
    layer.paste(front, (0, depth))
    ld = ImageDraw.Draw(layer)
    # top and side faces
    ld.polygon([(0, depth), (depth, 0), (W - 1, 0), (fw, depth)], fill=mix(top, (255, 255, 255), 0.35))
    ld.polygon([(fw, depth), (W - 1, 0), (W - 1, fh), (fw, H - 1)], fill=mix(bottom, (0, 0, 0), 0.45))
    ld.line([(fw, depth), (W - 1, 0)], fill=mix(top, (255, 255, 255), 0.7), width=SS)
    return layer.resize((width, height), Image.LANCZOS)


def box_art(size, title, background_top, background_bottom):
    """Box art for the box-art place in the menu: the box and its edition name under it."""
    w, h = size
    img = vertical_gradient(size, background_top, background_bottom)
    add_glow(img, (w // 2, h // 3), int(w * 0.8), (150, 80, 220), 0.45)
    box_w, box_h = w - 14, h - 34
    box = product_box(box_w, box_h, title, True)
    pos = (7, 6)
    drop_shadow(img, box.getchannel("A"), (pos[0] + 3, pos[1] + 4), 3, 0.8)
    img.paste(box, pos, box)
    caption = " ".join(EDITIONS[title][0])
    if title == 0:
        caption = "Volume 1 / Jumbo"
    d = ImageDraw.Draw(img)
    lines = [caption]
    fnt = fit_font(SANS_BOLD, caption, w - 8, 12, 1)
    if fnt.size < 10 and len(EDITIONS[title][0]) > 1:
        lines = EDITIONS[title][0]
        fnt = fit_font(SANS_BOLD, max(lines, key=len), w - 8, 10, 1)
    top = box_h + 9 if len(lines) == 1 else box_h + 6
    for line in lines:
        draw_text_centred(d, w // 2, top, line, fnt, (255, 236, 120), 1, (30, 8, 40))
        top += fnt.size + 1
    return img


# ---------------------------------------------------------------- menu picture

def rounded_panel(img, box, radius, fill_top, fill_bottom, outline, width):
    l, t, r, b = box
    mask = Image.new("L", img.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(box, radius, fill=255)
    drop_shadow(img, mask, (4, 5), 4, 0.6)
    grad = vertical_gradient((r - l, b - t), fill_top, fill_bottom)
    full = Image.new("RGB", img.size)
    full.paste(grad, (l, t))
    img.paste(full, (0, 0), mask)
    ImageDraw.Draw(img).rounded_rectangle(box, radius, outline=outline, width=width)


def menu_picture():
    w, h = MENU_SIZE
    W, H = w * SS, h * SS
    img = vertical_gradient((W, H), STAGE_TOP, STAGE_BOTTOM)
    d = ImageDraw.Draw(img)
    # spotlight beams fanning down from the top
    beams = Image.new("L", (W, H), 0)
    bd = ImageDraw.Draw(beams)
    for x0, spread in ((110, 150), (470, 170), (300, 120)):
        bd.polygon([(x0 * SS - 8 * SS, 0), (x0 * SS + 8 * SS, 0), ((x0 + spread) * SS, 270 * SS),
                    ((x0 - spread) * SS, 270 * SS)], fill=70)
    beams = beams.filter(ImageFilter.GaussianBlur(14 * SS))
    img.paste(Image.new("RGB", (W, H), (190, 120, 255)), (0, 0), beams)
    add_glow(img, (110 * SS, 90 * SS), 150 * SS, (255, 90, 200), 0.35)
    add_glow(img, (520 * SS, 150 * SS), 150 * SS, (60, 180, 255), 0.3)
    # a row of bulbs along the top edge, like a stage marquee
    d = ImageDraw.Draw(img)
    for i in range(26):
        x = (12 + i * 23.9) * SS
        d.ellipse((x - 3 * SS, 4 * SS, x + 3 * SS, 10 * SS), fill=(255, 236, 150))
    # stage floor under the product boxes
    floor_top = 262 * SS
    floor = vertical_gradient((W, H - floor_top), (74, 26, 112), (18, 6, 40))
    img.paste(floor, (0, floor_top))
    d.line((0, floor_top, W, floor_top), fill=GOLD, width=2 * SS)
    d.line((0, floor_top + 4 * SS, W, floor_top + 4 * SS), fill=GOLD_DARK, width=SS)
    # box-art frame, button plate and quit plate (their insides are painted over)
    bx, by = BOX_ART_POS
    rounded_panel(img, ((bx - 7) * SS, (by - 7) * SS, (bx + 111 + 7) * SS, (by + 151 + 7) * SS), 8 * SS,
                  GOLD, GOLD_DARK, (90, 40, 0), SS)
    d = ImageDraw.Draw(img)
    d.rectangle(((bx - 2) * SS, (by - 2) * SS, (bx + 111 + 2) * SS, (by + 151 + 2) * SS), fill=(20, 6, 30))
    px, py = BUTTON_POS
    rounded_panel(img, ((px - 5) * SS, (py - 5) * SS, (px + 101 + 5) * SS, (py + 59 + 5) * SS), 6 * SS,
                  (90, 70, 120), (40, 26, 60), (10, 4, 20), SS)
    qx, qy = QUIT_POS
    rounded_panel(img, ((qx - 4) * SS, (qy - 3) * SS, (qx + 79 + 4) * SS, (qy + 43 + 3) * SS), 6 * SS,
                  (90, 70, 120), (40, 26, 60), (10, 4, 20), SS)
    # the product boxes, on little podium shadows
    for title, l, t, r, b in HOT_SPOTS:
        spot_w = r - l
        bw = min(spot_w - 12, 50)
        bh = int(bw * 1.3)
        box = product_box(bw, bh, title, False).resize((bw * SS, bh * SS), Image.LANCZOS)
        bx0 = (l + (spot_w - bw) // 2) * SS
        by0 = (t + 6) * SS
        shadow = Image.new("L", (W, H), 0)
        ImageDraw.Draw(shadow).ellipse((bx0 - 2 * SS, by0 + bh * SS - 4 * SS, bx0 + (bw + 4) * SS,
                                        by0 + bh * SS + 6 * SS), fill=200)
        img.paste(Image.new("RGB", (W, H), (0, 0, 0)), (0, 0),
                  shadow.filter(ImageFilter.GaussianBlur(3 * SS)).point(lambda v: v * 7 // 10))
        img.paste(box, (bx0, by0), box)
    img = img.resize((w, h), Image.LANCZOS)

    # the series logo, top left
    logo = logo_layer("Quibbix", 52, (255, 246, 140), (255, 128, 16), (60, 8, 40), 4, angle=5)
    if logo.width > 192:
        logo = logo.resize((192, logo.height * 192 // logo.width), Image.LANCZOS)
    paste_with_shadow(img, logo, (104 - logo.width // 2, 26), 4, 3)
    d = ImageDraw.Draw(img)
    draw_text_centred(d, 104, 104, "THE QUIZ SHOW", font(SANS_BOLD, 15), (255, 255, 255), 2, (60, 8, 60))
    draw_text_centred(d, 104, 122, "WITH A BIG MOUTH", font(SANS_BOLD, 15), (255, 255, 255), 2, (60, 8, 60))
    # a big glowing question mark beside the button
    q = logo_layer("?", 120, (140, 240, 255), (40, 120, 255), (10, 20, 70), 5, angle=-12)
    paste_with_shadow(img, q, (460, 28), 5, 4)
    # invitations
    shadowed_text(img, 378, 142, "Pick a button.", font(SERIF_BOLD, 13), (255, 236, 120), 1, (30, 8, 40))
    shadowed_text(img, 378, 158, "We dare you.", font(SERIF_BOLD, 13), (255, 236, 120), 1, (30, 8, 40))
    shadowed_text(img, 104, 166, "NOW SHOWING", font(SANS_BOLD, 16), GOLD, 2, (60, 8, 40))
    shadowed_text(img, 104, 188, "the whole family", font(SERIF_BOLD, 12), (255, 255, 255), 1, (30, 8, 40))
    shadowed_text(img, 310, 243, "Click a box to learn more", font(SERIF_BOLD, 13), (255, 255, 255), 1,
                  (30, 8, 40))
    # captions under the small boxes, each inside its clickable place
    d = ImageDraw.Draw(img)
    for title, l, t, r, b in HOT_SPOTS:
        lines = EDITIONS[title][0]
        cx = (l + r) // 2
        top = 361 if len(lines) == 1 else 354
        for line in lines:
            fnt = fit_font(COND_BOLD, line, r - l - 4, 11, 1)
            draw_text_centred(d, cx, top, line, fnt, (255, 240, 160), 1, (20, 4, 30))
            top += 12
    # small print along the floor
    put_text(d, (10, 400), "\u00a9 Fennwick. All rights reserved.", font(SANS_BOLD, 9), (150, 120, 190))
    return img


# ---------------------------------------------------------------- buttons

LABEL_GREY = (176, 176, 184)
LABEL_GREEN = (96, 255, 96)
LABEL_ACTIVE = (60, 220, 60)


def button_frame(size, label, look):
    w, h = size
    W, H = w * SS, h * SS
    img = Image.new("RGB", (W, H), (16, 6, 28))
    d = ImageDraw.Draw(img)
    r = 8 * SS
    pressed = look == 1
    if look == 2:
        face_top, face_bottom = (86, 64, 130), (40, 24, 70)
    else:
        face_top, face_bottom = (74, 66, 96), (30, 24, 46)
    if pressed:
        face_top, face_bottom = face_bottom, mix(face_top, (0, 0, 0), 0.2)
    mask = Image.new("L", (W, H), 0)
    ImageDraw.Draw(mask).rounded_rectangle((SS, SS, W - SS - 1, H - SS - 1), r, fill=255)
    img.paste(vertical_gradient((W, H), face_top, face_bottom), (0, 0), mask)
    light, shade = (190, 180, 220), (8, 4, 16)
    if pressed:
        light, shade = shade, (120, 110, 150)
    # bevel: light on the top-left, shade on the bottom-right
    d.rounded_rectangle((SS, SS, W - SS - 1, H - SS - 1), r, outline=shade, width=2 * SS)
    d.arc((SS, SS, SS + 2 * r, SS + 2 * r), 180, 270, fill=light, width=2 * SS)
    d.line((SS + r, SS, W - SS - r, SS), fill=light, width=2 * SS)
    d.line((SS, SS + r, SS, H - SS - r), fill=light, width=2 * SS)
    if look in (2, 3):
        glow = Image.new("L", (W, H), 0)
        ImageDraw.Draw(glow).rounded_rectangle((4 * SS, 4 * SS, W - 4 * SS, H - 4 * SS), r, outline=150,
                                                 width=2 * SS)
        glow = glow.filter(ImageFilter.GaussianBlur(2 * SS))
        img.paste(Image.new("RGB", (W, H), (80, 255, 120) if look == 3 else (40, 200, 70)), (0, 0), glow)
    img = img.resize(size, Image.LANCZOS)
    d = ImageDraw.Draw(img)
    shift = 1 if pressed else 0
    if look == 0:
        colour, stroke, stroke_fill = LABEL_GREY, 0, None
    elif look == 2:
        colour, stroke, stroke_fill = LABEL_ACTIVE, 2, (0, 40, 0)
    else:
        colour, stroke, stroke_fill = LABEL_GREEN, 0, None
    if len(label) == 1:
        fnt = font(SANS_BOLD, 17)
        _, th, _ = text_size(label[0], fnt, stroke)
        top = (h - th) // 2 + shift
        shadowed_text(img, w // 2 + shift, top, label[0], fnt, colour, stroke, stroke_fill, 1, 1)
    else:
        big = fit_font(SANS_BOLD, label[0], w - 14, 16, stroke)
        small = fit_font(SANS_BOLD, label[1], w - 16, 11, stroke)
        _, th1, _ = text_size(label[0], big, stroke)
        _, th2, _ = text_size(label[1], small, stroke)
        top = (h - th1 - th2 - 5) // 2 + shift
        shadowed_text(img, w // 2 + shift, top, label[0], big, colour, stroke, stroke_fill, 1, 1)
        shadowed_text(img, w // 2 + shift, top + th1 + 5, label[1], small, colour, stroke, stroke_fill, 1, 1)
    return img


# ---------------------------------------------------------------- info background

def info_background():
    """A light paper with a soft border: black text must read anywhere on it."""
    w, h = INFO_SIZE
    img = vertical_gradient((w, h), (255, 250, 232), (246, 232, 200))
    add_glow(img, (w // 2, h // 3), 330, (255, 255, 246), 0.6)
    d = ImageDraw.Draw(img)
    d.rectangle((3, 3, w - 4, h - 4), outline=(222, 176, 96), width=3)
    d.rectangle((9, 9, w - 10, h - 10), outline=(236, 206, 140), width=1)
    # faint question marks in the corners
    fnt = font(SERIF_BOLD, 40)
    for (x, y) in ((16, 12), (w - 44, 12), (16, h - 62), (w - 44, h - 62)):
        put_text(d, (x, y), "?", fnt, (240, 222, 180))
    return img


# ---------------------------------------------------------------- palette

def palette_of(images, count):
    """A count-colour table that suits the given true-colour pictures."""
    total_w = max(i.width for i in images)
    total_h = sum(i.height for i in images)
    sheet = Image.new("RGB", (total_w, total_h))
    y = 0
    for i in images:
        sheet.paste(i, (0, y))
        y += i.height
    q = sheet.quantize(colors=count, method=Image.Quantize.MEDIANCUT, kmeans=2, dither=Image.Dither.NONE)
    pal = q.getpalette()[:count * 3]
    colours = [tuple(pal[i * 3:i * 3 + 3]) for i in range(count)]
    # a stable order: by brightness, then by value
    return sorted(colours, key=lambda c: (c[0] * 299 + c[1] * 587 + c[2] * 114, c))


def map_to_table(img, table, dither):
    """Pixel indices of img on the given colour table (all entries used)."""
    pal_img = Image.new("P", (1, 1))
    flat = []
    for c in table:
        flat.extend(c)
    # unused slots repeat the first colour; any pixel that lands on one is
    # moved back to index 0 below
    flat.extend(table[0] * (256 - len(table)))
    pal_img.putpalette(flat)
    q = img.quantize(palette=pal_img, dither=Image.Dither.FLOYDSTEINBERG if dither else Image.Dither.NONE)
    data = q.tobytes()
    if len(table) < 256:
        data = data.translate(bytes(i if i < len(table) else 0 for i in range(256)))
    return data


# ---------------------------------------------------------------- file formats

def dib_bytes(width, height, table, pixels, bits=8):
    """A packed DIB: header, colour table, bottom-up rows padded to 4 bytes."""
    row = ((width * bits + 31) // 32) * 4
    rows = []
    for y in range(height - 1, -1, -1):
        if bits == 8:
            line = pixels[y * width:(y + 1) * width]
        else:
            line = bytes(pixels[y])
        rows.append(line + b"\0" * (row - len(line)))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, row * height, 0, 0, len(table), 0)
    colours = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in table)
    return header + colours + b"".join(rows)


def bmp_file(dib):
    offset = 14 + 40 + struct.unpack_from("<I", dib, 32)[0] * 4
    return b"BM" + struct.pack("<IHHI", 14 + len(dib), 0, 0, offset) + dib


def pack_rows(indices, width, height, bits):
    """Packs per-pixel values (top row first) into rows of the given bit depth."""
    rows = []
    per_byte = 8 // bits
    for y in range(height):
        line = bytearray()
        for x0 in range(0, width, per_byte):
            v = 0
            for k in range(per_byte):
                v = (v << bits) | indices[y * width + x0 + k]
            line.append(v)
        rows.append(bytes(line))
    return rows


def icon_image(rgba, size, bits, table):
    """An icon image: header with doubled height, colour table, colour pixels, AND mask."""
    img = rgba.resize((size, size), Image.LANCZOS)
    # a clean round outline at the final size; edge pixels take the rim colour
    alpha = Image.new("L", (size, size), 0)
    ImageDraw.Draw(alpha).ellipse((0, 0, size - 1, size - 1), fill=255)
    flat = Image.new("RGB", img.size, ICON_RIM)
    flat.paste(img.convert("RGB"), (0, 0), img.getchannel("A"))
    indices = map_to_table(flat, table, False)
    opaque = alpha.tobytes()
    indices = bytes(indices[i] if opaque[i] else 0 for i in range(size * size))
    if bits == 8:
        colour_rows = [indices[y * size:(y + 1) * size] for y in range(size)]
    else:
        colour_rows = pack_rows(indices, size, size, 4)
    mask_rows = pack_rows([0 if opaque[i] else 1 for i in range(size * size)], size, size, 1)
    return image_with_mask(size, bits, table, colour_rows, mask_rows)


def image_with_mask(size, bits, table, colour_rows, mask_rows):
    def padded(line, bits_per_pixel):
        row = ((size * bits_per_pixel + 31) // 32) * 4
        return line + b"\0" * (row - len(line))
    colour = b"".join(padded(r, bits) for r in reversed(colour_rows))
    mask = b"".join(padded(r, 1) for r in reversed(mask_rows))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(colour) + len(mask), 0, 0,
                         0, 0)
    colours = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in table)
    return header + colours + colour + mask


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
         (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
         (255, 0, 255), (0, 255, 255), (255, 255, 255)]


ICON_RIM = (60, 10, 110)


def icon_emblem(size):
    """The "Q" emblem of the icon, drawn large with an alpha channel."""
    S = size
    img = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.ellipse((S * 0.03, S * 0.03, S * 0.97, S * 0.97), fill=ICON_RIM + (255,))
    d.ellipse((S * 0.09, S * 0.09, S * 0.91, S * 0.91), fill=(255, 200, 30, 255))
    d.ellipse((S * 0.09, S * 0.09, S * 0.91, S * 0.91), outline=(255, 240, 140, 255), width=max(1, S // 40))
    fnt = font(SANS_BOLD, int(S * 0.72))
    w, h, bb = text_size("Q", fnt)
    put_text(d, ((S - w) / 2 - bb[0], (S - h) / 2 - bb[1] - S * 0.02), "Q", fnt, (90, 10, 140, 255))
    return img


def icon_files():
    big = icon_emblem(256)
    table256 = palette_of([big.convert("RGB").resize((64, 64), Image.LANCZOS)], 240)
    table256 = table256 + [table256[0]] * 16
    images = {
        2: icon_image(big, 16, 8, table256),
        3: icon_image(big, 32, 8, table256),
        4: icon_image(big, 32, 4, VGA16),
        5: icon_image(big, 16, 4, VGA16),
    }
    entries = [(2, 16, 0, 8), (3, 32, 0, 8), (4, 32, 16, 4), (5, 16, 16, 4)]
    group = struct.pack("<HHH", 0, 1, len(entries))
    for rid, size, count, bits in entries:
        group += struct.pack("<BBBBHHIH", size, size, count, 0, 1, bits, len(images[rid]), rid)
    return images, group


CURSOR_HOT_SPOT = (11, 6)


def cursor_files():
    """A white question mark with a black outline, hot spot on the tip of its hook."""
    size = 32
    fnt = font(SANS_BOLD, 26)
    glyph = Image.new("L", (size, size), 0)
    w, h, bb = text_size("?", fnt)
    put_text(ImageDraw.Draw(glyph), (9 - bb[0], 7 - bb[1]), "?", fnt, 255)
    white = glyph.point(lambda v: 255 if v >= 110 else 0)
    outline = white.filter(ImageFilter.MaxFilter(3))
    wb, ob = white.tobytes(), outline.tobytes()
    # AND 0, XOR 1: white; AND 0, XOR 0: black; AND 1, XOR 0: see-through
    xor = [1 if wb[i] else 0 for i in range(size * size)]
    andm = [0 if ob[i] else 1 for i in range(size * size)]
    image = image_with_mask(size, 1, [(0, 0, 0), (255, 255, 255)], pack_rows(xor, size, size, 1),
                            pack_rows(andm, size, size, 1))
    data = struct.pack("<HH", *CURSOR_HOT_SPOT) + image
    group = struct.pack("<HHH", 0, 2, 1) + struct.pack("<HHHHIH", size, size * 2, 1, 1, len(data), 1)
    return data, group


# ---------------------------------------------------------------- output

BITMAP_NAMES = {
    110: "menu", 115: "box_reelies", 116: "box_jocko", 117: "box_whirl", 118: "box_glim",
    119: "box_volume1", 120: "box_volume2", 121: "box_volume3", 155: "box_nodial", 161: "box_brasher",
    122: "install_activated", 123: "install_pressed", 124: "install_focused", 125: "install_normal",
    126: "play_normal", 127: "play_pressed", 128: "play_focused", 129: "play_activated",
    130: "chat_install_activated", 131: "chat_install_pressed", 132: "chat_install_focused",
    133: "chat_install_normal", 134: "chat_play_normal", 135: "chat_play_pressed",
    136: "chat_play_focused", 137: "chat_play_activated",
    138: "quit_normal", 139: "quit_pressed", 140: "quit_focused", 141: "quit_activated",
    148: "info_background",
}


def render_all():
    pictures = {110: menu_picture()}
    for rid, title, size in BOX_ART_IDS:
        pictures[rid] = box_art(size, title, (46, 14, 78), (16, 4, 34))
    for rid, (label, look) in FRAMES.items():
        pictures[rid] = button_frame(QUIT_SIZE if label == QUIT_LABEL else FRAME_SIZE, label, look)
    pictures[148] = info_background()
    return pictures


def shared_table(pictures):
    """The 256 colours of the menu picture, which every picture maps onto.

    The button colours come first, so that the Quit frames, whose tables are
    shorter, find all they need near the start.
    """
    buttons = [pictures[i] for i in sorted(FRAMES)]
    rest = [pictures[110]] + [pictures[rid] for rid, _, _ in BOX_ART_IDS]
    table = palette_of(buttons, 48)
    for c in palette_of(rest, 256 - len(table)):
        if c not in table:
            table.append(c)
    # a few spare entries, should the two halves share a colour
    spare = 0
    while len(table) < 256:
        table.append(mix(STAGE_TOP, STAGE_BOTTOM, spare / 8.0))
        spare += 1
    return table


def main(argv):
    global _lettering
    import argparse
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(
        prog="generate.py", description="The text is drawn from the stored lettering (lettering.json and "
        "lettering.png), so that every system draws the same pictures.")
    parser.add_argument("output", nargs="?", default=os.path.join(here, "..", "..", "resources", "art"),
                        help="where the pictures go (default: resources/art)")
    parser.add_argument("--lettering", default=here, metavar="FOLDER",
                        help="the folder of the stored lettering (default: beside this tool)")
    parser.add_argument("--render-text", action="store_true",
                        help="draw the text with this system's FreeType instead, and write the lettering "
                        "folder afresh: after changing any text, on Debian 12, whose Pillow and FreeType "
                        "drew the committed pictures")
    args = parser.parse_args(argv[1:])
    out, render = args.output, args.render_text
    os.makedirs(out, exist_ok=True)
    _lettering = lettering.Store(args.lettering, render, FONT_DIR)
    pictures = render_all()
    table = shared_table(pictures)
    files = {}
    for rid, img in sorted(pictures.items()):
        count = COLOUR_COUNTS.get(rid, 256)
        own = table[:count] if rid != 148 else palette_of([img], 18)
        pixels = map_to_table(img, own, False)
        files[BITMAP_NAMES[rid] + ".bmp"] = bmp_file(dib_bytes(img.width, img.height, own, pixels))
    icons, icon_group = icon_files()
    for rid, name in ((2, "icon16_8bit"), (3, "icon32_8bit"), (4, "icon32_4bit"), (5, "icon16_4bit")):
        files[name + ".bin"] = icons[rid]
    files["icon_group.bin"] = icon_group
    cursor, cursor_group = cursor_files()
    files["cursor32.bin"] = cursor
    files["cursor_group.bin"] = cursor_group
    for name, data in sorted(files.items()):
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    if render:
        _lettering.save()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
