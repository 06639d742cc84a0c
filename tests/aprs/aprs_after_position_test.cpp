// What follows a position, read alike after a position, an object, an item
// and a Mic-E report: the same tail gives the same fields.
#include <gtest/gtest.h>

#include <vector>

#include "support/aprs_flat.h"

namespace vorlink {
namespace {

using testing::AprsCase;
using testing::AprsDecodeTest;

// PHG, altitude, comment telemetry and a DAO after the comment text.
#define TAIL "PHG5132 hi/A=001234|!!!!|!W47!"

INSTANTIATE_TEST_SUITE_P(AfterPosition, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"position", "!4903.50N/07201.75W>" TAIL, "APRS",
     "type=position lat=49.0584 lon=-72.029283 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car messaging=false altitude_m=376.1 phg=5132 tlm_seq=0 tlm_analog=[0,-,-,-,-] comment= hi"},
    {"object", ";LEADER   *092345z4903.50N/07201.75W>" TAIL, "APRS",
     "type=object name=LEADER alive=true timestamp=092345z lat=49.0584 lon=-72.029283 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car altitude_m=376.1 phg=5132 tlm_seq=0 tlm_analog=[0,-,-,-,-] comment= hi"},
    {"item", ")AID #2!4903.50N/07201.75W>" TAIL, "APRS",
     "type=item name=AID #2 alive=true lat=49.0584 lon=-72.029283 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car altitude_m=376.1 phg=5132 tlm_seq=0 tlm_analog=[0,-,-,-,-] comment= hi"},
    {"Mic-E", "`d\x1d""g\x1f""Xt>/" TAIL, "S32U6T",
     "type=mic-e lat=33.4274 lon=-72.029283 posambiguity=0 symbol_table=/ symbol_code=> symbol=Car course=88 speed_kmh=66.7 speed_kn=36 altitude_m=376.1 phg=5132 tlm_seq=0 tlm_analog=[0,-,-,-,-] mice_msg=M3 comment= hi"},
}));

INSTANTIATE_TEST_SUITE_P(WeatherWindFromCourseSpeed, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"position", "!4903.50N/07201.75W_220/004g005t077 hi", "APRS",
     "type=weather lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) messaging=false wx={wind_direction=220 wind_speed=1.79 wind_gust=2.24 temperature=25} comment= hi"},
    {"object", ";WX       *092345z4903.50N/07201.75W_220/004g005t077 hi", "APRS",
     "type=object name=WX alive=true timestamp=092345z lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) wx={wind_direction=220 wind_speed=1.79 wind_gust=2.24 temperature=25} comment= hi"},
    {"item", ")WX1!4903.50N/07201.75W_220/004g005t077 hi", "APRS",
     "type=item name=WX1 alive=true lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) wx={wind_direction=220 wind_speed=1.79 wind_gust=2.24 temperature=25} comment= hi"},
    {"compressed position: wind from cs", "!/5L!!<*e7_7P[g005t077", "APRS",
     "type=weather lat=49.5 lon=-72.750004 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) messaging=false wx={wind_direction=88 wind_speed=18.64 wind_gust=2.24 temperature=25}"},
    {"compressed object: wind from cs", ";WX       *092345z/5L!!<*e7_7P[g005t077", "APRS",
     "type=object name=WX alive=true timestamp=092345z lat=49.5 lon=-72.750004 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) wx={wind_direction=88 wind_speed=18.64 wind_gust=2.24 temperature=25}"},
    {"compressed item: wind from cs", ")WX1!/5L!!<*e7_7P[g005t077", "APRS",
     "type=item name=WX1 alive=true lat=49.5 lon=-72.750004 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) wx={wind_direction=88 wind_speed=18.64 wind_gust=2.24 temperature=25}"},
}));

#undef TAIL

}  // namespace
}  // namespace vorlink
