// The MonitorState record and its text buffers.
#include <gtest/gtest.h>
#include "app/app.h"
#include "support.h"

TEST(MonitorStateRecord, AllocatesZeroedRecordAndBuffersOfTheirSizes) {
  ASSERT_EQ(STATE_READY, AllocMonitorState());
  ASSERT_TRUE(monitorState);
  EXPECT_EQ(0u, monitorState->timerId);
  EXPECT_EQ(0, monitorState->statusCode);
  EXPECT_EQ(0, monitorState->previousCode);
  EXPECT_EQ(0, monitorState->trayMode);
  struct Buffer {
    WCHAR* text;
    SIZE_T bytes;
  } buffers[] = {{monitorState->messageText, 4096},
                 {monitorState->printerName, 1024},
                 {monitorState->tipText, 1024},
                 {monitorState->modelText, 1024}};
  for (const Buffer& buffer : buffers) {
    ASSERT_TRUE(buffer.text);
    EXPECT_GE(LocalSize(buffer.text), buffer.bytes);
    for (SIZE_T i = 0; i < buffer.bytes / sizeof(WCHAR); i++) ASSERT_EQ(0, buffer.text[i]);
  }
  FreeMonitorState();
  EXPECT_EQ(NULL, monitorState);
  FreeMonitorState();  // nothing left to free
}
