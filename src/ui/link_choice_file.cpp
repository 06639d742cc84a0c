#include "ui/link_choice_file.h"

#include <QSettings>
#include <QString>

#include <algorithm>

#include "app/config_file.h"

namespace vorlink {
namespace {

constexpr const char* kKissTcpKey = "incoming/kiss_tcp";
constexpr const char* kHostKey = "incoming/kiss_tcp_host";
constexpr const char* kPortKey = "incoming/kiss_tcp_port";
constexpr const char* kServerOnKey = "kiss_server/enabled";
constexpr const char* kServerHostKey = "kiss_server/host";
constexpr const char* kServerPortKey = "kiss_server/port";
constexpr const char* kServerTransmitKey = "kiss_server/clients_transmit";
constexpr const char* kServerClientsKey = "kiss_server/max_clients";
constexpr const char* kServerBudgetKey = "kiss_server/queue_budget_kib";
constexpr std::size_t kKib = 1024;

QString FilePath(const std::filesystem::path& workingFolder) {
  return QString::fromStdString((workingFolder / kMoreSettingsFileName).string());
}

// Sets the key while the value is not the default; removes it otherwise.
void Store(QSettings& file, const char* key, const QVariant& value, bool isDefault) {
  if (isDefault) {
    file.remove(key);
  } else {
    file.setValue(key, value);
  }
}

// A host and a port into address, where the file holds usable ones.
void ReadAddress(const QSettings& file, const char* hostKey, const char* portKey,
                 KissTcpAddress& address) {
  const QString host = file.value(hostKey).toString().trimmed();
  if (!host.isEmpty()) address.host = host.toStdString();
  bool isNumber = false;
  const int port = file.value(portKey).toInt(&isNumber);
  if (isNumber && port > 0 && port <= 65535) address.port = static_cast<std::uint16_t>(port);
}

}  // namespace

LinkChoice ReadLinkChoice(const std::filesystem::path& workingFolder) {
  LinkChoice choice;
  if (!std::filesystem::exists(workingFolder / kMoreSettingsFileName)) return choice;
  const QSettings file(FilePath(workingFolder), QSettings::IniFormat);
  // Flags are the words "true" and "false", as in vorlink.ini.
  choice.kissTcp = file.value(kKissTcpKey).toString() == "true";
  ReadAddress(file, kHostKey, kPortKey, choice.address);
  return choice;
}

bool WriteLinkChoice(const std::filesystem::path& workingFolder, const LinkChoice& choice) {
  const LinkChoice defaults;
  if (choice == defaults && !std::filesystem::exists(workingFolder / kMoreSettingsFileName))
    return true;
  QSettings file(FilePath(workingFolder), QSettings::IniFormat);
  Store(file, kKissTcpKey, choice.kissTcp ? "true" : "false", choice.kissTcp == defaults.kissTcp);
  Store(file, kHostKey, QString::fromStdString(choice.address.host),
        choice.address.host == defaults.address.host);
  Store(file, kPortKey, choice.address.port, choice.address.port == defaults.address.port);
  file.sync();
  return file.status() == QSettings::NoError;
}

KissServerChoice ReadKissServerChoice(const std::filesystem::path& workingFolder) {
  KissServerChoice choice;
  if (!std::filesystem::exists(workingFolder / kMoreSettingsFileName)) return choice;
  const QSettings file(FilePath(workingFolder), QSettings::IniFormat);
  choice.on = file.value(kServerOnKey).toString() == "true";
  choice.clientsTransmit = file.value(kServerTransmitKey).toString() == "true";
  ReadAddress(file, kServerHostKey, kServerPortKey, choice.address);
  return choice;
}

KissServerLimits ReadKissServerLimits(const std::filesystem::path& workingFolder) {
  KissServerLimits limits;
  if (!std::filesystem::exists(workingFolder / kMoreSettingsFileName)) return limits;
  const QSettings file(FilePath(workingFolder), QSettings::IniFormat);
  bool isNumber = false;
  const qulonglong clients = file.value(kServerClientsKey).toULongLong(&isNumber);
  if (isNumber) limits.maxClients = static_cast<std::size_t>(clients);
  const qulonglong kib = file.value(kServerBudgetKey).toULongLong(&isNumber);
  // Clamped before scaling, so no number overflows it.
  if (isNumber) {
    limits.queueBudget =
        static_cast<std::size_t>(std::min<qulonglong>(kib, kMostKissServerBudget / kKib)) * kKib;
  }
  return SaneKissServerLimits(limits);
}

bool WriteKissServerChoice(const std::filesystem::path& workingFolder,
                           const KissServerChoice& choice) {
  const KissServerChoice defaults;
  if (choice == defaults && !std::filesystem::exists(workingFolder / kMoreSettingsFileName))
    return true;
  QSettings file(FilePath(workingFolder), QSettings::IniFormat);
  Store(file, kServerOnKey, choice.on ? "true" : "false", choice.on == defaults.on);
  Store(file, kServerHostKey, QString::fromStdString(choice.address.host),
        choice.address.host == defaults.address.host);
  Store(file, kServerPortKey, choice.address.port, choice.address.port == defaults.address.port);
  Store(file, kServerTransmitKey, choice.clientsTransmit ? "true" : "false",
        choice.clientsTransmit == defaults.clientsTransmit);
  file.sync();
  return file.status() == QSettings::NoError;
}

}  // namespace vorlink
