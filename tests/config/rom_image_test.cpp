#include "firmware/rom_image.h"

#include <gtest/gtest.h>

#include <cstring>

#include "temp_dir.h"

using namespace vorn::firmware;

namespace {

std::vector<std::uint8_t> Image(size_t size, std::string start) {
  std::vector<std::uint8_t> image(size, 0x00);
  if (size) std::memcpy(image.data(), start.data(), std::min(start.size(), size));
  return image;
}

}  // namespace

TEST(RomImage, SizeAndSignatureRules) {
  struct Case {
    const char* name;
    size_t size;
    std::string start;
    RomStatus status;
  };
  const Case cases[] = {
      {"32 KiB", 32768, "SN9C", RomStatus::Ok},
      {"64 KiB", 65536, "SN9C", RomStatus::Ok},
      {"128 KiB", 131072, "SN9C", RomStatus::Ok},
      {"one byte short", 65535, "SN9C", RomStatus::InvalidLength},
      {"one byte over", 65537, "SN9C", RomStatus::InvalidLength},
      {"empty", 0, "", RomStatus::InvalidLength},
      {"256 KiB", 262144, "SN9C", RomStatus::InvalidLength},
      {"erased flash", 65536, "\xFF\xFFSN", RomStatus::FilledFF},
      {"0xFF then N", 65536, "\xFFN", RomStatus::Ok},
      {"S then anything", 65536, "S\xFF\xFF\xFF", RomStatus::Ok},
      {"XN", 65536, "XN", RomStatus::Ok},
      {"only byte 2", 65536, "XX9X", RomStatus::Ok},
      {"only byte 3", 65536, "XXXC", RomStatus::Ok},
      {"ABCD", 65536, "ABCD", RomStatus::NoSignature},
      {"lower case, digit elsewhere", 65536, "sn0c9", RomStatus::NoSignature},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckRomImage(Image(c.size, c.start)), c.status) << c.name;

  EXPECT_STREQ(RomStatusText(RomStatus::InvalidLength), "Invalid file length!");
  EXPECT_STREQ(RomStatusText(RomStatus::FilledFF), "It is NOT a Sonix Rom File!");
  EXPECT_STREQ(RomStatusText(RomStatus::NoSignature), "It is Not a Sonix Rom File!");
  EXPECT_STREQ(RomStatusText(RomStatus::CantOpen), "Can't Open File!");
  EXPECT_STREQ(RomStatusText(RomStatus::NoMemory), "Cannot allocate memory!");
  EXPECT_STREQ(RomStatusTextW(RomStatus::NoSignature), L"It is Not a Sonix Rom File!");
}

TEST(RomImage, ShortReadFailsInsteadOfPadding) {
  const std::vector<std::uint8_t> source = Image(32768, "SN9C");
  struct Case {
    const char* name;
    size_t available;  // bytes the source gives before it gives out
    size_t chunk;      // largest single read
    RomStatus status;
  };
  const Case cases[] = {
      {"whole file in one read", 32768, 32768, RomStatus::Ok},
      {"whole file in small reads", 32768, 1000, RomStatus::Ok},
      {"gives out early", 32767, 32768, RomStatus::CantOpen},
      {"gives out at once", 0, 32768, RomStatus::CantOpen},
  };
  for (const Case& c : cases) {
    size_t pos = 0;
    RomReadResult r = ReadRomImageFrom(source.size(), [&](std::uint8_t* dst, size_t max) {
      const size_t n = std::min({max, c.chunk, c.available - pos});
      std::memcpy(dst, source.data() + pos, n);
      pos += n;
      return n;
    });
    EXPECT_EQ(r.status, c.status) << c.name;
    if (c.status == RomStatus::Ok) {
      EXPECT_EQ(r.image, source) << c.name;
    } else {
      EXPECT_TRUE(r.image.empty()) << c.name;
    }
  }
  // The length is checked before anything is read.
  bool called = false;
  RomReadResult r = ReadRomImageFrom(65535, [&](std::uint8_t*, size_t) { called = true; return size_t{0}; });
  EXPECT_EQ(r.status, RomStatus::InvalidLength);
  EXPECT_FALSE(called);
  EXPECT_EQ(ReadRomImageFrom(0x100008000ull, [](std::uint8_t*, size_t) { return size_t{0}; }).status,
            RomStatus::InvalidLength);
}

TEST(RomImage, FilesOnDisk) {
  TempDir dir;
  const std::vector<std::uint8_t> good = Image(131072, "SN9C220");
  const std::string bytes(good.begin(), good.end());
  const auto path = dir.path() / vorn::files::PathFromUtf8("\xD0\xBF\xD1\x80\xD0\xBE\xD1\x88\xD0\xB8\xD0\xB2\xD0\xBA\xD0\xB0.src");
  ASSERT_TRUE(WriteBytes(path, bytes));
  RomReadResult r = ReadRomImage(path);
  EXPECT_EQ(r.status, RomStatus::Ok);
  EXPECT_EQ(r.image, good);

  ASSERT_TRUE(WriteBytes(dir.path() / "short.src", bytes.substr(0, 65535)));
  EXPECT_EQ(ReadRomImage(dir.path() / "short.src").status, RomStatus::InvalidLength);
  ASSERT_TRUE(WriteBytes(dir.path() / "blank.src", std::string(32768, '\xFF')));
  EXPECT_EQ(ReadRomImage(dir.path() / "blank.src").status, RomStatus::FilledFF);
  EXPECT_EQ(ReadRomImage(dir.path() / "absent.src").status, RomStatus::CantOpen);
}

TEST(BurnProgressPosition, FractionToBarPosition) {
  struct Case {
    float done;
    int position;
  };
  const Case cases[] = {
      {0.0f, 0},          {0.5f, 5000},      {1.0f, 10000},    {0.99999f, 9999},
      {0.00005f, 0},      {0.0001f, 1},      {0.12345f, 1234}, {0.99999994f, 9999},
      {-0.5f, 0},         {1.5f, 10000},     {-0.0f, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ProgressPosition(c.done), c.position) << c.done;
  EXPECT_EQ(ProgressPosition(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(ProgressPosition(std::numeric_limits<float>::infinity()), 10000);
}
