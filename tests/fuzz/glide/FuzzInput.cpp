// FuzzInput: decoding of bytes into call arguments.
#include "FuzzInput.h"
#include <cstring>
#include <limits>

std::uint8_t FuzzInput::U8()
{
    return m_nAt < m_nSize ? m_pbData[m_nAt++] : 0;
}

std::uint16_t FuzzInput::U16()
{
    const std::uint16_t nLow = U8();
    return std::uint16_t(nLow | std::uint16_t(U8()) << 8);
}

std::uint32_t FuzzInput::U32()
{
    const std::uint32_t nLow = U16();
    return nLow | std::uint32_t(U16()) << 16;
}

std::int32_t FuzzInput::Enum(std::int32_t nCount)
{
    const std::uint8_t nSelect = U8();
    // Most values are members; 1 in 16 is one step outside; 1 in 32 is anything at all.
    if (nSelect < 0xE0)
        return std::int32_t(nSelect % std::uint32_t(nCount));
    if (nSelect < 0xF0)
        return (nSelect & 1) ? nCount : -1;
    return I32();
}

std::int32_t FuzzInput::OneOf(const std::int32_t* pnValues, std::int32_t nCount)
{
    const std::uint8_t nSelect = U8();
    if (nSelect < 0xF0)
        return pnValues[nSelect % std::uint32_t(nCount)];
    return I32();
}

std::int32_t FuzzInput::Count(std::int32_t nMax)
{
    const std::uint16_t nSelect = U16();
    if (nSelect < 0xFF00)
        return std::int32_t(nSelect % std::uint32_t(nMax + 1));
    // The top values: negative, huge, or just past the maximum.
    switch (nSelect & 3)
    {
    case 0:
        return -1 - (nSelect & 0xF0);
    case 1:
        return nMax + 1;
    case 2:
        return std::numeric_limits<std::int32_t>::max();
    default:
        return std::numeric_limits<std::int32_t>::min();
    }
}

std::int32_t FuzzInput::Shifted(std::int32_t nMax, std::int32_t nBias)
{
    const std::int64_t nValue = std::int64_t(Count(nMax)) - nBias;
    if (nValue < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (nValue > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return std::int32_t(nValue);
}

float FuzzInput::Float(float fRange)
{
    const std::uint8_t nSelect = U8();
    if (nSelect < 0xE8)
    {
        // Two bytes spread over -fRange .. +fRange, with a sixteenth-pixel-scale fraction.
        const float fUnit = float(U16()) / 65535.0f;
        return (fUnit * 2.0f - 1.0f) * fRange;
    }
    switch (nSelect & 15)
    {
    case 0:
        return std::numeric_limits<float>::quiet_NaN();
    case 1:
        return std::numeric_limits<float>::infinity();
    case 2:
        return -std::numeric_limits<float>::infinity();
    case 3:
        return std::numeric_limits<float>::max();
    case 4:
        return -std::numeric_limits<float>::max();
    case 5:
        return std::numeric_limits<float>::denorm_min();
    case 6:
        return -0.0f;
    case 7:
        return 1e20f;
    case 8:
        return -1e20f;
    case 9:
        return 8192.5f;
    case 10:
        return -8193.0f;
    case 11:
        return 65535.0f;
    default:
    {
        const std::uint32_t nBits = U32();
        float fValue;
        std::memcpy(&fValue, &nBits, sizeof fValue);
        return fValue;
    }
    }
}
