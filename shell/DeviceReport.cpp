#include "shell/DeviceReport.h"

#include "profile/ProductConstants.h"
#include "profile/ProfileRecords.h"

std::optional<unsigned> DecodeDeviceReport(uint8_t AReportID, std::span<const uint8_t> AData)
{
    if (AData.size() != kDeviceReportDataSize) return std::nullopt;
    if (AReportID == kButtonReportID) {
        // Exactly one bit of the 24-bit pattern: the first entry whose bytes equal all three.
        for (unsigned j = 0; j < KeyIndexTable.size(); ++j) {
            const auto& entry = KeyIndexTable[j];
            if (AData[0] == entry[1] && AData[1] == entry[2] && AData[2] == entry[3]) return j;
        }
        return std::nullopt;
    }
    if (AReportID == kProfileReportID && AData[0] == 1 && AData[1] < kDeviceProfileCount)
        return kProfileSwitchEvent + AData[1];
    return std::nullopt;
}

TDeviceEvent ClassifyDeviceEvent(uintptr_t AWParam)
{
    if (AWParam >= kProfileSwitchEvent && AWParam < kProfileSwitchEvent + kDeviceProfileCount)
        return {TDeviceEvent::TKind::ProfileSwitch, static_cast<unsigned>(AWParam - kProfileSwitchEvent)};
    if (AWParam < static_cast<unsigned>(kMaxButtonCount)) return {TDeviceEvent::TKind::Button, static_cast<unsigned>(AWParam)};
    return {};
}

uint32_t ProfileIDOfProfile(unsigned AProfile) { return AProfile == 0 ? 0 : 1; }
