# Generates examples/sample.rtf: our own prose about notes in the margin of books.
import struct, sys

def esc(text):
    out = []
    for ch in text:
        o = ord(ch)
        if ch in '\\{}':
            out.append('\\' + ch)
        elif o < 128:
            out.append(ch)
        elif o < 256:
            out.append("\\'%02x" % o)
        else:
            v = o if o < 32768 else o - 65536
            out.append('\\u%d?' % v)
    return ''.join(out)

def inline(text):
    # **bold**, *italic* and note marks [[fn:...]] / [[en:...]]
    res = []
    i = 0
    while i < len(text):
        if text.startswith('[[fn:', i) or text.startswith('[[en:', i):
            end = text.index(']]', i)
            kind, body = text[i+2:i+4], text[i+5:end]
            alt = '\\ftnalt ' if kind == 'en' else ''
            res.append('{\\cs15\\super \\chftn}{\\footnote %s\\pard\\plain \\s16\\fs20 {\\cs15\\super \\chftn} %s}' % (alt, inline(body)))
            i = end + 2
        elif text.startswith('**', i):
            end = text.index('**', i + 2)
            res.append('{\\b ' + inline(text[i+2:end]) + '}')
            i = end + 2
        elif text.startswith('*', i):
            end = text.index('*', i + 1)
            res.append('{\\i ' + inline(text[i+1:end]) + '}')
            i = end + 1
        else:
            j = i
            while j < len(text) and not text.startswith('[[', j) and text[j] != '*':
                j += 1
            res.append(esc(text[i:j]))
            i = j
    return ''.join(res)

def picture():
    w, h = 96, 64
    header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, w * h * 3, 2835, 2835, 0, 0)
    rows = bytearray()
    for y in range(h):
        for x in range(w):
            # a sky-to-sea gradient with a sun
            dx, dy = x - 66, y - 44
            if dx * dx + dy * dy < 120:
                b, g, r = 40, 200, 250
            elif y > 26:
                b, g, r = 150 + y, 110 + y, 60
            else:
                b, g, r = 120 + 2 * y, 60 + 2 * y, 30 + y
            rows += bytes((min(b, 255), min(g, 255), min(r, 255)))
    data = (header + bytes(rows)).hex()
    lines = '\n'.join(data[k:k+128] for k in range(0, len(data), 128))
    return ('{\\pict\\dibitmap0\\picw%d\\pich%d\\picwgoal%d\\pichgoal%d\n%s}' %
            (w, h, w * 30, h * 30, lines))

paras = open(sys.argv[1], encoding='utf-8').read().strip().split('\n\n')
out = [r'''{\rtf1\ansi\ansicpg1252\deff0\deflang2057
{\fonttbl{\f0\froman\fcharset0 Times New Roman;}{\f1\fswiss\fcharset0 Arial;}}
{\colortbl;\red0\green0\blue0;\red31\green73\blue125;\red128\green128\blue128;}
{\stylesheet{\s0\f0\fs24 Normal;}{\s1\sb240\sa120\b\f1\fs32\cf2 heading 1;}{\s16\f0\fs20 footnote text;}{\*\cs15\super footnote reference;}}
{\info{\title Notes in the Margin}{\author Scrivora sample}}
\paperw11906\paperh16838\margl1440\margr1440\margt1440\margb1440\fet2
''']
for p in paras:
    p = p.strip()
    if p.startswith('# '):
        out.append('\\pard\\plain \\s1\\sb240\\sa120\\b\\f1\\fs32\\cf2 %s\\par\n' % inline(p[2:]))
    elif p == '@picture':
        out.append('\\pard\\plain \\qc\\sa120 %s\\par\n' % picture())
        out.append('\\pard\\plain \\qc\\sa240\\i\\fs20\\cf3 A small picture of the sea at evening, stored in the document as a bitmap.\\par\n')
    elif p.startswith('@table'):
        rows = [r.split('|') for r in p.split('\n')[1:]]
        for ri, row in enumerate(rows):
            out.append('\\trowd\\trgaph108\\trleft0')
            for ci in range(len(row)):
                out.append('\\clbrdrt\\brdrs\\clbrdrl\\brdrs\\clbrdrb\\brdrs\\clbrdrr\\brdrs\\cellx%d' % (3000 * (ci + 1)))
            out.append('\n')
            for cell in row:
                b = '\\b ' if ri == 0 else ''
                out.append('\\pard\\intbl\\plain \\fs22 %s%s\\cell ' % (b, inline(cell.strip())))
            out.append('\\row\n')
        out.append('\\pard\\plain \\sa120\\par\n')
    else:
        out.append('\\pard\\plain \\sa120\\qj\\f0\\fs24 %s\\par\n' % inline(p))
out.append('}')
sys.stdout.write(''.join(out))
