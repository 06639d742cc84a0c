#include "aprs/beacon_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aprs/aprs_decoder.h"
#include "aprs/object_report.h"

namespace vorlink {
namespace {

struct BeaconRow {
  std::string name;
  GeoPoint point;
  std::string symbol;
  std::string comment;
  bool compressed;
  std::string info;  // exact, where the row gives it
};

TEST(BeaconTextTest, WhatWeEncodeTheDecoderReadsBack) {
  const std::vector<BeaconRow> rows = {
      {"north west uncompressed", {49.058333, -72.029167}, "/-", "home", false,
       "!4903.50N/07201.75W-home"},
      {"south east uncompressed", {-33.75, 151.125}, "\\>", "", false, "!3345.00S\\15107.50E>"},
      {"minutes rounding up to the next degree", {9.99999, -0.000001}, "/#", "", false,
       "!1000.00N/00000.00W#"},
      {"an overlay", {10.5, 20.25}, "5>", "x", false, "!1030.00N502015.00E>x"},
      {"compressed, the reference's longitude", {49.5, -72.75}, "/>", "on the road", true, ""},
      {"compressed overlay digit", {-12.5, 130.0}, "3#", "", true, ""},
      {"compressed poles and date line", {90, -180}, "/-", "", true, ""},
      {"comment cut and cleaned", {0, 0}, "/-",
       "a|b~c\x01" + std::string(50, 'z'), false, "!0000.00N/00000.00E-abc" + std::string(40, 'z')},
  };
  for (const BeaconRow& row : rows) {
    SCOPED_TRACE(row.name);
    const auto symbol = ParseSymbolText(row.symbol);
    ASSERT_TRUE(symbol);
    const std::string info = BeaconInfo(row.point, *symbol, row.comment, row.compressed);
    if (!row.info.empty()) EXPECT_EQ(info, row.info);
    const AprsReport report = DecodeAprs(info, "APZVOR");
    const auto* position = report.As<AprsPositionReport>();
    ASSERT_NE(position, nullptr) << info;
    const double tolerance = row.compressed ? 1e-5 : 1.0 / 6000;
    EXPECT_NEAR(position->position.latitude, row.point.latitude, tolerance);
    EXPECT_NEAR(position->position.longitude, row.point.longitude, tolerance);
    EXPECT_EQ(position->position.compressed, row.compressed);
    EXPECT_EQ(position->position.symbol.table, symbol->table);
    EXPECT_EQ(position->position.symbol.code, symbol->code);
    EXPECT_EQ(position->comment.Text(), BeaconComment(row.comment));
    EXPECT_FALSE(position->messaging);
  }
}

TEST(BeaconTextTest, TheReferenceExampleLongitudeIsItsBase91) {
  const std::string field = PositionField({0, -72.75}, {'/', '>'}, true);
  EXPECT_EQ(field.substr(5, 4), "<*e7");
}

TEST(BeaconTextTest, SymbolTextsThatAreNoSymbol) {
  for (const char* text : {"", "/", "//-", "x-", "/ ", "/\x7F"}) {
    EXPECT_FALSE(ParseSymbolText(text)) << text;
  }
  EXPECT_EQ(SymbolText(*ParseSymbolText("\\k")), "\\k");
}

struct ObjectRow {
  std::string name;
  bool alive;
  std::string info;
};

TEST(ObjectReportTest, LiveAndKilledObjectsReadBack) {
  const DateTime utc{2026, 12, 8, 9, 5, 30, 0};
  const std::vector<ObjectRow> rows = {
      {"FIELD DAY", true, ";FIELD DAY*080905z4903.50N/07201.75W;tents"},
      {"X", false, ";X        _080905z4903.50N/07201.75W;tents"},
  };
  for (const ObjectRow& row : rows) {
    SCOPED_TRACE(row.name);
    const OwnObject object{row.name, {49.058333, -72.029167}, {'/', ';'}, "tents"};
    const std::string info = ObjectInfo(object, row.alive, utc);
    EXPECT_EQ(info, row.info);
    const AprsReport report = DecodeAprs(info, "APZVOR");
    const auto* decoded = report.As<AprsObject>();
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->name, row.name);
    EXPECT_EQ(decoded->alive, row.alive);
    EXPECT_EQ(decoded->timestamp, "080905z");
    EXPECT_NEAR(decoded->position.latitude, object.position.latitude, 1.0 / 6000);
    EXPECT_EQ(decoded->position.symbol.code, ';');
    EXPECT_EQ(decoded->comment.Text(), "tents");
  }
}

TEST(ObjectReportTest, NamesOfOneToNinePrintableCharacters) {
  EXPECT_EQ(ObjectName(" NET 1 "), "NET 1");
  EXPECT_EQ(ObjectName("123456789"), "123456789");
  EXPECT_FALSE(ObjectName("1234567890"));
  EXPECT_FALSE(ObjectName("   "));
  EXPECT_FALSE(ObjectName("a\tb"));
}

}  // namespace
}  // namespace vorlink
