// The viewers' renderings: escaping, UTF-8, fields without terminators.
#include <gtest/gtest.h>

#include <cstring>

#include "smbprobe/record-format.h"

namespace orvo {
namespace {

TEST(RecordFormat, JsonEscapesAndEncodes) {
  SysInfoRecord record{};
  std::u16string product = u"Jump\"deck\\ \u00E9\u20AC\x01";
  std::copy(product.begin(), product.end(), record.szProductName2);
  const std::u16string pair = u"\xD83D\xDE00|\xD800|";
  std::copy(pair.begin(), pair.end(), record.szSerialNumber);
  std::fill(std::begin(record.szSkuNumber), std::end(record.szSkuNumber), u'Z');  // no terminator
  record.wTotalMemory = 4096;
  record.PlatformCode.nCode00 = -3;
  record.PlatformCode.nCode02 = 0xFFFFFFFF;
  const std::string json = FormatRecordJson(record);
  EXPECT_NE(json.find(R"("szProductName2": "Jump\"deck\\ é€\u0001")"), std::string::npos) << json;
  EXPECT_NE(json.find("\"szSerialNumber\": \"\xF0\x9F\x98\x80|\xEF\xBF\xBD|\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"szSkuNumber\": \"" + std::string(64, 'Z') + "\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"wTotalMemory\": 4096,"), std::string::npos) << json;
  EXPECT_NE(json.find("\"nCode00\": -3"), std::string::npos) << json;
  EXPECT_NE(json.find("\"nCode02\": 4294967295"), std::string::npos) << json;
  const std::string text = FormatRecordText(record);
  EXPECT_NE(text.find("Installed memory:       4096 MB\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Product name:           Jump\"deck\\ \xC3\xA9\xE2\x82\xAC\x01\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace orvo
