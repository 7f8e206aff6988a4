// Texts of the record to UTF-16 under the user's code page (932 in the tests).
#include <gtest/gtest.h>
#include <string>
#include "status/status.h"

struct ConvertCase {
  const char* bytes;
  int fieldBytes;
  int maxChars;
  const WCHAR* text;
};

static const ConvertCase convertCases[] = {
    {"\x8E\x52\x93\x63\x91\xBE\x98\x59", 9, 256, L"山田太郎"},
    {"\x97\x5C\x92\xE8\x95\x5C", 7, 64, L"予定表"},       // trail bytes 0x5C are not "\"
    {"\xD7\xCD\xDE\xD9", 5, 64, L"ﾗﾍﾞﾙ"},                  // half-width katakana, one byte each
    {"ABC\0DEF", 8, 64, L"ABC"},                           // the first NUL ends the text
    {"ABCDEF", 4, 64, L"ABCD"},                            // so does the field's end
    {"\x82\xA0\x82\xA0\x82\xA0", 7, 2, L"ああ"},           // cut to the destination
    {"AB\x82", 3, 64, L""},                                // a lead byte cut off by the field's end
    {"AB\x82", 4, 64, L""},                                // a lead byte before the NUL
    {"AB\x82\x20", 5, 64, L""},                            // a lead byte before a byte that cannot follow it
    {"", 1, 64, L""},
};

TEST(ConvertBlockText, CodePage932Texts) {
  ASSERT_EQ(932u, GetACP());
  for (const ConvertCase& c : convertCases) {
    SCOPED_TRACE(testing::Message() << "field of " << c.fieldBytes << " bytes: " << testing::PrintToString(c.bytes));
    std::string field(c.bytes, c.fieldBytes);
    // The byte after the field is no text's end: reading it would show.
    field.push_back('X');
    std::wstring out(c.maxChars + 2, L'#');
    ConvertBlockText((const BYTE*)field.data(), c.fieldBytes, &out[0], c.maxChars);
    EXPECT_EQ(std::wstring(c.text), out.c_str());
    EXPECT_EQ(L'#', out[c.maxChars + 1]) << "wrote past the destination";
  }
}
