// A page device that keeps every page's drawing: the tests' printer, and
// the headless host's when no file is named.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/page_device.h"
#include "core/recording_canvas.h"

namespace tw {

class RecordingPageDevice : public PageDevice {
 public:
  explicit RecordingPageDevice(PageMetrics metrics = letterAt(600)) : metrics_(metrics) {}
  // A letter page (8.5 by 11 inches) with a quarter inch the printer cannot reach.
  static PageMetrics letterAt(int dpi) { return {dpi, dpi, dpi * 8, dpi * 21 / 2}; }

  PageMetrics metrics() const override { return metrics_; }
  std::string name() const override { return "Recorder"; }
  Canvas* beginPage() override;
  bool endPage() override;
  bool finish() override;
  void abort() override;

  std::vector<std::unique_ptr<RecordingCanvas>> pages;
  bool finished = false;
  bool aborted = false;
  int failAtPage = 0;  // beginPage fails on this page (from 1); 0 never

 private:
  PageMetrics metrics_;
  bool open_ = false;
};

// The texts drawn on a recorded page, in drawing order.
std::vector<std::string> pageTexts(const RecordingCanvas& page);

}  // namespace tw
