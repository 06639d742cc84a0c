// What the setup dialog offers and how its OK turns the ten boxes into the
// two port lines. Each frame has five boxes, Port, Baud, Data, Parity and
// Stop, left to right; the port line takes them in the order port, baud,
// parity, data, stop ("07,9600,E,7,1"), parity before the data bits although
// the dialog shows them the other way round.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "app/kiss_server_choice.h"
#include "app/link_choice.h"

namespace vorlink {

enum class SetupColumn { Port, Baud, Data, Parity, Stop };
inline constexpr std::size_t kSetupColumns = 5;
inline constexpr std::array<SetupColumn, kSetupColumns> kSetupColumnOrder = {
    SetupColumn::Port, SetupColumn::Baud, SetupColumn::Data, SetupColumn::Parity,
    SetupColumn::Stop};

enum class SetupFrame { Incoming, Outgoing };

// The entries of a box, in list order.
std::span<const std::string_view> SetupEntries(SetupColumn column);
// The position of the entry a freshly loaded box selects.
int PreselectedEntry(SetupFrame frame, SetupColumn column);
// The caption above a box: "Port:", "Baud:", ...
std::string_view SetupCaption(SetupColumn column);

// The entry text a box contributes to its port line, from the text the box
// shows: the entry it names (letters of either case, blanks around it
// ignored); else typed text that fits the port line (a port number 1 to 99,
// a baud rate such as 2400, 5 to 8 data bits, parity N, E, O, M or S, 1, 1.5
// or 2 stop bits), written as the list writes entries ("com7" gives
// "COM07"); else the box's preselected entry.
std::string SetupBoxValue(SetupFrame frame, SetupColumn column, std::string_view shown);

// One frame's port line from its five box values, in column order:
// characters 4 and 5 of the port entry, then baud, parity, data and stop.
std::string BuildPortLine(const std::array<std::string, kSetupColumns>& values);

// The port line of a frame from the texts its five boxes show, in column order.
std::string PortLineFromBoxes(SetupFrame frame, const std::array<std::string, kSetupColumns>& shown);

// "COM07" for 7: a port entry as the list writes it.
std::string PortEntry(int port);
// The port number of a port entry or typed port ("COM07", "com7", "7"); 0
// when the text names none from 1 to 99.
int PortNumberOf(std::string_view text);

// The incoming source below the boxes: a KISS-over-TCP peer when on. A blank
// host is 127.0.0.1, a port that is no number from 1 to 65535 is 8001; both
// are kept when off, so they come back when switched on again.
LinkChoice KissTcpChoice(bool on, std::string_view host, std::string_view port);

// The KISS server below that, read the same way: a blank host is 127.0.0.1,
// a port that is no number from 1 to 65535 is 8100.
KissServerChoice SharingChoice(bool on, std::string_view host, std::string_view port,
                               bool clientsTransmit);

}  // namespace vorlink
