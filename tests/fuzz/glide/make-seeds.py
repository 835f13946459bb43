#!/usr/bin/env python3
"""Writes the hand-made seeds of fuzz-glide (tests/fuzz/seeds/glide/*.bin): short programs in the
byte language of GlideCallPlayer, one for each area of the API. The fuzzer grows the rest.
The call numbers follow GlideCallPlayer::s_apHandlers."""
import os
import struct
import sys

CALLS = ("Vertex VertexPosition Point Line Triangle Triangle2 Polygon PolygonList ClippedTriangle "
         "Clear Swap ColorCombine AlphaCombine GuCombine ConstantColor Blend AlphaTest Chromakey "
         "Depth Fog FogTable Misc Clip RenderBuffer Origin Control Hints Queries SaveState "
         "RestoreState StatePoke Reopen Shutdown LfbRead LfbWrite LfbLock LfbPoke LfbUnlock "
         "TexMemory TexDownload TexDownloadLevel TexDownloadPartial TexSource TexTable TexSampling "
         "TexCombine TexMultibase TexelPoke GuAllocate GuChange GuDownload GuSource GuQuery").split()
OP = {name: i for i, name in enumerate(CALLS)}
BOARDS = {"voodoo": 0, "voodoo2": 1, "sst96": 2, "at3d": 3}


class Program:
    def __init__(self, board="voodoo", resolution=7, guarded=True, origin=0, buffers=0, aux=1,
                 width=640, height=480):
        self.b = bytearray()
        self.w, self.h = width, height
        self.b += bytes([(BOARDS[board] << 1) | (1 if guarded else 0), resolution, 0, 0, origin,
                         buffers, aux])

    def u8(self, *values):
        self.b += bytes(v & 0xFF for v in values)

    def u16(self, v):
        self.b += struct.pack("<H", v & 0xFFFF)

    def u32(self, v):
        self.b += struct.pack("<I", v & 0xFFFFFFFF)

    def enum(self, v):
        self.u8(v)  # values below 0xE0 are taken modulo the member count

    def count(self, v):
        self.u16(v)

    def float(self, value, rng, offset=0.0):
        unit = ((value - offset) / rng + 1.0) / 2.0
        self.u8(0)
        self.u16(max(0, min(65535, int(round(unit * 65535)))))

    def call(self, name):
        self.u8(OP[name])

    def vertex(self, i, x, y, r=255, g=255, b=255, a=255, ooz=32768, oow=1.0, s=0.0, t=0.0):
        self.call("Vertex")
        self.u8(i)
        self.float(x, self.w * 0.75, self.w * 0.5)
        self.float(y, self.h * 0.75, self.h * 0.5)
        self.float(0.0, 1.0)
        for c in (r, g, b, a):
            self.float(c, 160.0, 128.0)
        self.float(ooz, 40000.0, 32768.0)
        self.float(oow, 1.0, 1.0)
        for _ in range(2):
            self.float(s, 300.0)
            self.float(t, 300.0)
            self.float(oow, 1.0, 1.0)

    def triangle(self, a, b, c, aa=0):
        self.call("Triangle")
        self.u8(a, b, c, aa)

    def quad(self, x0, y0, x1, y1, **kw):
        self.vertex(0, x0, y0, s=0, t=0, **kw)
        self.vertex(1, x1, y0, s=255, t=0, **kw)
        self.vertex(2, x1, y1, s=255, t=255, **kw)
        self.vertex(3, x0, y1, s=0, t=255, **kw)
        self.triangle(0, 1, 2)
        self.triangle(0, 2, 3)

    def clear(self, color=0x203040, alpha=0, depth=0xFFFF):
        self.call("Clear")
        self.u32(color)
        self.u8(alpha)
        self.u16(depth)

    def swap(self):
        self.call("Swap")
        self.u8(0)

    def texaddr(self, address):
        self.u8(0)
        self.u16(address >> 6)

    def texinfo(self, small, large, aspect, fmt):
        self.enum(small)
        self.enum(large)
        self.enum(aspect)
        self.enum(fmt)


def basic():
    p = Program()
    p.clear()
    p.vertex(0, 100, 80, r=255, g=0, b=0)
    p.vertex(1, 500, 120, r=0, g=255, b=0)
    p.vertex(2, 300, 400, r=0, g=0, b=255)
    p.triangle(0, 1, 2)
    p.swap()
    p.call("Misc"); p.u8(1); p.enum(1)  # dither 2x2
    p.triangle(2, 1, 0)
    return p


def textured(fmt=0xA, board="voodoo"):
    p = Program(board=board)
    p.clear()
    p.call("GuAllocate")
    p.enum(0); p.enum(3); p.count(256); p.count(256); p.enum(fmt); p.enum(1)
    p.enum(8); p.enum(0); p.enum(3); p.enum(0); p.enum(0); p.enum(1); p.enum(1)
    p.float(0.0, 4.0); p.u8(0)
    p.call("GuDownload"); p.u8(0); p.u8(1)
    p.call("GuSource"); p.u8(0)
    p.call("TexCombine"); p.u8(1); p.u8(0); p.enum(1); p.u8(1)  # guTexCombineFunction decal
    p.call("GuCombine"); p.u8(0); p.enum(4)  # decal texture
    p.quad(40, 40, 600, 440)
    p.swap()
    return p


def depth_fog_blend():
    p = Program()
    p.clear()
    p.call("Depth"); p.u8(0); p.enum(1)
    p.call("Depth"); p.u8(1); p.enum(1)
    p.call("Depth"); p.u8(2); p.u8(1)
    p.call("FogTable"); p.u8(1); p.float(0.004, 0.01); p.count(10)
    p.call("Fog"); p.u8(1); p.u8(2)
    p.call("Fog"); p.u8(0); p.u32(0x808080)
    p.call("Blend"); p.enum(1); p.enum(5); p.enum(4); p.enum(0)
    p.call("AlphaTest"); p.u8(1); p.enum(4)
    p.call("AlphaTest"); p.u8(0); p.u8(40)
    p.quad(50, 50, 400, 300, ooz=20000, a=200, oow=0.5)
    p.quad(200, 150, 590, 430, ooz=40000, a=100, oow=1.5)
    p.call("Chromakey"); p.u8(1); p.enum(1)
    p.quad(10, 10, 300, 200, ooz=60000)
    p.swap()
    return p


def lfb():
    p = Program()
    p.clear()
    p.call("LfbWrite"); p.enum(1); p.u8(0); p.count(30); p.count(40); p.count(64); p.count(32)
    p.u8(128); p.u16(0)
    p.call("LfbWrite"); p.enum(1); p.u8(5); p.count(100); p.count(100); p.count(16); p.count(16)
    p.u8(132); p.u16(1)
    p.call("LfbRead"); p.enum(1); p.count(10); p.count(10); p.count(100); p.count(50); p.u8(1); p.u8(6)
    p.call("LfbLock"); p.u8(1); p.enum(1); p.u8(0); p.u8(0); p.u8(0); p.u8(0)
    p.call("LfbPoke"); p.u16(300); p.u16(200); p.u8(40); p.u16(0xF800)
    p.call("LfbUnlock"); p.u8(1); p.enum(1)
    p.swap()
    p.call("LfbRead"); p.enum(0); p.count(0); p.count(0); p.count(640); p.count(480); p.u8(1); p.u8(0)
    return p


def state_and_reopen(guarded):
    # Unguarded, the state saved on the first board is restored on the second.
    p = Program(resolution=7, guarded=guarded)
    p.call("Clip"); [p.u8(0) or p.u16(v) for v in (0, 0, 640, 480)]
    p.call("SaveState"); p.u8(0)
    p.call("Reopen"); p.u8(2); p.u8(0); p.enum(0); p.enum(0); p.u8(0); p.enum(0); p.enum(1)
    p.w, p.h = 320, 200
    p.call("RestoreState"); p.u8(0)
    p.clear()
    p.quad(0, 0, 320, 200)
    p.swap()
    return p


def gr_textures():
    p = Program(board="voodoo2", resolution=8, width=800, height=600)
    p.clear()
    p.call("TexTable"); p.enum(0); p.u16(0); p.u8(0); p.u16(0)
    for _ in range(4):
        p.u16(0x0102)
    p.call("TexDownload"); p.enum(0); p.texaddr(0); p.enum(3); p.texinfo(8, 0, 3, 1); p.u8(0)
    p.call("TexSource"); p.enum(0); p.texaddr(0); p.enum(3); p.texinfo(8, 0, 3, 1); p.u8(0)
    p.call("TexSampling"); p.enum(0); p.u8(0); p.enum(1); p.enum(1)
    p.call("TexSampling"); p.enum(0); p.u8(2); p.enum(1); p.u8(1)
    p.call("TexDownloadLevel"); p.enum(1); p.texaddr(0x10000); p.enum(2); p.enum(2); p.enum(1)
    p.enum(0xC); p.enum(3)
    p.call("TexSource"); p.enum(1); p.texaddr(0x10000); p.enum(3); p.texinfo(2, 2, 1, 0xC); p.u8(0)
    p.call("TexCombine"); p.enum(0); p.u8(0); p.enum(3); p.enum(1); p.enum(3); p.enum(1); p.u8(0); p.u8(0)
    p.call("ColorCombine"); p.enum(3); p.enum(8); p.enum(0); p.enum(1); p.u8(0)
    p.quad(20, 20, 780, 580, oow=0.25)
    p.call("TexDownloadPartial"); p.enum(0); p.texaddr(0); p.enum(0); p.enum(0); p.enum(3); p.enum(1)
    p.enum(3); p.count(30); p.count(60)
    p.quad(100, 100, 500, 500, oow=2.0)
    p.swap()
    return p


def shapes():
    p = Program(origin=1)
    p.clear()
    p.call("Clip"); [p.u8(0) or p.u16(v) for v in (20, 30, 600, 400)]
    p.call("Misc"); p.u8(0); p.enum(1)  # cull negative
    for i, (x, y) in enumerate([(100, 100), (300, 50), (500, 150), (550, 350), (300, 450), (80, 300)]):
        p.vertex(i, x, y, r=40 * i, g=255 - 40 * i, b=128)
    p.call("Polygon"); p.count(6); p.u8(0, 1, 2, 3, 4, 5, 0, 0); p.u8(0)
    p.call("PolygonList"); p.count(5); p.u8(3)
    p.call("Line"); p.u8(0, 3, 0)
    p.call("Line"); p.u8(1, 4, 1)
    p.call("Point"); p.u8(2, 0)
    p.call("ClippedTriangle"); p.u8(0, 2, 4, 0)
    p.triangle(5, 3, 1, 0x0F)
    p.call("Origin"); p.u8(0)
    p.triangle(0, 2, 4)
    p.swap()
    return p


def each_call(fill, board="voodoo", guarded=True):
    # Every call once, with its argument bytes all one value: a start for each sub-case.
    p = Program(board=board, guarded=guarded)
    for name in CALLS:
        if name in ("Shutdown", "Reopen"):
            continue
        p.call(name)
        p.u8(*([fill] * 24))
    p.call("Reopen"); p.u8(*([fill] * 12))
    p.call("Shutdown")
    p.call("Clear"); p.u8(*([fill] * 8))
    return p


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "seeds", "glide")
    os.makedirs(out, exist_ok=True)
    seeds = {"basic": basic(), "textured-rgb565": textured(), "textured-p8": textured(5),
             "textured-yiq": textured(1, "voodoo2"), "textured-argb4444": textured(0xC),
             "depth-fog-blend": depth_fog_blend(), "lfb": lfb(),
             "state-and-reopen": state_and_reopen(True),
             "state-across-reopen": state_and_reopen(False), "gr-textures": gr_textures(),
             "shapes": shapes()}
    for fill in range(8):
        seeds["each-call-%d" % fill] = each_call(fill, ("voodoo", "voodoo2")[fill & 1], fill < 6)
    for name, program in seeds.items():
        with open(os.path.join(out, name + ".bin"), "wb") as f:
            f.write(program.b)


if __name__ == "__main__":
    main()
