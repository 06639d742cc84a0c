#include "ui/symbol_choice.h"

#include <QComboBox>

#include <algorithm>

#include "aprs/aprs_symbols.h"
#include "aprs/beacon_text.h"

namespace vorlink {

void FillSymbolChoice(QComboBox& box, AprsSymbol chosen) {
  for (const char table : {'/', '\\'}) {
    for (char code = '!'; code <= '~'; ++code) {
      const AprsSymbol symbol{table, code};
      const std::string_view description = AprsSymbolDescription(symbol);
      if (description.empty() || description == kUnknownSymbol) continue;
      const QString text = QString::fromStdString(SymbolText(symbol));
      box.addItem(text + "  " +
                      QString::fromUtf8(description.data(), static_cast<qsizetype>(description.size())),
                  text);
    }
  }
  box.setCurrentIndex(std::max(box.findData(QString::fromStdString(SymbolText(chosen))), 0));
}

AprsSymbol ChosenSymbol(const QComboBox& box) {
  return ParseSymbolText(box.currentData().toString().toStdString()).value_or(kDefaultBeaconSymbol);
}

}  // namespace vorlink
