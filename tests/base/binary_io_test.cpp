// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/binary_reader.h"
#include "base/binary_writer.h"
#include "base/extended_real.h"
#include "base/nova_error.h"

using namespace nova;

TEST(BinaryIo, RoundTripsEveryFieldKind) {
  BinaryWriter w;
  w.U8(0xFE);
  w.I16(-2);
  w.I32(-123456);
  w.U64(0x0102030405060708ull);
  w.Bool(true);
  w.String("abc");
  w.StringList({"x", "", "yz"});
  w.Extended(3.25L);
  auto bytes = w.Take();

  BinaryReader r(bytes, "test");
  EXPECT_EQ(r.U8(), 0xFE);
  EXPECT_EQ(r.I16(), -2);
  EXPECT_EQ(r.I32(), -123456);
  EXPECT_EQ(r.U64(), 0x0102030405060708ull);
  EXPECT_TRUE(r.Bool());
  EXPECT_EQ(r.String(), "abc");
  EXPECT_EQ(r.StringList(), (std::vector<std::string>{"x", "", "yz"}));
  EXPECT_EQ(r.Extended(), 3.25L);
  EXPECT_TRUE(r.at_end());
}

TEST(BinaryIo, DamagedLengthsFailWithTheRecordName) {
  struct Case {
    std::vector<uint8_t> bytes;
    const char* what;
  } cases[] = {
      {{0x05, 0, 0, 0, 'a'}, "string longer than the data"},
      {{0xFF, 0xFF, 0xFF, 0xFF}, "negative string length"},
      {{0xFF, 0xFF, 0xFF, 0x7F}, "string list count far beyond the data"},
      {{0x01, 0x02}, "truncated int32"},
  };
  for (const auto& c : cases) {
    BinaryReader r(c.bytes, "save.dat entry X");
    try {
      if (c.bytes.size() == 4 && c.bytes[3] == 0x7F) {
        r.StringList();
      } else if (c.bytes.size() == 2) {
        r.I32();
      } else {
        r.String();
      }
      ADD_FAILURE() << c.what << ": no error";
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find("save.dat entry X"), std::string::npos) << c.what;
    }
  }
}

TEST(ExtendedReal, KnownEncodingsAndSpecialValues) {
  // 1.0: mantissa 0x8000000000000000, exponent 0x3FFF.
  auto one = ExtendedToBytes(1.0L);
  const std::array<uint8_t, 10> expect_one = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  EXPECT_EQ(one, expect_one);
  const long double values[] = {0.0L, -0.0L, 1.0L / 3, -1e300L, 1e-4940L,
                                std::numeric_limits<long double>::max(),
                                std::numeric_limits<long double>::denorm_min(),
                                std::numeric_limits<long double>::infinity()};
  for (long double v : values) {
    auto b = ExtendedToBytes(v);
    long double back = ExtendedFromBytes(b);
    EXPECT_EQ(back, v);
    EXPECT_EQ(std::signbit(back), std::signbit(v));
  }
  EXPECT_TRUE(std::isnan(ExtendedFromBytes(ExtendedToBytes(std::nanl("")))));
}
