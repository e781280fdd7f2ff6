#include "face/recording_surface.h"

#include <cinttypes>

#include "common/utf_conversion.h"
#include "common/wide_format.h"

std::string RecordingSurface::Line(const RecordedCall& call) {
  char head[96];
  switch (call.kind) {
    case RecordedCall::kFill:
      std::snprintf(head, sizeof head, "fill %d %d %d %d", call.x, call.y, call.width, call.height);
      return head;
    case RecordedCall::kCopy:
      std::snprintf(head, sizeof head, "copy %d %d %d %d", call.x, call.y, call.width, call.height);
      return head;
    case RecordedCall::kColor:
      std::snprintf(head, sizeof head, "color 0x%08" PRIX32, static_cast<std::uint32_t>(call.color));
      return head;
    case RecordedCall::kFont:
      std::snprintf(head, sizeof head, "font %d %d %d ", call.font.height, call.font.escapement,
                    call.font.weight);
      return head + Utf16ToUtf8(call.font.face, WideLength(call.font.face));
    case RecordedCall::kText:
      std::snprintf(head, sizeof head, "text %d %d ", call.x, call.y);
      return head + Utf16ToUtf8(call.text);
  }
  return {};
}

void RecordingSurface::Record(RecordedCall call) {
  if (out_ != nullptr) {
    const std::string line = Line(call);
    std::fwrite(line.data(), 1, line.size(), out_);
    std::fputc('\n', out_);
  }
  if (keep_) calls_.push_back(std::move(call));
}

void RecordingSurface::FillBlack(int x, int y, int width, int height) {
  RecordedCall call;
  call.kind = RecordedCall::kFill;
  call.x = x, call.y = y, call.width = width, call.height = height;
  Record(std::move(call));
}

void RecordingSurface::SetTextColor(ColorRef color) {
  RecordedCall call;
  call.kind = RecordedCall::kColor;
  call.color = color;
  Record(std::move(call));
}

void RecordingSurface::SelectClockFont(const ClockFont& font) {
  RecordedCall call;
  call.kind = RecordedCall::kFont;
  call.font = font;
  Record(std::move(call));
}

void RecordingSurface::PutText(int x, int y, const char16_t* text, int count) {
  RecordedCall call;
  call.kind = RecordedCall::kText;
  call.x = x, call.y = y;
  call.text.assign(text, text + (count > 0 ? count : 0));
  Record(std::move(call));
}

void RecordingSurface::CopyToWindow(int x, int y, int width, int height) {
  RecordedCall call;
  call.kind = RecordedCall::kCopy;
  call.x = x, call.y = y, call.width = width, call.height = height;
  Record(std::move(call));
}
