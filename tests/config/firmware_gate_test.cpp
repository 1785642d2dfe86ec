#include "firmware/firmware_gate.h"

#include <gtest/gtest.h>

#include <cstring>

using vorn::firmware::IsFirmwareNewer;
using vorn::firmware::WidenBounded;

namespace {

bool Newer(const std::string& text, int threshold) {
  return IsFirmwareNewer(text.c_str(), text.size() + 1, threshold);
}

}  // namespace

TEST(FirmwareGate, BuildNumberAfterMarkerIsComparedStrictly) {
  struct Case {
    std::string text;
    int threshold;
    bool newer;
  };
  const Case cases[] = {
      {"VN2-Corvanith-210811K-0", 210810, true},
      {"VN2-Corvanith-210810K-0", 210810, false},
      // The rotation and illumination gates of one firmware.
      {"Corvanith-210824K", 210810, true},
      {"Corvanith-210824K", 210824, false},
      {"Corvanith-210825", 210824, true},
      {"no marker 210900", 210810, false},
      {"corvanith-210900K", 210810, false},
      {"", 0, false},
      {"Corvanith-", -1, false},
      {"Corvanith-KKK", -1, false},
      {"Corvanith-KK210811K", 210810, true},
      {"Corvanith- 210811", 210810, true},
      {"Corvanith-210811abc", 210810, true},
      // No digits count as 0.
      {"Corvanith-abc", -1, true},
      {"Corvanith-abc", 0, false},
      {"Corvanith--5", -6, true},
      // First occurrence decides.
      {"Corvanith-100K Corvanith-999999K", 210810, false},
      {"Corvanith-99999999999999999999999", 2147483647, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Newer(c.text, c.threshold), c.newer) << '"' << c.text << "\" vs " << c.threshold;
  }
}

TEST(FirmwareGate, ReadsNoFurtherThanTheBuffer) {
  // The bytes past the bound would turn 21081 into 210819.
  const char unterminated[] = {'C', 'o', 'r', 'v', 'a', 'n', 'i', 't', 'h', '-',
                               '2', '1', '0', '8', '1', '9', 'K', '\0'};
  EXPECT_FALSE(IsFirmwareNewer(unterminated, 15, 210810));
  EXPECT_TRUE(IsFirmwareNewer(unterminated, 16, 210810));
  // A marker cut by the bound is no marker.
  EXPECT_FALSE(IsFirmwareNewer(unterminated, 9, -1));
  EXPECT_FALSE(IsFirmwareNewer(unterminated, 0, -1));
  EXPECT_FALSE(IsFirmwareNewer(nullptr, 60, -1));

  // A zero byte ends the text inside the buffer.
  char zeroed[32] = {};
  std::memcpy(zeroed, "Corvanith-\0" "210811", 17);
  EXPECT_FALSE(IsFirmwareNewer(zeroed, sizeof zeroed, 210810));

  // The whole buffer used, no zero anywhere (ASan flags any overread).
  std::string full = "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxCorvanith-210811";
  std::unique_ptr<char[]> heap(new char[full.size()]);
  std::memcpy(heap.get(), full.data(), full.size());
  EXPECT_TRUE(IsFirmwareNewer(heap.get(), full.size(), 210810));
}

TEST(FirmwareGate, WidenStopsAtZeroOrBound) {
  EXPECT_EQ(WidenBounded("abc\0def", 8), L"abc");
  EXPECT_EQ(WidenBounded("abcdef", 3), L"abc");
  EXPECT_EQ(WidenBounded("abc", 0), L"");
  EXPECT_EQ(WidenBounded(nullptr, 10), L"");
  std::unique_ptr<char[]> heap(new char[4]{'V', 'N', '-', '1'});
  EXPECT_EQ(WidenBounded(heap.get(), 4), L"VN-1");
#ifndef _WIN32
  EXPECT_EQ(WidenBounded("\xE9\xFF", 2), std::wstring({L'\xE9', L'\xFF'}));
#endif
}
