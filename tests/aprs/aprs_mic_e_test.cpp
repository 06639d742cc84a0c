// Mic-E: every message-bit combination, the wraps, ambiguity, telemetry
// and device bytes.
#include <gtest/gtest.h>

#include <vector>

#include "support/aprs_flat.h"

namespace vorlink {
namespace {

using testing::AprsCase;
using testing::AprsDecodeTest;

INSTANTIATE_TEST_SUITE_P(MicEMessageBits, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"M0 off duty", "`d\x1d""g\x1f""Xt>/", "PPP000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M0"},
    {"M1 en route", "`d\x1d""g\x1f""Xt>/", "PP0000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M1"},
    {"M2 in service", "`d\x1d""g\x1f""Xt>/", "P0P000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M2"},
    {"M3 returning", "`d\x1d""g\x1f""Xt>/", "P00000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"M4 committed", "`d\x1d""g\x1f""Xt>/", "0PP000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M4"},
    {"M5 special", "`d\x1d""g\x1f""Xt>/", "0P0000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M5"},
    {"M6 priority", "`d\x1d""g\x1f""Xt>/", "00P000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M6"},
    {"emergency", "`d\x1d""g\x1f""Xt>/", "000000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=emergency"},
    {"C0", "`d\x1d""g\x1f""Xt>/", "AAA000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=C0"},
    {"C1", "`d\x1d""g\x1f""Xt>/", "AA0000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=C1"},
    {"C2", "`d\x1d""g\x1f""Xt>/", "A0A000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=C2"},
    {"C3", "`d\x1d""g\x1f""Xt>/", "A00000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=C3"},
    {"C4", "`d\x1d""g\x1f""Xt>/", "0AA000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=C4"},
    {"C5", "`d\x1d""g\x1f""Xt>/", "0A0000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=C5"},
    {"C6", "`d\x1d""g\x1f""Xt>/", "00A000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=C6"},
    {"standard and custom mixed: unknown", "`d\x1d""g\x1f""Xt>/", "PA0000",
     "type=mic-e lat=0 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=unknown"},
    {"custom K blank, four digits of ambiguity", "`d\x1d""g\x1f""Xt>/", "A3KLLL",
     "type=mic-e lat=-3 lon=72 posambiguity=4 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=C2"},
}));

INSTANTIATE_TEST_SUITE_P(MicEPosition, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"north west with 0x1D and 0x1F data bytes", "`d\x1d""g\x1f""Xt>/", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"SSID ignored", "`d\x1d""g\x1f""Xt>/", "S32U6T-3",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"south east", "`d\x1d""g\x1f""Xt>/", "S32565",
     "type=mic-e lat=-33.4275 lon=72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"longitude offset +100", "`\x1c""\x1d""g\x1f""Xt>/", "S32UVT",
     "type=mic-e lat=33.427333 lon=-100.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"degrees 180-189 wrap to 100-109", "`l\x1d""g\x1f""Xt>/", "S32UVT",
     "type=mic-e lat=33.427333 lon=-100.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"degrees 190-199 wrap to 0-9", "`v\x1d""g\x1f""Xt>/", "S32UVT",
     "type=mic-e lat=33.427333 lon=-0.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"minutes of 60 and more wrap", "`dYg\x1f""Xt>/", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"ambiguity two digits blurs the longitude", "`d\x1d""g\x1f""Xt>/", "S32UZZ",
     "type=mic-e lat=33.416667 lon=-172.016667 posambiguity=2 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"ambiguity four digits", "`d\x1d""g\x1f""Xt>/", "S3ZZZZ",
     "type=mic-e lat=33 lon=-172 posambiguity=4 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M2"},
    {"speed over 800 and course over 400 wrap", "`d\x1d""g\x7f""\\t>/", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=363 speed_kn=196 mice_msg=M3"},
    {"course 0 unknown", "`d\x1d""g\x1f""X\x1c"">/", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"old format", "'d\x1d""g\x1f""Xt>/", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
}));

INSTANTIATE_TEST_SUITE_P(MicEComment, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"altitude and a suffix after >", "`d\x1d""g\x1f""Xt>/>\"4T}Hello=", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 altitude_m=61 mice_msg=M3 comment=Hello"},
    {"suffix after ]", "`d\x1d""g\x1f""Xt>/]text=", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3 comment=text"},
    {"two-character suffix after `", "`d\x1d""g\x1f""Xt>/`Hi there_3", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3 comment=Hi there"},
    {"two-character suffix after '", "`d\x1d""g\x1f""Xt>/'tracker|4", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3 comment=tracker"},
    {"no suffix to take", "`d\x1d""g\x1f""Xt>/`Hi there", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3 comment=Hi there"},
    {"hex telemetry, five channels", "'d\x1d""g\x1f""Xt>/'7200007100", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3 mice_telemetry=[114,0,0,113,0]"},
    {"hex telemetry, channels 1 and 3", "`d\x1d""g\x1f""Xt>/`7200", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3 mice_telemetry=[114,-,0,-,-]"},
    {"too few hex digits after ': a device prefix", "`d\x1d""g\x1f""Xt>/'72", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3 comment=72"},
    {"binary telemetry", "`d\x1d""g\x1f""Xt>/\x1d""\x01""\x02""\x03""\x04""\x05""rest", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3 mice_telemetry=[1,2,3,4,5] comment=rest"},
    {"0x1C-0x1F and 0x7F kept", "`d\x1d""g\x1f""Xt>/\x7f""\x1c""\x1e""\x1f""", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3 comment=\x7f""\x1c""\x1e""\x1f"""},
    {"base-91 comment telemetry and DAO", "`d\x1d""g\x1f""Xt>/text|!\"#$|!w#$!", "S32U6T",
     "type=mic-e lat=33.427337 lon=-72.029172 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 tlm_seq=1 tlm_analog=[185,-,-,-,-] mice_msg=M3 comment=text"},
}));

INSTANTIATE_TEST_SUITE_P(MicEInvalid, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"custom bit outside the first three", "`d\x1d""g\x1f""Xt>/", "S32A6T",
     "type=invalid error=bad Mic-E destination"},
    {"destination not six characters", "`d\x1d""g\x1f""Xt>/", "S32U6",
     "type=invalid error=Mic-E destination not six characters"},
    {"blank before a digit", "`d\x1d""g\x1f""Xt>/", "S3Z26T",
     "type=invalid error=bad Mic-E latitude"},
    {"too short", "`d\x1d""g\x1f""Xt>", "S32U6T",
     "type=invalid error=Mic-E too short"},
    {"bad longitude minutes", "`d\x10""g\x1f""Xt>/", "S32U6T",
     "type=invalid error=bad Mic-E longitude"},
}));

INSTANTIATE_TEST_SUITE_P(MicESymbolTable, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"alternate table", "`d\x1d""g\x1f""Xt>\\", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=\\ symbol_code=> symbol=Cars & Vehicles course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"overlay digit", "`d\x1d""g\x1f""Xt>9", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=9 symbol_code=> symbol=Cars & Vehicles course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"overlay letter", "`d\x1d""g\x1f""Xt>A", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=A symbol_code=> symbol=Cars & Vehicles course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"lower-case letter: invalid", "`d\x1d""g\x1f""Xt>a", "S32U6T",
     "type=invalid error=bad Mic-E symbol table"},
    {"punctuation: invalid", "`d\x1d""g\x1f""Xt>!", "S32U6T",
     "type=invalid error=bad Mic-E symbol table"},
    {"blank: invalid", "`d\x1d""g\x1f""Xt> ", "S32U6T",
     "type=invalid error=bad Mic-E symbol table"},
}));

INSTANTIATE_TEST_SUITE_P(MicEAltitude, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"at the start", "`d\x1d""g\x1f""Xt>/\"4T}hi", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 altitude_m=61 mice_msg=M3 comment=hi"},
    {"after the ] prefix", "`d\x1d""g\x1f""Xt>/]\"4T}hi=", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 altitude_m=61 mice_msg=M3 comment=hi"},
    {"later in the text: text", "`d\x1d""g\x1f""Xt>/Hello \"4T}", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3 comment=Hello \"4T}"},
    {"after a device prefix and text: text", "`d\x1d""g\x1f""Xt>/>at 3\"4T} up", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3 comment=at 3\"4T} up"},
}));

INSTANTIATE_TEST_SUITE_P(MicECommentTelemetry, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"at the end after a ` prefix", "`d\x1d""g\x1f""Xt>/`text|!!!!|", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 tlm_seq=0 tlm_analog=[0,-,-,-,-] mice_msg=M3 comment=text"},
    {"at the end with bits", "`d\x1d""g\x1f""Xt>/text|!\"#$%&'()*+,-.|", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 tlm_seq=1 tlm_analog=[185,369,553,737,921] tlm_bits=10001010 mice_msg=M3 comment=text"},
    {"before a device suffix", "`d\x1d""g\x1f""Xt>/`text|!!!!|_3", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 tlm_seq=0 tlm_analog=[0,-,-,-,-] mice_msg=M3 comment=text"},
    {"in the middle: text", "`d\x1d""g\x1f""Xt>/a |!!!!| b", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3 comment=a |!!!!| b"},
    {"odd length at the end: text", "`d\x1d""g\x1f""Xt>/a|!!!!!|", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3 comment=a|!!!!!|"},
}));

}  // namespace
}  // namespace vorlink
