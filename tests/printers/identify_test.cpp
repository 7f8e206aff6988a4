// Model identification through the default printer of the profile.
#include <gtest/gtest.h>
#include "printers/printers.h"
#include "support.h"

#define GENERIC L"Generic / Text Only"
static const WCHAR before[] = L"(before)";  // stands for a driver name met earlier

struct Entry {
  const WCHAR* name;
  const WCHAR* driver;
};
struct IdentifyCase {
  const char* what;
  const WCHAR* device;  // the profile's "device" value; NULL: no entry
  Entry entries[4];
  DWORD count;
  int startSlot;
  BOOL result;
  int matched;               // index of the matched entry, -1 for none
  int slot;                  // ModelSlot afterwards
  const WCHAR* driver;       // matchedDriverName afterwards; `before` when unchanged
};

static const IdentifyCase cases[] = {
    {"default uses the KR-470 driver", L"Shelf,winspool,USB001",
     {{L"Office", GENERIC}, {L"Shelf", DRIVER_KR470}}, 2, 0, TRUE, 1, 5, DRIVER_KR470},
    {"default uses the dummy driver", L"Dmy,winspool,USB002", {{L"Dmy", DRIVER_DUMMY}}, 1, 0, TRUE, 0, 1,
     DRIVER_DUMMY},
    {"supported printer is not the default", L"Office,winspool,LPT1:",
     {{L"Office", GENERIC}, {L"Shelf", DRIVER_KR470}}, 2, 0, TRUE, -1, 0, DRIVER_KR470},
    {"not the default keeps the earlier slot", L"Office,winspool,LPT1:",
     {{L"Office", GENERIC}, {L"Shelf", DRIVER_KR470}}, 2, 1, TRUE, -1, 1, DRIVER_KR470},
    {"two supported, the second default", L"Second,winspool,USB002",
     {{L"First", DRIVER_KR470}, {L"Second", DRIVER_DUMMY}}, 2, 0, TRUE, 1, 1, DRIVER_DUMMY},
    {"two supported, the first default", L"First,winspool,USB001",
     {{L"First", DRIVER_KR470}, {L"Second", DRIVER_DUMMY}}, 2, 1, TRUE, 0, 5, DRIVER_KR470},
    {"two supported, neither default", L"Office,winspool,LPT1:",
     {{L"First", DRIVER_DUMMY}, {L"Second", DRIVER_KR470}, {L"Office", GENERIC}}, 3, 0, TRUE, -1, 0, DRIVER_KR470},
    {"no profile entry", NULL, {{L"Shelf", DRIVER_KR470}}, 1, 0, TRUE, -1, 0, DRIVER_KR470},
    {"profile entry of commas only", L",,,", {{L"Shelf", DRIVER_KR470}}, 1, 0, TRUE, -1, 0, DRIVER_KR470},
    {"empty profile entry", L"", {{L"Shelf", DRIVER_KR470}}, 1, 5, TRUE, -1, 5, DRIVER_KR470},
    {"profile entry with leading commas", L",,Shelf,winspool,USB001", {{L"Shelf", DRIVER_KR470}}, 1, 0, TRUE, 0, 5,
     DRIVER_KR470},
    {"profile entry that is just the name", L"Shelf", {{L"Shelf", DRIVER_DUMMY}}, 1, 0, TRUE, 0, 1, DRIVER_DUMMY},
    {"entries with missing names and drivers", L"Shelf,winspool,USB001",
     {{NULL, DRIVER_KR470}, {L"Shelf", NULL}, {NULL, NULL}, {L"Shelf", DRIVER_DUMMY}}, 4, 0, TRUE, 3, 1, DRIVER_DUMMY},
    {"default printer without a driver name", L"Shelf,winspool,USB001", {{L"Shelf", NULL}}, 1, 5, FALSE, -1, 5,
     before},
    {"empty list", L"Shelf,winspool,USB001", {}, 0, 5, FALSE, -1, 5, before},
    {"driver names must match exactly", L"Shelf,winspool,USB001",
     {{L"Shelf", L"NRV KR-470 raster"}, {L"Other", L"NRV KR-470 Raster "}, {L"Third", L"NRV KR-Dmy"}}, 3, 1, FALSE,
     -1, 1, before},
};

TEST(IdentifyModel, FindsTheModelOnlyThroughTheDefaultPrinter) {
  for (const IdentifyCase& c : cases) {
    SCOPED_TRACE(c.what);
    WriteProfileStringW(L"windows", L"device", c.device);
    PRINTER_INFO_2W list[4] = {};
    for (DWORD i = 0; i < c.count; i++) {
      list[i].pPrinterName = const_cast<WCHAR*>(c.entries[i].name);
      list[i].pDriverName = const_cast<WCHAR*>(c.entries[i].driver);
    }
    ModelSlot = c.startSlot;
    matchedDriverName = before;
    PRINTER_INFO_2W* matched = (PRINTER_INFO_2W*)1;

    EXPECT_EQ(c.result, IdentifyModel(c.count ? list : NULL, c.count, &matched));

    EXPECT_EQ(c.matched < 0 ? NULL : &list[c.matched], matched);
    EXPECT_EQ(c.slot, ModelSlot);
    if (c.driver == before)
      EXPECT_EQ(before, matchedDriverName);
    else
      EXPECT_STREQ(c.driver, matchedDriverName);
  }
  WriteProfileStringW(L"windows", L"device", NULL);
  ModelSlot = 0;
  matchedDriverName = NULL;
}

TEST(DefaultPrinterName, IsTheFirstNonEmptyTokenOfTheProfileEntry) {
  struct {
    const WCHAR* device;
    BOOL found;
    const WCHAR* name;
  } entries[] = {
      {L"Shelf,winspool,USB001", TRUE, L"Shelf"},
      {L",,Shelf,winspool", TRUE, L"Shelf"},
      {L"Shelf", TRUE, L"Shelf"},
      {L",,,", FALSE, L""},
      {L"", FALSE, L""},
      {NULL, FALSE, L""},
  };
  for (const auto& entry : entries) {
    SCOPED_TRACE(entry.device ? entry.device : L"(none)");
    WriteProfileStringW(L"windows", L"device", entry.device);
    WCHAR name[PROFILE_DEVICE_UNITS];
    lstrcpyW(name, L"stale");
    EXPECT_EQ(entry.found, ReadDefaultPrinterName(name, PROFILE_DEVICE_UNITS));
    EXPECT_STREQ(entry.name, name);
  }
  WriteProfileStringW(L"windows", L"device", NULL);
}

struct NameSetRow {
  int slot;
  const WCHAR* mapping;
  const WCHAR* mutex;
  const WCHAR* document;
  const WCHAR* plain;
  const WCHAR* prefixed;
};

TEST(NameSet, FollowsTheSlotAndSlotZeroKeepsTheNames) {
  const NameSetRow rows[] = {
      {5, L"Global\\QATOLM Status Monitor Connection MapFile",
       L"Global\\QATOLM Status Monitor Connection MapFile Mutex", L"QATOLMWindow-Dummy", L"QATOLMMonitor_Mutex",
       L"Global\\QATOLMMonitor_Mutex"},
      {0, L"Global\\QATOLM Status Monitor Connection MapFile",
       L"Global\\QATOLM Status Monitor Connection MapFile Mutex", L"QATOLMWindow-Dummy", L"QAxxLMMonitor_Mutex",
       L"Global\\QAxxLMMonitor_Mutex"},
      {1, L"Global\\QAxxLM Status Monitor Connection MapFile",
       L"Global\\QAxxLM Status Monitor Connection MapFile Mutex", L"QAxxLMWindow-Dummy", L"QAxxLMMonitor_Mutex",
       L"Global\\QAxxLMMonitor_Mutex"},
      {0, L"Global\\QAxxLM Status Monitor Connection MapFile",
       L"Global\\QAxxLM Status Monitor Connection MapFile Mutex", L"QAxxLMWindow-Dummy", L"QAxxLMMonitor_Mutex",
       L"Global\\QAxxLMMonitor_Mutex"},
  };
  mappingName = mappingMutexName = dummyDocumentName = NULL;
  InstanceMutexName instance;
  SelectNameSet(0, &instance);
  EXPECT_EQ(NULL, mappingName);
  EXPECT_EQ(NULL, mappingMutexName);
  EXPECT_EQ(NULL, dummyDocumentName);
  EXPECT_STREQ(L"Global\\QAxxLMMonitor_Mutex", instance.prefixed);
  for (const NameSetRow& row : rows) {  // in this order: slot 0 after each slot
    SCOPED_TRACE(row.slot);
    InstanceMutexName names = {};
    SelectNameSet(row.slot, &names);
    EXPECT_STREQ(row.mapping, mappingName);
    EXPECT_STREQ(row.mutex, mappingMutexName);
    EXPECT_STREQ(row.document, dummyDocumentName);
    EXPECT_STREQ(row.plain, names.plain);
    EXPECT_STREQ(row.prefixed, names.prefixed);
  }
  mappingName = mappingMutexName = dummyDocumentName = NULL;
}
