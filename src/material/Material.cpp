#include "Material.h"

#include <cstring>
#include <new>

#include "MaterialKeywords.h"
#include "MaterialReader.h"
#include "ProgramDirectory.h"
#include "Texture.h"

namespace
{

typedef char Word[MaterialReader::kMaxWord + 1];

// Reads one keyword item and stores what its table makes of it.
template <typename Field>
Int32 ReadKeyword(MaterialReader& reader, Int32 (*pfnParse)(const char*), Field& field)
{
    Word achWord;
    if (!reader.ReadWord(achWord))
        return 0;
    field = Field(pfnParse(achWord));
    return 1;
}

// strDirectory followed by strName, unless the result would not fit the
// 260-byte path buffer: a path is never cut short into a different one.
Int32 JoinPath(const SString& strDirectory, const SString& strName, SString& strPath)
{
    if (strDirectory.GetLength() + strName.GetLength() >= ProgramDirectory::kBufferSize)
        return 0;
    strPath = strDirectory + strName;
    return 1;
}

} // namespace

Material::Material() : m_pTexture(nullptr)
{
    // The settings start as the built-in material rather than unset, so an
    // Apply after a failed first Load never reads uninitialised values.
    SetBuiltIn();
}

Material::~Material()
{
    ReleaseTexture();
    m_TriangleList.FreeNodes();
}

void Material::SetBuiltIn()
{
    m_nConstantColor = 0xFFFFFF80u; // -128: red, green, blue 255, alpha 128
    m_nColorCombine = GR_COLORCOMBINE_TEXTURE_ADD_ITRGB;
    m_nRgbSrcFactor = GR_BLEND_ONE;
    m_nRgbDstFactor = GR_BLEND_DST_COLOR;
    m_nAlphaSrcFactor = GR_BLEND_ONE;
    m_nAlphaDstFactor = GR_BLEND_ZERO;
    m_nAlphaFunction = GR_COMBINE_FUNCTION_SCALE_OTHER;
    m_nAlphaFactor = GR_COMBINE_FACTOR_ONE;
    m_nAlphaLocal = GR_COMBINE_LOCAL_ITERATED;
    m_nAlphaOther = GR_COMBINE_OTHER_ITERATED;
    m_bAlphaInvert = FXFALSE;
    m_nTextureCombine = GR_TEXTURECOMBINE_ZERO;
}

Int32 Material::Load(const SString& strName)
{
    ReleaseTexture();
    SString strDirectory;
    SString strPath;
    if (!ProgramDirectory::Get(strDirectory) || !JoinPath(strDirectory, strName, strPath))
        return 0;
    std::FILE* pFile = std::fopen(strPath, "rt");
    if (pFile == nullptr)
    {
        // No material file is not an error: the built-in material serves,
        // and the texture name keeps its last value.
        SetBuiltIn();
        return 1;
    }
    const Int32 nResult = ReadItems(pFile, strDirectory);
    std::fclose(pFile);
    return nResult;
}

Int32 Material::ReadItems(std::FILE* pFile, const SString& strDirectory)
{
    // Each item is stored as soon as it is read; a fault further on leaves
    // the items before it in place and fails the load.
    MaterialReader reader(pFile);
    UInt32 nColour = 0;
    if (!reader.ReadColour(nColour))
        return 0;
    m_nConstantColor = GrColor_t(nColour);
    if (!ReadKeyword(reader, ParseColorCombine, m_nColorCombine) ||
        !ReadKeyword(reader, ParseBlendFactor, m_nRgbSrcFactor) ||
        !ReadKeyword(reader, ParseBlendFactor, m_nRgbDstFactor) ||
        !ReadKeyword(reader, ParseBlendFactor, m_nAlphaSrcFactor) ||
        !ReadKeyword(reader, ParseBlendFactor, m_nAlphaDstFactor) ||
        !ReadKeyword(reader, ParseCombineFunction, m_nAlphaFunction) ||
        !ReadKeyword(reader, ParseCombineFactor, m_nAlphaFactor) ||
        !ReadKeyword(reader, ParseCombineLocal, m_nAlphaLocal) ||
        !ReadKeyword(reader, ParseCombineOther, m_nAlphaOther))
        return 0;
    Word achWord;
    if (!reader.ReadWord(achWord))
        return 0;
    m_bAlphaInvert = std::strcmp(achWord, "True") == 0 ? FXTRUE : FXFALSE;
    if (!reader.ReadWord(achWord))
        return 0;
    m_strTextureName = achWord;
    if (!LoadTexture(strDirectory))
        return 0;
    return ReadKeyword(reader, ParseTextureCombine, m_nTextureCombine);
}

Int32 Material::LoadTexture(const SString& strDirectory)
{
    // "Null", in exactly this case, means no texture; anything else is a
    // 3DF file name relative to the program directory.
    if (std::strcmp(m_strTextureName, "Null") == 0)
        return 1;
    SString strPath;
    if (!JoinPath(strDirectory, m_strTextureName, strPath))
        return 0;
    m_pTexture = new (std::nothrow) Texture;
    if (m_pTexture == nullptr)
        return 0;
    // On failure the texture stays attached with the handle it got, until
    // the next Load or the material's destruction releases it.
    return m_pTexture->Load(strPath);
}

void Material::Apply()
{
    // Without a texture the texture source is left as it was.
    if (m_pTexture != nullptr)
        guTexSource(m_pTexture->m_nMipMapId);
    grTexCombineFunction(GR_TMU0, m_nTextureCombine);
    grConstantColorValue(m_nConstantColor);
    guColorCombineFunction(m_nColorCombine);
    grAlphaBlendFunction(m_nRgbSrcFactor, m_nRgbDstFactor, m_nAlphaSrcFactor, m_nAlphaDstFactor);
    grAlphaCombine(m_nAlphaFunction, m_nAlphaFactor, m_nAlphaLocal, m_nAlphaOther, m_bAlphaInvert);
}

void Material::ReleaseTexture()
{
    if (m_pTexture != nullptr)
    {
        delete m_pTexture;
        m_pTexture = nullptr;
    }
}
