#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into the folder given (one subfolder a target):
small valid examples made here, plus the bundled data files each reader takes."""
import os
import shutil
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def put(folder, name, content):
    os.makedirs(folder, exist_ok=True)
    mode = 'wb' if isinstance(content, bytes) else 'w'
    with open(os.path.join(folder, name), mode) as f:
        f.write(content)


def copy(folder, *paths):
    os.makedirs(folder, exist_ok=True)
    for p in paths:
        shutil.copy(os.path.join(ROOT, p), folder)


def png(w, h):
    rows = b''.join(b'\0' + b''.join(bytes((x * 60 % 256, y * 60 % 256, 128, 200)) for x in range(w))
                    for y in range(h))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b''))


def bmp(w, h):
    stride = (w * 3 + 3) & ~3
    pixels = b''.join(b''.join(bytes((x * 50 % 256, y * 50 % 256, 90)) for x in range(w)).ljust(stride, b'\0')
                      for y in range(h))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def bmp_indexed(w, h, bits, top_down):
    """A palette BMP of `bits` per pixel (1, 4 or 8), rows padded to 4 bytes."""
    colours = 1 << bits
    stride = (w * bits + 31) // 32 * 4
    rows = []
    for y in range(h):
        value = 0
        for x in range(w):
            value = (value << bits) | ((x + y * 3) % colours)
        packed = value << (stride * 8 - w * bits)
        rows.append(packed.to_bytes(stride, 'big'))
    if not top_down:
        rows.reverse()
    pixels = b''.join(rows)
    palette = b''.join(bytes((i * 37 % 256, i * 91 % 256, i * 13 % 256, 0)) for i in range(colours))
    offset = 54 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, w, -h if top_down else h, 1, bits, 0, len(pixels), 2835, 2835, colours, 0)
    return header + info + palette + pixels


def bmp_rle(w, h, bits):
    """A run-length BMP (RLE8 or RLE4) with every kind of item: encoded and absolute runs (one odd
    length, so padded), a delta, ends of line and the end of the image."""
    palette = b''.join(bytes((i * 37 % 256, i * 91 % 256, i * 13 % 256, 0)) for i in range(1 << bits))
    pair = 0x21 if bits == 4 else 1
    absolute = bytes((0x12, 0x31, 0x20)) if bits == 4 else bytes((1, 2, 3, 1, 2))
    stream = b''
    for y in range(h):
        if y == 1:
            stream += bytes((0, 2, 1, 1))  # a delta: one right, one up
            continue
        stream += bytes((2, pair)) + bytes((0, 5)) + absolute + b'\0' + bytes((w - 7 if w > 7 else 1, pair))
        stream += b'\0\0'
    stream += b'\0\1'
    offset = 54 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(stream), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, 1 if bits == 8 else 2, len(stream), 0, 0, 0, 0)
    return header + info + palette + stream


def bmp_os2(w, h):
    """An OS/2 1.x BMP: a 12-byte header and 256 three-byte palette entries, every index used."""
    stride = (w + 3) & ~3
    pixels = b''.join(bytes((255 - (x + y * w) % 256) for x in range(w)).ljust(stride, b'\0') for y in range(h))
    palette = b''.join(bytes((i, 255 - i, i // 2)) for i in range(256))
    offset = 26 + len(palette)
    return struct.pack('<2sIHHIIHHHH', b'BM', offset + len(pixels), 0, 0, offset, 12, w, h, 1, 8) + palette + pixels


def bmp_fields(w, h, bits, alpha):
    """A BMP of 16 or 32 bits with bit fields, and an alpha mask (BI_ALPHABITFIELDS) if asked; with
    a two-entry palette before the pixels, which truecolour files may carry."""
    masks = (0xF800, 0x7E0, 0x1F, 0) if bits == 16 else (0xFF0000, 0xFF00, 0xFF, 0xFF000000)
    table = struct.pack('<IIII' if alpha else '<III', *(masks if alpha else masks[:3])) + bytes(8)
    stride = (w * bits // 8 + 3) & ~3
    pixels = b''.join(b''.join(((x * 977 + y * 131) & 0xFFFFFFFF).to_bytes(4, 'little')[:bits // 8]
                               for x in range(w)).ljust(stride, b'\0') for y in range(h))
    offset = 54 + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, w, -h, 1, bits, 6 if alpha else 3, len(pixels), 0, 0, 2, 0)
    return header + info + table + pixels


def tga(w, h):
    header = struct.pack('<BBBHHBHHHHBB', 0, 0, 2, 0, 0, 0, 0, 0, w, h, 32, 8)
    return header + b''.join(bytes((x * 40 % 256, y * 40 % 256, 30, 255)) for y in range(h) for x in range(w))


def dds_rgb(w, h, bits):
    masks = (0xff0000, 0xff00, 0xff, 0xff000000 if bits == 32 else 0)
    flags = 0x40 | (0x1 if bits == 32 else 0)
    pf = struct.pack('<II4sIIIII', 32, flags, b'\0\0\0\0', bits, *masks)
    header = struct.pack('<IIIIIII', 124, 0x100f, h, w, w * bits // 8, 0, 1) + b'\0' * 44 + pf
    header += struct.pack('<IIIII', 0x1000, 0, 0, 0, 0)
    return b'DDS ' + header + \
        bytes((i * 7) % 256 for i in range(w * h * bits // 8))


def binary_x():
    out = bytearray(b'xof 0302bin 0032')

    def word(v): out.extend(struct.pack('<H', v))
    def dword(v): out.extend(struct.pack('<I', v))
    def name(n): word(1); dword(len(n)); out.extend(n.encode())
    def ints(*v): word(6); dword(len(v)); [dword(x) for x in v]
    def floats(*v): word(7); dword(len(v)); [out.extend(struct.pack('<f', x)) for x in v]
    name('Mesh'); name('Tri'); word(10)
    ints(3); floats(0, 0, 0, 1, 0, 0, 0, 1, 0); ints(1); ints(3, 0, 1, 2)
    name('MeshMaterialList'); word(10); ints(1, 1, 0)
    name('Material'); word(10); floats(1, 1, 1, 1, 2, 0, 0, 0, 0, 0, 0)
    name('TextureFilename'); word(10); word(2); dword(7); out.extend(b'tri.dds'); dword(20); word(11)
    word(11); word(11); word(11)
    return bytes(out)


def referenced_x():
    """A mesh of 16 faces of 1,024 corners placed again by 8,000 references: 130 million
    triangles from under 64 KB, unless the reader bounds what a file produces."""
    face = '1024;' + ','.join(str(c % 3) for c in range(1024)) + ';'
    mesh = 'Mesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 16; ' + ','.join([face] * 16) + '; }\n'
    return 'xof 0302txt 0032\n' + mesh + 'Frame F {\n' + '{M}' * 8000 + '\n}\n'


def compressed_x(plain, block_size):
    """The compressed form of a whole .x file: blocks of raw deflate, each continuing the output
    of the ones before it."""
    body = plain[16:]
    out = bytearray(plain[:8] + (b'tzip' if plain[8:12] == b'txt ' else b'bzip') + plain[12:16])
    out.extend(struct.pack('<I', len(plain)))
    for pos in range(0, len(body), block_size):
        block = body[pos:pos + block_size]
        history = body[max(0, pos - 32768):pos]
        z = zlib.compressobj(9, zlib.DEFLATED, -15, zdict=history) if history else zlib.compressobj(9, zlib.DEFLATED, -15)
        packed = z.compress(block) + z.flush()
        out.extend(struct.pack('<HH', len(block), len(packed) + 2) + b'CK' + packed)
    return bytes(out)


def coloured_x():
    return ('xof 0302txt 0032\nMesh { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; 2; 3;0,1,2;, 3;0,2,3;;\n'
            ' MeshNormals { 1; 0;0;-1;; 2; 3;0,0,0;, 3;0,0,0;; }\n'
            ' MeshVertexColors { 3; 0;1;0;0;1;, 1;0;1;0;1;, 3;0;0;1;0.5;; }\n}\n')


def script_body(path):
    with open(os.path.join(ROOT, path), encoding='latin-1') as f:
        lines = [l for l in f.read().splitlines() if not l.startswith('[') and not l.startswith('//')]
    return '\n'.join(l.replace('Log(', 'ReportValue(') for l in lines) + '\n'


def main():
    out = sys.argv[1]
    copy(os.path.join(out, 'inifile_fuzz'), 'data/Global/game.txt', 'data/Global/Control.txt', 'data/GlobalFonts.txt')
    put(os.path.join(out, 'inifile_fuzz'), 'keys.txt',
        'top = 1\n[first]\n  name = Alpha  // note\nCount=3\r\n\n[Second]\nNAME=b=c\n[x]y]\n')
    put(os.path.join(out, 'inifile_fuzz'), 'headers.txt',
        '[A]\nname=1\n[a]\nname=2\n [b]\nname=3\n[c] // x\nname=4\n[c];\n[]\nname=5\n'
        '[d]\nlist=[1,2]\nname=6\n]e[\n[D]\nname=7\n[d]\n')
    put(os.path.join(out, 'inifile_fuzz'), 'numbered.txt',
        '[list]\nname1=a\nheight1 = h.bmp ;\nNAME1=again\n\n// name2=x\nname2=b // c\n  name3\t=\tc\n'
        'name=\n=v\n[other]\nname1=o\n')
    copy(os.path.join(out, 'consttable_fuzz'), 'data/Global/game.txt', 'data/Global/Control.txt')
    put(os.path.join(out, 'consttable_fuzz'), 'numbers.txt', '[n]\nA := 1.5\nB = -2e3\nC := text here\n=\n')
    copy(os.path.join(out, 'fonts_fuzz'), 'data/GlobalFonts.txt')
    copy(os.path.join(out, 'image_fuzz'), 'data/Models/crate.dds', 'data/Models/pyramid.dds')
    put(os.path.join(out, 'image_fuzz'), 'small.png', png(5, 3))
    put(os.path.join(out, 'image_fuzz'), 'small.bmp', bmp(5, 3))
    put(os.path.join(out, 'image_fuzz'), 'small.tga', tga(4, 3))
    put(os.path.join(out, 'image_fuzz'), 'rgb24.dds', dds_rgb(4, 2, 24))
    put(os.path.join(out, 'image_fuzz'), 'rgb32.dds', dds_rgb(2, 3, 32))
    put(os.path.join(out, 'image_fuzz'), 'palette.bmp', bmp_indexed(5, 3, 8, top_down=False))
    put(os.path.join(out, 'image_fuzz'), 'mono.bmp', bmp_indexed(9, 2, 1, top_down=True))
    put(os.path.join(out, 'image_fuzz'), 'nibbles.bmp', bmp_indexed(3, 3, 4, top_down=False))
    put(os.path.join(out, 'image_fuzz'), 'rle8.bmp', bmp_rle(9, 4, 8))
    put(os.path.join(out, 'image_fuzz'), 'rle4.bmp', bmp_rle(10, 3, 4))
    put(os.path.join(out, 'image_fuzz'), 'os2.bmp', bmp_os2(5, 3))
    put(os.path.join(out, 'image_fuzz'), 'fields16.bmp', bmp_fields(3, 2, 16, alpha=False))
    put(os.path.join(out, 'image_fuzz'), 'alpha32.bmp', bmp_fields(2, 3, 32, alpha=True))
    # A texture: the first byte picks the budget (its low 7 bits, in 8 KB) and the release order.
    for name, image in (('small.png', png(5, 3)), ('small.bmp', bmp(5, 3)), ('small.tga', tga(4, 3)),
                        ('rgb32.dds', dds_rgb(2, 3, 32))):
        put(os.path.join(out, 'texture_fuzz'), name, b'\x81' + image)
    with open(os.path.join(ROOT, 'data/Models/crate.dds'), 'rb') as f:
        put(os.path.join(out, 'texture_fuzz'), 'crate.dds', b'\x7f' + f.read())
    copy(os.path.join(out, 'particles_fuzz'), 'data/particles/snow.txt')
    put(os.path.join(out, 'particles_fuzz'), 'small.txt',
        '[Data]\nMaxParticle=3\nParticleLife=2\nGenerateRate=2\nFadeTime=2\nGenerateProbability=1\n'
        'BoundingBox.MaxX=1\nBoundingBox.MaxY=1\nBoundingBox.MaxZ=1\nSpeedxBasic=0.3\nColor=FF102030\n')
    with open(os.path.join(ROOT, 'data/terrain/valley.txt')) as f:
        valley = f.read().replace('$\\terrain\\blocks', '$')
    for block in ('plain', 'hills', 'dunes', 'ridge'):
        valley = valley.replace(block + '.bmp', 'a.bmp' if block in ('plain', 'dunes') else 'b.bmp')
    put(os.path.join(out, 'terrain_fuzz'), 'valley.txt', valley)
    put(os.path.join(out, 'terrain_fuzz'), 'loops.txt',
        '[data]\nglobalwidthz=10\nviewboardermin=-5\nviewboardermax=40\nspeed=3\nLOD=4\n'
        '[blocklist]\nname1=A\nheight1=a.bmp\nname2=B\nheight2=b.bmp\n[order]\n[one\nA\n]\n[\nB\nA\n]\nB\n')
    copy(os.path.join(out, 'xfile_fuzz'), 'data/Models/crate.x', 'data/Models/pyramid.x')
    put(os.path.join(out, 'xfile_fuzz'), 'tri.xb', binary_x())
    put(os.path.join(out, 'xfile_fuzz'), 'references.x', referenced_x())
    put(os.path.join(out, 'xfile_fuzz'), 'coloured.x', coloured_x())
    with open(os.path.join(ROOT, 'data/Models/crate.x'), 'rb') as f:
        put(os.path.join(out, 'xfile_fuzz'), 'crate.tzip.x', compressed_x(f.read(), 512))
    put(os.path.join(out, 'xfile_fuzz'), 'tri.bzip.xb', compressed_x(binary_x(), 64))
    for name in ('arithmetic', 'calls', 'chains', 'loops', 'waits', 'loaderror'):
        put(os.path.join(out, 'script_fuzz'), name + '.txt', script_body('tests/script/scripts/%s.txt' % name))
    put(os.path.join(out, 'script_fuzz'), 'forward.txt',
        'b := 0\na := input0 + 1\nif(a > 1)\nReportValue(a)\nelseif(b)\nwait(1)\nelse\nb := a*2\nend\n'
        'wait(a)\nStartThread("main", "other")\nPauseThread("other")\nContinueThread("other")\n'
        'ReportMsg("done")\n')
    put(os.path.join(out, 'scene_fuzz'), 'scene.txt',
        '[Main]\nn := 0\nStartThread("worker", "w1")\nwhile(n < 3)\nCallFunction("sub")\nn := n + 1\nwait(1)\nend\n'
        'PauseThread("w1")\nwait(2)\nContinueThread("w1")\n'
        '[sub]\nReportValue(input0)\n'
        '[worker]\n->top\nwait(1)\nif(Random(0, 2) > 1)\ngoto top\nend\nReportMsg("worker done")\n')
    copy(os.path.join(out, 'unitdata_fuzz'), 'data/units/units.txt')
    put(os.path.join(out, 'unitdata_fuzz'), 'anims.txt',
        '[Tank]\nspeed=2\nobjscale=1.5\nanim1=SPARK\nanim2=ghost\nanim3=puff\nscript=anims.txt\n[tank]\nspeed=9\n'
        '[main]\nUnit.MoveXZ(2,1,2,100,0.1,1,0.5)\n')
    # A blank-led header lists a section no header matches; its script once loaded from a null line.
    put(os.path.join(out, 'unitdata_fuzz'), 'unmatched-section.txt', '[k]\nscript=units.txt\n []')
    copy(os.path.join(out, 'formationdata_fuzz'), 'data/units/formations.txt')
    put(os.path.join(out, 'formationdata_fuzz'), 'slots.txt',
        '[Line]\nscript=slots.txt\nunit1=TANK\noffsetx1=3\noffsetz1=4\nrandomoffsetx1=1\nrandomoffsetz1=2\n'
        'unit2=scout\noffsetx3=9\n[Broken]\nunit1=tank\nunit2=ghost\nunit3=tank\n[main]\nwait(1)\n')
    put(os.path.join(out, 'formationdata_fuzz'), 'unmatched-section.txt', ' [e]\n[]\nscript=formations.txt')
    copy(os.path.join(out, 'animation_fuzz'), 'data/scene/anim/effects.txt')
    put(os.path.join(out, 'animation_fuzz'), 'strip.txt',
        'name=strip\ntexture=group.txt\nsizex=256\nsizey=0\nMaxAnimCount=3\n'
        '[a]\nstartx=0\npicsizex=32\npicsizey=32\nRenderSizex=2\nRenderSizey=1\nframecount=8\nTimePerFrame=0\n'
        'randomposx=1\nrandomspeedz=0.5\n[none]\nframecount=0\n[A]\nframecount=1\n')
    exprs = ['1+2*3', '(a-b)/count', 'neg(a)*2 <> 3', 'input0 + input3 * (input1 >= 2)', 'Random(1, 5) + Distance(0,0,3,4)',
             '((1)', 'a==b', '-5', '1e30*1e30', 'RandomB(2)']
    for i, e in enumerate(exprs):
        put(os.path.join(out, 'expression_fuzz'), 'e%d.txt' % i, e)


if __name__ == '__main__':
    main()
