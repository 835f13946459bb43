// Benchmarks of the software Glide's pixel pipeline.
//
// FullScreenQuad: a 640x480 quad in slight perspective, textured (256x256 RGB565, mip-mapped,
// bilinear, wrapping), Gouraud shaded, alpha blended over the frame and dithered 4x4: the path
// every pixel of the scene takes. Counters report pixels per second.
// SmallTriangles: a mesh of 8x8-pixel triangles with the same state, reporting triangles and
// pixels per second (set-up cost dominates).
#include <benchmark/benchmark.h>
#include <glide.h>
#include <cstdint>
#include <vector>

namespace
{
constexpr int Width = 640;
constexpr int Height = 480;

// Opens the board and sets the scene's pixel path: texture times iterated colour, iterated alpha,
// blending with source alpha, 4x4 dither, a bilinear mip-mapped texture.
bool OpenScenePath()
{
    grGlideInit();
    if (!grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_RGBA,
                      GR_ORIGIN_UPPER_LEFT, 2, 0))
        return false;
    std::vector<std::uint16_t> texels;
    for (int nLod = 0, nSize = 256; nLod <= 8; ++nLod, nSize /= 2)
        for (int y = 0; y < nSize; ++y)
            for (int x = 0; x < nSize; ++x)
                texels.push_back(
                    std::uint16_t(((x * 7) & 31) << 11 | ((y * 5) & 63) << 5 | ((x ^ y) & 31)));
    const GrMipMapId_t id = guTexAllocateMemory(
        GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 256, 256, GR_TEXFMT_RGB_565, GR_MIPMAP_NEAREST, GR_LOD_1,
        GR_LOD_256, GR_ASPECT_1x1, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP,
        GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR, 0.0f, FXFALSE);
    if (id == GR_NULL_MIPMAP_HANDLE)
        return false;
    guTexDownloadMipMap(id, texels.data(), nullptr);
    guTexSource(id);
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
    guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
    guAlphaSource(GR_ALPHASOURCE_ITERATED_ALPHA);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                         GR_BLEND_ZERO);
    grDitherMode(GR_DITHER_4x4);
    grBufferClear(0x204060FFu, 0, 0);
    return true;
}

GrVertex Vertex(float x, float y, float w, float s, float t, float shade)
{
    GrVertex v = {};
    v.x = x;
    v.y = y;
    v.r = shade;
    v.g = 255.0f - shade;
    v.b = 128.0f;
    v.a = 96.0f + shade / 2.0f;
    v.oow = 1.0f / w;
    v.tmuvtx[0].sow = s / w;
    v.tmuvtx[0].tow = t / w;
    v.tmuvtx[0].oow = 1.0f / w;
    return v;
}

void FullScreenQuad(benchmark::State& state)
{
    if (!OpenScenePath())
    {
        state.SkipWithError("grSstWinOpen failed");
        return;
    }
    // The far edge (top) is 1.5 times as distant as the near edge: perspective everywhere.
    const GrVertex a = Vertex(0.0f, 0.0f, 1.5f, 0.0f, 0.0f, 0.0f);
    const GrVertex b = Vertex(float(Width), 0.0f, 1.5f, 512.0f, 0.0f, 255.0f);
    const GrVertex c = Vertex(float(Width), float(Height), 1.0f, 512.0f, 384.0f, 128.0f);
    const GrVertex d = Vertex(0.0f, float(Height), 1.0f, 0.0f, 384.0f, 64.0f);
    for (auto _ : state)
    {
        grDrawTriangle(&a, &b, &c);
        grDrawTriangle(&a, &c, &d);
    }
    state.SetItemsProcessed(state.iterations() * Width * Height);
    state.counters["Mpixel/s"] = benchmark::Counter(
        double(state.iterations()) * Width * Height / 1e6, benchmark::Counter::kIsRate);
    grGlideShutdown();
}
BENCHMARK(FullScreenQuad)->Unit(benchmark::kMillisecond);

void SmallTriangles(benchmark::State& state)
{
    if (!OpenScenePath())
    {
        state.SkipWithError("grSstWinOpen failed");
        return;
    }
    // A 64x48 grid of 8x8 squares, two triangles each, 32 pixels per triangle.
    std::vector<GrVertex> vertices;
    for (int j = 0; j <= 48; ++j)
        for (int i = 0; i <= 64; ++i)
            vertices.push_back(Vertex(i * 8.0f + 0.25f, j * 8.0f + 0.25f, 1.0f + j / 96.0f,
                                      i * 4.0f, j * 4.0f, float((i * 9 + j * 5) & 255)));
    long nTriangles = 0;
    for (auto _ : state)
    {
        for (int j = 0; j < 48; ++j)
            for (int i = 0; i < 64; ++i)
            {
                const GrVertex* p = &vertices[size_t(j * 65 + i)];
                grDrawTriangle(p, p + 1, p + 66);
                grDrawTriangle(p, p + 66, p + 65);
            }
        nTriangles += 64 * 48 * 2;
    }
    state.counters["Mtri/s"] =
        benchmark::Counter(double(nTriangles) / 1e6, benchmark::Counter::kIsRate);
    state.counters["Mpixel/s"] =
        benchmark::Counter(double(nTriangles) * 32.0 / 1e6, benchmark::Counter::kIsRate);
    grGlideShutdown();
}
BENCHMARK(SmallTriangles)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
