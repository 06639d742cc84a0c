// APRS positions: uncompressed, compressed, ambiguity, DAO and the extensions.
#include <gtest/gtest.h>

#include <vector>

#include "support/aprs_flat.h"

namespace vorlink {
namespace {

using testing::AprsCase;
using testing::AprsDecodeTest;

INSTANTIATE_TEST_SUITE_P(Uncompressed, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"no timestamp, no messaging", "!4903.50N/07201.75W-Test 001234", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false comment=Test 001234"},
    {"no timestamp, messaging, altitude in the comment", "=4903.50N/07201.75W-Test /A=001234 comment", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=true altitude_m=376.1 comment=Test  comment"},
    {"local timestamp", "/092345z4903.50N/07201.75W>Test1234", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=false timestamp=092345z comment=Test1234"},
    {"zulu timestamp with course and speed", "@092345/4903.50N/07201.75W>088/036 hello", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=true timestamp=092345/ course=88 speed_kmh=66.7 speed_kn=36 comment= hello"},
    {"hms timestamp with PHG", "@234517h4903.50N/07201.75W>PHG5132", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=true timestamp=234517h phg=5132"},
    {"negative altitude after PHG", "!4903.50N/07201.75W>PHG5132/A=-00100text", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=false altitude_m=-30.5 phg=5132 comment=text"},
    {"RNG", "!4903.50N/07201.75WRRNG0050", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=R symbol=Recreational Vehicle messaging=false range_mi=50"},
    {"DFS", "!4903.50N/07201.75W\\DFS2360", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=\\ symbol=Triangle (DF) messaging=false dfs=2360"},
    {"overlay table", "!4903.50N307201.75W#digi", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=3 symbol_code=# symbol=Digi (green star) messaging=false comment=digi"},
    {"southern and eastern", "!3345.67S/15112.34E-", "APRS",
     "type=position lat=-33.761167 lon=151.205667 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false"},
    {"course 360 is north, course 000 unknown", "!4903.50N/07201.75W>360/010", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=false course=360 speed_kmh=18.5 speed_kn=10"},
    {"unknown course and speed", "!4903.50N/07201.75W>.../...", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=false"},
    {"position after text within 40 characters", "TheNet X1J4 (BFLD)!4903.50N/07201.75W-", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false"},
}));

INSTANTIATE_TEST_SUITE_P(Ambiguity, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"one digit", "!4903.5 N/07201.75W-amb1", "APRS",
     "type=position lat=49.058333 lon=-72.028333 posambiguity=1 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false comment=amb1"},
    {"two digits", "!4903.  N/07201.75W-amb2", "APRS",
     "type=position lat=49.05 lon=-72.016667 posambiguity=2 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false comment=amb2"},
    {"three digits", "!490 .  N/07201.75W-amb3", "APRS",
     "type=position lat=49 lon=-72 posambiguity=3 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false comment=amb3"},
    {"four digits", "!49  .  N/07201.75W-amb4", "APRS",
     "type=position lat=49 lon=-72 posambiguity=4 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false comment=amb4"},
    {"blanks in the longitude too", "!4903.  N/07201.  W-", "APRS",
     "type=position lat=49.05 lon=-72.016667 posambiguity=2 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false"},
}));

INSTANTIATE_TEST_SUITE_P(Dao, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"human readable", "!4903.50N/07201.75W-text !W47! x", "APRS",
     "type=position lat=49.0584 lon=-72.029283 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false comment=text  x"},
    {"base 91", "!4903.50N/07201.75W-text !wAb!", "APRS",
     "type=position lat=49.058392 lon=-72.029286 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false comment=text "},
    {"datum only", "!4903.50N/07201.75W-!W  !", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false"},
    {"south and west move away from the equator", "!3345.67S/15112.34W-!W55!", "APRS",
     "type=position lat=-33.76125 lon=-151.20575 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false"},
    {"not a DAO: digit datum", "!4903.50N/07201.75W-!155!", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false comment=!155!"},
    {"telemetry before DAO", "!4903.50N/07201.75W-hi|!'!$!%|!W47!", "APRS",
     "type=position lat=49.0584 lon=-72.029283 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false tlm_seq=6 tlm_analog=[3,4,-,-,-] comment=hi"},
}));

INSTANTIATE_TEST_SUITE_P(Compressed, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"course and speed", "!/5L!!<*e7>7P[", "APRS",
     "type=position lat=49.5 lon=-72.750004 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=false course=88 speed_kmh=67.1 speed_kn=36.2"},
    {"blank cs: none", "!/5L!!<*e7> sT", "APRS",
     "type=position lat=49.5 lon=-72.750004 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=false"},
    {"altitude from a GGA T byte", "!/5L!!<*e7OS]S", "APRS",
     "type=position lat=49.5 lon=-72.750004 posambiguity=0 symbol_table=/ symbol_code=O symbol=Balloon messaging=false altitude_m=3049.4"},
    {"range", "!/5L!!<*e7>{?!", "APRS",
     "type=position lat=49.5 lon=-72.750004 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=false range_mi=20.1"},
    {"T byte not GGA: course and speed", "!/5L!!<*e7>S]!", "APRS",
     "type=position lat=49.5 lon=-72.750004 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=false course=200 speed_kmh=185.7 speed_kn=100.3"},
    {"overlay digit as a-j, telemetry in the comment", "=a5L!!<*e7>   comment|ss11|", "APRS",
     "type=position lat=49.5 lon=-72.750004 posambiguity=0 symbol_table=0 symbol_code=> symbol=Cars & Vehicles messaging=true tlm_seq=7544 tlm_analog=[1472,-,-,-,-] comment=comment"},
    {"telemetry with bits", "!4903.50N/07201.75W-|!!!!!!!!!!!!!!|", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false tlm_seq=0 tlm_analog=[0,0,0,0,0] tlm_bits=00000000"},
    {"with timestamp", "@092345z/5L!!<*e7>7P[moving", "APRS",
     "type=position lat=49.5 lon=-72.750004 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=true timestamp=092345z course=88 speed_kmh=67.1 speed_kn=36.2 comment=moving"},
}));

INSTANTIATE_TEST_SUITE_P(PositionInvalid, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"bad latitude digit", "!49x3.50N/07201.75W-", "APRS",
     "type=invalid error=bad latitude"},
    {"blank before a digit", "!49 3.50N/07201.75W-", "APRS",
     "type=invalid error=bad latitude"},
    {"latitude over 90", "!9103.50N/07201.75W-", "APRS",
     "type=invalid error=bad latitude"},
    {"minutes over 59", "!4963.50N/07201.75W-", "APRS",
     "type=invalid error=bad latitude"},
    {"bad hemisphere", "!4903.50X/07201.75W-", "APRS",
     "type=invalid error=bad latitude"},
    {"longitude over 180", "!4903.50N/18101.75W-", "APRS",
     "type=invalid error=bad longitude"},
    {"too short", "!4903.50N/0720", "APRS",
     "type=invalid error=position too short"},
    {"bad timestamp", "/09234xz4903.50N/07201.75W>", "APRS",
     "type=invalid error=bad timestamp"},
    {"bad symbol table", "!4903.50N!07201.75W-", "APRS",
     "type=invalid error=bad symbol table"},
    {"bad compressed", "!/5L! <*e7>7P[", "APRS",
     "type=invalid error=bad compressed position"},
}));

INSTANTIATE_TEST_SUITE_P(DfReports, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"moving DF station", "=4903.50N/07201.75W\\088/036/270/729", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=\\ symbol=Triangle (DF) messaging=true course=88 speed_kmh=66.7 speed_kn=36 bearing=270 nrq=729"},
    {"fixed DF station with timestamp", "/092345z4903.50N/07201.75W\\000/000/270/729", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=\\ symbol=Triangle (DF) messaging=false timestamp=092345z speed_kmh=0 speed_kn=0 bearing=270 nrq=729"},
    {"comment after the NRQ", "!4903.50N/07201.75W\\088/036/270/729 jammer", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=\\ symbol=Triangle (DF) messaging=false course=88 speed_kmh=66.7 speed_kn=36 bearing=270 nrq=729 comment= jammer"},
    {"bearing 000 and N 0: neither sent", "!4903.50N/07201.75W\\088/036/000/000", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=\\ symbol=Triangle (DF) messaging=false course=88 speed_kmh=66.7 speed_kn=36"},
    {"not the DF symbol: left in the comment", "!4903.50N/07201.75W>088/036/270/729", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=false course=88 speed_kmh=66.7 speed_kn=36 comment=/270/729"},
    {"bearing over 360: left in the comment", "!4903.50N/07201.75W\\088/036/370/729", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=\\ symbol=Triangle (DF) messaging=false course=88 speed_kmh=66.7 speed_kn=36 comment=/370/729"},
    {"DF object", ";DF1      *092345z4903.50N/07201.75W\\088/036/270/729", "APRS",
     "type=object name=DF1 alive=true timestamp=092345z lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=\\ symbol=Triangle (DF) course=88 speed_kmh=66.7 speed_kn=36 bearing=270 nrq=729"},
}));

INSTANTIATE_TEST_SUITE_P(LowerCaseHemisphere, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"north west", "!4903.50n/07201.75w-", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false"},
    {"south east", "!3345.67s/15112.34e-", "APRS",
     "type=position lat=-33.761167 lon=151.205667 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false"},
    {"object", ";LEADER   *092345z4903.50n/07201.75w>", "APRS",
     "type=object name=LEADER alive=true timestamp=092345z lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car"},
    {"with ambiguity", "!4903.  n/07201.  w-", "APRS",
     "type=position lat=49.05 lon=-72.016667 posambiguity=2 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false"},
    {"not a hemisphere", "!4903.50x/07201.75W-", "APRS",
     "type=invalid error=bad latitude"},
}));

INSTANTIATE_TEST_SUITE_P(PosAmbiguityAlways, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"exact position: 0", "!4903.50N/07201.75W-", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false"},
    {"compressed: 0", "!/5L!!<*e7> sT", "APRS",
     "type=position lat=49.5 lon=-72.750004 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=false"},
    {"item: 0", ")AID #2!4903.50N/07201.75WA", "APRS",
     "type=item name=AID #2 alive=true lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=A symbol=Aid Station"},
    {"weather: 0", "!4903.50N/07201.75W_220/004g005t077", "APRS",
     "type=weather lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) messaging=false wx={wind_direction=220 wind_speed=1.79 wind_gust=2.24 temperature=25}"},
    {"Mic-E: 0", "`d\x1d""g\x1f""Xt>/", "S32U6T",
     "type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3"},
    {"NMEA: 0", "$GPGLL,4916.45,N,12311.12,W,225444,A", "APRS",
     "type=nmea lat=49.274167 lon=-123.185333 posambiguity=0 text=$GPGLL,4916.45,N,12311.12,W,225444,A"},
    {"status: no position, none", ">on the air", "APRS",
     "type=status text=on the air"},
    {"positionless weather: none", "_10090556c220s004g005t077", "APRS",
     "type=weather timestamp=10090556 wx={wind_direction=220 wind_speed=1.79 wind_gust=2.24 temperature=25}"},
}));

}  // namespace
}  // namespace vorlink
