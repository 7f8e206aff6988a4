// Which printer ports the inquiry accepts.
#include <cwctype>
#include "request_fixture.h"

struct PortCase {
  const WCHAR* port;
  BOOL accepted;
};

class PortTest : public ::testing::TestWithParam<PortCase> {};

TEST_P(PortTest, AcceptsNumberedPortsAndTheDriverPrefixOnly) {
  EXPECT_EQ(GetParam().accepted, PortAccepted(GetParam().port));
}

INSTANTIATE_TEST_SUITE_P(Ports, PortTest, ::testing::Values(
    PortCase{L"LPT1:", TRUE}, PortCase{L"LPT0:", TRUE}, PortCase{L"LPT99:", TRUE},
    PortCase{L"COM10:", TRUE}, PortCase{L"COM0:", TRUE},
    PortCase{L"USB001", TRUE}, PortCase{L"USB000", TRUE}, PortCase{L"USB099", TRUE},
    PortCase{L"KRr_x", TRUE}, PortCase{L"KRrz", TRUE}, PortCase{L"KRr", TRUE},
    PortCase{L"USB1", FALSE}, PortCase{L"USB100", FALSE}, PortCase{L"LPT100:", FALSE},
    PortCase{L"LPT01:", FALSE}, PortCase{L"LPT1", FALSE}, PortCase{L"LPT1:x", FALSE},
    PortCase{L"FILE:", FALSE}, PortCase{L"lpt1:", FALSE}, PortCase{L"usb001", FALSE},
    PortCase{L"krr_x", FALSE}, PortCase{L"KR", FALSE}, PortCase{L"", FALSE},
    PortCase{NULL, FALSE}),
    [](const ::testing::TestParamInfo<PortCase>& info) {
      std::string name = std::to_string(info.index) + "_";
      for (const WCHAR* c = info.param.port; c && *c; c++)
        if (iswalnum(*c) && *c < 128) name += (char)*c;
      return name + (info.param.accepted ? "_accepted" : "_refused");
    });
