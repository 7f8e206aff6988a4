// The resources as the program carries them: icon groups with their image
// sizes and depths, the dialog template control by control, the manifest.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "window/window.h"

static const BYTE* Resource(LPCWSTR type, LPCWSTR name, DWORD* size) {
  HRSRC found = FindResourceW(NULL, name, type);
  if (!found) return NULL;
  *size = SizeofResource(NULL, found);
  return (const BYTE*)LockResource(LoadResource(NULL, found));
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes;
  WORD id;
};
struct GroupIconHeader {
  WORD reserved, type, count;
  GroupIconEntry entries[1];
};
#pragma pack(pop)

struct Image {
  int size, bits;
  bool operator==(const Image& other) const { return size == other.size && bits == other.bits; }
};
static void PrintTo(const Image& image, std::ostream* out) { *out << image.size << "px/" << image.bits << "bit"; }

// The images of an icon group as the group lists them, each checked against
// the image resource it names.
static std::vector<Image> GroupImages(WORD groupId) {
  std::vector<Image> images;
  DWORD size = 0;
  auto group = (const GroupIconHeader*)Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(groupId), &size);
  if (!group) return images;
  for (int i = 0; i < group->count; i++) {
    const GroupIconEntry& entry = group->entries[i];
    DWORD imageSize = 0;
    auto header = (const BITMAPINFOHEADER*)Resource(RT_ICON, MAKEINTRESOURCEW(entry.id), &imageSize);
    EXPECT_TRUE(header != NULL) << "image " << entry.id;
    if (!header) continue;
    EXPECT_EQ(entry.bytesInRes, imageSize);
    EXPECT_EQ(entry.width, header->biWidth);
    EXPECT_EQ(entry.height * 2, header->biHeight);  // colours and mask
    EXPECT_EQ(entry.bitCount, header->biBitCount);
    EXPECT_EQ(1, entry.planes);
    EXPECT_EQ(entry.bitCount == 4 ? 16 : 0, entry.colourCount);
    images.push_back({entry.width, entry.bitCount});
  }
  return images;
}

TEST(Resources, IconGroupsHaveTheirIdsSizesAndColourDepths) {
  const std::vector<Image> status = {{48, 8}};
  EXPECT_EQ(status, GroupImages(IDI_READY));
  EXPECT_EQ(status, GroupImages(IDI_NOTICE));
  EXPECT_EQ(status, GroupImages(IDI_OPERATOR_ERROR));
  EXPECT_EQ(status, GroupImages(IDI_FAULT));
  EXPECT_EQ(status, GroupImages(IDI_HARDWARE_ERROR));
  EXPECT_EQ((std::vector<Image>{{32, 4}, {16, 4}, {48, 8}}), GroupImages(IDI_PROGRAM));
  // The template's icon reference names nothing.
  DWORD size;
  EXPECT_EQ(NULL, Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_TEMPLATE_NONE), &size));
  // The notification area shows the status pictures at the small size.
  HICON small = (HICON)LoadImageW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDI_READY), IMAGE_ICON, 16, 16, 0);
  EXPECT_TRUE(small != NULL);
  DestroyIcon(small);
}

// Reads an extended dialog template in order.
struct TemplateReader {
  const BYTE* at;
  template <typename T> T Take() {
    T value;
    CopyMemory(&value, at, sizeof value);
    at += sizeof value;
    return value;
  }
  // A text, or "#n" for an ordinal.
  std::wstring TakeText() {
    WORD first = Take<WORD>();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Take<WORD>());
    std::wstring text;
    for (WORD unit = first; unit; unit = Take<WORD>()) text += (WCHAR)unit;
    return text;
  }
  void AlignToDword(const BYTE* base) {
    while ((at - base) % 4) at++;
  }
};

struct ControlTemplate {
  DWORD exStyle, style;
  short x, y, cx, cy;
  int id;
  std::wstring className, text;
};

// Predefined control classes are stored either by name or by their ordinal.
static std::wstring ClassName(const std::wstring& stored) {
  if (stored == L"#128") return L"Button";
  if (stored == L"#129") return L"Edit";
  if (stored == L"#130") return L"Static";
  for (const WCHAR* name : {L"Button", L"Edit", L"Static"})
    if (lstrcmpiW(stored.c_str(), name) == 0) return name;
  return stored;
}

TEST(Resources, DialogTemplateIsExactlyTheStatusWindow) {
  DWORD size = 0;
  const BYTE* base = Resource(RT_DIALOG, MAKEINTRESOURCEW(IDD_STATUS), &size);
  ASSERT_TRUE(base != NULL);
  TemplateReader in{base};
  EXPECT_EQ(1, in.Take<WORD>());       // version
  EXPECT_EQ(0xFFFF, in.Take<WORD>());  // extended template
  EXPECT_EQ(0u, in.Take<DWORD>());     // help id
  EXPECT_EQ(0u, in.Take<DWORD>());     // extended style
  EXPECT_EQ(0x80CA00C0u, in.Take<DWORD>());
  WORD count = in.Take<WORD>();
  EXPECT_EQ(12, count);
  EXPECT_EQ(0, in.Take<short>());
  EXPECT_EQ(0, in.Take<short>());
  EXPECT_EQ(269, in.Take<short>());
  EXPECT_EQ(164, in.Take<short>());
  EXPECT_EQ(L"", in.TakeText());  // no menu
  EXPECT_EQ(L"", in.TakeText());  // the standard dialog class
  EXPECT_EQ(L"ﾀﾞｲｱﾛｸﾞ", in.TakeText());
  EXPECT_EQ(9, in.Take<WORD>());
  EXPECT_EQ(0, in.Take<WORD>());  // weight
  EXPECT_EQ(0, in.Take<BYTE>());  // not italic
  EXPECT_EQ(DEFAULT_CHARSET, in.Take<BYTE>());
  EXPECT_EQ(L"ＭＳ Ｐゴシック", in.TakeText());

  const DWORD label = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
  const DWORD line = WS_CHILD | WS_VISIBLE | SS_GRAYFRAME | SS_SUNKEN;
  const DWORD edges = WS_EX_STATICEDGE | WS_EX_CLIENTEDGE;
  const ControlTemplate expected[] = {
      {edges, WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 153, 139, 50, 20, 1044, L"Button", L"OK"},
      {edges, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 211, 139, 50, 20, 1047, L"Button", L"印刷中止"},
      {0, WS_CHILD | WS_VISIBLE | SS_ICON, 5, 30, 20, 20, 1026, L"Static", L"#162"},
      {0, label, 12, 113, 53, 8, -1, L"Static", L"ユーザ名         "},
      {0, label, 74, 113, 165, 8, 1050, L"Static", L""},
      {0, label, 65, 112, 8, 8, -1, L"Static", L"："},
      {0, label, 12, 123, 53, 8, -1, L"Static", L"文書名"},
      {0, label, 74, 123, 165, 8, 1031, L"Static", L""},
      {0, label, 65, 122, 8, 8, -1, L"Static", L"："},
      {0, line, 5, 133, 258, 1, -1, L"Static", L""},
      {0, line, 5, 108, 258, 1, -1, L"Static", L""},
      {WS_EX_STATICEDGE, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_GROUP | ES_MULTILINE | ES_READONLY, 28, 3, 236, 101,
       1060, L"Edit", L""},
  };
  for (int i = 0; i < count && i < 12; i++) {
    SCOPED_TRACE(i + 1);
    in.AlignToDword(base);
    EXPECT_EQ(0u, in.Take<DWORD>());  // help id
    ControlTemplate actual;
    actual.exStyle = in.Take<DWORD>();
    actual.style = in.Take<DWORD>();
    actual.x = in.Take<short>();
    actual.y = in.Take<short>();
    actual.cx = in.Take<short>();
    actual.cy = in.Take<short>();
    actual.id = in.Take<int>();
    actual.className = ClassName(in.TakeText());
    actual.text = in.TakeText();
    EXPECT_EQ(0, in.Take<WORD>());  // no creation data
    const ControlTemplate& want = expected[i];
    EXPECT_EQ(want.exStyle, actual.exStyle);
    EXPECT_EQ(want.style, actual.style) << std::hex << want.style << " " << actual.style;
    EXPECT_EQ(want.x, actual.x);
    EXPECT_EQ(want.y, actual.y);
    EXPECT_EQ(want.cx, actual.cx);
    EXPECT_EQ(want.cy, actual.cy);
    EXPECT_EQ(want.id, actual.id);
    EXPECT_EQ(want.className, actual.className);
    EXPECT_EQ(want.text, actual.text);
  }
  EXPECT_EQ(size, (DWORD)(in.at - base));
}

TEST(Resources, ManifestAsksForNoPrivilegesNoNewControlsAndNoDpiAwareness) {
  DWORD size = 0;
  const char* text = (const char*)Resource(RT_MANIFEST, MAKEINTRESOURCEW(1), &size);
  ASSERT_TRUE(text != NULL);
  std::string manifest(text, size);
  EXPECT_NE(std::string::npos, manifest.find("name=\"QATOSTM\""));
  EXPECT_NE(std::string::npos, manifest.find("version=\"1.0.0.0\""));
  EXPECT_NE(std::string::npos, manifest.find("type=\"win32\""));
  EXPECT_NE(std::string::npos, manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"));
  const char* systems[] = {"8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                           "e2011457-1546-43c5-a5fe-008deee3d3f0"};
  size_t at = 0;
  for (const char* system : systems) {
    size_t found = manifest.find(system);
    EXPECT_NE(std::string::npos, found) << system;
    EXPECT_LT(at, found) << system << " out of order";
    at = found;
  }
  EXPECT_EQ(std::string::npos, manifest.find("Common-Controls"));
  EXPECT_EQ(std::string::npos, manifest.find("dpiAware"));
}
