// RecordingGlideApi.cpp - every entry point of glide.h, recording its call (RecordingGlide.h).
// The plain entry points only record; the queries below the recorder answer from the settings.
#include "RecordingGlide.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

namespace
{
void AddText(RecordedCall& call, const char* pchText)
{
    if (call.args.size() > 1)
    {
        call.text += ',';
    }
    call.text += pchText;
}

// A C string (a file or movie name): kept by value and quoted in the text.
void AddArg(RecordedCall& call, const char* pchValue)
{
    call.args.push_back(pchValue != nullptr ? 1.0 : 0.0);
    call.pointers.push_back(pchValue);
    call.strings.push_back(pchValue != nullptr ? pchValue : "");
    AddText(call, pchValue != nullptr ? ("\"" + std::string(pchValue) + "\"").c_str() : "null");
}

// Any other pointer: kept, shown only as null or not.
template <class T> void AddArg(RecordedCall& call, T* pValue)
{
    call.args.push_back(pValue != nullptr ? 1.0 : 0.0);
    call.pointers.push_back(static_cast<const void*>(pValue));
    AddText(call, pValue != nullptr ? "ptr" : "null");
}

void AddArg(RecordedCall& call, GrErrorCallbackFnc_t pfnValue)
{
    call.args.push_back(pfnValue != nullptr ? 1.0 : 0.0);
    call.pointers.push_back(nullptr);
    AddText(call, pfnValue != nullptr ? "ptr" : "null");
}

template <class T> std::enable_if_t<std::is_integral<T>::value> AddArg(RecordedCall& call, T value)
{
    char achText[32];
    if (std::is_signed<T>::value)
    {
        std::snprintf(achText, sizeof(achText), "%lld", static_cast<long long>(value));
    }
    else
    {
        std::snprintf(achText, sizeof(achText), "%llu", static_cast<unsigned long long>(value));
    }
    call.args.push_back(static_cast<double>(value));
    AddText(call, achText);
}

template <class T>
std::enable_if_t<std::is_floating_point<T>::value> AddArg(RecordedCall& call, T value)
{
    char achText[32];
    std::snprintf(achText, sizeof(achText), "%.9g", static_cast<double>(value));
    call.args.push_back(static_cast<double>(value));
    AddText(call, achText);
}

template <class... Args> void Record(const char* pchName, Args... args)
{
    RecordedCall call;
    call.name = pchName;
    call.text = pchName;
    call.text += '(';
    // AddText puts a comma before every argument but the first: it looks at args.size()
    // after the argument's value went in.
    int aiExpand[] = {0, (AddArg(call, args), 0)...};
    (void)aiExpand;
    call.text += ')';
    RecordingGlide::Append(static_cast<RecordedCall&&>(call));
}

// Width and height of a GR_RESOLUTION_* value; 640x480 for values without a size.
void ResolutionSize(GrScreenResolution_t resolution, FxU32* pnWidth, FxU32* pnHeight)
{
    static const FxU32 s_anSize[][2] = {{320, 200},  {320, 240},   {400, 256},   {512, 384},
                                        {640, 200},  {640, 350},   {640, 400},   {640, 480},
                                        {800, 600},  {960, 720},   {856, 480},   {512, 256},
                                        {1024, 768}, {1280, 1024}, {1600, 1200}, {400, 300}};
    const bool bKnown = resolution >= 0 && resolution < 16;
    *pnWidth = bKnown ? s_anSize[resolution][0] : 640;
    *pnHeight = bKnown ? s_anSize[resolution][1] : 480;
}

void FillHardware(GrHwConfiguration* pHw)
{
    std::memset(pHw, 0, sizeof(*pHw));
    const int nType = RecordingGlide::Settings().nBoardType;
    if (nType == RecordingGlideSettings::kNoBoard)
    {
        return;
    }
    pHw->num_sst = 1;
    pHw->SSTs[0].type = nType;
    if (nType == GR_SSTTYPE_SST96)
    {
        GrSst96Config_t& sst96 = pHw->SSTs[0].sstBoard.SST96Config;
        sst96.fbRam = 2;
        sst96.nTexelfx = 1;
        sst96.tmuConfig.tmuRev = 1;
        sst96.tmuConfig.tmuRam = 2;
    }
    else if (nType == GR_SSTTYPE_AT3D)
    {
        pHw->SSTs[0].sstBoard.AT3DConfig.rev = 1;
    }
    else
    {
        GrVoodooConfig_t& voodoo = pHw->SSTs[0].sstBoard.VoodooConfig;
        voodoo.fbRam = 2;
        voodoo.fbiRev = 2;
        voodoo.nTexelfx = 1;
        voodoo.tmuConfig[0].tmuRev = 1;
        voodoo.tmuConfig[0].tmuRam = 2;
    }
}
} // namespace

// ------------------------------------------------------------------ queries that answer

FxBool FX_CALL grSstQueryBoards(GrHwConfiguration* hwConfig)
{
    Record("grSstQueryBoards", hwConfig);
    if (hwConfig != nullptr)
    {
        const bool bBoard =
            RecordingGlide::Settings().nBoardType != RecordingGlideSettings::kNoBoard;
        hwConfig->num_sst = bBoard ? 1 : 0;
    }
    return FXTRUE;
}

FxBool FX_CALL grSstQueryHardware(GrHwConfiguration* hwConfig)
{
    Record("grSstQueryHardware", hwConfig);
    if (hwConfig != nullptr)
    {
        FillHardware(hwConfig);
    }
    return RecordingGlide::Settings().nBoardType != RecordingGlideSettings::kNoBoard ? FXTRUE
                                                                                     : FXFALSE;
}

void FX_CALL grGlideGetVersion(char version[80])
{
    Record("grGlideGetVersion", version);
    if (version != nullptr)
    {
        std::snprintf(version, 80, "%s", "Glide Version 2.2 (recording)");
    }
}

void FX_CALL grGlideGetState(GrState* state)
{
    Record("grGlideGetState", state);
    if (state != nullptr)
    {
        std::memset(state, 0, sizeof(*state));
    }
}

void FX_CALL grErrorSetCallback(GrErrorCallbackFnc_t fnc)
{
    Record("grErrorSetCallback", fnc);
}

FxBool FX_CALL grSstWinOpen(unsigned long hWnd, GrScreenResolution_t screen_resolution,
                            GrScreenRefresh_t refresh_rate, GrColorFormat_t color_format,
                            GrOriginLocation_t origin_location, int num_buffers,
                            int num_aux_buffers)
{
    Record("grSstWinOpen", hWnd, screen_resolution, refresh_rate, color_format, origin_location,
           num_buffers, num_aux_buffers);
    const FxBool bResult = RecordingGlide::Settings().bWinOpenResult;
    if (bResult)
    {
        RecordingGlide::OpenResolution() = screen_resolution;
    }
    return bResult;
}

FxU32 FX_CALL grSstScreenWidth(void)
{
    Record("grSstScreenWidth");
    FxU32 nWidth = 0;
    FxU32 nHeight = 0;
    ResolutionSize(RecordingGlide::OpenResolution(), &nWidth, &nHeight);
    return nWidth;
}

FxU32 FX_CALL grSstScreenHeight(void)
{
    Record("grSstScreenHeight");
    FxU32 nWidth = 0;
    FxU32 nHeight = 0;
    ResolutionSize(RecordingGlide::OpenResolution(), &nWidth, &nHeight);
    return nHeight;
}

void FX_CALL grSstPerfStats(GrSstPerfStats_t* pStats)
{
    Record("grSstPerfStats", pStats);
    if (pStats != nullptr)
    {
        std::memset(pStats, 0, sizeof(*pStats));
    }
}

void FX_CALL grTriStats(FxU32* trisProcessed, FxU32* trisDrawn)
{
    Record("grTriStats", trisProcessed, trisDrawn);
    if (trisProcessed != nullptr)
    {
        *trisProcessed = 0;
    }
    if (trisDrawn != nullptr)
    {
        *trisDrawn = 0;
    }
}

FxBool FX_CALL grLfbLock(GrLock_t type, GrBuffer_t buffer, GrLfbWriteMode_t writeMode,
                         GrOriginLocation_t origin, FxBool pixelPipeline, GrLfbInfo_t* info)
{
    // No frame buffer to hand out: the lock fails, which callers must handle anyway.
    Record("grLfbLock", type, buffer, writeMode, origin, pixelPipeline, info);
    return FXFALSE;
}

FxBool FX_CALL grLfbReadRegion(GrBuffer_t src_buffer, FxU32 src_x, FxU32 src_y, FxU32 src_width,
                               FxU32 src_height, FxU32 dst_stride, void* dst_data)
{
    Record("grLfbReadRegion", src_buffer, src_x, src_y, src_width, src_height, dst_stride,
           dst_data);
    const RecordingGlideSettings& settings = RecordingGlide::Settings();
    if (!settings.bLfbReadResult || dst_data == nullptr)
    {
        return settings.bLfbReadResult;
    }
    for (FxU32 y = 0; y < src_height; ++y)
    {
        unsigned char* pbRow = static_cast<unsigned char*>(dst_data) + size_t(y) * dst_stride;
        for (FxU32 x = 0; x < src_width; ++x)
        {
            const FxU16 nPixel = settings.pfnLfbPixel != nullptr
                                     ? settings.pfnLfbPixel(src_x + x, src_y + y)
                                     : settings.nLfbFill;
            std::memcpy(pbRow + size_t(x) * 2, &nPixel, 2);
        }
    }
    return FXTRUE;
}

void FX_CALL grDrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c)
{
    Record("grDrawTriangle", a, b, c);
    RecordingGlide::AppendTriangle(a, b, c);
}

GrMipMapId_t FX_CALL guTexAllocateMemory(GrChipID_t tmu, FxU8 odd_even_mask, int width, int height,
                                         GrTextureFormat_t fmt, GrMipMapMode_t mm_mode,
                                         GrLOD_t smallest_lod, GrLOD_t largest_lod,
                                         GrAspectRatio_t aspect, GrTextureClampMode_t s_clamp_mode,
                                         GrTextureClampMode_t t_clamp_mode,
                                         GrTextureFilterMode_t minfilter_mode,
                                         GrTextureFilterMode_t magfilter_mode, float lod_bias,
                                         FxBool trilinear)
{
    Record("guTexAllocateMemory", tmu, odd_even_mask, width, height, fmt, mm_mode, smallest_lod,
           largest_lod, aspect, s_clamp_mode, t_clamp_mode, minfilter_mode, magfilter_mode,
           lod_bias, trilinear);
    const GrMipMapId_t handle = RecordingGlide::Settings().nAllocateResult;
    if (handle != GR_NULL_MIPMAP_HANDLE)
    {
        RecordingGlide::CountAllocation();
    }
    return handle;
}

GrMipMapId_t FX_CALL guTexGetCurrentMipMap(GrChipID_t tmu)
{
    Record("guTexGetCurrentMipMap", tmu);
    return RecordingGlide::CurrentMipMap();
}

GrMipMapInfo* FX_CALL guTexGetMipMapInfo(GrMipMapId_t mmid)
{
    Record("guTexGetMipMapInfo", mmid);
    return nullptr;
}

FxU32 FX_CALL guTexMemQueryAvail(GrChipID_t tmu)
{
    Record("guTexMemQueryAvail", tmu);
    return RecordingGlide::Settings().nTexMemAvail;
}

void FX_CALL guTexSource(GrMipMapId_t mmid)
{
    Record("guTexSource", mmid);
    RecordingGlide::CurrentMipMap() = mmid;
}

FxBool FX_CALL gu3dfGetInfo(const char* filename, Gu3dfInfo* info)
{
    Record("gu3dfGetInfo", filename, info);
    const RecordingGlideSettings& settings = RecordingGlide::Settings();
    if (settings.bGetInfoResult && info != nullptr)
    {
        info->header = settings.getInfoHeader;
        info->mem_required = settings.nGetInfoMemRequired;
    }
    return settings.bGetInfoResult;
}

FxBool FX_CALL gu3dfLoad(const char* filename, Gu3dfInfo* data)
{
    Record("gu3dfLoad", filename, data);
    const RecordingGlideSettings& settings = RecordingGlide::Settings();
    if (settings.bLoadResult && data != nullptr)
    {
        std::memset(&data->table, settings.nLoadFill, sizeof(data->table));
        if (data->data != nullptr)
        {
            std::memset(data->data, settings.nLoadFill, data->mem_required);
        }
    }
    return settings.bLoadResult;
}

FxU16 FX_CALL guEndianSwapBytes(FxU16 value)
{
    Record("guEndianSwapBytes", value);
    return static_cast<FxU16>(((value & 0xFFu) << 8) | (value >> 8));
}

FxU32 FX_CALL guEndianSwapWords(FxU32 value)
{
    Record("guEndianSwapWords", value);
    return ((value & 0xFFFFu) << 16) | ((value >> 16) & 0xFFFFu);
}

void FX_CALL guFogGenerateExp(GrFog_t fogtable[GR_FOG_TABLE_SIZE], float density)
{
    Record("guFogGenerateExp", fogtable, density);
    if (fogtable != nullptr)
    {
        std::memset(fogtable, 0, GR_FOG_TABLE_SIZE);
    }
}

void FX_CALL guFogGenerateExp2(GrFog_t fogtable[GR_FOG_TABLE_SIZE], float density)
{
    Record("guFogGenerateExp2", fogtable, density);
    if (fogtable != nullptr)
    {
        std::memset(fogtable, 0, GR_FOG_TABLE_SIZE);
    }
}

void FX_CALL guFogGenerateLinear(GrFog_t fogtable[GR_FOG_TABLE_SIZE], float nearW, float farW)
{
    Record("guFogGenerateLinear", fogtable, nearW, farW);
    if (fogtable != nullptr)
    {
        std::memset(fogtable, 0, GR_FOG_TABLE_SIZE);
    }
}

// ------------------------------------------------------------------ entry points that only record

void FX_CALL grGlideInit(void)
{
    Record("grGlideInit");
}

void FX_CALL grGlideShutdown(void)
{
    Record("grGlideShutdown");
}

void FX_CALL grGlideSetState(const GrState* state)
{
    Record("grGlideSetState", state);
}

void FX_CALL grGlideShamelessPlug(const FxBool on)
{
    Record("grGlideShamelessPlug", on);
}

void FX_CALL grSstSelect(int which_sst)
{
    Record("grSstSelect", which_sst);
}

void FX_CALL grSstWinClose(void)
{
    Record("grSstWinClose");
}

FxBool FX_CALL grSstControl(FxU32 code)
{
    Record("grSstControl", code);
    return FXTRUE;
}

FxBool FX_CALL grSstControlMode(GrControl_t mode)
{
    Record("grSstControlMode", mode);
    return FXTRUE;
}

void FX_CALL grSstOrigin(GrOriginLocation_t origin)
{
    Record("grSstOrigin", origin);
}

void FX_CALL grSstIdle(void)
{
    Record("grSstIdle");
}

FxBool FX_CALL grSstIsBusy(void)
{
    Record("grSstIsBusy");
    return FXTRUE;
}

FxU32 FX_CALL grSstStatus(void)
{
    Record("grSstStatus");
    return 0;
}

FxU32 FX_CALL grSstVideoLine(void)
{
    Record("grSstVideoLine");
    return 0;
}

FxBool FX_CALL grSstVRetraceOn(void)
{
    Record("grSstVRetraceOn");
    return FXTRUE;
}

void FX_CALL grSstResetPerfStats(void)
{
    Record("grSstResetPerfStats");
}

void FX_CALL grHints(GrHint_t hintType, FxU32 hintMask)
{
    Record("grHints", hintType, hintMask);
}

FxBool FX_CALL grCheckForRoom(FxI32 n)
{
    Record("grCheckForRoom", n);
    return FXTRUE;
}

void FX_CALL grResetTriStats(void)
{
    Record("grResetTriStats");
}

void FX_CALL grBufferClear(GrColor_t color, GrAlpha_t alpha, FxU16 depth)
{
    Record("grBufferClear", color, alpha, depth);
}

int FX_CALL grBufferNumPending(void)
{
    Record("grBufferNumPending");
    return 0;
}

void FX_CALL grBufferSwap(int swap_interval)
{
    Record("grBufferSwap", swap_interval);
}

void FX_CALL grRenderBuffer(GrBuffer_t buffer)
{
    Record("grRenderBuffer", buffer);
}

void FX_CALL grClipWindow(FxU32 minx, FxU32 miny, FxU32 maxx, FxU32 maxy)
{
    Record("grClipWindow", minx, miny, maxx, maxy);
}

void FX_CALL grColorMask(FxBool rgb, FxBool a)
{
    Record("grColorMask", rgb, a);
}

FxBool FX_CALL grLfbUnlock(GrLock_t type, GrBuffer_t buffer)
{
    Record("grLfbUnlock", type, buffer);
    return FXTRUE;
}

FxBool FX_CALL grLfbWriteRegion(GrBuffer_t dst_buffer, FxU32 dst_x, FxU32 dst_y,
                                GrLfbSrcFmt_t src_format, FxU32 src_width, FxU32 src_height,
                                FxI32 src_stride, void* src_data)
{
    Record("grLfbWriteRegion", dst_buffer, dst_x, dst_y, src_format, src_width, src_height,
           src_stride, src_data);
    return FXTRUE;
}

void FX_CALL grLfbConstantAlpha(GrAlpha_t alpha)
{
    Record("grLfbConstantAlpha", alpha);
}

void FX_CALL grLfbConstantDepth(FxU16 depth)
{
    Record("grLfbConstantDepth", depth);
}

void FX_CALL grLfbWriteColorFormat(GrColorFormat_t colorFormat)
{
    Record("grLfbWriteColorFormat", colorFormat);
}

void FX_CALL grLfbWriteColorSwizzle(FxBool swizzleBytes, FxBool swapWords)
{
    Record("grLfbWriteColorSwizzle", swizzleBytes, swapWords);
}

void FX_CALL grDrawPoint(const GrVertex* pt)
{
    Record("grDrawPoint", pt);
}

void FX_CALL grDrawLine(const GrVertex* v1, const GrVertex* v2)
{
    Record("grDrawLine", v1, v2);
}

void FX_CALL grDrawPolygon(int nverts, const int ilist[], const GrVertex vlist[])
{
    Record("grDrawPolygon", nverts, ilist, vlist);
}

void FX_CALL grDrawPolygonVertexList(int nverts, const GrVertex vlist[])
{
    Record("grDrawPolygonVertexList", nverts, vlist);
}

void FX_CALL grDrawPlanarPolygon(int nverts, const int ilist[], const GrVertex vlist[])
{
    Record("grDrawPlanarPolygon", nverts, ilist, vlist);
}

void FX_CALL grDrawPlanarPolygonVertexList(int nverts, const GrVertex vlist[])
{
    Record("grDrawPlanarPolygonVertexList", nverts, vlist);
}

void FX_CALL grAADrawPoint(const GrVertex* pt)
{
    Record("grAADrawPoint", pt);
}

void FX_CALL grAADrawLine(const GrVertex* v1, const GrVertex* v2)
{
    Record("grAADrawLine", v1, v2);
}

void FX_CALL grAADrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c,
                              FxBool ab_antialias, FxBool bc_antialias, FxBool ca_antialias)
{
    Record("grAADrawTriangle", a, b, c, ab_antialias, bc_antialias, ca_antialias);
}

void FX_CALL grAADrawPolygon(int nverts, const int ilist[], const GrVertex vlist[])
{
    Record("grAADrawPolygon", nverts, ilist, vlist);
}

void FX_CALL grAADrawPolygonVertexList(int nverts, const GrVertex vlist[])
{
    Record("grAADrawPolygonVertexList", nverts, vlist);
}

void FX_CALL guDrawTriangleWithClip(const GrVertex* a, const GrVertex* b, const GrVertex* c)
{
    Record("guDrawTriangleWithClip", a, b, c);
}

void FX_CALL guAADrawTriangleWithClip(const GrVertex* a, const GrVertex* b, const GrVertex* c)
{
    Record("guAADrawTriangleWithClip", a, b, c);
}

void FX_CALL guDrawPolygonVertexListWithClip(int nverts, const GrVertex vlist[])
{
    Record("guDrawPolygonVertexListWithClip", nverts, vlist);
}

void FX_CALL grCullMode(GrCullMode_t mode)
{
    Record("grCullMode", mode);
}

void FX_CALL grColorCombine(GrCombineFunction_t function, GrCombineFactor_t factor,
                            GrCombineLocal_t local, GrCombineOther_t other, FxBool invert)
{
    Record("grColorCombine", function, factor, local, other, invert);
}

void FX_CALL grAlphaCombine(GrCombineFunction_t function, GrCombineFactor_t factor,
                            GrCombineLocal_t local, GrCombineOther_t other, FxBool invert)
{
    Record("grAlphaCombine", function, factor, local, other, invert);
}

void FX_CALL grAlphaControlsITRGBLighting(FxBool enable)
{
    Record("grAlphaControlsITRGBLighting", enable);
}

void FX_CALL guColorCombineFunction(GrColorCombineFnc_t fnc)
{
    Record("guColorCombineFunction", fnc);
}

void FX_CALL guAlphaSource(GrAlphaSource_t mode)
{
    Record("guAlphaSource", mode);
}

void FX_CALL grConstantColorValue(GrColor_t value)
{
    Record("grConstantColorValue", value);
}

void FX_CALL grConstantColorValue4(float a, float r, float g, float b)
{
    Record("grConstantColorValue4", a, r, g, b);
}

void FX_CALL grAlphaBlendFunction(GrAlphaBlendFnc_t rgb_sf, GrAlphaBlendFnc_t rgb_df,
                                  GrAlphaBlendFnc_t alpha_sf, GrAlphaBlendFnc_t alpha_df)
{
    Record("grAlphaBlendFunction", rgb_sf, rgb_df, alpha_sf, alpha_df);
}

void FX_CALL grAlphaTestFunction(GrCmpFnc_t function)
{
    Record("grAlphaTestFunction", function);
}

void FX_CALL grAlphaTestReferenceValue(GrAlpha_t value)
{
    Record("grAlphaTestReferenceValue", value);
}

void FX_CALL grChromakeyMode(GrChromakeyMode_t mode)
{
    Record("grChromakeyMode", mode);
}

void FX_CALL grChromakeyValue(GrColor_t value)
{
    Record("grChromakeyValue", value);
}

void FX_CALL grDepthBufferMode(GrDepthBufferMode_t mode)
{
    Record("grDepthBufferMode", mode);
}

void FX_CALL grDepthBufferFunction(GrCmpFnc_t function)
{
    Record("grDepthBufferFunction", function);
}

void FX_CALL grDepthMask(FxBool mask)
{
    Record("grDepthMask", mask);
}

void FX_CALL grDepthBiasLevel(FxI16 level)
{
    Record("grDepthBiasLevel", level);
}

void FX_CALL grDitherMode(GrDitherMode_t mode)
{
    Record("grDitherMode", mode);
}

void FX_CALL grFogMode(GrFogMode_t mode)
{
    Record("grFogMode", mode);
}

void FX_CALL grFogColorValue(GrColor_t fogcolor)
{
    Record("grFogColorValue", fogcolor);
}

void FX_CALL grFogTable(const GrFog_t ft[GR_FOG_TABLE_SIZE])
{
    Record("grFogTable", ft);
}

void FX_CALL grGammaCorrectionValue(float value)
{
    Record("grGammaCorrectionValue", value);
}

void FX_CALL grDisableAllEffects(void)
{
    Record("grDisableAllEffects");
}

void FX_CALL grSplash(float x, float y, float width, float height, FxU32 frame)
{
    Record("grSplash", x, y, width, height, frame);
}

float FX_CALL guFogTableIndexToW(int i)
{
    Record("guFogTableIndexToW", i);
    return 0;
}

FxU32 FX_CALL grTexMinAddress(GrChipID_t tmu)
{
    Record("grTexMinAddress", tmu);
    return 0;
}

FxU32 FX_CALL grTexMaxAddress(GrChipID_t tmu)
{
    Record("grTexMaxAddress", tmu);
    return 0;
}

FxU32 FX_CALL grTexCalcMemRequired(GrLOD_t lodmin, GrLOD_t lodmax, GrAspectRatio_t aspect,
                                   GrTextureFormat_t fmt)
{
    Record("grTexCalcMemRequired", lodmin, lodmax, aspect, fmt);
    return 0;
}

FxU32 FX_CALL grTexTextureMemRequired(FxU32 evenOdd, GrTexInfo* info)
{
    Record("grTexTextureMemRequired", evenOdd, info);
    return 0;
}

void FX_CALL grTexSource(GrChipID_t tmu, FxU32 startAddress, FxU32 evenOdd, GrTexInfo* info)
{
    Record("grTexSource", tmu, startAddress, evenOdd, info);
}

void FX_CALL grTexDownloadMipMap(GrChipID_t tmu, FxU32 startAddress, FxU32 evenOdd, GrTexInfo* info)
{
    Record("grTexDownloadMipMap", tmu, startAddress, evenOdd, info);
}

void FX_CALL grTexDownloadMipMapLevel(GrChipID_t tmu, FxU32 startAddress, GrLOD_t thisLod,
                                      GrLOD_t largeLod, GrAspectRatio_t aspectRatio,
                                      GrTextureFormat_t format, FxU32 evenOdd, void* data)
{
    Record("grTexDownloadMipMapLevel", tmu, startAddress, thisLod, largeLod, aspectRatio, format,
           evenOdd, data);
}

void FX_CALL grTexDownloadMipMapLevelPartial(GrChipID_t tmu, FxU32 startAddress, GrLOD_t thisLod,
                                             GrLOD_t largeLod, GrAspectRatio_t aspectRatio,
                                             GrTextureFormat_t format, FxU32 evenOdd, void* data,
                                             int start, int end)
{
    Record("grTexDownloadMipMapLevelPartial", tmu, startAddress, thisLod, largeLod, aspectRatio,
           format, evenOdd, data, start, end);
}

void FX_CALL grTexDownloadTable(GrChipID_t tmu, GrTexTable_t type, void* data)
{
    Record("grTexDownloadTable", tmu, type, data);
}

void FX_CALL grTexDownloadTablePartial(GrChipID_t tmu, GrTexTable_t type, void* data, int start,
                                       int end)
{
    Record("grTexDownloadTablePartial", tmu, type, data, start, end);
}

void FX_CALL grTexNCCTable(GrChipID_t tmu, GrNCCTable_t table)
{
    Record("grTexNCCTable", tmu, table);
}

void FX_CALL grTexCombine(GrChipID_t tmu, GrCombineFunction_t rgb_function,
                          GrCombineFactor_t rgb_factor, GrCombineFunction_t alpha_function,
                          GrCombineFactor_t alpha_factor, FxBool rgb_invert, FxBool alpha_invert)
{
    Record("grTexCombine", tmu, rgb_function, rgb_factor, alpha_function, alpha_factor, rgb_invert,
           alpha_invert);
}

void FX_CALL grTexCombineFunction(GrChipID_t tmu, GrTextureCombineFnc_t fnc)
{
    Record("grTexCombineFunction", tmu, fnc);
}

void FX_CALL guTexCombineFunction(GrChipID_t tmu, GrTextureCombineFnc_t fnc)
{
    Record("guTexCombineFunction", tmu, fnc);
}

void FX_CALL grTexFilterMode(GrChipID_t tmu, GrTextureFilterMode_t minfilter_mode,
                             GrTextureFilterMode_t magfilter_mode)
{
    Record("grTexFilterMode", tmu, minfilter_mode, magfilter_mode);
}

void FX_CALL grTexClampMode(GrChipID_t tmu, GrTextureClampMode_t s_clampmode,
                            GrTextureClampMode_t t_clampmode)
{
    Record("grTexClampMode", tmu, s_clampmode, t_clampmode);
}

void FX_CALL grTexMipMapMode(GrChipID_t tmu, GrMipMapMode_t mode, FxBool lodBlend)
{
    Record("grTexMipMapMode", tmu, mode, lodBlend);
}

void FX_CALL grTexLodBiasValue(GrChipID_t tmu, float bias)
{
    Record("grTexLodBiasValue", tmu, bias);
}

void FX_CALL grTexDetailControl(GrChipID_t tmu, int lod_bias, FxU8 detail_scale, float detail_max)
{
    Record("grTexDetailControl", tmu, lod_bias, detail_scale, detail_max);
}

void FX_CALL grTexMultibase(GrChipID_t tmu, FxBool enable)
{
    Record("grTexMultibase", tmu, enable);
}

void FX_CALL grTexMultibaseAddress(GrChipID_t tmu, GrTexBaseRange_t range, FxU32 startAddress,
                                   FxU32 evenOdd, GrTexInfo* info)
{
    Record("grTexMultibaseAddress", tmu, range, startAddress, evenOdd, info);
}

FxBool FX_CALL guTexChangeAttributes(GrMipMapId_t mmid, int width, int height,
                                     GrTextureFormat_t fmt, GrMipMapMode_t mm_mode,
                                     GrLOD_t smallest_lod, GrLOD_t largest_lod,
                                     GrAspectRatio_t aspect, GrTextureClampMode_t s_clamp_mode,
                                     GrTextureClampMode_t t_clamp_mode,
                                     GrTextureFilterMode_t minFilterMode,
                                     GrTextureFilterMode_t magFilterMode)
{
    Record("guTexChangeAttributes", mmid, width, height, fmt, mm_mode, smallest_lod, largest_lod,
           aspect, s_clamp_mode, t_clamp_mode, minFilterMode, magFilterMode);
    return FXTRUE;
}

void FX_CALL guTexDownloadMipMap(GrMipMapId_t mmid, const void* src, const GuNccTable* nccTable)
{
    Record("guTexDownloadMipMap", mmid, src, nccTable);
}

void FX_CALL guTexDownloadMipMapLevel(GrMipMapId_t mmid, GrLOD_t lod, const void** src)
{
    Record("guTexDownloadMipMapLevel", mmid, lod, src);
}

void FX_CALL guTexMemReset(void)
{
    Record("guTexMemReset");
}

GrMipMapId_t FX_CALL guTexCreateColorMipMap(void)
{
    Record("guTexCreateColorMipMap");
    return 0;
}

int FX_CALL guEncodeRLE16(void* dst, void* src, FxU32 width, FxU32 height)
{
    Record("guEncodeRLE16", dst, src, width, height);
    return 0;
}

void FX_CALL guMovieSetName(const char* name)
{
    Record("guMovieSetName", name);
}

void FX_CALL guMovieStart(void)
{
    Record("guMovieStart");
}

void FX_CALL guMovieStop(void)
{
    Record("guMovieStop");
}
