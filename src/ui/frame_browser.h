// The frame browser: the frame pane over the live store (or over a capture
// it loaded itself), a filter bar (source, destination, digipeater, type,
// PID, payload text, APRS report kind, distance from the station, message
// addressee, received or sent frames; all of them together), a search in what the pane shows, the
// detail tree of the frame at the caret, and the stations heard. Filtering,
// loading, find and copy run in slices on the event loop (Esc stops a find or copy), so a million frames
// never freeze the window. It opens no file but the capture it is given;
// its size and place are kept by its owner.
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <memory>
#include <optional>

#include "aprs/own_station.h"
#include "store/capture_loader.h"
#include "store/frame_filter.h"
#include "store/frame_store.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTimer;

namespace vorlink {

class FrameDetailPane;
class FrameView;
class HeardView;

inline constexpr FrameIndex kFilterSlice = 20'000;
inline constexpr std::size_t kLoadSliceBytes = std::size_t{4} << 20;

class FrameBrowser final : public QMainWindow {
  Q_OBJECT

 public:
  // Over a store that outlives the window: the live one.
  explicit FrameBrowser(const FrameStore& store, QWidget* parent = nullptr);
  // Over a store of its own, which OpenCapture fills.
  explicit FrameBrowser(QWidget* parent = nullptr);
  ~FrameBrowser() override;

  // Loads a .kss capture in slices; the title names it and its frames once
  // loaded. Only for a browser with its own store.
  void OpenCapture(const std::filesystem::path& file);
  bool Loading() const { return capture_ && !capture_->Finished(); }

  // Shows only the frames from this source callsign (glob).
  void FilterBySource(const QString& callsign);
  // Shows only the frames between the two stations, either way.
  void FilterByLink(const QString& one, const QString& other);
  void ApplyFilter();
  bool Filtering() const { return filterNext_.has_value(); }
  QString StatusText() const;
  const FrameStore& Store() const { return store_; }
  FrameView& Pane() { return *view_; }
  HeardView& Heard() { return *heard_; }
  FrameDetailPane& Detail() { return *detail_; }
  // The station's own position and callsign: distance, bearing and the
  // within-km filter measure from it.
  void SetOwnStation(const OwnStation& station);
  // Wide enough for a frame's lines, the filter bar and every column of the
  // stations heard.
  QSize sizeHint() const override;

 private:
  void Build();
  void BuildFilterBar(QWidget* bar);
  void BuildAprsFilters(QGridLayout& grid);
  // The APRS criteria into the filter; false (and a status message) when one
  // cannot be used.
  bool ReadAprsFilters(FrameFilterSpec& spec);
  void ShowDetail(FrameIndex frame);
  void FilterSlice();
  void LoadSlice();
  void Refresh();
  void FindNext(bool forward);
  // Esc: a find or copy under way stops.
  void StopWork();
  void ShowCounts();

  std::unique_ptr<FrameStore> own_;
  const FrameStore& store_;

  FrameView* view_ = nullptr;
  HeardView* heard_ = nullptr;
  FrameDetailPane* detail_ = nullptr;
  std::optional<FrameIndex> detailFrame_;  // the frame the detail shows
  OwnStation station_;
  QLineEdit* from_ = nullptr;
  QLineEdit* to_ = nullptr;
  QLineEdit* via_ = nullptr;
  QCheckBox* bothWays_ = nullptr;  // From and To either way round
  QComboBox* type_ = nullptr;
  QLineEdit* pid_ = nullptr;
  QLineEdit* text_ = nullptr;
  QComboBox* aprsType_ = nullptr;
  QComboBox* origin_ = nullptr;
  QLineEdit* within_ = nullptr;
  QLineEdit* addressee_ = nullptr;
  QLineEdit* find_ = nullptr;
  QLabel* counts_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QTimer* slices_ = nullptr;
  QString searched_;

  std::optional<FrameFilter> filter_;
  FilteredFrames filtered_;
  std::optional<FrameIndex> filterNext_;  // where the filter goes on while it runs
  FrameIndex filteredEnd_ = 0;           // frames before it have been filtered

  std::unique_ptr<CaptureReader> capture_;
  std::filesystem::path captureName_;
};

}  // namespace vorlink
