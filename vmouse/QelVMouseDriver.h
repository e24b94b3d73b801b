#pragma once
/* What the virtual mouse's driver and its control program share: the control device's name, its
 * requests and their records. Included by the kernel-mode driver (C) and by qelmouse.exe (C++);
 * plain C types only. */

/* The control device: qelmouse.exe opens "\\.\QelVMouse". */
#define QELVM_CONTROL_NAME L"\\Device\\QelVMouse"
#define QELVM_CONTROL_LINK L"\\DosDevices\\QelVMouse"
#define QELVM_CONTROL_PATH L"\\\\.\\QelVMouse"

/* Vendor and product of the virtual mouse: pid.codes' vendor with one of its test products, so
 * that no real device shares them. */
#define QELVM_VENDOR_ID 0x1209
#define QELVM_PRODUCT_ID 0x0007
#define QELVM_VERSION 0x0100

/* Hardware ID of the root-enumerated device instances the driver serves (the INF names it). */
#define QELVM_HARDWARE_ID L"root\\qelvmouse"

/* Report IDs and lengths (report ID byte included) of the vendor collection. */
#define QELVM_BUTTON_REPORT_ID 7
#define QELVM_PROFILE_REPORT_ID 8
#define QELVM_INPUT_LENGTH 8
#define QELVM_OUTPUT_REPORT_ID 6
#define QELVM_FEATURE_REPORT_ID 5
#define QELVM_OUTPUT_LENGTH 64
#define QELVM_FEATURE_LENGTH 64
#define QELVM_MAX_REPORT 64

#define QELVM_CTL(n) (((0x00000022) << 16) | ((0) << 14) | ((0x800 + (n)) << 2) | (0))

/* In: one input report of the vendor collection (report ID first: QELVM_BUTTON_REPORT_ID or
 * QELVM_PROFILE_REPORT_ID, QELVM_INPUT_LENGTH bytes), handed to every vendor collection that is
 * plugged in; any other report is refused (STATUS_INVALID_PARAMETER), as the class driver would
 * drop it. Out: a QELVM_SEND_RESULT. */
#define IOCTL_QELVM_SEND_INPUT QELVM_CTL(1)
/* Out: the QELVM_HOST_REPORT the host sent last (output report or feature report). */
#define IOCTL_QELVM_LAST_HOST_REPORT QELVM_CTL(2)
/* In: a feature report (report ID first) that HidD_GetFeature of that ID answers from now on. */
#define IOCTL_QELVM_SET_FEATURE_ANSWER QELVM_CTL(3)
/* Out: a QELVM_STATUS. */
#define IOCTL_QELVM_STATUS QELVM_CTL(5)
/* In: a ULONG. Nonzero: the devices keep the input reports they are handed in their queues (of
 * QELVM_QUEUE_LENGTH reports each) and the class driver's reads wait; zero: the queued reports go
 * on to the class driver, in order. A hold also ends when the last device goes. */
#define IOCTL_QELVM_HOLD_REPORTS QELVM_CTL(6)

#define QELVM_QUEUE_LENGTH 256

typedef struct QELVM_SEND_RESULT {
    unsigned long Delivered; /* collections that took the report */
    unsigned long Dropped;   /* collections whose queue was full */
} QELVM_SEND_RESULT;

#define QELVM_HOST_NONE 0
#define QELVM_HOST_OUTPUT 1
#define QELVM_HOST_FEATURE 2

typedef struct QELVM_HOST_REPORT {
    unsigned long Sequence; /* 0 while the host has sent nothing; counts every report */
    unsigned long Kind;     /* QELVM_HOST_* */
    unsigned long Length;   /* bytes in Data, report ID included */
    unsigned char Data[QELVM_MAX_REPORT];
} QELVM_HOST_REPORT;

typedef struct QELVM_STATUS {
    unsigned long VendorCollections; /* plugged-in devices with the vendor collection */
    unsigned long MouseCollections;  /* plugged-in devices with the standard mouse collection */
    unsigned long ReportsQueued;     /* input reports not yet taken by the class driver */
    /* Reads of the host on the vendor and mouse collections: waiting now, and issued since the
     * driver started (one per report read, and one more whenever a reader starts). A device with
     * both collections has one interface under Wine 8, which carries the first, the vendor one:
     * its reads count as the vendor collection's. */
    unsigned long VendorReadsWaiting;
    unsigned long MouseReadsWaiting;
    unsigned long VendorReadsIssued;
    unsigned long MouseReadsIssued;
} QELVM_STATUS;
