"""Independent reading and making of font files for the font tests.

  font_tables.py metrics FONT [FACE]       prints "key value" lines
  font_tables.py collection OUT FAMILY FONT STYLE [FONT STYLE ...]
                                           a collection, one face per FONT,
                                           renamed to FAMILY and STYLE
  font_tables.py families OUT FONT FAMILY STYLE [FONT FAMILY STYLE ...]
                                           a collection, one face per FONT,
                                           each renamed to its own FAMILY
  font_tables.py edit OUT IN UPM ASCENT DESCENT
                                           a copy with new em size and hhea
                                           ascender and descender
  font_tables.py cff OUT IN                the printable ASCII glyphs of IN
                                           with CFF outlines
  font_tables.py matched OUT IN            IN plus composites placed by point
                                           matching at U+E000, U+E002, U+E004,
                                           each followed by its decomposition
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
    families(out, [(path, family, style) for path, style in pairs])


def families(out, faces):
    fonts = []
    for path, family, style in faces:
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


def cff(out, src):
    from fontTools.fontBuilder import FontBuilder
    from fontTools.pens.t2CharStringPen import T2CharStringPen

    font = TTFont(src)
    cmap = font.getBestCmap()
    glyphs = font.getGlyphSet()
    chars = {c: cmap[c] for c in range(32, 127) if c in cmap}
    order = [".notdef"] + sorted(set(chars.values()) - {".notdef"})
    charstrings = {}
    for name in order:
        pen = T2CharStringPen(font["hmtx"][name][0], glyphs)
        glyphs[name].draw(pen)
        charstrings[name] = pen.getCharString()
    builder = FontBuilder(font["head"].unitsPerEm, isTTF=False)
    builder.setupGlyphOrder(order)
    builder.setupCharacterMap(chars)
    builder.setupCFF("VorelleCff-Regular", {"FullName": "Vorelle Cff"}, charstrings, {})
    builder.setupHorizontalMetrics({name: font["hmtx"][name] for name in order})
    builder.setupHorizontalHeader(ascent=font["hhea"].ascent, descent=font["hhea"].descent)
    builder.setupNameTable({"familyName": "Vorelle Cff", "styleName": "Regular"})
    builder.setupOS2()
    builder.setupPost()
    builder.save(out)


def matched(out, src):
    from fontTools.ttLib.tables import ttProgram
    from fontTools.ttLib.tables._g_l_y_f import Glyph, GlyphComponent

    font = TTFont(src)
    glyf = font["glyf"]

    def component(name, x=0, y=0, points=None, scale=None):
        c = GlyphComponent()
        c.glyphName, c.flags = name, 0
        if points:
            c.firstPt, c.secondPt = points
        else:
            c.x, c.y = x, y
        if scale:
            c.transform = [[scale, 0], [0, scale]]
        return c

    def decomposed(glyph):
        coords, ends, flags = glyph.getCoordinates(glyf)
        g = Glyph()
        g.numberOfContours = len(ends)
        g.coordinates, g.endPtsOfContours = coords, ends
        g.flags = bytearray(f & 1 for f in flags)
        g.program = ttProgram.Program()
        g.program.fromBytecode(b"")
        return g

    composites = {
        "matchedDot": [component("o"), component("period", points=(5, 0))],
        "matchedHalfDot": [component("o"), component("period", points=(20, 2), scale=0.5)],
        "matchedNested": [component("matchedDot", x=300), component("period", points=(30, 1))],
    }
    advance = font["hmtx"]["o"][0] + 600
    for code, (name, components) in zip((0xE000, 0xE002, 0xE004), composites.items()):
        g = Glyph()
        g.numberOfContours, g.components = -1, components
        glyf[name] = g
        glyf[name + "Flat"] = decomposed(g)
        for n, c in ((name, code), (name + "Flat", code + 1)):
            font["hmtx"][n] = (advance, 0)
            for table in font["cmap"].tables:
                if table.isUnicode():
                    table.cmap[c] = n
    font.setGlyphOrder(glyf.glyphOrder)
    font.save(out)


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "metrics":
        metrics(args[0], int(args[1]) if len(args) > 1 else 0)
    elif command == "collection":
        collection(args[0], args[1], list(zip(args[2::2], args[3::2])))
    elif command == "families":
        families(args[0], list(zip(args[1::3], args[2::3], args[3::3])))
    elif command == "edit":
        edit(args[0], args[1], int(args[2]), int(args[3]), int(args[4]))
    elif command == "cff":
        cff(args[0], args[1])
    elif command == "matched":
        matched(args[0], args[1])
    else:
        sys.exit("unknown command " + command)
