#include "tnc/port_mirror.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_port_component.h"
#include "fake_status_line.h"

namespace vorlink {
namespace {

class RecordingMirrorView final : public MirrorView {
 public:
  std::vector<std::string> events;
  void ShowMirrorCheck(bool checked) override { events.push_back(checked ? "check" : "uncheck"); }
  void ShowMirrorIndicators(bool visible) override {
    events.push_back(visible ? "shown" : "hidden");
  }
  void OpenSetupDialog() override { events.push_back("setup dialog"); }
};

class PortMirrorTest : public ::testing::Test {
 protected:
  PortMirrorTest() { outgoing.port = 2; }
  bool mirroring = false;
  std::string mirrorFlag;
  std::string outgoingPortLine = "02,19200,N,8,1";
  testing::FakePortComponent outgoing;
  RecordingMirrorView view;
  testing::FakeStatusLine status;
  PortMirror mirror{mirroring, mirrorFlag, outgoingPortLine, outgoing, view, status};
};

TEST_F(PortMirrorTest, TwoClicksReturnToTheFormerStateWithAFlagNeverEmpty) {
  mirror.Toggle();
  EXPECT_TRUE(mirroring);
  EXPECT_EQ(mirrorFlag, "true");
  EXPECT_TRUE(outgoing.open);
  mirror.Toggle();
  EXPECT_FALSE(mirroring);
  EXPECT_EQ(mirrorFlag, "false");
  EXPECT_FALSE(outgoing.open);
  EXPECT_EQ(view.events, (std::vector<std::string>{"check", "shown", "uncheck", "hidden"}));
}

TEST_F(PortMirrorTest, EmptyOutgoingLineOpensTheDialogAndStillSwitches) {
  outgoingPortLine.clear();
  mirror.Toggle();
  EXPECT_EQ(view.events, (std::vector<std::string>{"setup dialog", "check", "shown"}));
  EXPECT_TRUE(mirroring);
}

TEST_F(PortMirrorTest, PortAlreadyInTheWantedStateIsLeftAlone) {
  outgoing.open = true;
  mirror.Toggle();
  EXPECT_TRUE(outgoing.calls.empty());
  outgoing.open = false;
  mirror.Toggle();
  EXPECT_TRUE(outgoing.calls.empty());
}

TEST_F(PortMirrorTest, OutgoingPortThatCannotOpenStillCountsAsOnAndSaysWhy) {
  outgoing.openFails = true;
  outgoing.openError = "Permission denied";
  mirror.Toggle();
  EXPECT_TRUE(mirroring);
  EXPECT_EQ(mirrorFlag, "true");
  EXPECT_FALSE(outgoing.open);
  EXPECT_EQ(status.texts, std::vector<std::string>{"COM 2: Permission denied"});
}

TEST_F(PortMirrorTest, SavedFlagLeavesTheReportToStartUp) {
  outgoing.openFails = true;
  mirrorFlag = "true";
  mirror.ApplyMirrorFlag();
  EXPECT_TRUE(mirroring);
  EXPECT_TRUE(status.texts.empty());
}

TEST_F(PortMirrorTest, SavedFlagIsAppliedOnlyWhenExactlyTrue) {
  for (const char* flag : {"True", "TRUE", "tRue", "true ", " true", "", "false"}) {
    mirrorFlag = flag;
    outgoing.open = true;
    mirror.ApplyMirrorFlag();
    EXPECT_FALSE(mirroring) << flag;
    EXPECT_FALSE(outgoing.open) << flag;
    EXPECT_EQ(mirrorFlag, flag);
  }
  mirrorFlag = "true";
  view.events.clear();
  mirror.ApplyMirrorFlag();
  EXPECT_TRUE(mirroring);
  EXPECT_TRUE(outgoing.open);
  EXPECT_EQ(view.events, (std::vector<std::string>{"check", "shown"}));
}

TEST_F(PortMirrorTest, OutgoingPortEventsShowTheirTextsAndReceivedDataIsDropped) {
  outgoing.pending = {1, 2, 3};
  mirror.OnComm(kCommEvReceive);
  EXPECT_TRUE(status.texts.empty());
  EXPECT_TRUE(outgoing.pending.empty());
  EXPECT_EQ(outgoing.discards, 1);
  mirror.OnComm(1008);
  EXPECT_EQ(status.Current(), "Receive Buffer Overflow");
  mirror.OnComm(7);
  EXPECT_EQ(status.texts.size(), 1u);
}

}  // namespace
}  // namespace vorlink
