// Fuzz target of the report decoding: the first byte is the report identifier, the rest the
// report's data. A report is posted only when it has exactly the device's size and one of the two
// meanings, and what is posted is what the bytes say.
#include "shell/DeviceReport.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* AData, size_t ASize)
{
    if (ASize == 0) return 0;
    const std::span<const uint8_t> data(AData + 1, ASize - 1);
    const auto posted = DecodeDeviceReport(AData[0], data);
    if (!posted) return 0;
    if (data.size() != kDeviceReportDataSize) std::abort();
    if (AData[0] == kButtonReportID) {
        const uint32_t pattern = data[0] | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16;
        if (std::popcount(pattern) != 1 || *posted != static_cast<unsigned>(std::countr_zero(pattern))) std::abort();
    } else if (AData[0] == kProfileReportID) {
        if (data[0] != 1 || *posted != kProfileSwitchEvent + data[1] || data[1] >= kDeviceProfileCount) std::abort();
        if (ClassifyDeviceEvent(*posted) != TDeviceEvent{TDeviceEvent::TKind::ProfileSwitch, data[1]}) std::abort();
    } else {
        std::abort();
    }
    return 0;
}
