// The keyword tables of the material file: each turns one word into the
// Glide constant it names. Whole words, case-sensitive; a word no table row
// matches gives that table's fallback, silently (an unknown word is not an
// error in a material file).
//
// Called by Material::Load once per item; never per frame. No state.
#pragma once

#include "Types.h"

// Colour combine (guColorCombineFunction); fallback GR_COLORCOMBINE_ZERO.
Int32 ParseColorCombine(const char* pchWord);
// Texture combine (grTexCombineFunction); fallback GR_TEXTURECOMBINE_ZERO.
Int32 ParseTextureCombine(const char* pchWord);
// Any of the four blend factors (grAlphaBlendFunction); fallback GR_BLEND_ZERO.
Int32 ParseBlendFactor(const char* pchWord);
// Alpha combine function; fallback GR_COMBINE_FUNCTION_ZERO.
Int32 ParseCombineFunction(const char* pchWord);
// Alpha combine factor; fallback GR_COMBINE_FACTOR_ZERO.
Int32 ParseCombineFactor(const char* pchWord);
// Alpha combine local source; fallback GR_COMBINE_LOCAL_CONSTANT (1).
Int32 ParseCombineLocal(const char* pchWord);
// Alpha combine other source; fallback GR_COMBINE_OTHER_CONSTANT (2).
Int32 ParseCombineOther(const char* pchWord);
