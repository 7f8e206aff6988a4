// Where the window opens: the stored position when enough of the window stays
// on the work area, otherwise the centre, with signed halving towards zero.
#include "window_fixture.h"
#include "connection/connection.h"
#include "window/window.h"

TEST(Placement, StoredPositionNeedsMoreThanTenPixelsOnTheWorkArea) {
  struct Case {
    RECT workArea;
    int x, y, width, height;
    BOOL accepted;
  } cases[] = {
      {{0, 0, 1920, 1040}, -900, -900, 420, 300, FALSE},  // the start value
      {{0, 0, 1920, 1040}, -409, 100, 420, 300, TRUE},
      {{0, 0, 1920, 1040}, -410, 100, 420, 300, FALSE},
      {{0, 0, 1920, 1040}, 1909, 100, 420, 300, TRUE},
      {{0, 0, 1920, 1040}, 1910, 100, 420, 300, FALSE},
      {{0, 0, 1920, 1040}, 100, -289, 420, 300, TRUE},
      {{0, 0, 1920, 1040}, 100, -290, 420, 300, FALSE},
      {{0, 0, 1920, 1040}, 100, 1029, 420, 300, TRUE},
      {{0, 0, 1920, 1040}, 100, 1030, 420, 300, FALSE},
      // -900 is refused for every window at most 910 wide, and accepted beyond.
      {{0, 0, 1920, 1040}, -900, 100, 910, 300, FALSE},
      {{0, 0, 1920, 1040}, -900, 100, 911, 300, TRUE},
      {{0, 0, 1920, 1040}, 100, -900, 420, 910, FALSE},
      {{0, 0, 1920, 1040}, 100, -900, 420, 911, TRUE},
      // A work area left of and above the primary origin: all signed.
      {{-1280, -200, 0, 824}, -1000, -100, 420, 300, TRUE},
      {{-1280, -200, 0, 824}, -10, -100, 420, 300, FALSE},
      {{-1280, -200, 0, 824}, -1000, -490, 420, 300, FALSE},
      {{-1280, -200, 0, 824}, -1000, -489, 420, 300, TRUE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.width << "x" << c.height << " in "
                                    << c.workArea.left << "," << c.workArea.top);
    EXPECT_EQ(c.accepted, StoredPositionAccepted(&c.workArea, c.x, c.y, c.width, c.height));
  }
}

TEST(Placement, CentreHalvesTowardsZeroAndKeepsTheTopLeftOfAnAreaTooSmall) {
  struct Case {
    RECT workArea;
    int width, height;
    LONG x, y;
  } cases[] = {
      {{0, 0, 1920, 1040}, 420, 300, 750, 370},
      {{0, 0, 1921, 1041}, 420, 300, 750, 370},        // odd sums: 1501 and 741 halved
      {{-200, -200, 219, 219}, 20, 20, 0, 0},          // sums of -1 halve to 0
      {{-300, -300, 219, 219}, 20, 20, -50, -50},      // -101 halves to -50
      {{0, 0, 800, 560}, 900, 600, 0, 0},              // smaller than the window
      {{100, 50, 500, 300}, 900, 600, 100, 50},
      {{100, 50, 1000, 650}, 900, 600, 100, 50},       // exactly as large: centred on its edge
      {{100, 50, 999, 2000}, 900, 600, 100, 725},      // one pixel too narrow, high enough
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " in " << c.workArea.left << ","
                                    << c.workArea.top << "," << c.workArea.right << "," << c.workArea.bottom);
    POINT position = CentredPosition(&c.workArea, c.width, c.height);
    EXPECT_EQ(c.x, position.x);
    EXPECT_EQ(c.y, position.y);
  }
}

static RECT WorkArea(void) {
  RECT area;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

TEST_F(StatusWindowTest, WindowOpensCentredAtStartAndWhereTheRecordSaysOnceItFits) {
  CreateStatusWindow();
  RECT bounds;
  GetWindowRect(window, &bounds);
  int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  RECT area = WorkArea();
  POINT centre = CentredPosition(&area, width, height);
  EXPECT_EQ(centre.x, bounds.left);  // start-up left -900 in the record
  EXPECT_EQ(centre.y, bounds.top);

  // The restore reads the shared record itself, not an older private copy.
  SetBlockLong(sharedView, CB_WINDOW_LEFT, area.left + 40);
  SetBlockLong(sharedView, CB_WINDOW_TOP, area.top + 30);
  EXPECT_EQ(1, RestoreWindowPosition(window));
  GetWindowRect(window, &bounds);
  EXPECT_EQ(area.left + 40, bounds.left);
  EXPECT_EQ(area.top + 30, bounds.top);
  EXPECT_EQ(width, bounds.right - bounds.left);
  EXPECT_EQ(height, bounds.bottom - bounds.top);

  SetBlockLong(sharedView, CB_WINDOW_LEFT, area.right - 10);
  EXPECT_EQ(1, RestoreWindowPosition(window));
  GetWindowRect(window, &bounds);
  EXPECT_EQ(centre.x, bounds.left);
  EXPECT_EQ(centre.y, bounds.top);
}
