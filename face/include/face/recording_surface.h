// A surface that draws nothing and writes down every operation, one line
// each: "fill X Y W H", "color 0x00BBGGRR", "font HEIGHT ESCAPEMENT WEIGHT
// FACE", "text X Y TEXT", "copy X Y W H". Tests check the face against it and
// the headless renderer prints it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "face/surface.h"

struct RecordedCall {
  enum Kind { kFill, kColor, kFont, kText, kCopy };
  Kind kind = kFill;
  int x = 0, y = 0, width = 0, height = 0;  // fill and copy; x, y for text
  ColorRef color = 0;
  ClockFont font;        // face points at a constant owned by the caller
  std::u16string text;
};

class RecordingSurface : public Surface {
 public:
  // With `out`, each line is also written there as it happens.
  explicit RecordingSurface(std::FILE* out = nullptr) : out_(out) {}

  void FillBlack(int x, int y, int width, int height) override;
  void SetTextColor(ColorRef color) override;
  void SelectClockFont(const ClockFont& font) override;
  void PutText(int x, int y, const char16_t* text, int count) override;
  void CopyToWindow(int x, int y, int width, int height) override;

  // Keep calls in memory (on by default); off for long runs that only print.
  void SetKeep(bool keep) { keep_ = keep; }
  const std::vector<RecordedCall>& Calls() const { return calls_; }
  void Clear() { calls_.clear(); }

  static std::string Line(const RecordedCall& call);

 private:
  void Record(RecordedCall call);

  std::FILE* out_;
  bool keep_ = true;
  std::vector<RecordedCall> calls_;
};
