// Dates as serial days from 1899-12-30: DateSerial-style normalisation,
// splitting serials back into calendar parts (including before the epoch),
// date text parsing and the en-US general date form.
#include <gtest/gtest.h>

#include "core_test_util.h"

namespace zantrel {
namespace {

using testing::RaisedNumber;

constexpr double kSecond = 1.0 / 86400;
constexpr double k2026Dec5 = 46361;

TEST(Dates, DateFromPartsKnownSerials) {
  struct Row {
    int y, m, d, h, mi, s;
    double serial;
  };
  const Row rows[] = {
      {1899, 12, 30, 0, 0, 0, 0},       {1900, 1, 1, 0, 0, 0, 2},        {1970, 1, 1, 0, 0, 0, 25569},
      {2000, 1, 1, 0, 0, 0, 36526},     {2024, 2, 29, 0, 0, 0, 45351},   {9999, 12, 31, 0, 0, 0, 2958465},
      {100, 1, 1, 0, 0, 0, -657434},    {2026, 12, 5, 12, 0, 0, k2026Dec5 + 0.5},
      {1899, 12, 29, 6, 0, 0, -1.25},   // before the epoch the time still counts forward
      {1899, 12, 30, 18, 0, 0, 0.75},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.y << "-" << r.m << "-" << r.d << " " << r.h);
    EXPECT_DOUBLE_EQ(DateFromParts(r.y, r.m, r.d, r.h, r.mi, r.s), r.serial);
  }
  EXPECT_EQ(CLng(Variant::Date(DateFromParts(1900, 1, 1))), 2);
}

TEST(Dates, DateFromPartsNormalisesLikeDateSerial) {
  struct Row {
    const char* label;
    double got, expected;
  };
  const Row rows[] = {
      {"month 13", DateFromParts(2026, 13, 1), DateFromParts(2027, 1, 1)},
      {"month 0", DateFromParts(2026, 0, 1), DateFromParts(2025, 12, 1)},
      {"month -1", DateFromParts(2026, -1, 1), DateFromParts(2025, 11, 1)},
      {"month -12", DateFromParts(2026, -12, 1), DateFromParts(2024, 12, 1)},
      {"month 25", DateFromParts(2026, 25, 1), DateFromParts(2028, 1, 1)},
      {"day 32", DateFromParts(2026, 1, 32), DateFromParts(2026, 2, 1)},
      {"Feb 30 leap", DateFromParts(2024, 2, 30), DateFromParts(2024, 3, 1)},
      {"Feb 29 common", DateFromParts(2026, 2, 29), DateFromParts(2026, 3, 1)},
      {"day 0", DateFromParts(2026, 3, 0), DateFromParts(2026, 2, 28)},
      {"day -1", DateFromParts(2026, 1, -1), DateFromParts(2025, 12, 30)},
      {"day 366", DateFromParts(2026, 1, 366), DateFromParts(2027, 1, 1)},
      {"hour 24", DateFromParts(2026, 1, 1, 24), DateFromParts(2026, 1, 2)},
      {"minute -1", DateFromParts(2026, 1, 2, 0, -1), DateFromParts(2026, 1, 1, 23, 59)},
  };
  for (const Row& r : rows) EXPECT_DOUBLE_EQ(r.got, r.expected) << r.label;
}

TEST(Dates, SplitDate) {
  struct Row {
    double serial;
    DateParts parts;
  };
  const Row rows[] = {
      {0, {1899, 12, 30, 0, 0, 0, 7}},
      {2, {1900, 1, 1, 0, 0, 0, 2}},
      {36526.5, {2000, 1, 1, 12, 0, 0, 7}},
      {k2026Dec5 + (15 * 3600 + 4 * 60 + 5) * kSecond, {2026, 12, 5, 15, 4, 5, 7}},
      {-1.25, {1899, 12, 29, 6, 0, 0, 6}},
      {-0.5, {1899, 12, 30, 12, 0, 0, 7}},
      {-2.75, {1899, 12, 28, 18, 0, 0, 5}},
      {45351, {2024, 2, 29, 0, 0, 0, 5}},
      {2958465, {9999, 12, 31, 0, 0, 0, 6}},
      {-657434, {100, 1, 1, 0, 0, 0, 6}},
      {45351 + 0.4 * kSecond, {2024, 2, 29, 0, 0, 0, 5}},        // rounds to the second
      {45351 + 1 - 0.4 * kSecond, {2024, 3, 1, 0, 0, 0, 6}},     // rounds into the next day
      {-1 - (1 - 0.4 * kSecond), {1899, 12, 30, 0, 0, 0, 7}},    // same before the epoch
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.serial);
    const DateParts p = SplitDate(r.serial);
    EXPECT_EQ(p.year, r.parts.year);
    EXPECT_EQ(p.month, r.parts.month);
    EXPECT_EQ(p.day, r.parts.day);
    EXPECT_EQ(p.hour, r.parts.hour);
    EXPECT_EQ(p.minute, r.parts.minute);
    EXPECT_EQ(p.second, r.parts.second);
    EXPECT_EQ(p.weekday, r.parts.weekday);
  }
}

TEST(Dates, SplitAndRebuildRoundTrip) {
  for (double serial = -657434; serial < 2958466; serial += 997.375) {
    const DateParts p = SplitDate(serial);
    ASSERT_DOUBLE_EQ(DateFromParts(p.year, p.month, p.day, p.hour, p.minute, p.second), serial) << serial;
  }
}

TEST(Dates, ParseDate) {
  const double t150405 = (15 * 3600 + 4 * 60 + 5) * kSecond;
  struct Row {
    const char* text;
    double serial;
  };
  const Row rows[] = {
      {"2026-12-05", k2026Dec5},
      {" 2026-12-5 ", k2026Dec5},
      {"2026-12-05 15:04:05", k2026Dec5 + t150405},
      {"2026-12-05T15:04:05", k2026Dec5 + t150405},
      {"2026-12-05T15:04", k2026Dec5 + t150405 - 5 * kSecond},
      {"12/5/2026", k2026Dec5},
      {"12/05/2026 3:04:05 PM", k2026Dec5 + t150405},
      {"12/5/2026 3:04:05 pm", k2026Dec5 + t150405},
      {"12-5-2026", k2026Dec5},
      {"12/5/26", k2026Dec5},
      {"1/1/30", 10959},                 // two-digit years 30..99 are 19xx
      {"13/5/2026", 46155},               // no 13th month: read as day/month
      {"Dec 5, 2026", k2026Dec5},
      {"December 5 2026 15:04:05", k2026Dec5 + t150405},
      {"5 Dec 2026", k2026Dec5},
      {"5-dec-2026", k2026Dec5},
      {"15:04:05", t150405},
      {"3:04:05 PM", t150405},
      {"12:00 AM", 0},
      {"12:30 PM", 0.5 + 30 * 60 * kSecond},
      {"3 PM", 15 * 3600 * kSecond},
      {"0:00:01.5", 1.5 * kSecond},
      {"2/29/2024", 45351},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    const auto got = ParseDate(r.text);
    ASSERT_TRUE(got.has_value());
    EXPECT_NEAR(*got, r.serial, 1e-9);
  }
}

TEST(Dates, ParseDateRejects) {
  for (const char* text : {"", "2026", "abc", "2026-13-01", "2026-02-29", "2/30/2026", "13/13/2026", "25:00",
                           "3:60", "13 PM", "0 AM x", "12/5/2026 x", "12/5/2026T", "2026-12-05 15", "12/5",
                           "Foo 5, 2026", "1/1/99999", "2026-12-05 15:04:05 +01:00", "3:04:61"}) {
    EXPECT_FALSE(ParseDate(text).has_value()) << text;
  }
}

TEST(Dates, FormatDate) {
  const std::pair<double, const char*> rows[] = {
      {k2026Dec5 + (15 * 3600 + 4 * 60 + 5) * kSecond, "12/5/2026 3:04:05 PM"},
      {k2026Dec5, "12/5/2026"},
      {k2026Dec5 + kSecond, "12/5/2026 12:00:01 AM"},
      {k2026Dec5 + 0.5, "12/5/2026 12:00:00 PM"},
      {0, "12:00:00 AM"},
      {0.25, "6:00:00 AM"},
      {(15 * 3600 + 4 * 60 + 5) * kSecond, "3:04:05 PM"},
      {-1.25, "12/29/1899 6:00:00 AM"},
      {1, "12/31/1899"},
      {2958465, "12/31/9999"},
  };
  for (auto [serial, text] : rows) EXPECT_EQ(FormatDate(serial), text) << serial;
}

TEST(Dates, CDate) {
  struct Row {
    const char* label;
    Variant in;
    double serial;
    int32_t error;
  };
  const Row rows[] = {
      {"ISO text", Variant("2026-12-05"), k2026Dec5, 0},
      {"numeric text is a serial", Variant("45000.5"), 45000.5, 0},
      {"Double", Variant(45000.25), 45000.25, 0},
      {"Long", Variant(int32_t{2}), 2, 0},
      {"Date", Variant::Date(-1.25), -1.25, 0},
      {"Empty", Variant(), 0, 0},
      {"past 9999", Variant(3e6), 0, 6},
      {"before 100", Variant(-7e5), 0, 6},
      {"word", Variant("hello"), 0, 13},
      {"invalid date text", Variant("2/30/2026"), 0, 13},
      {"Null", Variant::Null(), 0, 94},
      {"Nothing", Variant::Nothing(), 0, 13},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    double got = 0;
    EXPECT_EQ(RaisedNumber([&] { got = CDate(r.in); }), r.error);
    EXPECT_DOUBLE_EQ(got, r.serial);
  }
  EXPECT_EQ(CStr(Variant::Date(CDate(Variant("12/5/2026 3:04:05 PM")))), "12/5/2026 3:04:05 PM");
}

}  // namespace
}  // namespace zantrel
