// A list to pick an APRS symbol from: every assigned symbol of the primary
// and the alternate table, "/- House QTH (VHF)", its two characters as the
// item's data.
#pragma once

#include "aprs/aprs_report.h"

class QComboBox;

namespace vorlink {

void FillSymbolChoice(QComboBox& box, AprsSymbol chosen);
// The symbol picked; the default beacon symbol when none is.
AprsSymbol ChosenSymbol(const QComboBox& box);

}  // namespace vorlink
