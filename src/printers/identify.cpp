// Recognises the supported drivers and, through the default printer, the model slot.
#include "printers/printers.h"

int ModelSlot;
const WCHAR* matchedDriverName;

struct SupportedDriver {
  const WCHAR* name;
  int slot;
};
// Tested in this order.
static const SupportedDriver supportedDrivers[] = {
    {DRIVER_KR470, MODEL_SLOT_KR470},
    {DRIVER_DUMMY, MODEL_SLOT_DUMMY},
};

BOOL ReadDefaultPrinterName(WCHAR* name, int units) {
  WCHAR device[PROFILE_DEVICE_UNITS];
  GetProfileStringW(L"windows", L"device", L",,,", device, PROFILE_DEVICE_UNITS);
  name[0] = L'\0';
  const WCHAR* token = device;
  while (*token == L',') token++;
  int length = 0;
  while (token[length] && token[length] != L',') length++;
  if (length == 0) return FALSE;
  if (length > units - 1) length = units - 1;
  lstrcpynW(name, token, length + 1);
  return TRUE;
}

static const SupportedDriver* FindDriver(const WCHAR* driverName) {
  if (!driverName) return NULL;
  for (const SupportedDriver& driver : supportedDrivers)
    if (lstrcmpW(driverName, driver.name) == 0) return &driver;
  return NULL;
}

BOOL IdentifyModel(PRINTER_INFO_2W* list, DWORD count, PRINTER_INFO_2W** matched) {
  *matched = NULL;
  WCHAR defaultName[PROFILE_DEVICE_UNITS];
  BOOL hasDefault = ReadDefaultPrinterName(defaultName, PROFILE_DEVICE_UNITS);
  if (count == 0 || !list) return FALSE;
  BOOL found = FALSE;
  for (DWORD i = 0; i < count; i++) {
    const SupportedDriver* driver = FindDriver(list[i].pDriverName);
    if (!driver) continue;
    found = TRUE;
    matchedDriverName = driver->name;
    if (hasDefault && list[i].pPrinterName && lstrcmpW(list[i].pPrinterName, defaultName) == 0) {
      ModelSlot = driver->slot;
      *matched = &list[i];
      return TRUE;
    }
  }
  return found;
}
