// The connection block from the language monitor's side: opened by the slot's
// names, touched only under the mapping mutex, texts in the ANSI code page.
#include "lmsim.h"
#include "connection/connection_block.h"

// The status monitor's single-instance mutex, by the slot it started with.
#define KR470_INSTANCE_MUTEX L"Global\\QATOLMMonitor_Mutex"
#define DUMMY_INSTANCE_MUTEX L"Global\\QAxxLMMonitor_Mutex"
#define KR470_DRIVER L"NRV KR-470 Raster"
#define DUMMY_DRIVER L"NRV KR-Dmy Raster"

enum { MODEL_SLOT_KR470 = 5, MAX_CHARACTER_BYTES = 8 };

int simSlot = MODEL_SLOT_KR470;

static HANDLE recordMapping;
static HANDLE recordMutex;
static BYTE* recordView;

static const WCHAR* MappingName(void) {
  return simSlot == MODEL_SLOT_KR470 ? L"" CB_KR470_MAPPING_NAME : L"" CB_DUMMY_MAPPING_NAME;
}

static const WCHAR* MappingMutexName(void) {
  return simSlot == MODEL_SLOT_KR470 ? L"" CB_KR470_MAPPING_MUTEX_NAME : L"" CB_DUMMY_MAPPING_MUTEX_NAME;
}

const WCHAR* DummyDocumentName(void) {
  return simSlot == MODEL_SLOT_KR470 ? L"" CB_KR470_DUMMY_DOCUMENT : L"" CB_DUMMY_DUMMY_DOCUMENT;
}

const WCHAR* DriverName(void) {
  return simSlot == MODEL_SLOT_KR470 ? KR470_DRIVER : DUMMY_DRIVER;
}

// Creates the mapping when the status monitor has not yet, so either may
// start first; the status monitor initialises the record when it starts.
BOOL OpenRecord(void) {
  recordMutex = CreateMutexW(NULL, FALSE, MappingMutexName());
  if (!recordMutex) {
    Complain(L"cannot open the mutex %ls (error %lu)", MappingMutexName(), GetLastError());
    return FALSE;
  }
  recordMapping = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, CB_SIZE,
                                     MappingName());
  if (!recordMapping)
    recordMapping = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, MappingName());
  if (recordMapping)
    recordView = (BYTE*)MapViewOfFile(recordMapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, CB_SIZE);
  if (!recordView) {
    Complain(L"cannot map %ls (error %lu)", MappingName(), GetLastError());
    CloseRecord();
    return FALSE;
  }
  return TRUE;
}

void CloseRecord(void) {
  if (recordView) UnmapViewOfFile(recordView);
  if (recordMapping) CloseHandle(recordMapping);
  if (recordMutex) CloseHandle(recordMutex);
  recordView = NULL;
  recordMapping = recordMutex = NULL;
}

BYTE* LockRecord(void) {
  DWORD wait = WaitForSingleObject(recordMutex, LOCK_TIMEOUT_MS);
  if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) return recordView;
  Complain(L"the record's mutex was not free within %d ms", LOCK_TIMEOUT_MS);
  return NULL;
}

void UnlockRecord(void) {
  ReleaseMutex(recordMutex);
}

LONG RecordLong(const BYTE* record, DWORD offset) {
  LONG value;
  CopyMemory(&value, record + offset, sizeof value);
  return value;
}

void StoreLong(BYTE* record, DWORD offset, LONG value) {
  CopyMemory(record + offset, &value, sizeof value);
}

// The text in the ANSI code page, cut to at most `limit` bytes without
// splitting a character: the field keeps its NUL whatever it is given.
static std::string ToAnsi(const std::wstring& text, size_t limit) {
  std::string bytes;
  for (size_t i = 0; i < text.size();) {
    int units = (IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1])) ? 2 : 1;
    char character[MAX_CHARACTER_BYTES];
    int length = WideCharToMultiByte(CP_ACP, 0, &text[i], units, character, sizeof character, NULL, NULL);
    if (length <= 0) {
      character[0] = '?';
      length = 1;
    }
    if (bytes.size() + length > limit) break;
    bytes.append(character, length);
    i += units;
  }
  return bytes;
}

void StoreText(BYTE* record, DWORD offset, DWORD size, const std::wstring& text) {
  std::string bytes = ToAnsi(text, size - 1);
  ZeroMemory(record + offset, size);
  CopyMemory(record + offset, bytes.data(), bytes.size());
}

std::wstring RecordText(const BYTE* record, DWORD offset, DWORD size) {
  const char* field = (const char*)record + offset;
  int length = 0;
  while ((DWORD)length < size && field[length]) length++;
  std::wstring text(length, L'\0');
  int units = MultiByteToWideChar(CP_ACP, 0, field, length, &text[0], length);
  text.resize(units > 0 ? units : 0);
  return text;
}

BOOL WriteRecordText(DWORD offset, DWORD size, const std::wstring& text) {
  BYTE* record = LockRecord();
  if (!record) return FALSE;
  StoreText(record, offset, size, text);
  UnlockRecord();
  return TRUE;
}

BOOL WriteRecordLong(DWORD offset, LONG value) {
  BYTE* record = LockRecord();
  if (!record) return FALSE;
  StoreLong(record, offset, value);
  UnlockRecord();
  return TRUE;
}

// The status monitor holds its single-instance mutex for as long as it runs.
BOOL MonitorRunning(void) {
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE,
                            simSlot == MODEL_SLOT_KR470 ? KR470_INSTANCE_MUTEX : DUMMY_INSTANCE_MUTEX);
  if (mutex) {
    CloseHandle(mutex);
    return TRUE;
  }
  return GetLastError() == ERROR_ACCESS_DENIED;
}
