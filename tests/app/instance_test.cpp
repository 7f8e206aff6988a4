// The single-instance claim and its release.
#include <gtest/gtest.h>
#include "app/app.h"
#include "support.h"

#define TEST_INSTANCE L"Global\\KR470 instance test mutex"

enum { WAIT_LIMIT = 10000 };

// Another monitor, on a thread of its own since mutexes belong to threads.
struct OtherMonitor {
  BOOL abandon;
  HANDLE thread, held, release, mutex;
};

static DWORD WINAPI OtherMonitorThread(void* argument) {
  OtherMonitor* other = (OtherMonitor*)argument;
  other->mutex = CreateMutexW(NULL, FALSE, TEST_INSTANCE);
  if (WaitForSingleObject(other->mutex, WAIT_LIMIT) != WAIT_OBJECT_0) return 1;
  SetEvent(other->held);
  if (other->abandon) return 0;  // dies holding it; the handle keeps the mutex alive
  WaitForSingleObject(other->release, WAIT_LIMIT);
  ReleaseMutex(other->mutex);
  CloseHandle(other->mutex);
  other->mutex = NULL;
  return 0;
}

static void StartOtherMonitor(OtherMonitor* other, BOOL abandon) {
  other->abandon = abandon;
  other->mutex = NULL;
  other->held = CreateEventW(NULL, TRUE, FALSE, NULL);
  other->release = CreateEventW(NULL, TRUE, FALSE, NULL);
  other->thread = CreateThread(NULL, 0, OtherMonitorThread, other, 0, NULL);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(other->held, WAIT_LIMIT));
  if (abandon) {
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(other->thread, WAIT_LIMIT));
  }
}

static void EndOtherMonitor(OtherMonitor* other) {
  SetEvent(other->release);
  WaitForSingleObject(other->thread, WAIT_LIMIT);
  CloseHandle(other->thread);
  CloseHandle(other->held);
  CloseHandle(other->release);
  if (other->mutex) CloseHandle(other->mutex);
}

static BOOL InstanceMutexExists(void) {
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, TEST_INSTANCE);
  if (!mutex) return FALSE;
  CloseHandle(mutex);
  return TRUE;
}

static DWORD WINAPI TryClaimThread(void* argument) {
  HANDLE mutex = CreateMutexW(NULL, FALSE, TEST_INSTANCE);
  DWORD result = WaitForSingleObject(mutex, 0);
  if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) ReleaseMutex(mutex);
  CloseHandle(mutex);
  *(DWORD*)argument = result;
  return 0;
}
static DWORD TryFromAnotherThread(void) {
  DWORD result = WAIT_FAILED;
  HANDLE thread = CreateThread(NULL, 0, TryClaimThread, &result, 0, NULL);
  WaitForSingleObject(thread, WAIT_LIMIT);
  CloseHandle(thread);
  return result;
}

class InstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSeams();
    instanceMutex = NULL;
  }
  void TearDown() override { ReleaseInstanceMutex(); }
};

// A running monitor: 50 attempts 30 ms apart, then a quiet give-up that
// leaves no handle of ours behind.
TEST_F(InstanceTest, GivesUpAfterFiftyAttemptsWhileAnotherMonitorRuns) {
  OtherMonitor other;
  StartOtherMonitor(&other, FALSE);
  EXPECT_EQ(NULL, ClaimSingleInstance(TEST_INSTANCE));
  EXPECT_EQ(50u, pauseCount);
  EXPECT_EQ(1500ull, pausedMilliseconds);
  EXPECT_TRUE(shownAlerts.empty());
  EndOtherMonitor(&other);
  EXPECT_FALSE(InstanceMutexExists()) << "a handle of the failed claim is still open";
}

TEST_F(InstanceTest, GiveUpTakesAboutOneAndAHalfSecondsForReal) {
  OtherMonitor other;
  StartOtherMonitor(&other, FALSE);
  realPauses = TRUE;
  DWORD start = GetTickCount();
  EXPECT_EQ(NULL, ClaimSingleInstance(TEST_INSTANCE));
  DWORD elapsed = GetTickCount() - start;
  EndOtherMonitor(&other);
  EXPECT_GE(elapsed, 1400u);
  EXPECT_LT(elapsed, 10000u);
}

// A monitor that died holding the mutex does not keep the next one out.
TEST_F(InstanceTest, AbandonedMutexIsClaimed) {
  OtherMonitor other;
  StartOtherMonitor(&other, TRUE);
  instanceMutex = ClaimSingleInstance(TEST_INSTANCE);
  ASSERT_TRUE(instanceMutex);
  EXPECT_EQ(0u, pauseCount);
  EXPECT_EQ((DWORD)WAIT_TIMEOUT, TryFromAnotherThread()) << "the claim does not hold the mutex";
  ReleaseInstanceMutex();
  EXPECT_EQ(NULL, instanceMutex);
  EXPECT_EQ((DWORD)WAIT_OBJECT_0, TryFromAnotherThread());
  EndOtherMonitor(&other);
}

TEST_F(InstanceTest, FreeMutexIsClaimedAndHeldUntilReleased) {
  instanceMutex = ClaimSingleInstance(TEST_INSTANCE);
  ASSERT_TRUE(instanceMutex);
  EXPECT_EQ(0u, pauseCount);
  EXPECT_EQ((DWORD)WAIT_TIMEOUT, TryFromAnotherThread());
  ReleaseInstanceMutex();
  ReleaseInstanceMutex();  // every exit path may run it; the second does nothing
  EXPECT_FALSE(InstanceMutexExists());
}

// Two monitors starting at the same moment: exactly one runs.
struct Contender {
  HANDLE go, done, finish;
  HANDLE claimed;
};
static DWORD WINAPI ContenderThread(void* argument) {
  Contender* contender = (Contender*)argument;
  WaitForSingleObject(contender->go, WAIT_LIMIT);
  contender->claimed = ClaimSingleInstance(TEST_INSTANCE);
  SetEvent(contender->done);
  WaitForSingleObject(contender->finish, WAIT_LIMIT);
  if (contender->claimed) {
    ReleaseMutex(contender->claimed);
    CloseHandle(contender->claimed);
  }
  return 0;
}

TEST_F(InstanceTest, OfTwoSimultaneousStartsExactlyOneClaims) {
  HANDLE go = CreateEventW(NULL, TRUE, FALSE, NULL);
  HANDLE finish = CreateEventW(NULL, TRUE, FALSE, NULL);
  Contender contenders[2];
  HANDLE threads[2], done[2];
  for (int i = 0; i < 2; i++) {
    done[i] = CreateEventW(NULL, TRUE, FALSE, NULL);
    contenders[i] = Contender{go, done[i], finish, NULL};
    threads[i] = CreateThread(NULL, 0, ContenderThread, &contenders[i], 0, NULL);
  }
  SetEvent(go);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, done, TRUE, WAIT_LIMIT));
  int claims = (contenders[0].claimed != NULL) + (contenders[1].claimed != NULL);
  SetEvent(finish);
  WaitForMultipleObjects(2, threads, TRUE, WAIT_LIMIT);
  EXPECT_EQ(1, claims);
  for (int i = 0; i < 2; i++) {
    CloseHandle(threads[i]);
    CloseHandle(done[i]);
  }
  CloseHandle(go);
  CloseHandle(finish);
}
