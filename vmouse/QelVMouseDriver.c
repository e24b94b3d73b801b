/* The virtual mouse: a kernel-mode HID minidriver for root-enumerated device instances. Windows'
 * HID class driver serves each instance like the real mouse: a vendor collection (usage page
 * 0xFFA0, usage 1) with 8-byte input reports 7 and 8, a 64-byte output report and a 64-byte
 * feature report, and a standard mouse collection (usage page 1, usage 2).
 *
 * The instance's device name picks its collections: a name ending in "&COL01" gives the vendor
 * collection alone, "&COL02" the mouse collection alone (Wine 8's class driver makes one HID
 * interface per device, so each collection of the mouse is an instance of its own there), any
 * other name both collections in one descriptor.
 *
 * The control program reaches the driver through the control device "\\.\QelVMouse": it hands it
 * input reports and reads the last output or feature report the host sent.
 * The class driver owns the driver object's entries and takes every device object of the driver for
 * one of its own. The driver puts one entry of its own in front of all of them: the control device
 * answers every request itself, and the class driver's devices get theirs. */
#include <ntddk.h>

#include "QelVMouseDriver.h"

/* The minidriver interface of the HID class driver (hidport.h, which MinGW does not ship). */
typedef struct {
    ULONG Revision;
    PDRIVER_OBJECT DriverObject;
    PUNICODE_STRING RegistryPath;
    ULONG DeviceExtensionSize;
    BOOLEAN DevicesArePolled;
    UCHAR Reserved[3];
} HID_MINIDRIVER_REGISTRATION;

typedef struct {
    PDEVICE_OBJECT PhysicalDeviceObject;
    PDEVICE_OBJECT NextDeviceObject;
    PVOID MiniDeviceExtension;
} HID_DEVICE_EXTENSION;

#include <pshpack1.h>
typedef struct {
    UCHAR bLength;
    UCHAR bDescriptorType;
    USHORT bcdHID;
    UCHAR bCountry;
    UCHAR bNumDescriptors;
    UCHAR bReportType;
    USHORT wReportLength;
} HID_DESCRIPTOR;
#include <poppack.h>

typedef struct {
    ULONG Size;
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
    USHORT Reserved[11];
} HID_DEVICE_ATTRIBUTES;

typedef struct {
    PUCHAR reportBuffer;
    ULONG reportBufferLen;
    UCHAR reportId;
} HID_XFER_PACKET;

NTSTATUS NTAPI HidRegisterMinidriver(HID_MINIDRIVER_REGISTRATION *registration);

#define HID_REVISION 1
#define HID_CTL(n, method) CTL_CODE(FILE_DEVICE_KEYBOARD, (n), (method), FILE_ANY_ACCESS)
#define IOCTL_HID_GET_DEVICE_DESCRIPTOR HID_CTL(0, METHOD_NEITHER)
#define IOCTL_HID_GET_REPORT_DESCRIPTOR HID_CTL(1, METHOD_NEITHER)
#define IOCTL_HID_READ_REPORT HID_CTL(2, METHOD_NEITHER)
#define IOCTL_HID_WRITE_REPORT HID_CTL(3, METHOD_NEITHER)
#define IOCTL_HID_GET_STRING HID_CTL(4, METHOD_NEITHER)
#define IOCTL_HID_GET_DEVICE_ATTRIBUTES HID_CTL(9, METHOD_NEITHER)
#define IOCTL_HID_GET_FEATURE HID_CTL(100, METHOD_OUT_DIRECT)
#define IOCTL_HID_SET_FEATURE HID_CTL(100, METHOD_IN_DIRECT)
#define IOCTL_HID_SET_OUTPUT_REPORT HID_CTL(101, METHOD_IN_DIRECT)

#define HID_STRING_ID_IMANUFACTURER 14
#define HID_STRING_ID_IPRODUCT 15
#define HID_STRING_ID_ISERIALNUMBER 16

/* Report descriptors. Every report carries an ID, so that both collections fit in one. */
#define VENDOR_COLLECTION                                                                          \
    0x06, 0xA0, 0xFF,       /* Usage Page (vendor 0xFFA0) */                                       \
    0x09, 0x01,             /* Usage (1) */                                                        \
    0xA1, 0x01,             /* Collection (Application) */                                         \
    0x15, 0x00,             /*   Logical Minimum (0) */                                            \
    0x26, 0xFF, 0x00,       /*   Logical Maximum (255) */                                          \
    0x75, 0x08,             /*   Report Size (8) */                                                \
    0x85, QELVM_BUTTON_REPORT_ID, /* Report ID: button */                                         \
    0x95, QELVM_INPUT_LENGTH - 1, /* Report Count */                                               \
    0x09, 0x02,             /*   Usage (2) */                                                      \
    0x81, 0x02,             /*   Input (Data, Variable, Absolute) */                               \
    0x85, QELVM_PROFILE_REPORT_ID, /* Report ID: profile */                                       \
    0x95, QELVM_INPUT_LENGTH - 1, /* Report Count */                                               \
    0x09, 0x03,             /*   Usage (3) */                                                      \
    0x81, 0x02,             /*   Input (Data, Variable, Absolute) */                               \
    0x85, QELVM_OUTPUT_REPORT_ID, /* Report ID: output */                                         \
    0x95, QELVM_OUTPUT_LENGTH - 1, /* Report Count */                                              \
    0x09, 0x04,             /*   Usage (4) */                                                      \
    0x91, 0x02,             /*   Output (Data, Variable, Absolute) */                              \
    0x85, QELVM_FEATURE_REPORT_ID, /* Report ID: feature */                                       \
    0x95, QELVM_FEATURE_LENGTH - 1, /* Report Count */                                             \
    0x09, 0x05,             /*   Usage (5) */                                                      \
    0xB1, 0x02,             /*   Feature (Data, Variable, Absolute) */                             \
    0xC0                    /* End Collection */

#define MOUSE_COLLECTION                                                                           \
    0x05, 0x01,             /* Usage Page (Generic Desktop) */                                     \
    0x09, 0x02,             /* Usage (Mouse) */                                                    \
    0xA1, 0x01,             /* Collection (Application) */                                         \
    0x85, 0x01,             /*   Report ID (1) */                                                  \
    0x09, 0x01,             /*   Usage (Pointer) */                                                \
    0xA1, 0x00,             /*   Collection (Physical) */                                          \
    0x05, 0x09,             /*     Usage Page (Button) */                                          \
    0x19, 0x01,             /*     Usage Minimum (1) */                                            \
    0x29, 0x03,             /*     Usage Maximum (3) */                                            \
    0x15, 0x00,             /*     Logical Minimum (0) */                                          \
    0x25, 0x01,             /*     Logical Maximum (1) */                                          \
    0x95, 0x03,             /*     Report Count (3) */                                             \
    0x75, 0x01,             /*     Report Size (1) */                                              \
    0x81, 0x02,             /*     Input (Data, Variable, Absolute) */                             \
    0x95, 0x01,             /*     Report Count (1) */                                             \
    0x75, 0x05,             /*     Report Size (5) */                                              \
    0x81, 0x03,             /*     Input (Constant) */                                             \
    0x05, 0x01,             /*     Usage Page (Generic Desktop) */                                 \
    0x09, 0x30,             /*     Usage (X) */                                                    \
    0x09, 0x31,             /*     Usage (Y) */                                                    \
    0x15, 0x81,             /*     Logical Minimum (-127) */                                       \
    0x25, 0x7F,             /*     Logical Maximum (127) */                                        \
    0x75, 0x08,             /*     Report Size (8) */                                              \
    0x95, 0x02,             /*     Report Count (2) */                                             \
    0x81, 0x06,             /*     Input (Data, Variable, Relative) */                             \
    0xC0,                   /*   End Collection */                                                 \
    0xC0                    /* End Collection */

static const UCHAR vendor_descriptor[] = {VENDOR_COLLECTION};
static const UCHAR mouse_descriptor[] = {MOUSE_COLLECTION};
static const UCHAR both_descriptor[] = {VENDOR_COLLECTION, MOUSE_COLLECTION};

enum collections { COLLECTION_UNKNOWN = 0, COLLECTION_VENDOR = 1, COLLECTION_MOUSE = 2, COLLECTION_BOTH = 3 };

/* One device instance: the minidriver's part of the class driver's device extension. */
struct vmouse {
    LIST_ENTRY entry; /* in devices, under lock */
    enum collections collections;
    BOOLEAN started;
    BOOLEAN gone;
    IRP *pending_read;
    ULONG queue_head;
    ULONG queue_count;
    UCHAR queue_length[QELVM_QUEUE_LENGTH];
    UCHAR queue[QELVM_QUEUE_LENGTH][QELVM_MAX_REPORT];
};

static KSPIN_LOCK lock;
static LIST_ENTRY devices;
static QELVM_HOST_REPORT host_report;
/* Reads of the host on the collections: waiting now, and issued since the driver started. */
static LONG reads_waiting[COLLECTION_BOTH + 1], reads_issued[COLLECTION_BOTH + 1];
static UCHAR feature_answer[QELVM_FEATURE_LENGTH];
/* While set, input reports stay in the devices' queues (IOCTL_QELVM_HOLD_REPORTS). */
static BOOLEAN holding;
static DEVICE_OBJECT *control;
/* The driver object's entries as the class driver left them. */
static PDRIVER_DISPATCH class_dispatch[IRP_MJ_MAXIMUM_FUNCTION + 1];

static struct vmouse *vmouse_of(DEVICE_OBJECT *fdo)
{
    return ((HID_DEVICE_EXTENSION *)fdo->DeviceExtension)->MiniDeviceExtension;
}

static void complete(IRP *irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
}

/* Hands a report to a read request of the class driver; the caller completes it. */
static void fill_read(IRP *irp, const UCHAR *report, ULONG length)
{
    IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
    ULONG room = stack->Parameters.DeviceIoControl.OutputBufferLength;
    if (length > room) length = room;
    RtlCopyMemory(irp->UserBuffer, report, length);
    irp->IoStatus.Status = STATUS_SUCCESS;
    irp->IoStatus.Information = length;
}

/* Hands the oldest queued report to a read request; under the lock. */
static void take_queued(struct vmouse *vm, IRP *irp)
{
    fill_read(irp, vm->queue[vm->queue_head], vm->queue_length[vm->queue_head]);
    vm->queue_head = (vm->queue_head + 1) % QELVM_QUEUE_LENGTH;
    --vm->queue_count;
}

/* The device goes: its pending read ends, so that the class driver's reading thread can end. */
static IRP *take_leave(struct vmouse *vm)
{
    IRP *irp = vm->pending_read;
    vm->gone = TRUE;
    vm->pending_read = NULL;
    vm->queue_count = 0;
    return irp;
}

static void end_read(IRP *irp)
{
    if (irp) complete(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
}

/* The collections named by a device ID ("ROOT\VID_1209&PID_0007&COL01") or hardware ID
 * ("HID\VID_1209&PID_0007&COL02\0000"); both when it names none. */
static enum collections collections_in(const WCHAR *id)
{
    const WCHAR *p;
    for (p = id; *p && *p != L'\\'; ++p) {}
    for (; *p; ++p) {
        if (p[0] == L'&' && (p[1] == L'C' || p[1] == L'c') && (p[2] == L'O' || p[2] == L'o') &&
            (p[3] == L'L' || p[3] == L'l') && p[4] == L'0' && p[5] && (!p[6] || p[6] == L'\\')) {
            if (p[5] == L'1') return COLLECTION_VENDOR;
            if (p[5] == L'2') return COLLECTION_MOUSE;
        }
    }
    return COLLECTION_BOTH;
}

/* The collections of an instance, from the device ID its bus gives it. */
static enum collections collections_of(DEVICE_OBJECT *pdo)
{
    enum collections result = COLLECTION_BOTH;
    IO_STATUS_BLOCK io;
    KEVENT event;
    IRP *irp;
    IO_STACK_LOCATION *stack;

    KeInitializeEvent(&event, NotificationEvent, FALSE);
    irp = IoBuildSynchronousFsdRequest(IRP_MJ_PNP, pdo, NULL, 0, NULL, &event, &io);
    if (!irp) return result;
    irp->IoStatus.Status = STATUS_NOT_SUPPORTED;
    stack = IoGetNextIrpStackLocation(irp);
    stack->MinorFunction = IRP_MN_QUERY_ID;
    stack->Parameters.QueryId.IdType = BusQueryDeviceID;
    if (IoCallDriver(pdo, irp) == STATUS_PENDING) KeWaitForSingleObject(&event, Executive, KernelMode, FALSE, NULL);
    if (io.Status != STATUS_SUCCESS || !io.Information) return result;
    result = collections_in((const WCHAR *)io.Information);
    ExFreePool((void *)io.Information);
    return result;
}

/* The collections of a HID interface's device (the class driver's), from its first hardware ID.
 * Remembered per device object; forgotten whenever a device goes, as its object may be reused. */
#define KNOWN_INTERFACES 16
static struct {
    DEVICE_OBJECT *device;
    enum collections collections;
} known_interfaces[KNOWN_INTERFACES];

static enum collections interface_collections(DEVICE_OBJECT *device)
{
    WCHAR ids[256];
    ULONG length = 0, i, free_slot = KNOWN_INTERFACES;
    enum collections result;
    KIRQL irql;

    KeAcquireSpinLock(&lock, &irql);
    for (i = 0; i < KNOWN_INTERFACES; ++i) {
        if (known_interfaces[i].device == device) {
            result = known_interfaces[i].collections;
            KeReleaseSpinLock(&lock, irql);
            return result;
        }
        if (!known_interfaces[i].device && free_slot == KNOWN_INTERFACES) free_slot = i;
    }
    KeReleaseSpinLock(&lock, irql);

    RtlZeroMemory(ids, sizeof(ids));
    if (IoGetDeviceProperty(device, DevicePropertyHardwareID, sizeof(ids) - sizeof(WCHAR), ids, &length) != STATUS_SUCCESS)
        return COLLECTION_UNKNOWN;
    result = collections_in(ids);
    KeAcquireSpinLock(&lock, &irql);
    if (free_slot < KNOWN_INTERFACES && !known_interfaces[free_slot].device) {
        known_interfaces[free_slot].device = device;
        known_interfaces[free_slot].collections = result;
    }
    KeReleaseSpinLock(&lock, irql);
    return result;
}

static NTSTATUS WINAPI add_device(DRIVER_OBJECT *driver, DEVICE_OBJECT *fdo)
{
    HID_DEVICE_EXTENSION *hid = fdo->DeviceExtension;
    struct vmouse *vm = hid->MiniDeviceExtension;
    KIRQL irql;
    (void)driver;

    RtlZeroMemory(vm, sizeof(*vm));
    vm->collections = collections_of(hid->PhysicalDeviceObject);
    KeAcquireSpinLock(&lock, &irql);
    InsertTailList(&devices, &vm->entry);
    KeReleaseSpinLock(&lock, irql);
    fdo->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

static NTSTATUS WINAPI dispatch_pnp(DEVICE_OBJECT *fdo, IRP *irp)
{
    HID_DEVICE_EXTENSION *hid = fdo->DeviceExtension;
    struct vmouse *vm = hid->MiniDeviceExtension;
    IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
    IRP *read = NULL;
    KIRQL irql;

    KeAcquireSpinLock(&lock, &irql);
    switch (stack->MinorFunction) {
    case IRP_MN_START_DEVICE:
        vm->started = TRUE;
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    case IRP_MN_SURPRISE_REMOVAL:
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_STOP_DEVICE:
        read = take_leave(vm);
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    case IRP_MN_REMOVE_DEVICE:
        read = take_leave(vm);
        RemoveEntryList(&vm->entry);
        RtlZeroMemory(known_interfaces, sizeof(known_interfaces));
        if (IsListEmpty(&devices)) holding = FALSE;
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    default:
        break;
    }
    KeReleaseSpinLock(&lock, irql);
    end_read(read);

    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(hid->NextDeviceObject, irp);
}

static const UCHAR *descriptor_of(const struct vmouse *vm, ULONG *length)
{
    switch (vm->collections) {
    case COLLECTION_VENDOR:
        *length = sizeof(vendor_descriptor);
        return vendor_descriptor;
    case COLLECTION_MOUSE:
        *length = sizeof(mouse_descriptor);
        return mouse_descriptor;
    default:
        *length = sizeof(both_descriptor);
        return both_descriptor;
    }
}

static void record_host_report(ULONG kind, const HID_XFER_PACKET *packet)
{
    ULONG length = 0;
    KIRQL irql;

    KeAcquireSpinLock(&lock, &irql);
    /* With a report ID the packet's buffer starts with it; report ID 0 is not in the buffer. */
    if (packet->reportId == 0) host_report.Data[length++] = 0;
    if (packet->reportBufferLen > QELVM_MAX_REPORT - length) {
        RtlCopyMemory(host_report.Data + length, packet->reportBuffer, QELVM_MAX_REPORT - length);
        length = QELVM_MAX_REPORT;
    } else {
        RtlCopyMemory(host_report.Data + length, packet->reportBuffer, packet->reportBufferLen);
        length += packet->reportBufferLen;
    }
    host_report.Kind = kind;
    host_report.Length = length;
    ++host_report.Sequence;
    if (kind == QELVM_HOST_FEATURE && length > 0 && host_report.Data[0] == QELVM_FEATURE_REPORT_ID) {
        RtlZeroMemory(feature_answer, sizeof(feature_answer));
        RtlCopyMemory(feature_answer, host_report.Data, length);
    }
    KeReleaseSpinLock(&lock, irql);
}

static NTSTATUS get_string(IRP *irp)
{
    IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
    ULONG id = (ULONG)(ULONG_PTR)stack->Parameters.DeviceIoControl.Type3InputBuffer & 0xffff;
    ULONG room = stack->Parameters.DeviceIoControl.OutputBufferLength;
    const WCHAR *text;
    ULONG bytes;

    switch (id) {
    case HID_STRING_ID_IMANUFACTURER: text = L"QelMon"; break;
    case HID_STRING_ID_IPRODUCT: text = L"Virtual HV730 Gaming Mouse"; break;
    case HID_STRING_ID_ISERIALNUMBER: text = L"0001"; break;
    default: return STATUS_INVALID_PARAMETER;
    }
    bytes = (ULONG)(wcslen(text) + 1) * sizeof(WCHAR);
    if (room < bytes) return STATUS_BUFFER_TOO_SMALL;
    RtlCopyMemory(irp->UserBuffer, text, bytes);
    irp->IoStatus.Information = bytes;
    return STATUS_SUCCESS;
}

static NTSTATUS WINAPI dispatch_internal_ioctl(DEVICE_OBJECT *fdo, IRP *irp)
{
    struct vmouse *vm = vmouse_of(fdo);
    IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
    ULONG room = stack->Parameters.DeviceIoControl.OutputBufferLength;
    HID_XFER_PACKET *packet = irp->UserBuffer;
    NTSTATUS status = STATUS_NOT_SUPPORTED;
    KIRQL irql;

    irp->IoStatus.Information = 0;
    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_HID_GET_DEVICE_DESCRIPTOR: {
        HID_DESCRIPTOR descriptor = {sizeof(HID_DESCRIPTOR), 0x21, 0x0111, 0, 1, 0x22, 0};
        ULONG length;
        descriptor_of(vm, &length);
        descriptor.wReportLength = (USHORT)length;
        if (room < sizeof(descriptor)) {
            status = STATUS_BUFFER_TOO_SMALL;
            break;
        }
        RtlCopyMemory(irp->UserBuffer, &descriptor, sizeof(descriptor));
        irp->IoStatus.Information = sizeof(descriptor);
        status = STATUS_SUCCESS;
        break;
    }
    case IOCTL_HID_GET_REPORT_DESCRIPTOR: {
        ULONG length;
        const UCHAR *descriptor = descriptor_of(vm, &length);
        if (room < length) {
            status = STATUS_BUFFER_TOO_SMALL;
            break;
        }
        RtlCopyMemory(irp->UserBuffer, descriptor, length);
        irp->IoStatus.Information = length;
        status = STATUS_SUCCESS;
        break;
    }
    case IOCTL_HID_GET_DEVICE_ATTRIBUTES: {
        HID_DEVICE_ATTRIBUTES attributes;
        if (room < sizeof(attributes)) {
            status = STATUS_BUFFER_TOO_SMALL;
            break;
        }
        RtlZeroMemory(&attributes, sizeof(attributes));
        attributes.Size = sizeof(attributes);
        attributes.VendorID = QELVM_VENDOR_ID;
        attributes.ProductID = QELVM_PRODUCT_ID;
        attributes.VersionNumber = QELVM_VERSION;
        RtlCopyMemory(irp->UserBuffer, &attributes, sizeof(attributes));
        irp->IoStatus.Information = sizeof(attributes);
        status = STATUS_SUCCESS;
        break;
    }
    case IOCTL_HID_GET_STRING:
        status = get_string(irp);
        break;
    case IOCTL_HID_READ_REPORT:
        KeAcquireSpinLock(&lock, &irql);
        if (vm->gone || !vm->started) {
            status = STATUS_DEVICE_NOT_CONNECTED;
        } else if (vm->queue_count && !holding) {
            take_queued(vm, irp);
            status = STATUS_SUCCESS;
        } else if (vm->pending_read) {
            status = STATUS_DEVICE_BUSY;
        } else {
            IoMarkIrpPending(irp);
            vm->pending_read = irp;
            KeReleaseSpinLock(&lock, irql);
            return STATUS_PENDING;
        }
        KeReleaseSpinLock(&lock, irql);
        if (status == STATUS_SUCCESS) {
            ULONG_PTR information = irp->IoStatus.Information;
            complete(irp, status, information);
            return status;
        }
        break;
    case IOCTL_HID_WRITE_REPORT:
    case IOCTL_HID_SET_OUTPUT_REPORT:
        record_host_report(QELVM_HOST_OUTPUT, packet);
        status = STATUS_SUCCESS;
        break;
    case IOCTL_HID_SET_FEATURE:
        record_host_report(QELVM_HOST_FEATURE, packet);
        status = STATUS_SUCCESS;
        break;
    case IOCTL_HID_GET_FEATURE: {
        ULONG length = packet->reportBufferLen;
        if (packet->reportId != QELVM_FEATURE_REPORT_ID) {
            status = STATUS_INVALID_PARAMETER;
            break;
        }
        RtlZeroMemory(packet->reportBuffer, length);
        KeAcquireSpinLock(&lock, &irql);
        RtlCopyMemory(packet->reportBuffer, feature_answer, length < sizeof(feature_answer) ? length : sizeof(feature_answer));
        KeReleaseSpinLock(&lock, irql);
        packet->reportBuffer[0] = QELVM_FEATURE_REPORT_ID;
        irp->IoStatus.Information = length;
        status = STATUS_SUCCESS;
        break;
    }
    default:
        break;
    }
    complete(irp, status, irp->IoStatus.Information);
    return status;
}

/* Hands one input report to every plugged-in vendor collection: straight into the class
 * driver's waiting read, or into the device's queue while the class driver is busy. */
static void send_input(const UCHAR *report, ULONG length, QELVM_SEND_RESULT *result)
{
    IRP *reads[8];
    ULONG count = 0, i;
    LIST_ENTRY *entry;
    KIRQL irql;

    result->Delivered = result->Dropped = 0;
    KeAcquireSpinLock(&lock, &irql);
    for (entry = devices.Flink; entry != &devices; entry = entry->Flink) {
        struct vmouse *vm = CONTAINING_RECORD(entry, struct vmouse, entry);
        if (!(vm->collections & COLLECTION_VENDOR) || vm->gone || !vm->started) continue;
        if (vm->pending_read && !holding && count < sizeof(reads) / sizeof(reads[0])) {
            fill_read(vm->pending_read, report, length);
            reads[count++] = vm->pending_read;
            vm->pending_read = NULL;
            ++result->Delivered;
        } else if (vm->queue_count < QELVM_QUEUE_LENGTH) {
            ULONG slot = (vm->queue_head + vm->queue_count) % QELVM_QUEUE_LENGTH;
            RtlCopyMemory(vm->queue[slot], report, length);
            vm->queue_length[slot] = (UCHAR)length;
            ++vm->queue_count;
            ++result->Delivered;
        } else {
            ++result->Dropped;
        }
    }
    KeReleaseSpinLock(&lock, irql);
    for (i = 0; i < count; ++i) IoCompleteRequest(reads[i], IO_NO_INCREMENT);
}

/* The end of a hold: every waiting read of the class driver takes the oldest report of its device;
 * the next reads take the rest. */
static void release_reports(void)
{
    for (;;) {
        IRP *irp = NULL;
        LIST_ENTRY *entry;
        KIRQL irql;

        KeAcquireSpinLock(&lock, &irql);
        holding = FALSE;
        for (entry = devices.Flink; entry != &devices && !irp; entry = entry->Flink) {
            struct vmouse *vm = CONTAINING_RECORD(entry, struct vmouse, entry);
            if (vm->gone || !vm->started || !vm->pending_read || !vm->queue_count) continue;
            irp = vm->pending_read;
            vm->pending_read = NULL;
            take_queued(vm, irp);
        }
        KeReleaseSpinLock(&lock, irql);
        if (!irp) return;
        IoCompleteRequest(irp, IO_NO_INCREMENT);
    }
}

static void status_of(QELVM_STATUS *status)
{
    LIST_ENTRY *entry;
    KIRQL irql;

    RtlZeroMemory(status, sizeof(*status));
    KeAcquireSpinLock(&lock, &irql);
    for (entry = devices.Flink; entry != &devices; entry = entry->Flink) {
        struct vmouse *vm = CONTAINING_RECORD(entry, struct vmouse, entry);
        if (vm->gone || !vm->started) continue;
        if (vm->collections & COLLECTION_VENDOR) ++status->VendorCollections;
        if (vm->collections & COLLECTION_MOUSE) ++status->MouseCollections;
        status->ReportsQueued += vm->queue_count;
    }
    KeReleaseSpinLock(&lock, irql);
    status->VendorReadsWaiting = (ULONG)(reads_waiting[COLLECTION_VENDOR] + reads_waiting[COLLECTION_BOTH]);
    status->MouseReadsWaiting = (ULONG)reads_waiting[COLLECTION_MOUSE];
    status->VendorReadsIssued = (ULONG)(reads_issued[COLLECTION_VENDOR] + reads_issued[COLLECTION_BOTH]);
    status->MouseReadsIssued = (ULONG)reads_issued[COLLECTION_MOUSE];
}

static NTSTATUS control_ioctl(IRP *irp)
{
    IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
    ULONG in = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG out = stack->Parameters.DeviceIoControl.OutputBufferLength;
    void *buffer = irp->AssociatedIrp.SystemBuffer;
    NTSTATUS status = STATUS_INVALID_DEVICE_REQUEST;
    ULONG_PTR information = 0;
    KIRQL irql;

    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_QELVM_SEND_INPUT: {
        UCHAR report[QELVM_MAX_REPORT];
        QELVM_SEND_RESULT result;
        /* The class driver drops a report whose ID or length its descriptor does not have. */
        if (in != QELVM_INPUT_LENGTH || out < sizeof(result) ||
            (((UCHAR *)buffer)[0] != QELVM_BUTTON_REPORT_ID && ((UCHAR *)buffer)[0] != QELVM_PROFILE_REPORT_ID)) {
            status = STATUS_INVALID_PARAMETER;
            break;
        }
        RtlCopyMemory(report, buffer, in);
        send_input(report, in, &result);
        RtlCopyMemory(buffer, &result, sizeof(result));
        information = sizeof(result);
        status = result.Delivered ? STATUS_SUCCESS : result.Dropped ? STATUS_DEVICE_BUSY : STATUS_DEVICE_NOT_CONNECTED;
        break;
    }
    case IOCTL_QELVM_LAST_HOST_REPORT:
        if (out < sizeof(QELVM_HOST_REPORT)) {
            status = STATUS_BUFFER_TOO_SMALL;
            break;
        }
        KeAcquireSpinLock(&lock, &irql);
        RtlCopyMemory(buffer, &host_report, sizeof(host_report));
        KeReleaseSpinLock(&lock, irql);
        information = sizeof(QELVM_HOST_REPORT);
        status = STATUS_SUCCESS;
        break;
    case IOCTL_QELVM_SET_FEATURE_ANSWER:
        if (in < 1 || in > QELVM_FEATURE_LENGTH || ((UCHAR *)buffer)[0] != QELVM_FEATURE_REPORT_ID) {
            status = STATUS_INVALID_PARAMETER;
            break;
        }
        KeAcquireSpinLock(&lock, &irql);
        RtlZeroMemory(feature_answer, sizeof(feature_answer));
        RtlCopyMemory(feature_answer, buffer, in);
        KeReleaseSpinLock(&lock, irql);
        status = STATUS_SUCCESS;
        break;
    case IOCTL_QELVM_STATUS:
        if (out < sizeof(QELVM_STATUS)) {
            status = STATUS_BUFFER_TOO_SMALL;
            break;
        }
        status_of(buffer);
        information = sizeof(QELVM_STATUS);
        status = STATUS_SUCCESS;
        break;
    case IOCTL_QELVM_HOLD_REPORTS:
        if (in != sizeof(ULONG)) {
            status = STATUS_INVALID_PARAMETER;
            break;
        }
        if (*(ULONG *)buffer) {
            KeAcquireSpinLock(&lock, &irql);
            holding = TRUE;
            KeReleaseSpinLock(&lock, irql);
        } else {
            release_reports();
        }
        status = STATUS_SUCCESS;
        break;
    default:
        break;
    }
    complete(irp, status, information);
    return status;
}

/* Every request for the control device: it is opened and closed, takes its device-control
 * requests and refuses everything else. */
static NTSTATUS control_request(IRP *irp)
{
    switch (IoGetCurrentIrpStackLocation(irp)->MajorFunction) {
    case IRP_MJ_CREATE:
    case IRP_MJ_CLEANUP:
    case IRP_MJ_CLOSE:
        complete(irp, STATUS_SUCCESS, 0);
        return STATUS_SUCCESS;
    case IRP_MJ_DEVICE_CONTROL:
        return control_ioctl(irp);
    default:
        complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
        return STATUS_INVALID_DEVICE_REQUEST;
    }
}

/* A read of a HID collection, passed to the class driver in a request of the driver's own: Wine 8's
 * class driver ends the reads of a removed device with STATUS_DELETE_PENDING, where Windows' ends
 * them with STATUS_DEVICE_NOT_CONNECTED, which programs take as the sign that the device is gone.
 * The caller's request gets the class driver's outcome with Windows' status. The completion of the
 * inner request, a cancellation of the caller's and the dispatch that passes it on each hold the
 * pair; the last of them to let go completes the caller's request and frees the pair. */
struct forwarded_read {
    enum collections collections;
    IRP *outer;
    IRP *inner;
    LONG references;
    NTSTATUS status;
    ULONG_PTR information;
};

static void release_read(struct forwarded_read *read)
{
    if (InterlockedDecrement(&read->references)) return;
    InterlockedDecrement(&reads_waiting[read->collections]);
    complete(read->outer, read->status, read->information);
    read->inner->MdlAddress = NULL; /* the caller's */
    IoFreeIrp(read->inner);
    ExFreePool(read);
}

static void WINAPI cancel_read(DEVICE_OBJECT *device, IRP *outer)
{
    struct forwarded_read *read = outer->Tail.Overlay.DriverContext[0];
    (void)device;
    IoReleaseCancelSpinLock(outer->CancelIrql);
    IoCancelIrp(read->inner);
    release_read(read);
}

static NTSTATUS WINAPI read_done(DEVICE_OBJECT *device, IRP *inner, void *context)
{
    struct forwarded_read *read = context;
    (void)device;
    read->status = inner->IoStatus.Status == STATUS_DELETE_PENDING ? STATUS_DEVICE_NOT_CONNECTED : inner->IoStatus.Status;
    read->information = inner->IoStatus.Information;
    /* A cancel routine taken back here never runs: its hold goes with it. */
    if (IoSetCancelRoutine(read->outer, NULL)) release_read(read);
    release_read(read);
    return STATUS_MORE_PROCESSING_REQUIRED;
}

static NTSTATUS forward_read(DEVICE_OBJECT *device, IRP *outer)
{
    IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(outer), *next;
    struct forwarded_read *read;
    IRP *inner;

    read = ExAllocatePool(NonPagedPool, sizeof(*read));
    inner = read ? IoAllocateIrp(device->StackSize, FALSE) : NULL;
    if (!inner) {
        if (read) ExFreePool(read);
        complete(outer, STATUS_INSUFFICIENT_RESOURCES, 0);
        return STATUS_INSUFFICIENT_RESOURCES;
    }
    read->collections = interface_collections(device);
    InterlockedIncrement(&reads_waiting[read->collections]);
    InterlockedIncrement(&reads_issued[read->collections]);
    read->outer = outer;
    read->inner = inner;
    read->references = 3;
    read->status = STATUS_CANCELLED;
    read->information = 0;
    inner->AssociatedIrp.SystemBuffer = outer->AssociatedIrp.SystemBuffer;
    inner->UserBuffer = outer->UserBuffer;
    inner->MdlAddress = outer->MdlAddress;
    inner->RequestorMode = outer->RequestorMode;
    inner->Tail.Overlay.Thread = outer->Tail.Overlay.Thread;
    inner->Tail.Overlay.OriginalFileObject = outer->Tail.Overlay.OriginalFileObject;
    next = IoGetNextIrpStackLocation(inner);
    *next = *stack;
    IoSetCompletionRoutine(inner, read_done, read, TRUE, TRUE, TRUE);

    IoMarkIrpPending(outer);
    outer->Tail.Overlay.DriverContext[0] = read;
    IoSetCancelRoutine(outer, cancel_read);
    /* A cancel that came before the routine was in place called none: the read ends here, and
     * nobody else holds the pair. */
    if (outer->Cancel && IoSetCancelRoutine(outer, NULL)) {
        read->references = 1;
        release_read(read);
        return STATUS_PENDING;
    }
    /* Straight to the class driver: through the driver object the request would come back here. */
    IoSetNextIrpStackLocation(inner);
    IoGetCurrentIrpStackLocation(inner)->DeviceObject = device;
    class_dispatch[IRP_MJ_READ](device, inner);
    /* A cancel that came while the request was on its way found it not yet with the class driver,
     * which has not seen it: cancel it again there. */
    if (outer->Cancel) IoCancelIrp(inner);
    release_read(read);
    return STATUS_PENDING;
}

static NTSTATUS WINAPI dispatch(DEVICE_OBJECT *device, IRP *irp)
{
    UCHAR major = IoGetCurrentIrpStackLocation(irp)->MajorFunction;
    if (device == control) return control_request(irp);
    if (major == IRP_MJ_READ) return forward_read(device, irp);
    if (class_dispatch[major]) return class_dispatch[major](device, irp);
    complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    return STATUS_INVALID_DEVICE_REQUEST;
}

static void WINAPI driver_unload(DRIVER_OBJECT *driver)
{
    UNICODE_STRING link;
    (void)driver;
    RtlInitUnicodeString(&link, QELVM_CONTROL_LINK);
    IoDeleteSymbolicLink(&link);
    if (control) IoDeleteDevice(control);
    control = NULL;
}

NTSTATUS WINAPI DriverEntry(DRIVER_OBJECT *driver, UNICODE_STRING *registry)
{
    HID_MINIDRIVER_REGISTRATION registration;
    UNICODE_STRING name, link;
    NTSTATUS status;
    ULONG i;

    KeInitializeSpinLock(&lock);
    InitializeListHead(&devices);

    driver->DriverExtension->AddDevice = add_device;
    driver->DriverUnload = driver_unload;
    driver->MajorFunction[IRP_MJ_PNP] = dispatch_pnp;
    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = dispatch_internal_ioctl;

    RtlZeroMemory(&registration, sizeof(registration));
    registration.Revision = HID_REVISION;
    registration.DriverObject = driver;
    registration.RegistryPath = registry;
    registration.DeviceExtensionSize = sizeof(struct vmouse);
    registration.DevicesArePolled = FALSE;
    status = HidRegisterMinidriver(&registration);
    if (status != STATUS_SUCCESS) return status;

    /* In front of every entry, as the class driver left them while registering. */
    for (i = 0; i <= IRP_MJ_MAXIMUM_FUNCTION; ++i) {
        class_dispatch[i] = driver->MajorFunction[i];
        driver->MajorFunction[i] = dispatch;
    }

    RtlInitUnicodeString(&name, QELVM_CONTROL_NAME);
    RtlInitUnicodeString(&link, QELVM_CONTROL_LINK);
    status = IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, FILE_DEVICE_SECURE_OPEN, FALSE, &control);
    if (status != STATUS_SUCCESS) return status;
    status = IoCreateSymbolicLink(&link, &name);
    if (status != STATUS_SUCCESS) {
        IoDeleteDevice(control);
        control = NULL;
        return status;
    }
    control->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}
