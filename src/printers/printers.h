// Printer discovery: the spooler's printer list, the supported drivers, the
// model slot and the names of the shared objects derived from it.
#pragma once
#include <windows.h>
#include <winspool.h>

#define DRIVER_KR470 L"NRV KR-470 Raster"
#define DRIVER_DUMMY L"NRV KR-Dmy Raster"

enum { MODEL_SLOT_NONE = 0, MODEL_SLOT_DUMMY = 1, MODEL_SLOT_KR470 = 5 };

// Results of EnumeratePrinters.
enum { ENUM_READY = 0, ENUM_FATAL = 2 };
enum { ENUM_RETRY_BUDGET = 60 };
enum { PROFILE_DEVICE_UNITS = 1024 };

// Set only by IdentifyModel, only to a table slot, never back to 0.
extern int ModelSlot;
// The supported driver name that IdentifyModel met last (NULL until then).
extern const WCHAR* matchedDriverName;

// The NameSet. The first three are NULL until a slot other than 0 was selected;
// a NULL name makes the object it names unnamed.
extern const WCHAR* mappingName;
extern const WCHAR* mappingMutexName;
extern const WCHAR* dummyDocumentName;

struct InstanceMutexName {
  const WCHAR* plain;
  const WCHAR* prefixed;  // with "Global\", for the NT family
};

int EnumeratePrinters(PRINTER_INFO_2W** list, DWORD* count);
BOOL IdentifyModel(PRINTER_INFO_2W* list, DWORD count, PRINTER_INFO_2W** matched);
BOOL FindSupportedPrinter(int* enumResult);
void SelectNameSet(int slot, InstanceMutexName* instanceMutexName);

// The default printer of the user's profile ("windows", "device"): the first
// non-empty token before a ",". Returns FALSE (and an empty name) when there is none.
BOOL ReadDefaultPrinterName(WCHAR* name, int units);

// Zero-filled fixed block from the global heap. Size 0 gives NULL with error -1.
void* AllocZeroed(SIZE_T size, DWORD* error);
// 0 released; (DWORD)-1 no block given; otherwise the system error code.
DWORD FreeAllocated(void* block);
