// Fixed-size integer names used throughout the engine.
#pragma once
#include <cstdint>

typedef int32_t Int32;
typedef uint32_t UInt32;
typedef int64_t Int64;
typedef uint64_t UInt64;
typedef uint8_t Byte;
