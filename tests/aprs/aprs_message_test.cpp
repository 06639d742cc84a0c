// Messages, acks and rejects, bulletins and announcements, telemetry
// definitions, queries.
#include <gtest/gtest.h>

#include <vector>

#include "support/aprs_flat.h"

namespace vorlink {
namespace {

using testing::AprsCase;
using testing::AprsDecodeTest;

INSTANTIATE_TEST_SUITE_P(Messages, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"numbered", ":WU2Z     :Testing{003", "APRS",
     "type=message addressee=WU2Z text=Testing msgno=003"},
    {"without number", ":WU2Z     :Testing", "APRS",
     "type=message addressee=WU2Z text=Testing"},
    {"reply-ack", ":WU2Z     :Testing{MM}AA", "APRS",
     "type=message addressee=WU2Z text=Testing msgno=MM replyack=AA"},
    {"reply-ack capable, nothing to ack", ":WU2Z     :Testing{MM}", "APRS",
     "type=message addressee=WU2Z text=Testing msgno=MM replyack="},
    {"brace in the text, not a number", ":WU2Z     :a{b c", "APRS",
     "type=message addressee=WU2Z text=a{b c"},
    {"empty text", ":WU2Z     :", "APRS",
     "type=message addressee=WU2Z"},
}));

INSTANTIATE_TEST_SUITE_P(Acks, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"ack", ":KB2ICI-14:ack003", "APRS",
     "type=ack addressee=KB2ICI-14 msgno=003"},
    {"rej", ":KB2ICI-14:rej003", "APRS",
     "type=rej addressee=KB2ICI-14 msgno=003"},
    {"ack of a reply-ack message", ":KB2ICI-14:ackMM}AA", "APRS",
     "type=ack addressee=KB2ICI-14 msgno=MM replyack=AA"},
    {"ack with a trailing line end", ":KB2ICI-14:ack003\x0d""", "APRS",
     "type=ack addressee=KB2ICI-14 msgno=003"},
}));

INSTANTIATE_TEST_SUITE_P(Bulletins, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"general", ":BLN3     :Snow expected in Tampa RSN", "APRS",
     "type=bulletin addressee=BLN3 text=Snow expected in Tampa RSN bulletin_id=3"},
    {"announcement", ":BLNQ     :Mt St Helen digi will be QRT this weekend", "APRS",
     "type=announcement addressee=BLNQ text=Mt St Helen digi will be QRT this weekend bulletin_id=Q"},
    {"group", ":BLN4WX   :Stand by your snowplows", "APRS",
     "type=bulletin addressee=BLN4WX text=Stand by your snowplows bulletin_id=4 bulletin_group=WX"},
    {"NWS", ":NWS-WARN :092010z,THUNDER_STORM,AR_ASHLEY,{S9JbA", "APRS",
     "type=bulletin addressee=NWS-WARN text=092010z,THUNDER_STORM,AR_ASHLEY, msgno=S9JbA bulletin_group=NWS"},
}));

INSTANTIATE_TEST_SUITE_P(TelemetryDefinitions, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"PARM", ":N0QBF-11 :PARM.Battery,Btemp,ATemp,Pres,Alt,Camra,Chute,Sun,10m,ATV", "APRS",
     "type=telemetry-message addressee=N0QBF-11 tlm_kind=PARM tlm_values=[Battery,Btemp,ATemp,Pres,Alt,Camra,Chute,Sun,10m,ATV]"},
    {"UNIT", ":N0QBF-11 :UNIT.v/100,deg.F,deg.F,Mbar,Kft,Click,OPEN!,on,on,hi", "APRS",
     "type=telemetry-message addressee=N0QBF-11 tlm_kind=UNIT tlm_values=[v/100,deg.F,deg.F,Mbar,Kft,Click,OPEN!,on,on,hi]"},
    {"EQNS", ":N0QBF-11 :EQNS.0,5.2,0,0,.53,-32,3,4.39,49,-32,3,18,1,2,3", "APRS",
     "type=telemetry-message addressee=N0QBF-11 tlm_kind=EQNS tlm_values=[0,5.2,0,0,.53,-32,3,4.39,49,-32,3,18,1,2,3]"},
    {"BITS, a title with commas", ":N0QBF-11 :BITS.11111111,Balloon, flight 2", "APRS",
     "type=telemetry-message addressee=N0QBF-11 tlm_kind=BITS tlm_bits=11111111 tlm_project=Balloon, flight 2"},
    {"BITS without a title", ":N0QBF-11 :BITS.10110000", "APRS",
     "type=telemetry-message addressee=N0QBF-11 tlm_kind=BITS tlm_bits=10110000"},
    {"BITS", ":N0QBF-11 :BITS.10110000,N0QBF's Big Balloon", "APRS",
     "type=telemetry-message addressee=N0QBF-11 tlm_kind=BITS tlm_bits=10110000 tlm_project=N0QBF's Big Balloon"},
}));

INSTANTIATE_TEST_SUITE_P(Queries, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"directed", ":KH2Z     :?APRSP", "APRS",
     "type=query addressee=KH2Z query=APRSP"},
    {"general", "?APRS?", "APRS",
     "type=query query=APRS"},
    {"general with footprint", "?APRS? 34.02,-117.15,0200", "APRS",
     "type=query query=APRS text= 34.02,-117.15,0200"},
}));

INSTANTIATE_TEST_SUITE_P(MessageInvalid, AprsDecodeTest, ::testing::ValuesIn(std::vector<AprsCase>{
    {"addressee short", ":SHORT:text", "APRS",
     "type=invalid error=message addressee not nine characters"},
    {"addressee blank", ":         :text", "APRS",
     "type=invalid error=message without addressee"},
    {"query without closing", "?APRS", "APRS",
     "type=invalid error=query without closing ?"},
}));

}  // namespace
}  // namespace vorlink
