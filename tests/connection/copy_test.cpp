// The copy protocol: waits, single tries, abandoned and unobtainable mutexes,
// and the field change that must not lose a write of the other side.
#include <gtest/gtest.h>
#include "connection/connection.h"
#include "connection_helpers.h"
#include "printers/printers.h"
#include "support.h"

#define TEST_MUTEX L"Global\\KR470 copy test mutex"

typedef void (*CopyOperation)(void*, const void*, SIZE_T, const WCHAR*);
struct NamedOperation {
  const char* name;
  CopyOperation copy;
};
static const NamedOperation copyOperations[] = {{"CopyBlockWait", CopyBlockWait}, {"CopyBlockOnce", CopyBlockOnce}};

class CopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSeams();
    ResetConnection();
    Refill();
  }
  void TearDown() override { ResetConnection(); }
  void Refill() {
    FillMemory(source, sizeof source, 0xC3);
    ZeroMemory(destination, sizeof destination);
  }
  BOOL Copied() { return FirstDifference(source, destination, RECORD_BYTES) == -1; }
  BOOL Untouched() {
    BYTE zero[RECORD_BYTES] = {};
    return FirstDifference(zero, destination, RECORD_BYTES) == -1;
  }
  BYTE source[RECORD_BYTES];
  BYTE destination[RECORD_BYTES];
};

struct Probe {
  const WCHAR* name;
  DWORD result;
};
static DWORD WINAPI ProbeThread(void* argument) {
  Probe* probe = (Probe*)argument;
  HANDLE mutex = CreateMutexW(NULL, FALSE, probe->name);
  probe->result = mutex ? WaitForSingleObject(mutex, 0) : WAIT_FAILED;
  if (probe->result == WAIT_OBJECT_0 || probe->result == WAIT_ABANDONED) ReleaseMutex(mutex);
  if (mutex) CloseHandle(mutex);
  return 0;
}
// What a one-time try of the mutex gives on another thread.
static DWORD TryFromAnotherThread(const WCHAR* name) {
  Probe probe = {name, WAIT_FAILED};
  HANDLE thread = CreateThread(NULL, 0, ProbeThread, &probe, 0, NULL);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return probe.result;
}

static BOOL MutexExists(const WCHAR* name) {
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name);
  if (!mutex) return FALSE;
  CloseHandle(mutex);
  return TRUE;
}

// A free mutex: the copy happens at once, and afterwards the mutex is neither
// held nor kept open.
TEST_F(CopyTest, CopiesAtOnceAndLeavesNothingHeld) {
  const WCHAR* names[] = {TEST_MUTEX, NULL};
  for (const NamedOperation& operation : copyOperations)
    for (const WCHAR* name : names) {
      SCOPED_TRACE(operation.name);
      SCOPED_TRACE(name ? "named" : "unnamed");
      ResetSeams();
      Refill();
      operation.copy(destination, source, RECORD_BYTES, name);
      EXPECT_TRUE(Copied());
      EXPECT_EQ(0u, pauseCount);
      if (!name) continue;
      EXPECT_FALSE(MutexExists(name)) << "handle left open";
      EXPECT_EQ(WAIT_OBJECT_0, TryFromAnotherThread(name));
    }
}

TEST_F(CopyTest, SingleTryDoesNotCopyOrWaitWhileTheOtherSideHoldsTheMutex) {
  OtherSide side = {TEST_MUTEX};
  ASSERT_TRUE(StartOtherSide(&side));
  CopyBlockOnce(destination, source, RECORD_BYTES, TEST_MUTEX);
  EXPECT_TRUE(Untouched());
  EXPECT_EQ(0u, pauseCount);
  ASSERT_TRUE(FinishOtherSide(&side));
  EXPECT_FALSE(MutexExists(TEST_MUTEX));
}

struct WaitWitness {
  CopyTest* test;
  BYTE seen[RECORD_BYTES];
  const BYTE* destination;
};
static void RememberDestination(void* context) {
  WaitWitness* witness = (WaitWitness*)context;
  CopyMemory(witness->seen, witness->destination, RECORD_BYTES);
}

// The wait polls every 50 ms while the other side holds the mutex and copies
// only after the release.
TEST_F(CopyTest, WaitCopiesOnlyOnceTheOtherSideReleases) {
  WaitWitness witness = {this, {}, destination};
  FillMemory(witness.seen, RECORD_BYTES, 0xFF);
  OtherSide side = {TEST_MUTEX, 4, FALSE, RememberDestination, &witness};
  ASSERT_TRUE(StartOtherSide(&side));
  CopyBlockWait(destination, source, RECORD_BYTES, TEST_MUTEX);
  ASSERT_TRUE(FinishOtherSide(&side));

  BYTE zero[RECORD_BYTES] = {};
  EXPECT_EQ(-1, FirstDifference(zero, witness.seen, RECORD_BYTES)) << "copied while the mutex was held";
  EXPECT_TRUE(Copied());
  EXPECT_GE(pauseCount, 4u);
  EXPECT_EQ(pauseCount * 50ull, pausedMilliseconds);
  EXPECT_EQ(WAIT_OBJECT_0, TryFromAnotherThread(TEST_MUTEX));
}

// A language monitor that died holding the mutex must not block the record.
TEST_F(CopyTest, AbandonedMutexCountsAsAcquired) {
  for (const NamedOperation& operation : copyOperations) {
    SCOPED_TRACE(operation.name);
    ResetSeams();
    Refill();
    OtherSide side = {TEST_MUTEX, 0, TRUE};
    ASSERT_TRUE(StartOtherSide(&side));
    operation.copy(destination, source, RECORD_BYTES, TEST_MUTEX);
    EXPECT_TRUE(Copied());
    EXPECT_EQ(0u, pauseCount);
    EXPECT_EQ(WAIT_OBJECT_0, TryFromAnotherThread(TEST_MUTEX)) << "left owned";
    ASSERT_TRUE(FinishOtherSide(&side));
  }
}

// Another kind of object under the mutex's name: no handle can ever be had,
// so the wait must end by itself instead of polling for ever.
TEST_F(CopyTest, NoHandleToBeHadEndsTheWaitWithoutCopying) {
  HANDLE squatter = CreateEventW(NULL, TRUE, FALSE, TEST_MUTEX);
  ASSERT_TRUE(squatter);
  ASSERT_EQ(NULL, CreateMutexW(NULL, FALSE, TEST_MUTEX));

  CopyBlockWait(destination, source, RECORD_BYTES, TEST_MUTEX);
  EXPECT_TRUE(Untouched());
  EXPECT_GT(pauseCount, 0u);
  EXPECT_LE(pausedMilliseconds, 5000ull) << "gives up within a few seconds";

  ResetSeams();
  CopyBlockOnce(destination, source, RECORD_BYTES, TEST_MUTEX);
  EXPECT_TRUE(Untouched());
  EXPECT_EQ(0u, pauseCount);
  CloseHandle(squatter);
}

// A mutex made by someone else with an access list of its own.
static HANDLE CreateGuardedMutex(DWORD grantedToEveryone) {
  BYTE sidBytes[SECURITY_MAX_SID_SIZE];
  DWORD sidSize = sizeof sidBytes;
  if (!CreateWellKnownSid(WinWorldSid, NULL, sidBytes, &sidSize)) return NULL;
  BYTE aclBytes[256];
  PACL acl = (PACL)aclBytes;
  if (!InitializeAcl(acl, sizeof aclBytes, ACL_REVISION)) return NULL;
  if (grantedToEveryone && !AddAccessAllowedAce(acl, ACL_REVISION, grantedToEveryone, sidBytes)) return NULL;
  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
  return CreateMutexW(&attributes, FALSE, TEST_MUTEX);
}

TEST_F(CopyTest, MutexThatDeniesAllAccessEndsTheWaitWithoutCopying) {
  HANDLE guarded = CreateGuardedMutex(0);
  ASSERT_TRUE(guarded);
  HANDLE attempt = CreateMutexW(NULL, FALSE, TEST_MUTEX);
  if (attempt) {
    CloseHandle(attempt);
    CloseHandle(guarded);
    GTEST_SKIP() << "this system does not enforce the access list of a mutex";
  }
  CopyBlockWait(destination, source, RECORD_BYTES, TEST_MUTEX);
  EXPECT_TRUE(Untouched());
  EXPECT_LE(pausedMilliseconds, 5000ull);
  CloseHandle(guarded);
}

// Full access denied but waiting and releasing allowed: that is all a copy needs.
TEST_F(CopyTest, MutexThatOnlyAllowsWaitingStillServesTheCopy) {
  HANDLE guarded = CreateGuardedMutex(SYNCHRONIZE | MUTEX_MODIFY_STATE);
  ASSERT_TRUE(guarded);
  for (const NamedOperation& operation : copyOperations) {
    SCOPED_TRACE(operation.name);
    ResetSeams();
    Refill();
    operation.copy(destination, source, RECORD_BYTES, TEST_MUTEX);
    EXPECT_TRUE(Copied());
    EXPECT_EQ(0u, pauseCount);
  }
  CloseHandle(guarded);
}

// --- The field change ---

class FieldChangeTest : public CopyTest {
 protected:
  void SetUp() override {
    CopyTest::SetUp();
    mappingMutexName = TEST_MUTEX;
    ZeroMemory(view, sizeof view);
    ZeroMemory(copy, sizeof copy);
  }
  void TearDown() override {
    sharedView = NULL;
    privateCopy = NULL;
    CopyTest::TearDown();
  }
  BYTE view[RECORD_BYTES];
  BYTE copy[RECORD_BYTES];
};

struct ResetCancel {
  BYTE* view;
};
static void OtherSideResetsCancel(void* context) {
  BYTE* view = ((ResetCancel*)context)->view;
  SetBlockLong(view, CB_CANCEL_REQUEST, 0);
  lstrcpyA((char*)view + CB_DOCUMENT_NAME, "");
}

// The other side writes while the field change waits for the mutex: the change
// reads the record only after that write, so both survive.
TEST_F(FieldChangeTest, WriteOfTheOtherSideBeforeTheChangeSurvives) {
  SetBlockLong(view, CB_CANCEL_REQUEST, 1);
  lstrcpyA((char*)view + CB_DOCUMENT_NAME, "label.prn");
  sharedView = view;
  privateCopy = copy;
  ResetCancel context = {view};
  OtherSide side = {TEST_MUTEX, 2, FALSE, OtherSideResetsCancel, &context};
  ASSERT_TRUE(StartOtherSide(&side));

  ChangeBlockField(CB_STATUS_CODE, 100);
  ASSERT_TRUE(FinishOtherSide(&side));

  EXPECT_GE(pauseCount, 2u);
  EXPECT_EQ(100, BlockLong(view, CB_STATUS_CODE));
  EXPECT_EQ(0, BlockLong(view, CB_CANCEL_REQUEST));
  EXPECT_EQ(0, view[CB_DOCUMENT_NAME]);
  EXPECT_EQ(-1, FirstDifference(view, copy, RECORD_BYTES)) << "the private copy is the record as written";
  EXPECT_EQ(WAIT_OBJECT_0, TryFromAnotherThread(TEST_MUTEX));
}

// The other side tries to write at the moment the field change reads the view.
// The view is a guard page, so that moment is caught exactly: the other side
// then first tries the mutex once (it must be held) and then waits for it. Its
// write must come after the write-back, or it would be overwritten.
static struct {
  HANDLE touched, probed;
  DWORD probeResult;
  LONG hits;
} race;

static LONG CALLBACK OnViewTouched(EXCEPTION_POINTERS* info) {
  if (info->ExceptionRecord->ExceptionCode != STATUS_GUARD_PAGE_VIOLATION) return EXCEPTION_CONTINUE_SEARCH;
  InterlockedIncrement(&race.hits);
  SetEvent(race.touched);
  WaitForSingleObject(race.probed, 10000);
  Sleep(50);  // the other side is now blocked on the mutex
  return EXCEPTION_CONTINUE_EXECUTION;
}

struct Racer {
  BYTE* view;
};
static DWORD WINAPI RacingOtherSide(void* argument) {
  BYTE* view = ((Racer*)argument)->view;
  HANDLE mutex = CreateMutexW(NULL, FALSE, TEST_MUTEX);
  if (WaitForSingleObject(race.touched, 10000) != WAIT_OBJECT_0) return 1;
  race.probeResult = WaitForSingleObject(mutex, 0);
  if (race.probeResult == WAIT_OBJECT_0) ReleaseMutex(mutex);
  SetEvent(race.probed);
  if (WaitForSingleObject(mutex, 10000) != WAIT_OBJECT_0) return 1;
  SetBlockLong(view, CB_CANCEL_REQUEST, 0);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  return 0;
}

TEST_F(FieldChangeTest, WriteOfTheOtherSideDuringTheChangeSurvives) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  BYTE* page = (BYTE*)VirtualAlloc(NULL, system.dwPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_TRUE(page);
  SetBlockLong(page, CB_CANCEL_REQUEST, 1);
  race.touched = CreateEventW(NULL, TRUE, FALSE, NULL);
  race.probed = CreateEventW(NULL, TRUE, FALSE, NULL);
  race.probeResult = WAIT_FAILED;
  race.hits = 0;
  Racer racer = {page};
  HANDLE thread = CreateThread(NULL, 0, RacingOtherSide, &racer, 0, NULL);
  PVOID handler = AddVectoredExceptionHandler(1, OnViewTouched);
  DWORD old;
  ASSERT_TRUE(VirtualProtect(page, system.dwPageSize, PAGE_READWRITE | PAGE_GUARD, &old));
  sharedView = page;
  privateCopy = copy;

  ChangeBlockField(CB_STATUS_CODE, 100);

  DWORD ended = WaitForSingleObject(thread, 10000);
  RemoveVectoredExceptionHandler(handler);
  EXPECT_EQ(WAIT_OBJECT_0, ended);
  EXPECT_EQ(1, race.hits);
  EXPECT_EQ((DWORD)WAIT_TIMEOUT, race.probeResult) << "the view was read without the mutex";
  EXPECT_EQ(100, BlockLong(page, CB_STATUS_CODE));
  EXPECT_EQ(0, BlockLong(page, CB_CANCEL_REQUEST)) << "the other side's write was lost";
  EXPECT_EQ(1, BlockLong(copy, CB_CANCEL_REQUEST));
  CloseHandle(thread);
  CloseHandle(race.touched);
  CloseHandle(race.probed);
  VirtualFree(page, 0, MEM_RELEASE);
}

// Slot 0: the change uses a fresh unnamed mutex and never waits.
TEST_F(FieldChangeTest, UnnamedRecordChangesAtOnce) {
  mappingMutexName = NULL;
  SetBlockLong(view, CB_USER_NAME, 0x41414141);
  sharedView = view;
  privateCopy = copy;
  ChangeBlockField(CB_CANCEL_REQUEST, 1);
  EXPECT_EQ(1, BlockLong(view, CB_CANCEL_REQUEST));
  EXPECT_EQ(-1, FirstDifference(view, copy, RECORD_BYTES));
  EXPECT_EQ(0u, pauseCount);
}
