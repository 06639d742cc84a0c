// Weather: with position, positionless and on objects; dots and blanks
// mean not sent, never 0.
#include <gtest/gtest.h>

#include <vector>

#include "support/aprs_flat.h"

namespace vorlink {
namespace {

using testing::AprsCase;
using testing::AprsDecodeTest;

INSTANTIATE_TEST_SUITE_P(WithPosition, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"complete", "!4903.50N/07201.75W_220/004g005t077r000p000P000h50b09900wRSW", "APRS",
     "type=weather lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) messaging=false wx={wind_direction=220 wind_speed=1.79 wind_gust=2.24 temperature=25 rain_1h=0 rain_24h=0 rain_since_midnight=0 humidity=50 pressure=990} comment=wRSW"},
    {"all dots: not sent", "!4903.50N/07201.75W_.../...g...t...r...h..b.....", "APRS",
     "type=weather lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) messaging=false wx={wind_direction=- wind_speed=- wind_gust=- temperature=- rain_1h=- humidity=- pressure=-}"},
    {"blanks: not sent", "!4903.50N/07201.75W_   /   g   t   ", "APRS",
     "type=weather lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) messaging=false wx={wind_direction=- wind_speed=- wind_gust=- temperature=-}"},
    {"h00 is 100 %, snowfall, negative temperature", "=4903.50N/07201.75W_220/004g005t-05h00b10138s005Jim", "APRS",
     "type=weather lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) messaging=true wx={wind_direction=220 wind_speed=1.79 wind_gust=2.24 temperature=-20.6 humidity=100 pressure=1013.8 snow=127} comment=Jim"},
    {"timestamp", "@092345z4903.50N/07201.75W_220/004g005t077r000p000P000h50b09900", "APRS",
     "type=weather lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) messaging=true timestamp=092345z wx={wind_direction=220 wind_speed=1.79 wind_gust=2.24 temperature=25 rain_1h=0 rain_24h=0 rain_since_midnight=0 humidity=50 pressure=990}"},
    {"luminosity both ranges and the rain counter", "!4903.50N/07201.75W_220/004g005t077L456#123", "APRS",
     "type=weather lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) messaging=false wx={wind_direction=220 wind_speed=1.79 wind_gust=2.24 temperature=25 luminosity=456 rain_raw=123}"},
    {"luminosity over 1000", "!4903.50N/07201.75W_220/004g005t077l234", "APRS",
     "type=weather lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) messaging=false wx={wind_direction=220 wind_speed=1.79 wind_gust=2.24 temperature=25 luminosity=1234}"},
    {"compressed: wind from cs", "!/5L!!<*e7_7P[g005t077", "APRS",
     "type=weather lat=49.5 lon=-72.750004 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) messaging=false wx={wind_direction=88 wind_speed=18.64 wind_gust=2.24 temperature=25}"},
    {"weather symbol without weather: a position", "!4903.50N/07201.75W_just a station", "APRS",
     "type=position lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) messaging=false comment=just a station"},
}));

INSTANTIATE_TEST_SUITE_P(Positionless, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"complete", "_10090556c220s004g005t077r000p000P000h50b09900wRSW", "APRS",
     "type=weather timestamp=10090556 wx={wind_direction=220 wind_speed=1.79 wind_gust=2.24 temperature=25 rain_1h=0 rain_24h=0 rain_since_midnight=0 humidity=50 pressure=990} comment=wRSW"},
    {"dots", "_10090556c...s...g...t...P012Jim", "APRS",
     "type=weather timestamp=10090556 wx={wind_direction=- wind_speed=- wind_gust=- temperature=- rain_since_midnight=3.05} comment=Jim"},
    {"snowfall with a point after the wind", "_10090556c220s004g005t030s1.5", "APRS",
     "type=weather timestamp=10090556 wx={wind_direction=220 wind_speed=1.79 wind_gust=2.24 temperature=-1.1 snow=38.1}"},
    {"bad timestamp", "_1009x556c220s004g005t077", "APRS",
     "type=invalid error=bad weather timestamp"},
    {"no weather data", "_10090556hello", "APRS",
     "type=invalid error=no weather data"},
}));

INSTANTIATE_TEST_SUITE_P(OnObjects, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"object with weather", ";WX       *092345z4903.50N/07201.75W_220/004g005t077", "APRS",
     "type=object name=WX alive=true timestamp=092345z lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) wx={wind_direction=220 wind_speed=1.79 wind_gust=2.24 temperature=25}"},
    {"object with weather, dots", ";WX       *092345z4903.50N/07201.75W_.../...g...t050", "APRS",
     "type=object name=WX alive=true timestamp=092345z lat=49.058333 lon=-72.029167 posambiguity=0 symbol_table=/ symbol_code=_ symbol=Weather Station (blue) wx={wind_direction=- wind_speed=- wind_gust=- temperature=10}"},
}));

INSTANTIATE_TEST_SUITE_P(RawStations, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"Ultimeter 2000 $ULTW", "$ULTW0031003702CE0069----000086A00001----011901CC00000005", "APRS",
     "type=weather wx_raw=$ULTW0031003702CE0069----000086A00001----011901CC00000005"},
    {"Ultimeter 2000 !!", "!!006B005803500000----03E9--------002105140000005D", "APRS",
     "type=weather wx_raw=!!006B005803500000----03E9--------002105140000005D"},
    {"Peet Bros U-II #", "#50B7500820082", "APRS",
     "type=weather wx_raw=#50B7500820082"},
    {"Peet Bros U-II *", "*7007600000000", "APRS",
     "type=weather wx_raw=*7007600000000"},
}));

}  // namespace
}  // namespace vorlink
