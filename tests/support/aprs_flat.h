// A report as one line of "key=value" by the JSON keys, to assert every
// field of a decoded report with one string per table row:
//   type=position lat=49.058333 lon=-72.029167 symbol_table=/ ...
// Lists as key=[a,b,-], groups as key{...}, nulls as "-".
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "aprs/aprs_decoder.h"
#include "aprs/aprs_fields.h"

namespace vorlink::testing {

class FlatSink final : public AprsFieldSink {
 public:
  using AprsFieldSink::Text;
  void Text(AprsField f, std::span<const std::string_view> runs) override {
    Key(f);
    for (std::string_view r : runs) out += r;
  }
  void Number(AprsField f, double v) override {
    Key(f);
    AppendNumber(out, v, FieldInfo(f).decimals);
  }
  void Bool(AprsField f, bool v) override {
    Key(f);
    out += v ? "true" : "false";
  }
  void Null(AprsField f) override {
    Key(f);
    out += '-';
  }
  void BeginList(AprsField f) override {
    Key(f);
    out += '[';
    inList = true;
    first = true;
  }
  void EndList() override {
    out += ']';
    inList = false;
    first = false;
  }
  void BeginGroup(AprsField f) override {
    Key(f);
    out += '{';
    first = true;
  }
  void EndGroup() override {
    out += '}';
    first = false;
  }

  std::string out;

 private:
  void Key(AprsField f) {
    if (inList) {
      if (!first) out += ',';
      first = false;
      return;
    }
    if (!first) out += ' ';
    first = false;
    if (FieldInfo(f).key.empty()) {
      out += "symbol";  // the description
    } else {
      out += FieldInfo(f).key;
    }
    out += '=';
  }
  bool inList = false;
  bool first = true;
};

inline std::string Flat(const AprsReport& report) {
  FlatSink sink;
  VisitAprsReport(report, sink);
  return sink.out;
}

// Decoded from text, destination "APRS" unless given.
inline std::string FlatDecode(std::string_view info, std::string_view destination = "APRS") {
  return Flat(DecodeAprs(info, destination));
}

// One table row: a name, the information field, its destination, and the
// flat line expected.
struct AprsCase {
  const char* name;
  std::string info;
  std::string destination;
  std::string expected;
};

inline void PrintTo(const AprsCase& c, std::ostream* os) { *os << c.name; }

// The one test every table of cases is instantiated for (aprs_decode_test.cpp):
//   INSTANTIATE_TEST_SUITE_P(Kind, AprsDecodeTest, ::testing::ValuesIn(...));
class AprsDecodeTest : public ::testing::TestWithParam<AprsCase> {};

}  // namespace vorlink::testing
