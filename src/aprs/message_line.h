// The lines VORLINK itself sends as APRS messages, and the checks on what an
// operator types for them.
//
//   :AAAAAAAAA:text{MM}RR   a message: addressee blank-padded to nine, text
//                           of at most 67 characters, the number MM, then
//                           "}" (we understand reply-acks) and RR, the
//                           number of the addressee's latest line to us
//                           (a reply-ack; may be empty)
//   :AAAAAAAAA:ackMM}RR     an ack: the number exactly as it came
//   :BLNn     :text         a bulletin (n a digit) or announcement (a letter)
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "decode/ax25_address.h"

namespace vorlink {

inline constexpr std::size_t kMaxMessageTextLength = 67;
inline constexpr std::size_t kMaxMessageIdLength = 5;
inline constexpr std::size_t kMessageAddresseeLength = 9;
// The characters a message text may not hold: "|" and "~" are reserved,
// "{" opens the number.
inline constexpr std::string_view kForbiddenMessageCharacters = "|~{";

// Why a text cannot be sent; nothing when it can.
std::optional<std::string> MessageTextProblem(std::string_view text);
// Why an addressee cannot be used; nothing for a valid callsign-SSID.
std::optional<std::string> AddresseeProblem(std::string_view addressee);
// True for "BLN0".."BLN9" and "BLNA".."BLNZ".
bool IsBulletinAddressee(std::string_view addressee);

// The line with a number and the reply-ack form; replyAck may be empty.
std::string MessageLine(std::string_view addressee, std::string_view text, std::string_view id,
                        std::string_view replyAck);
// The ack of a heard line: number is what followed its "{", exactly.
std::string AckLine(std::string_view addressee, std::string_view number);
std::string BulletinLine(std::string_view addressee, std::string_view text);

// The message number after n: 2 characters, 0-9 then A-Z, wrapping past
// "ZZ" to "01" (1295 lines before a number comes again).
std::string NextMessageId(std::string_view id);

// Without the CRs and LFs at its end: many stations end a line with one.
std::string_view WithoutLineEnd(std::string_view text);

// The same station: "n0call" is "N0CALL-0"; texts that are no callsign
// compare as upper-case text.
bool SameCallsign(std::string_view a, std::string_view b);

}  // namespace vorlink
