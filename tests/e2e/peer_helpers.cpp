// The shared record from the language monitor's side, as the test plays it.
#include "e2e.h"
#include "connection/connection_block.h"

enum { LOCK_TIMEOUT_MS = 5000 };

static HANDLE peerMutex;
static HANDLE peerMapping;
static BYTE* peerView;

BOOL OpenPeerRecord(int slot) {
  BOOL kr470 = slot == E2E_SLOT_KR470;
  peerMutex = CreateMutexW(NULL, FALSE, kr470 ? L"" CB_KR470_MAPPING_MUTEX_NAME : L"" CB_DUMMY_MAPPING_MUTEX_NAME);
  peerMapping = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, CB_SIZE,
                                   kr470 ? L"" CB_KR470_MAPPING_NAME : L"" CB_DUMMY_MAPPING_NAME);
  if (peerMapping) peerView = (BYTE*)MapViewOfFile(peerMapping, FILE_MAP_ALL_ACCESS, 0, 0, CB_SIZE);
  if (peerMutex && peerView) return TRUE;
  ClosePeerRecord();
  return FALSE;
}

void ClosePeerRecord(void) {
  if (peerView) UnmapViewOfFile(peerView);
  if (peerMapping) CloseHandle(peerMapping);
  if (peerMutex) CloseHandle(peerMutex);
  peerView = NULL;
  peerMapping = peerMutex = NULL;
}

static BYTE* Lock(void) {
  DWORD wait = WaitForSingleObject(peerMutex, LOCK_TIMEOUT_MS);
  return (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) ? peerView : NULL;
}

void PeerWriteLong(DWORD offset, LONG value) {
  BYTE* record = Lock();
  ASSERT_TRUE(record != NULL);
  CopyMemory(record + offset, &value, sizeof value);
  ReleaseMutex(peerMutex);
}

void PeerWriteText(DWORD offset, DWORD size, const std::wstring& text) {
  std::string bytes(size, '\0');
  int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &bytes[0], size, NULL, NULL);
  ASSERT_GT(length, 0) << "text does not fit its field";
  BYTE* record = Lock();
  ASSERT_TRUE(record != NULL);
  CopyMemory(record + offset, bytes.data(), size);
  ReleaseMutex(peerMutex);
}

LONG PeerReadLong(DWORD offset) {
  LONG value = 0;
  BYTE* record = Lock();
  if (!record) return value;
  CopyMemory(&value, record + offset, sizeof value);
  ReleaseMutex(peerMutex);
  return value;
}

std::string PeerReadBytes(DWORD offset, DWORD size) {
  std::string bytes;
  BYTE* record = Lock();
  if (!record) return bytes;
  bytes.assign((const char*)record + offset, size);
  ReleaseMutex(peerMutex);
  return bytes.substr(0, bytes.find('\0'));
}
