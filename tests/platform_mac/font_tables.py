"""Independent reading and making of font files for the font tests.

  font_tables.py metrics FONT [FACE]       prints "key value" lines
  font_tables.py collection OUT FAMILY FONT STYLE [FONT STYLE ...]
                                           a collection, one face per FONT,
                                           renamed to FAMILY and STYLE
  font_tables.py edit OUT IN UPM ASCENT DESCENT
                                           a copy with new em size and hhea
                                           ascender and descender
"""
import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.ttCollection import TTCollection


def name(font, name_id):
    table = font["name"]
    record = table.getName(name_id, 3, 1, 0x409) or table.getName(name_id, 1, 0, 0)
    return record.toUnicode() if record else ""


def metrics(path, face=0):
    font = TTFont(path, fontNumber=face, lazy=True)
    print("unitsPerEm", font["head"].unitsPerEm)
    print("macStyle", font["head"].macStyle)
    print("ascent", font["hhea"].ascent)
    print("descent", font["hhea"].descent)
    print("lineGap", font["hhea"].lineGap)
    print("family", name(font, 1))
    print("style", name(font, 2))


def rename(font, family, style):
    table = font["name"]
    for name_id in (16, 17, 21, 22):
        table.removeNames(nameID=name_id)
    full = family + " " + style
    for name_id, text in ((1, family), (2, style), (4, full), (6, full.replace(" ", "-"))):
        table.setName(text, name_id, 3, 1, 0x409)
        table.setName(text, name_id, 1, 0, 0)


def collection(out, family, pairs):
    fonts = []
    for path, style in pairs:
        font = TTFont(path)
        rename(font, family, style)
        fonts.append(font)
    ttc = TTCollection()
    ttc.fonts = fonts
    ttc.save(out, shareTables=False)


def edit(out, src, upm, ascent, descent):
    font = TTFont(src)
    font["head"].unitsPerEm = upm
    font["hhea"].ascent = ascent
    font["hhea"].descent = descent
    font.save(out)


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "metrics":
        metrics(args[0], int(args[1]) if len(args) > 1 else 0)
    elif command == "collection":
        collection(args[0], args[1], list(zip(args[2::2], args[3::2])))
    elif command == "edit":
        edit(args[0], args[1], int(args[2]), int(args[3]), int(args[4]))
    else:
        sys.exit("unknown command " + command)
