#pragma once
// The button functions by code: for each code its action class and its function number, which the
// factory profiles copy into DeviceAction and FunctionID.
#include <array>
#include <cstdint>

struct TFunctionTableEntry {
    int32_t DeviceAction;
    int32_t FunctionID;
};

inline constexpr int kFunctionCodeCount = 37;
// The function the monitor carries out itself: microphone mute.
inline constexpr uint16_t kFunctionMicrophoneMute = 28;

inline constexpr std::array<TFunctionTableEntry, kFunctionCodeCount> FunctionTable = [] {
    std::array<TFunctionTableEntry, kFunctionCodeCount> table{{
        {1, 1}, {2, 2}, {3, 3}, {5, 4}, {4, 5}, {16, 6}, {15, 7},
    }};
    // Office keys, Windows keys and multimedia functions run in blocks of function numbers.
    for (int code = 7; code <= 14; ++code) table[code] = {15, 801 + (code - 7)};
    for (int code = 15; code <= 20; ++code) table[code] = {15, 901 + (code - 15)};
    for (int code = 21; code <= 27; ++code) table[code] = {14, 1001 + (code - 21)};
    table[28] = {19, 1008};
    table[29] = {14, 1009};
    table[30] = {17, 11};
    table[31] = {25, 12};
    table[32] = {8, 13};
    table[33] = {10, 14};
    table[34] = {9, 15};
    table[35] = {13, 16};
    table[36] = {14, 17};
    return table;
}();
