// Material: the one set of Glide combine, blend and constant-colour settings
// every triangle is drawn with, plus at most one 3DF texture.
//
// Owner: the Renderer embeds its default Material by value; it is constructed
// and destroyed with the Renderer.
// Lifecycle: constructed empty (no texture, empty name, empty queue, and the
// built-in settings so that nothing is ever read uninitialised); every
// Renderer::Start calls Load("Default.mtl"), which first releases the previous
// texture and then overwrites every setting. Destruction releases the texture
// and frees the nodes still queued.
// Per frame: Renderer::Flush calls Apply once, then drains the queue.
#pragma once

#include <glide.h>

#include <cstdio>

#include "SString.h"
#include "TriangleList.h"
#include "Types.h"

class Texture;

class Material
{
  public:
    Material();
    ~Material();

    // Reads the material file strName from the program directory, or takes
    // the built-in material when the file cannot be opened. Returns 1 on
    // success, 0 when the file is damaged or its texture cannot be loaded.
    Int32 Load(const SString& strName);

    // Sets the Glide state from the settings, in a fixed order. Per flush.
    void Apply();

    // Destroys and frees the texture, if any; the field becomes null.
    void ReleaseTexture();

    // Fields in the record's order.
    GrColor_t m_nConstantColor;              // packed RGBA, red in the top byte
    GrColorCombineFnc_t m_nColorCombine;     // guColorCombineFunction
    GrAlphaBlendFnc_t m_nRgbSrcFactor;       // grAlphaBlendFunction, 1st
    GrAlphaBlendFnc_t m_nRgbDstFactor;       // grAlphaBlendFunction, 2nd
    GrAlphaBlendFnc_t m_nAlphaSrcFactor;     // grAlphaBlendFunction, 3rd
    GrAlphaBlendFnc_t m_nAlphaDstFactor;     // grAlphaBlendFunction, 4th
    GrCombineFunction_t m_nAlphaFunction;    // grAlphaCombine, 1st
    GrCombineFactor_t m_nAlphaFactor;        // grAlphaCombine, 2nd
    GrCombineLocal_t m_nAlphaLocal;          // grAlphaCombine, 3rd
    GrCombineOther_t m_nAlphaOther;          // grAlphaCombine, 4th
    FxBool m_bAlphaInvert;                   // grAlphaCombine, 5th
    GrTextureCombineFnc_t m_nTextureCombine; // grTexCombineFunction, GR_TMU0
    SString m_strTextureName;                // as read from the file, or "Null"
    Texture* m_pTexture;                     // owned; null without a texture
    TriangleList m_TriangleList;             // triangles queued for this material

  private:
    Material(const Material&) = delete;
    Material& operator=(const Material&) = delete;

    // The settings used when the material file is missing.
    void SetBuiltIn();
    // Items 1 to 13 from pFile, each stored as soon as it is read; the
    // texture after item 12. 1 when every item was read and the texture
    // (if any) loaded.
    Int32 ReadItems(std::FILE* pFile, const SString& strDirectory);
    // The texture named by m_strTextureName, unless it is "Null".
    Int32 LoadTexture(const SString& strDirectory);
};
