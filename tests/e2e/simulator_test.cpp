// lmsim as a reference peer: what it writes into the record, byte for byte.
#include "e2e.h"
#include "connection/connection_block.h"

enum { SIMULATOR_EXIT_MS = 10000 };

struct FieldCase {
  const char* option;
  DWORD offset, size;
  std::wstring text;
  size_t expectedBytes;  // size - 1 at most, never half a double-byte character
};

static std::wstring Repeat(const std::wstring& text, int times) {
  std::wstring result;
  while (times-- > 0) result += text;
  return result;
}

static DWORD RunSimulator(const std::wstring& arguments) {
  HANDLE process = StartProgram(L"lmsim.exe", arguments, NULL);
  DWORD exitCode = STILL_ACTIVE;
  if (process && !WaitForExit(process, SIMULATOR_EXIT_MS, &exitCode)) exitCode = STILL_ACTIVE;
  StopProcess(&process);
  return exitCode;
}

static std::wstring FromAnsi(const std::string& bytes) {
  std::wstring text(bytes.size(), L'\0');
  int units = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), (int)bytes.size(), &text[0],
                                  (int)text.size());
  text.resize(units > 0 ? units : 0);
  return text;
}

TEST_F(MonitorTest, SimulatorCutsTextsToTheirFieldWithoutSplittingACharacter) {
  const FieldCase cases[] = {
    {"user", CB_USER_NAME, CB_USER_NAME_SIZE, Repeat(L"山", 200), 254},
    {"document", CB_DOCUMENT_NAME, CB_DOCUMENT_NAME_SIZE, L"a" + Repeat(L"出", 600), 1023},
    {"model", CB_MODEL_TEXT, CB_MODEL_TEXT_SIZE, L"KR-470 " + Repeat(L"ﾗﾍﾞﾙ", 20), 63},
    {"printer", CB_PRINTER_NAME, CB_PRINTER_NAME_SIZE, L"KR-470 (事務所)", 15},
  };
  for (const FieldCase& field : cases) {
    std::wstring option(field.option, field.option + strlen(field.option));
    ASSERT_EQ(0u, RunSimulator(L"--" + option + L" \"" + field.text + L"\"")) << field.option;
    std::string bytes = PeerReadBytes(field.offset, field.size);
    EXPECT_EQ(field.expectedBytes, bytes.size()) << field.option;
    std::wstring written = FromAnsi(bytes);
    EXPECT_FALSE(written.empty()) << field.option << ": not valid code page 932";
    EXPECT_EQ(field.text.substr(0, written.size()), written) << field.option;
  }
}

TEST_F(MonitorTest, SimulatorWritesTheRecordOfTheSlotItIsGiven) {
  PeerWriteLong(CB_STATUS_CODE, 0);
  ClosePeerRecord();
  ASSERT_TRUE(OpenPeerRecord(E2E_SLOT_DUMMY));
  ASSERT_EQ(0u, RunSimulator(L"--slot 1 --status 1500 --display-mode 1"));
  EXPECT_EQ(1500, PeerReadLong(CB_STATUS_CODE));
  EXPECT_EQ(CB_DISPLAY_MODE_END, PeerReadLong(CB_DISPLAY_MODE));
  ClosePeerRecord();
  ASSERT_TRUE(OpenPeerRecord(E2E_SLOT_KR470));
  EXPECT_EQ(0, PeerReadLong(CB_STATUS_CODE)) << "slot 1 wrote into the KR-470's record";
}

TEST_F(MonitorTest, SimulatorRejectsABadScriptBeforeDoingAnything) {
  PeerWriteLong(CB_STATUS_CODE, 0);
  EXPECT_EQ(2u, RunSimulator(L"--status 302 -c \"wait soon\""));
  EXPECT_EQ(0, PeerReadLong(CB_STATUS_CODE));
}
