// A status window made as start-up makes it, on an unnamed shared record, with
// the ticks stopped so that each test decides the status codes itself.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

struct StatusWindowTest : ::testing::Test {
  HWND window = NULL;

  void SetUp() override;
  void TearDown() override;

  // Writes the status code into the shared record, as the language monitor does.
  void WriteSharedStatus(LONG code);
  // Creates the window (its initialisation runs the first refresh) and stops the tick.
  void CreateStatusWindow();
  void StopTicks();
  // The two first states that start-up gives the window; both run the loop briefly.
  void HideIntoTray();
  void ShowNormally();
  void SetCodes(SHORT statusCode, SHORT previousCode);
  LONG_PTR QuitValue();
};

// Runs the thread's messages for a while, routed as the main loop routes them.
void PumpFor(HWND window, DWORD milliseconds);
// TRUE while the shell has our notification-area icon.
BOOL IconKnownToShell(void);
// The id of the one button with the default style: 0 for none, -1 for both.
int DefaultButtonId(HWND window);
