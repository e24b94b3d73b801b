#include "profile/tests/ImageCheck.h"

namespace {

constexpr size_t kConfig = 872;         // ConfigInfo in a profile
constexpr size_t kButtonSize = 3924;

size_t Button(int n) { return kConfig + kButtonSize * static_cast<size_t>(n); }

std::string Name(const char* AField, int n) { return std::string(AField) + "[" + std::to_string(n) + "]"; }

void AddFunction(std::vector<TFieldCase>& ACases, int n, uint64_t ACode, uint64_t AType, uint64_t AAction,
                 uint64_t ANumber)
{
    ACases.push_back(Num(Name("ButtonIndex", n), Button(n) + 3904, 2, static_cast<uint64_t>(n)));
    ACases.push_back(Num(Name("FunctionCode", n), Button(n) + 3906, 2, ACode));
    ACases.push_back(Num(Name("FunctionType", n), Button(n) + 3908, 1, AType));
    ACases.push_back(Num(Name("DeviceAction", n), Button(n) + 3912, 4, AAction));
    ACases.push_back(Num(Name("FunctionID", n), Button(n) + 3916, 4, ANumber));
}

void AddHIDKey(std::vector<TFieldCase>& ACases, int n, uint64_t AKey1, uint64_t AKey2, uint64_t AModifier)
{
    ACases.push_back(Num(Name("HIDKey.nKeyValue1", n), Button(n) + 16, 2, AKey1));
    ACases.push_back(Num(Name("HIDKey.nKeyValue2", n), Button(n) + 18, 2, AKey2));
    ACases.push_back(Num(Name("HIDKey.nModifier", n), Button(n) + 20, 2, AModifier));
}

void AddComboKey(std::vector<TFieldCase>& ACases, int n, uint64_t AKey1, uint64_t AModifier)
{
    ACases.push_back(Num(Name("ComboKey.nKeyValue1", n), Button(n) + 6, 2, AKey1));
    ACases.push_back(Num(Name("ComboKey.nKey1Extended", n), Button(n) + 8, 2, 0));
    ACases.push_back(Num(Name("ComboKey.nKeyValue2", n), Button(n) + 10, 2, 0));
    ACases.push_back(Num(Name("ComboKey.nKey2Extended", n), Button(n) + 12, 2, 0));
    ACases.push_back(Num(Name("ComboKey.nModifier", n), Button(n) + 14, 2, AModifier));
}

void AddCPILevels(std::vector<TFieldCase>& ACases)
{
    const uint64_t cpi[5] = {1000, 2000, 4000, 8200, 16400};
    for (int i = 0; i < 5; ++i) {
        const size_t state = kConfig + 74612 + 10 * static_cast<size_t>(i);
        ACases.push_back(Num(Name("CPIState.CPIX", i), state, 2, cpi[i]));
        ACases.push_back(Num(Name("CPIState.CPIY", i), state + 2, 2, cpi[i]));
        ACases.push_back(Num(Name("CPIState.Active", i), state + 4, 2, 1));
        ACases.push_back(Num(Name("UseDiffentXY", i), kConfig + 74588 + 2 * static_cast<size_t>(i), 2, 1));
    }
}

}  // namespace

std::vector<TByteRange> GameProfileClearedRanges()
{
    std::vector<TByteRange> ranges;
    for (int n = 0; n < 10; ++n) ranges.push_back({Button(n), 3904});
    return ranges;
}

std::vector<TFieldCase> GameProfileCases(int AGame, uint64_t AUIDBits)
{
    std::vector<TFieldCase> c = {
        Num("FFileVersion", 0, 4, 259),
        Num("FProfileUID", 64, 8, AUIDBits),
        Num("VWheelSpeed", kConfig + 74560, 2, 3),
        Num("DoubleClickSpeed", kConfig + 74564, 2, 550),
        Num("PointerSpeed", kConfig + 74566, 2, 10),
        Num("PointerAcceleration", kConfig + 74568, 2, 0),
        Num("ReportRate", kConfig + 74572, 2, 500),
        Num("CurrentCPIIndex", kConfig + 74576, 4, static_cast<uint64_t>(AGame - 1)),
        Num("CPILevel", kConfig + 74722, 2, 5),
        Num("LEDConfig.BRIGHT_LEVEL", kConfig + 84986 + 3, 1, 2),
        Num("LEDConfig.BREATH_SPEED", kConfig + 84986 + 4, 1, 3),
        Num("ButtonCount", kConfig + 84996, 4, 9),
    };
    const uint8_t colours[5][3] = {{255, 255, 0}, {0, 255, 0}, {0, 0, 255}, {217, 10, 126}, {255, 0, 0}};
    c.push_back(Num("LEDConfig.R", kConfig + 84986, 1, colours[AGame - 1][0]));
    c.push_back(Num("LEDConfig.G", kConfig + 84987, 1, colours[AGame - 1][1]));
    c.push_back(Num("LEDConfig.B", kConfig + 84988, 1, colours[AGame - 1][2]));
    AddCPILevels(c);
    AddFunction(c, 0, 0, 1, 1, 1);
    AddFunction(c, 1, 1, 1, 2, 2);
    AddFunction(c, 2, 2, 1, 3, 3);
    if (AGame == 1) {
        AddFunction(c, 3, 24, 10, 14, 1004);
        AddHIDKey(c, 3, 181, 0, 0);
        AddFunction(c, 4, 23, 10, 14, 1003);
        AddHIDKey(c, 4, 182, 0, 0);
        AddFunction(c, 5, 21, 10, 14, 1001);
        AddHIDKey(c, 5, 205, 0, 0);
        AddFunction(c, 6, 27, 10, 14, 1007);
        AddHIDKey(c, 6, 226, 0, 0);
        AddFunction(c, 7, 25, 10, 14, 1005);
        AddHIDKey(c, 7, 233, 0, 0);
        AddFunction(c, 8, 26, 10, 14, 1006);
        AddHIDKey(c, 8, 234, 0, 0);
    } else if (AGame == 2) {
        AddFunction(c, 3, 3, 8, 5, 4);
        AddFunction(c, 4, 4, 8, 4, 5);
        AddFunction(c, 5, 29, 10, 14, 1009);
        AddHIDKey(c, 5, 39, 2, 0);
        AddFunction(c, 6, 16, 3, 15, 902);
        AddComboKey(c, 6, 115, 1);
        AddFunction(c, 7, 6, 3, 15, 7);
        AddComboKey(c, 7, 84, 2);
        AddFunction(c, 8, 6, 3, 15, 7);
        AddComboKey(c, 8, 87, 2);
    } else {
        const uint64_t keys[3] = {164, 162, 160};
        for (int n = 3; n <= 5; ++n) {
            AddFunction(c, n, 5, 8, 16, 6);
            c.push_back(Num(Name("SingleKey.key", n), Button(n) + 2, 2, keys[n - 3]));
            c.push_back(Num(Name("SingleKey.third", n), Button(n) + 4, 2, 0));
        }
        AddFunction(c, 6, 30, 13, 25, 12);
        AddFunction(c, 7, 33, 1, 10, 14);
        AddFunction(c, 8, 34, 1, 9, 15);
    }
    return c;
}

std::vector<TFieldCase> TestProfileCases(uint64_t AUIDBits)
{
    std::vector<TFieldCase> c = {
        Num("FFileVersion", 0, 4, 259),
        Num("FProfileUID", 64, 8, AUIDBits),
        Num("ButtonCount", kConfig + 84996, 4, 10),
        Num("VWheelSpeed", kConfig + 74560, 2, 3),
        Num("DoubleClickSpeed", kConfig + 74564, 2, 550),
        Num("PointerSpeed", kConfig + 74566, 2, 10),
        Num("ReportRate", kConfig + 74572, 2, 125),
        Num("CPILevel", kConfig + 74722, 2, 5),
        Num("CurrentCPIIndex", kConfig + 74576, 4, 1),
        Num("LEDConfig.R", kConfig + 84986, 1, 255),
        Num("LEDConfig.BRIGHT_LEVEL", kConfig + 84989, 1, 2),
        Num("LEDConfig.BREATH_SPEED", kConfig + 84990, 1, 2),
    };
    AddCPILevels(c);
    const uint64_t actions[5] = {1, 2, 3, 5, 4};
    for (int n = 0; n < 5; ++n) AddFunction(c, n, static_cast<uint64_t>(n), 1, actions[n], 0);
    for (int n = 5; n < 10; ++n) {
        AddFunction(c, n, 14, 11, 19, 0);
        c.push_back(Num(Name("ReportPattern", n), Button(n) + 3880, 3, uint64_t{1} << n));
    }
    return c;
}
