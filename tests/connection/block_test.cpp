// The shared record's creation, names, initial bytes, re-creation and release.
#include <gtest/gtest.h>
#include "connection/connection.h"
#include "connection_helpers.h"
#include "printers/printers.h"
#include "support.h"

#define KR470_MAPPING L"Global\\QATOLM Status Monitor Connection MapFile"
#define KR470_MUTEX L"Global\\QATOLM Status Monitor Connection MapFile Mutex"
#define DUMMY_MAPPING L"Global\\QAxxLM Status Monitor Connection MapFile"
#define DUMMY_MUTEX L"Global\\QAxxLM Status Monitor Connection MapFile Mutex"

static_assert(CB_SIZE == RECORD_BYTES, "the record is 2396 bytes");

class BlockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSeams();
    ResetConnection();
    ExpectedInitialImage(initial);
  }
  void TearDown() override { ResetConnection(); }
  void SelectSlot(int slot) {
    InstanceMutexName unused;
    SelectNameSet(slot, &unused);
  }
  BYTE initial[RECORD_BYTES];
};

struct SlotNames {
  int slot;
  const WCHAR* mapping;
  const WCHAR* mutex;
  const WCHAR* otherMapping;
};
static const SlotNames slotNames[] = {
    {MODEL_SLOT_KR470, KR470_MAPPING, KR470_MUTEX, DUMMY_MAPPING},
    {MODEL_SLOT_DUMMY, DUMMY_MAPPING, DUMMY_MUTEX, KR470_MAPPING},
};

// What the other side sees of the view just before it lets the start-up write in.
struct ViewSnapshot {
  const WCHAR* mappingName;
  BYTE bytes[RECORD_BYTES];
  BOOL taken;
};
static void SnapshotView(void* context) {
  ViewSnapshot* snapshot = (ViewSnapshot*)context;
  SecondHandle second;
  if (!OpenSharedRecord(snapshot->mappingName, &second)) return;
  CopyMemory(snapshot->bytes, second.view, RECORD_BYTES);
  snapshot->taken = TRUE;
  CloseSharedRecord(&second);
}

// The other side finds the record by the slot's names, and the start-up
// write waits for the slot's mutex before it touches the view.
TEST_F(BlockTest, StartWritesTheInitialRecordUnderTheSlotsNames) {
  for (const SlotNames& names : slotNames) {
    SCOPED_TRACE(names.slot);
    ResetConnection();
    ResetSeams();
    SelectSlot(names.slot);
    ViewSnapshot snapshot = {names.mapping, {}, FALSE};
    OtherSide side = {names.mutex, 3, FALSE, SnapshotView, &snapshot};
    ASSERT_TRUE(StartOtherSide(&side));

    ASSERT_EQ(BLOCK_CREATED, CreateConnectionBlock());
    ASSERT_TRUE(FinishOtherSide(&side));

    EXPECT_GE(pauseCount, 3u);
    EXPECT_EQ(pauseCount * 50ull, pausedMilliseconds);
    ASSERT_TRUE(snapshot.taken);
    BYTE zero[RECORD_BYTES] = {};
    EXPECT_EQ(-1, FirstDifference(zero, snapshot.bytes, RECORD_BYTES)) << "written before the mutex was had";

    SecondHandle second;
    ASSERT_TRUE(OpenSharedRecord(names.mapping, &second));
    EXPECT_EQ(-1, FirstDifference(initial, second.view, RECORD_BYTES));
    MEMORY_BASIC_INFORMATION region;
    ASSERT_TRUE(VirtualQuery(second.view, &region, sizeof region));
    EXPECT_GE(region.RegionSize, (SIZE_T)RECORD_BYTES);
    CloseSharedRecord(&second);
    EXPECT_FALSE(MappingExists(names.otherMapping));
    EXPECT_EQ(-1, FirstDifference(initial, privateCopy, RECORD_BYTES));
    EXPECT_EQ(2, BlockLong(privateCopy, CB_DISPLAY_MODE));
  }
}

// Whatever the language monitor left in an existing record is reset at start.
TEST_F(BlockTest, StartOverwritesARecordTheOtherSideAlreadyHasOpen) {
  HANDLE theirs = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, RECORD_BYTES, KR470_MAPPING);
  ASSERT_TRUE(theirs);
  BYTE* theirView = (BYTE*)MapViewOfFile(theirs, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  ASSERT_TRUE(theirView);
  FillMemory(theirView, RECORD_BYTES, 0x5A);

  SelectSlot(MODEL_SLOT_KR470);
  ASSERT_EQ(BLOCK_CREATED, CreateConnectionBlock());

  EXPECT_EQ(-1, FirstDifference(initial, theirView, RECORD_BYTES));
  EXPECT_EQ(0u, pauseCount);
  UnmapViewOfFile(theirView);
  CloseHandle(theirs);
}

// Slot 0: a record nobody else can reach, with unnamed mutexes that never block.
TEST_F(BlockTest, SlotZeroMakesAPrivateRecord) {
  SelectSlot(MODEL_SLOT_NONE);
  ASSERT_EQ(NULL, mappingName);
  ASSERT_EQ(BLOCK_CREATED, CreateConnectionBlock());
  ASSERT_TRUE(sharedView);
  ASSERT_TRUE(privateCopy);
  EXPECT_EQ(-1, FirstDifference(initial, sharedView, RECORD_BYTES));
  EXPECT_EQ(-1, FirstDifference(initial, privateCopy, RECORD_BYTES));
  EXPECT_FALSE(MappingExists(KR470_MAPPING));
  EXPECT_FALSE(MappingExists(DUMMY_MAPPING));
  EXPECT_EQ(0u, pauseCount);
}

TEST_F(BlockTest, InitialValuesOnlyTouchTheirFields) {
  BYTE copy[RECORD_BYTES] = {};
  InitBlockValues(copy);
  EXPECT_EQ(-1, FirstDifference(initial, copy, RECORD_BYTES));
}

TEST_F(BlockTest, CloseReleasesTheRecordAndIsSafeTwice) {
  SelectSlot(MODEL_SLOT_KR470);
  ASSERT_EQ(BLOCK_CREATED, CreateConnectionBlock());
  CloseConnectionBlock();
  EXPECT_EQ(NULL, sharedView);
  EXPECT_EQ(NULL, privateCopy);
  EXPECT_EQ(NULL, mappingHandle);
  EXPECT_FALSE(MappingExists(KR470_MAPPING));
  CloseConnectionBlock();
}

// A model change moves the record to the new slot's names; the old record is
// gone and the new one starts from the initial values, -900 positions included.
TEST_F(BlockTest, RecreationReplacesMappingViewAndCopy) {
  SelectSlot(MODEL_SLOT_KR470);
  ASSERT_EQ(BLOCK_CREATED, CreateConnectionBlock());
  SetBlockLong(sharedView, CB_WINDOW_LEFT, 40);
  SetBlockLong(sharedView, CB_STATUS_CODE, 302);
  CopyMemory(privateCopy, sharedView, RECORD_BYTES);

  const int slots[] = {MODEL_SLOT_DUMMY, MODEL_SLOT_KR470, MODEL_SLOT_DUMMY};
  for (int slot : slots) {
    SCOPED_TRACE(slot);
    const SlotNames& names = slot == MODEL_SLOT_KR470 ? slotNames[0] : slotNames[1];
    HANDLE oldHandle = mappingHandle;

    RecreateConnectionBlock(slot);

    EXPECT_EQ(0, lstrcmpW(names.mapping, mappingName));
    EXPECT_EQ(0, lstrcmpW(names.mutex, mappingMutexName));
    EXPECT_NE(oldHandle, mappingHandle);
    EXPECT_FALSE(MappingExists(names.otherMapping)) << "the old record was not released";
    SecondHandle second;
    ASSERT_TRUE(OpenSharedRecord(names.mapping, &second));
    EXPECT_EQ(-1, FirstDifference(initial, second.view, RECORD_BYTES));
    EXPECT_EQ(-900, BlockLong(second.view, CB_WINDOW_LEFT));
    EXPECT_EQ(-900, BlockLong(second.view, CB_WINDOW_TOP));
    CloseSharedRecord(&second);
    EXPECT_EQ(-1, FirstDifference(initial, privateCopy, RECORD_BYTES));
    SetBlockLong(sharedView, CB_WINDOW_TOP, 12);
  }
  EXPECT_EQ(0u, pauseCount);
  EXPECT_TRUE(shownAlerts.empty());
}

// Re-creation tries the new mutex once: a language monitor that holds it keeps
// its record, and the private copy still starts from the initial values.
TEST_F(BlockTest, RecreationWhileTheOtherSideHoldsTheNewMutexLeavesTheirRecord) {
  SelectSlot(MODEL_SLOT_KR470);
  ASSERT_EQ(BLOCK_CREATED, CreateConnectionBlock());
  HANDLE theirs = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, RECORD_BYTES, DUMMY_MAPPING);
  ASSERT_TRUE(theirs);
  BYTE* theirView = (BYTE*)MapViewOfFile(theirs, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  ASSERT_TRUE(theirView);
  SetBlockLong(theirView, CB_STATUS_CODE, 305);
  OtherSide side = {DUMMY_MUTEX};
  ASSERT_TRUE(StartOtherSide(&side));

  RecreateConnectionBlock(MODEL_SLOT_DUMMY);

  ASSERT_TRUE(FinishOtherSide(&side));
  EXPECT_EQ(0u, pauseCount);
  EXPECT_EQ(305, BlockLong(theirView, CB_STATUS_CODE));
  EXPECT_EQ(0, BlockLong(theirView, CB_WINDOW_LEFT));
  EXPECT_EQ(305, BlockLong(sharedView, CB_STATUS_CODE)) << "not the same record";
  EXPECT_EQ(-1, FirstDifference(initial, privateCopy, RECORD_BYTES));
  UnmapViewOfFile(theirView);
  CloseHandle(theirs);
}

// Without a record (it could not be set up) nothing may be dereferenced.
TEST_F(BlockTest, MissingRecordIsNeverTouched) {
  BYTE buffer[RECORD_BYTES];
  FillMemory(buffer, sizeof buffer, 0x11);
  ASSERT_EQ(NULL, sharedView);
  ASSERT_EQ(NULL, privateCopy);
  CopyBlockWait(buffer, sharedView, RECORD_BYTES, NULL);
  CopyBlockWait(privateCopy, buffer, RECORD_BYTES, NULL);
  CopyBlockOnce(buffer, sharedView, RECORD_BYTES, NULL);
  CopyBlockOnce(privateCopy, buffer, RECORD_BYTES, NULL);
  ChangeBlockField(CB_CANCEL_REQUEST, 1);
  CloseConnectionBlock();
  for (BYTE b : buffer) ASSERT_EQ(0x11, b);

  // A private copy without a view: the field change must not half-happen.
  privateCopy = buffer;
  ChangeBlockField(CB_CANCEL_REQUEST, 1);
  EXPECT_EQ(0x11111111, BlockLong(buffer, CB_CANCEL_REQUEST));
  privateCopy = NULL;
}

// Another kind of object under the mapping's name: no mapping can be made.
TEST_F(BlockTest, StartWithoutAMappingReportsItAndHoldsNothing) {
  HANDLE squatter = CreateEventW(NULL, TRUE, FALSE, KR470_MAPPING);
  ASSERT_TRUE(squatter);
  SelectSlot(MODEL_SLOT_KR470);
  EXPECT_EQ(BLOCK_UNAVAILABLE, CreateConnectionBlock());
  EXPECT_EQ(NULL, mappingHandle);
  EXPECT_EQ(NULL, sharedView);
  EXPECT_EQ(NULL, privateCopy);
  CloseHandle(squatter);
}

// When the new mapping cannot be made, the old record stays in use as it is,
// now under the new slot's mutex.
TEST_F(BlockTest, RecreationWithoutANewMappingKeepsTheOldRecord) {
  SelectSlot(MODEL_SLOT_KR470);
  ASSERT_EQ(BLOCK_CREATED, CreateConnectionBlock());
  SetBlockLong(sharedView, CB_STATUS_CODE, 302);
  HANDLE oldHandle = mappingHandle;
  BYTE* oldView = sharedView;
  BYTE* oldCopy = privateCopy;
  HANDLE squatter = CreateEventW(NULL, TRUE, FALSE, DUMMY_MAPPING);
  ASSERT_TRUE(squatter);

  RecreateConnectionBlock(MODEL_SLOT_DUMMY);

  EXPECT_EQ(oldHandle, mappingHandle);
  EXPECT_EQ(oldView, sharedView);
  EXPECT_EQ(oldCopy, privateCopy);
  EXPECT_EQ(302, BlockLong(sharedView, CB_STATUS_CODE));
  EXPECT_TRUE(MappingExists(KR470_MAPPING));
  EXPECT_STREQ(DUMMY_MUTEX, mappingMutexName);
  EXPECT_TRUE(shownAlerts.empty());
  CloseHandle(squatter);
}
