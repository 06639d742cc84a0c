// The message center against a fake clock: the retry schedule and what
// stops it, one line per addressee, the 15 s floor, acking what is heard
// (the 30 s rule, duplicates, line ends), and its bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "aprs/message_center.h"
#include "aprs/message_line.h"
#include "support/fake_clock.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;

constexpr std::string_view kOwn = "N0OWN";
constexpr std::string_view kPeer = "W1AW-7";

class CenterHarness {
 public:
  CenterHarness() : center(clock, [this](std::string_view info) { return Take(info); }) {
    clock.monotonic += 1h;  // away from the epoch
    center.SetOwnCallsign(std::string(kOwn));
  }
  AprsSendResult Take(std::string_view info) {
    if (answer == AprsSendResult::Queued) sent.emplace_back(info);
    return answer;
  }
  // Moves the clock one second at a time, polling as a timer would.
  void Run(std::chrono::seconds span) {
    for (auto s = 0s; s < span; s += 1s) {
      clock.monotonic += 1s;
      center.Poll();
    }
  }
  void Hear(std::string_view from, std::string_view info, std::string_view via = "N0DIG") {
    center.Heard({from, via, info});
  }
  std::string Info(std::string_view to, std::string_view body) {
    std::string line = ":" + std::string(to);
    line.resize(10, ' ');
    return line + ":" + std::string(body);
  }
  const ThreadLine& Line(std::uint64_t key) { return *center.Line(key); }

  testing::FakeClock clock;
  std::vector<std::string> sent;
  AprsSendResult answer = AprsSendResult::Queued;
  MessageCenter center;
};

struct AnswerCase {
  const char* name;
  int sendsBefore;     // sends made when the answer comes
  std::string answer;  // from the peer; ID stands for the line's number
  LineState state;
  std::string text;
};

class MessageAnswerTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(MessageAnswerTest, StopsTheSchedule) {
  const AnswerCase& c = GetParam();
  CenterHarness h;
  const auto key = h.center.Send(kPeer, "hello").key;
  const std::string id = h.Line(key).id;
  while (static_cast<int>(h.sent.size()) < c.sendsBefore) h.Run(1s);
  std::string answer = c.answer;
  answer.replace(answer.find("ID"), 2, id);
  h.Hear(kPeer, h.Info(kOwn, answer));
  h.Run(40min);
  const auto ours = std::count_if(h.sent.begin(), h.sent.end(), [](const std::string& s) {
    return s.find(":hello{") != std::string::npos;
  });
  EXPECT_EQ(ours, c.sendsBefore);
  EXPECT_EQ(h.Line(key).state, c.state);
  EXPECT_EQ(h.center.StateText(h.Line(key)), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, MessageAnswerTest,
    ::testing::ValuesIn(std::vector<AnswerCase>{
        {"ack_after_1", 1, "ackID", LineState::Acked, "acked 09:58:20 (heard via N0DIG)"},
        {"ack_after_3", 3, "ackID", LineState::Acked, "acked 09:58:20 (heard via N0DIG)"},
        {"ack_after_8", 8, "ackID", LineState::Acked, "acked 09:58:20 (heard via N0DIG)"},
        {"ack_with_cr_lf", 2, "ackID\r\n", LineState::Acked, "acked 09:58:20 (heard via N0DIG)"},
        {"ack_of_reply_ack_form", 2, "ackID}", LineState::Acked,
         "acked 09:58:20 (heard via N0DIG)"},
        {"rej", 2, "rejID", LineState::Rejected, "rejected"},
        {"reply_ack_on_a_message", 4, "see you{X1}ID", LineState::Acked,
         "acked 09:58:20 (heard via N0DIG)"},
    }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageCenterTest, GivesUpAfterEightSendsOnTheSchedule) {
  CenterHarness h;
  const auto key = h.center.Send(kPeer, "anyone?").key;
  std::vector<long long> sentAt;
  const auto start = h.clock.monotonic;
  while (h.Line(key).state == LineState::Sending) {
    const std::size_t before = h.sent.size();
    h.Run(1s);
    if (h.sent.size() == before) continue;
    sentAt.push_back(
        std::chrono::duration_cast<std::chrono::seconds>(h.clock.monotonic - start).count());
    if (h.sent.size() == 3) {
      EXPECT_EQ(h.center.StateText(h.Line(key)), "sending 3/8, next in 1 min");
    }
  }
  EXPECT_EQ(sentAt, (std::vector<long long>{15, 45, 105, 225, 465, 945, 1905}));
  EXPECT_EQ(h.sent.size(), 8U);
  EXPECT_EQ(h.center.StateText(h.Line(key)), "no ack");
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(h.clock.monotonic - start).count(),
            1905 + 30);
  EXPECT_EQ(h.sent.front(), ":W1AW-7   :anyone?{" + h.Line(key).id + "}");
}

TEST(MessageCenterTest, OneLineInFlightPerAddressee) {
  CenterHarness h;
  const auto first = h.center.Send(kPeer, "one").key;
  const auto second = h.center.Send(kPeer, "two").key;
  const auto other = h.center.Send("K2XYZ", "elsewhere").key;
  EXPECT_EQ(h.sent.size(), 2U);  // "one" and "elsewhere"
  EXPECT_EQ(h.center.StateText(h.Line(second)), "waiting for the line before");
  h.Run(20s);
  h.Hear(kPeer, h.Info(kOwn, "ack" + h.Line(first).id));
  EXPECT_EQ(h.Line(second).state, LineState::Sending);
  EXPECT_EQ(h.Line(other).state, LineState::Sending);
  EXPECT_NE(h.sent.back().find("two{"), std::string::npos);
}

TEST(MessageCenterTest, RetryNowKeepsTheFifteenSecondFloor) {
  CenterHarness h;
  const auto key = h.center.Send(kPeer, "floor").key;
  h.Run(3s);
  h.center.RetryNow(key);
  h.center.RetryNow(key);
  h.Run(11s);
  EXPECT_EQ(h.sent.size(), 1U);
  h.Run(1s);  // 15 s after the first send
  EXPECT_EQ(h.sent.size(), 2U);
  EXPECT_EQ(h.center.StateText(h.Line(key)), "sending 1/8, next in 15 s");
}

TEST(MessageCenterTest, CancelStopsAndRefusalsAreNotSends) {
  CenterHarness h;
  h.answer = AprsSendResult::TncFull;
  const auto key = h.center.Send(kPeer, "full").key;
  h.Run(10s);
  EXPECT_EQ(h.center.StateText(h.Line(key)), "waiting for the TNC");
  h.answer = AprsSendResult::Queued;
  h.Run(2s);
  EXPECT_EQ(h.sent.size(), 1U);
  EXPECT_EQ(h.Line(key).sends, 1);
  h.center.Cancel(key);
  h.Run(10min);
  EXPECT_EQ(h.sent.size(), 1U);
  EXPECT_EQ(h.center.StateText(h.Line(key)), "cancelled");
}

TEST(MessageCenterTest, TransmitOffRefusesTheLine) {
  CenterHarness h;
  h.answer = AprsSendResult::TransmitOff;
  const LineSendOutcome outcome = h.center.Send(kPeer, "not now");
  EXPECT_EQ(outcome.problem, "Transmit is off (Options > Station...)");
  EXPECT_EQ(h.center.OpenLines(), 0U);
}

struct CopyCase {
  const char* name;
  std::vector<int> heardAt;  // seconds
  std::vector<std::string> infos;
  std::size_t shown;
  std::vector<std::string> acks;
};

class HeardMessageTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(HeardMessageTest, AckedAndShown) {
  const CopyCase& c = GetParam();
  CenterHarness h;
  int at = 0;
  for (std::size_t k = 0; k < c.infos.size(); ++k) {
    h.Run(std::chrono::seconds(c.heardAt[k] - at));
    at = c.heardAt[k];
    h.Hear(kPeer, c.infos[k]);
  }
  h.Run(5s);
  const Conversation* conversation = h.center.Find(kPeer);
  ASSERT_NE(conversation, nullptr);
  EXPECT_EQ(conversation->lines.size(), c.shown);
  EXPECT_EQ(conversation->lines.front().text, "hi");
  EXPECT_EQ(h.sent, c.acks);
}

INSTANTIATE_TEST_SUITE_P(
    Copies, HeardMessageTest,
    ::testing::ValuesIn(std::vector<CopyCase>{
        {"one_copy", {0}, {":N0OWN    :hi{12"}, 1, {":W1AW-7   :ack12"}},
        {"copy_16s_later_not_acked_49s_acked",
         {0, 16, 49},
         {":N0OWN    :hi{12", ":N0OWN    :hi{12", ":N0OWN    :hi{12"},
         1,
         {":W1AW-7   :ack12", ":W1AW-7   :ack12"}},
        {"cr_lf_trimmed",
         {0, 31},
         {":N0OWN    :hi{12\r", ":N0OWN    :hi{12\r\n"},
         1,
         {":W1AW-7   :ack12", ":W1AW-7   :ack12"}},
        {"reply_ack_form_acked_exactly", {0}, {":N0OWN    :hi{AB}"}, 1, {":W1AW-7   :ackAB}"}},
        {"unnumbered_shown_once_never_acked", {0, 40}, {":N0OWN    :hi", ":N0OWN    :hi"}, 1, {}},
        {"other_addressee_ignored_own_case_blind",
         {0, 1},
         {":K9ZZZ    :no{1", ":n0own    :hi{2"},
         1,
         {":W1AW-7   :ack2"}},
    }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageCenterTest, ReplyAckRidesOnOurNextSend) {
  CenterHarness h;
  const auto key = h.center.Send(kPeer, "question").key;
  h.Hear(kPeer, h.Info(kOwn, "answer{Q7}"));
  h.Run(15s);
  EXPECT_EQ(h.sent.back(), ":W1AW-7   :question{" + h.Line(key).id + "}Q7");
}

TEST(MessageCenterTest, AFloodOfMessagesGivesAtMostTenAcksAMinute) {
  CenterHarness h;
  for (int k = 0; k < 200; ++k) {
    h.Hear("K" + std::to_string(k % 10) + "ABC", h.Info(kOwn, "flood{" + std::to_string(k)));
  }
  h.Run(59s);
  EXPECT_EQ(h.sent.size(), kMaxAcksPerMinute) << ::testing::PrintToString(h.sent);
  EXPECT_LE(h.center.AcksWaiting(), kMaxAcksWaiting);
}

TEST(MessageCenterTest, BulletinDecaysAndEnds) {
  CenterHarness h;
  const auto key = h.center.SendBulletin("BLN1", "net tonight", 20min).key;
  h.Run(30min);
  EXPECT_EQ(h.sent.front(), ":BLN1     :net tonight");
  EXPECT_EQ(h.sent.size(), 6U);  // 0, 30 s, 1:30, 3:30, 7:30, 15:30
  EXPECT_FALSE(h.center.Bulletins().back().running);
  EXPECT_FALSE(h.center.StopBulletin(key));
}

struct TextCase {
  const char* name;
  std::string text;
  bool ok;
};

class MessageTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(MessageTextTest, Checked) {
  EXPECT_EQ(!MessageTextProblem(GetParam().text).has_value(), GetParam().ok);
}

INSTANTIATE_TEST_SUITE_P(Texts, MessageTextTest,
                         ::testing::ValuesIn(std::vector<TextCase>{
                             {"exactly_67", std::string(67, 'a'), true},
                             {"68", std::string(68, 'a'), false},
                             {"empty", "", false},
                             {"pipe", "a|b", false},
                             {"tilde", "a~b", false},
                             {"brace", "a{b", false},
                             {"closing_brace_allowed", "a}b", true},
                         }),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlink
