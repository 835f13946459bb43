// FuzzInput: the fuzzer's bytes read as the arguments of Glide calls.
//
// Every read succeeds: past the end of the input each value reads as zero, so a short input is
// simply a short call sequence. Enumerations mostly land on (or next to) their valid range and
// sometimes take any 32-bit value; floats mostly land on the screen or in a colour's range and
// sometimes are NaN, infinite, huge, tiny or any bit pattern.
#pragma once
#include <cstddef>
#include <cstdint>

class FuzzInput
{
  public:
    FuzzInput(const std::uint8_t* pbData, std::size_t nSize) : m_pbData(pbData), m_nSize(nSize) {}

    bool AtEnd() const { return m_nAt >= m_nSize; }

    std::uint8_t U8();
    std::uint16_t U16();
    std::uint32_t U32();
    std::int32_t I32() { return std::int32_t(U32()); }
    bool Bool() { return (U8() & 1) != 0; }

    // A value of an enumeration of nCount members (0 .. nCount - 1), or one just past either
    // end, or any 32-bit value.
    std::int32_t Enum(std::int32_t nCount);
    // One of the values in an (any-length) list of an enumeration with gaps, or any value.
    std::int32_t OneOf(const std::int32_t* pnValues, std::int32_t nCount);
    // A count or size in 0 .. nMax, with occasional values far outside it.
    std::int32_t Count(std::int32_t nMax);
    // Count(nMax) - nBias without overflow (the extremes stay extremes).
    std::int32_t Shifted(std::int32_t nMax, std::int32_t nBias);

    // A float in -fRange .. +fRange (two bytes of resolution), or a special value.
    float Float(float fRange);

  private:
    const std::uint8_t* m_pbData;
    std::size_t m_nSize;
    std::size_t m_nAt = 0;
};
