#pragma once
// A simulated HID device behind the function table: it stands in for the device I/O (open,
// overlapped reads with their completion routine, cancel, close, the input ring's size) and for
// the capabilities and
// button usages of its collection (with the usage-list difference, which Wine's hid.dll lacks);
// everything else is the platform's. Its reports are pushed by
// the test: a read completes when the test sends a report, and its completion routine runs as
// an APC on the thread that issued the read, in that thread's alertable wait.
//
// A report's button usages are the bits of its bytes after the report ID: bit i is usage i + 1.
#include "hid/HidApi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace SimulatedHid {

// The collection every simulated device reports: the mouse's vendor collection.
inline constexpr USAGE_AND_PAGE kCollection{0x0001, 0xFFA0};

// The platform table with the simulated entries in place; paths that name no simulated device
// and handles it did not make reach the platform.
const THidApi& Api();

// With the device list (SetupAPI) and the transfers (writes, feature reports) simulated as well,
// for the walk of the finder and its transfers: only simulated devices are present there.
const THidApi& WalkApi();

struct TDeviceModel {
    std::u16string Path; // "\\?\sim#..."
    uint16_t InputReportLength = 8;
    unsigned MaxUsages = 24; // button usages of the collection
    std::vector<std::u16string> HardwareIds{u"HID\\VID_1D57&PID_0730"};
    USAGE_AND_PAGE Collection = kCollection;
    uint16_t OutputReportLength = 0;
    uint16_t FeatureReportLength = 0;
    // What a feature read returns, from its report ID on.
    std::vector<uint8_t> Feature;
    // When set, feature transfers fail with this last error (0: a failure that sets none).
    bool FeatureFails = false;
    DWORD FeatureError = 0;
};

void AddDevice(const TDeviceModel& AModel);
// A device at APath, with input reports of AInputReportLength bytes and collection buttons for
// AMaxUsages usages at most.
void AddDevice(const std::u16string& APath, uint16_t AInputReportLength, unsigned AMaxUsages);

// What the device was sent: every write, and every feature report set.
std::vector<std::vector<uint8_t>> Writes(const std::u16string& APath);
std::vector<std::vector<uint8_t>> FeaturesSet(const std::u16string& APath);
// Removes every device and forgets every count.
void Reset();

// Waits until AReads reads are pending on the device (one per reader); false after ATimeoutMs.
bool WaitForPendingReads(const std::u16string& APath, size_t AReads = 1, unsigned ATimeoutMs = 5000);
// Completes one pending read with the report (its length is the byte count; empty is a read of
// 0 bytes); false when no read is pending.
bool Send(const std::u16string& APath, const std::vector<uint8_t>& AReport);
// Unplugs the device: pending reads fail with ERROR_DEVICE_NOT_CONNECTED, so do later reads
// and opens.
void Unplug(const std::u16string& APath);
// While AOn, every read of the device (the pending ones too) completes as soon as it is issued:
// failed with AError, or with 0 bytes when AError is 0.
void CompleteReadsAtOnce(const std::u16string& APath, bool AOn, DWORD AError = 0);

// The input ring size set on the handle whose read is pending on the device (0: none set, or
// no read pending).
ULONG InputBuffersOfPendingRead(const std::u16string& APath);
// While ARefuse, setting the input ring's size fails with ERROR_INVALID_PARAMETER.
void RefuseInputBuffers(bool ARefuse);

// Handles and parsed descriptors handed out and not yet returned.
int OpenHandles();
int HeldPreparsedData();
// Handles closed while a read on them was still pending (undefined on a real device).
int ClosedWithReadPending();
// Reads issued so far on every device.
int ReadsIssued();

} // namespace SimulatedHid
