// Objects and items, status, telemetry reports, third-party packets and
// the smaller kinds.
#include <gtest/gtest.h>

#include <vector>

#include "support/aprs_flat.h"

namespace vorlink {
namespace {

using testing::AprsCase;
using testing::AprsDecodeTest;

INSTANTIATE_TEST_SUITE_P(ObjectsAndItems, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"live object", ";LEADER   *092345z4903.50N/07201.75W>088/036", "APRS",
     "type=object name=LEADER alive=true timestamp=092345z lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36"},
    {"killed object", ";LEADER   _092345z4903.50N/07201.75W>088/036", "APRS",
     "type=object name=LEADER alive=false timestamp=092345z lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36"},
    {"compressed object", ";LEADER   *092345z/5L!!<*e7>7P[comment", "APRS",
     "type=object name=LEADER alive=true timestamp=092345z lat=49.5 lon=-72.750004 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=67.1 speed_kn=36.2 comment=comment"},
    {"object name with blanks", ";A B C    *092345z4903.50N/07201.75W>", "APRS",
     "type=object name=A B C alive=true timestamp=092345z lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car"},
    {"live item", ")AID #2!4903.50N/07201.75WA", "APRS",
     "type=item name=AID #2 alive=true lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=A symbol=Aid Station"},
    {"item name with a slash", ")G/WB4APR!4903.50N/07201.75WA", "APRS",
     "type=item name=G/WB4APR alive=true lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=A symbol=Aid Station"},
    {"killed item", ")AID #2_4903.50N/07201.75WA", "APRS",
     "type=item name=AID #2 alive=false lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=A symbol=Aid Station"},
    {"object: bad state", ";LEADER   +092345z4903.50N/07201.75W>", "APRS",
     "type=invalid error=object name not followed by * or _"},
    {"object: bad timestamp", ";LEADER   *0923z4903.50N/07201.75W>", "APRS",
     "type=invalid error=bad object timestamp"},
    {"item: name too short", ")AB!4903.50N/07201.75WA", "APRS",
     "type=invalid error=item name not followed by ! or _"},
    {"item: no state", ")ABCDEFGHIJK4903.50N/07201.75WA", "APRS",
     "type=invalid error=item name not followed by ! or _"},
}));

INSTANTIATE_TEST_SUITE_P(Status, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"text", ">Net Control Center", "APRS",
     "type=status text=Net Control Center"},
    {"timestamp", ">092345zNet Control Center", "APRS",
     "type=status timestamp=092345z text=Net Control Center"},
    {"locator and symbol", ">IO91SX/G Hello world", "APRS",
     "type=status maidenhead=IO91SX symbol_table=/ symbol_code=G text=Hello world"},
    {"four-character locator", ">IO91/G", "APRS",
     "type=status maidenhead=IO91 symbol_table=/ symbol_code=G"},
    {"empty", ">", "APRS",
     "type=status"},
}));

INSTANTIATE_TEST_SUITE_P(Telemetry, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"report", "T#005,199,000,255,073,123,01101001", "APRS",
     "type=telemetry tlm_seq=005 tlm_analog=[199,0,255,73,123] tlm_bits=01101001"},
    {"Mic-E sequence", "T#MIC199,000,255,073,123,01101001", "APRS",
     "type=telemetry tlm_seq=MIC tlm_analog=[199,0,255,73,123] tlm_bits=01101001"},
    {"decimals and negatives", "T#151,45.7,2.3,190.0,91.0,-7.3,00001100", "APRS",
     "type=telemetry tlm_seq=151 tlm_analog=[45.7,2.3,190,91,-7.3] tlm_bits=00001100"},
    {"empty fields are null", "T#001,,2,,4", "APRS",
     "type=telemetry tlm_seq=001 tlm_analog=[-,2,-,4]"},
    {"comment after the bits", "T#002,1,2,3,4,5,11110000 balloon", "APRS",
     "type=telemetry tlm_seq=002 tlm_analog=[1,2,3,4,5] tlm_bits=11110000 comment= balloon"},
    {"bad value", "T#003,1,x,3,4,5,00000000", "APRS",
     "type=invalid error=bad telemetry value"},
    {"no values", "T#004", "APRS",
     "type=invalid error=telemetry without values"},
}));

INSTANTIATE_TEST_SUITE_P(ThirdParty, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"message inside", "}WB4APR-14>APRS,TCPIP,G9RXG*::G3NRW    :Hi Ian{001", "APRS",
     "type=third-party inner={src=WB4APR-14 dst=APRS path=[TCPIP,G9RXG*] type=message addressee=G3NRW text=Hi Ian msgno=001}"},
    {"position inside, no path", "}N0CALL>APRS:!4903.50N/07201.75W-hi", "APRS",
     "type=third-party inner={src=N0CALL dst=APRS path=[] type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=- symbol=House QTH (VHF) messaging=false comment=hi}"},
    {"Mic-E inside uses the inner destination", "}N0CALL>S32U6T:`d\x1d""g\x1f""Xt>/", "APRS",
     "type=third-party inner={src=N0CALL dst=S32U6T path=[] type=mic-e lat=33.427333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 mice_msg=M3}"},
    {"bad header", "}N0CALL APRS:hi", "APRS",
     "type=invalid error=bad third-party header"},
}));

INSTANTIATE_TEST_SUITE_P(Other, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"NMEA RMC", "$GPRMC,063909,A,3349.4302,N,11700.3721,W,43.022,89.3,291099,13.1,E*52", "APRS",
     "type=nmea lat=33.823837 lon=-117.006202 posambiguity=0 course=89 speed_kmh=79.7 speed_kn=43 text=$GPRMC,063909,A,3349.4302,N,11700.3721,W,43.022,89.3,291099,13.1,E*52"},
    {"NMEA GGA", "$GPGGA,102705,5157.9762,N,00029.3256,W,1,04,2.0,75.7,M,47.6,M,,*62", "APRS",
     "type=nmea lat=51.96627 lon=-0.48876 posambiguity=0 altitude_m=75.7 text=$GPGGA,102705,5157.9762,N,00029.3256,W,1,04,2.0,75.7,M,47.6,M,,*62"},
    {"NMEA without a fix", "$GPGLL,,,,,,V*0F", "APRS",
     "type=nmea text=$GPGLL,,,,,,V*0F"},
    {"capabilities", "<IGATE,MSG_CNT=30,LOC_CNT=0", "APRS",
     "type=capabilities text=IGATE,MSG_CNT=30,LOC_CNT=0"},
    {"user-defined", "{Q1qwerty", "APRS",
     "type=user-defined user_id=Q packet_type=1 text=Q1qwerty"},
    {"test data", ",test data", "APRS",
     "type=test-data text=test data"},
    {"Maidenhead beacon", "[IO91SX] 35 miles NNW of London", "APRS",
     "type=maidenhead maidenhead=IO91SX comment= 35 miles NNW of London"},
    {"Maidenhead beacon, bad locator", "[IO9] hi", "APRS",
     "type=invalid error=bad Maidenhead locator"},
    {"not APRS", "Hello", "APRS",
     "type=not-aprs text=Hello"},
    {"empty", "", "APRS",
     "type=not-aprs"},
    {"a data type not decoded", "%something", "APRS",
     "type=invalid error=data type not decoded"},
}));

INSTANTIATE_TEST_SUITE_P(TelemetryValues, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"the signed 32-bit range", "T#001,-2147483648,2147483647,0,1,2,00000000", "APRS",
     "type=telemetry tlm_seq=001 tlm_analog=[-2147483648,2147483647,0,1,2] tlm_bits=00000000"},
    {"fractions", "T#002,0.001,-0.5,12.25,-.75,3.,00000000", "APRS",
     "type=telemetry tlm_seq=002 tlm_analog=[0.001,-0.5,12.25,-0.75,3] tlm_bits=00000000"},
    {"past the range: invalid", "T#003,2147483648", "APRS",
     "type=invalid error=bad telemetry value"},
    {"below the range: invalid", "T#004,-2147483649", "APRS",
     "type=invalid error=bad telemetry value"},
    {"an exponent: invalid", "T#005,1e3", "APRS",
     "type=invalid error=bad telemetry value"},
    {"a minus inside: invalid", "T#006,1-2", "APRS",
     "type=invalid error=bad telemetry value"},
}));

INSTANTIATE_TEST_SUITE_P(Nmea, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"RMC status V: no position", "$GPRMC,063909,V,3349.4302,N,11700.3721,W,43.022,89.3,291099,13.1,E*52", "APRS",
     "type=nmea text=$GPRMC,063909,V,3349.4302,N,11700.3721,W,43.022,89.3,291099,13.1,E*52"},
    {"GGA altitude below sea level", "$GPGGA,102705,5157.9762,N,00029.3256,W,1,04,2.0,-12.5,M,47.6,M,,*62", "APRS",
     "type=nmea lat=51.96627 lon=-0.48876 posambiguity=0 altitude_m=-12.5 text=$GPGGA,102705,5157.9762,N,00029.3256,W,1,04,2.0,-12.5,M,47.6,M,,*62"},
    {"GGA without altitude", "$GPGGA,102705,5157.9762,N,00029.3256,W,1,04,2.0,,,47.6,M,,*62", "APRS",
     "type=nmea lat=51.96627 lon=-0.48876 posambiguity=0 text=$GPGGA,102705,5157.9762,N,00029.3256,W,1,04,2.0,,,47.6,M,,*62"},
}));

INSTANTIATE_TEST_SUITE_P(UserDefined, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"user and packet type", "{Q1qwerty", "APRS",
     "type=user-defined user_id=Q packet_type=1 text=Q1qwerty"},
    {"experimental", "{{zasdfg", "APRS",
     "type=user-defined user_id={ packet_type=z text={zasdfg"},
    {"only the user", "{Q", "APRS",
     "type=user-defined user_id=Q text=Q"},
}));

INSTANTIATE_TEST_SUITE_P(NoDataType, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"ID beacon", "N0CALL/R RELAY/D N0CALL-1/B", "APRS",
     "type=not-aprs text=N0CALL/R RELAY/D N0CALL-1/B"},
    {"BBS text", "Mail for: N0CALL W1AW", "APRS",
     "type=not-aprs text=Mail for: N0CALL W1AW"},
}));

INSTANTIATE_TEST_SUITE_P(MaidenheadBeacon, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"with a comment", "[IO91SX] 35 miles NNW of London", "APRS",
     "type=maidenhead maidenhead=IO91SX comment= 35 miles NNW of London"},
    {"four characters, no comment", "[IO91]", "APRS",
     "type=maidenhead maidenhead=IO91"},
}));

}  // namespace
}  // namespace vorlink
