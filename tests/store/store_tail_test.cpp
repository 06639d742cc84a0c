// A load's tail of the store with the run's notes between its frames.
#include "store/store_tail.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlink {
namespace {

void AppendFrame(FrameStore& store, int lines) {
  const std::vector<std::uint8_t> frame(10, 0x41);
  store.Append(frame, kNoArrivalTime, DisplayOptions{}, {}, lines);
}

// Every line of the tail as "frame:line" or "frame:line text" for a note.
std::vector<std::string> Lines(const StoreTail& tail) {
  std::vector<std::string> lines;
  for (std::uint64_t k = 0; k < tail.LineCount(); ++k) {
    const LinePosition at = tail.LocateLine(k);
    std::string line = std::to_string(at.frame) + ":" + std::to_string(at.line);
    if (at.line < 0) {
      EXPECT_GE(at.line, -tail.NotesBefore(at.frame)) << line;
      line += " " + std::string(tail.Note(at.frame, at.line));
    }
    lines.push_back(line);
  }
  return lines;
}

TEST(StoreTailTest, NotesShowAtTheirPlacesBetweenTheFrames) {
  FrameStore store;
  FrameNotes notes;
  notes.Add(store.EndIndex(), "before the load");
  AppendFrame(store, 2);
  StoreTail tail(store, store.EndIndex(), &notes);
  notes.Add(store.EndIndex(), "first");
  AppendFrame(store, 2);
  notes.Add(store.EndIndex(), "lost");
  notes.Add(store.EndIndex(), "back");
  AppendFrame(store, 1);
  notes.Add(store.EndIndex(), "at the end");

  const std::vector<std::string> expected = {
      "1:-1 first", "1:0", "1:1", "2:-2 lost", "2:-1 back", "2:0", "3:-1 at the end"};
  EXPECT_EQ(Lines(tail), expected);
  EXPECT_EQ(tail.NotesBefore(0), 0);
  EXPECT_EQ(tail.NotesBefore(3), 1);

  // What "Clear Counter" leaves: the store's numbers go on past every note.
  store.Clear();
  EXPECT_EQ(tail.LineCount(), 1u);
  notes.Clear();
  EXPECT_EQ(tail.LineCount(), 0u);
}

TEST(StoreTailTest, WithoutNotesItIsTheStoreFromItsStart) {
  FrameStore store;
  AppendFrame(store, 3);
  StoreTail tail(store, store.EndIndex());
  AppendFrame(store, 2);
  EXPECT_EQ(Lines(tail), (std::vector<std::string>{"1:0", "1:1"}));
}

TEST(FrameNotesTest, KeepsTheNewestUpToItsLimitAndNeverGoesBack) {
  FrameNotes notes(2);
  notes.Add(5, "a");
  notes.Add(3, "b");
  notes.Add(7, "c");
  ASSERT_EQ(notes.Size(), 2u);
  EXPECT_EQ(notes.TextOf(0), "b");
  EXPECT_EQ(notes.AnchorOf(0), 5u);
  EXPECT_EQ(notes.FirstFrom(6), 1u);
  EXPECT_EQ(notes.FirstFrom(8), 2u);
}

}  // namespace
}  // namespace vorlink
