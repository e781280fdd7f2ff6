#include "shell/monitor_faces.h"

#include <ctime>

#include "face/clock_source.h"
#include "face/frame.h"
#include "face/layout.h"

std::vector<MonitorFace> MonitorFaces;

namespace {

// The instant every face of one round shows: read once, so two monitors
// never disagree about a second that turns while they are drawn.
std::tm RoundInstant{};
bool RoundInstantValid = false;

bool ReadRoundInstant(std::tm* out) {
  *out = RoundInstant;
  return RoundInstantValid;
}

// Between frames the layout is the first face's already (creation, a right
// click and a change of the first face lay it out), so only the others are
// laid out again: with one monitor a frame is what it always was.
void DrawFace(const MonitorFace& face, bool layOut) {
  if (face.backBuffer == nullptr) return;
  BackBufferDC = face.backBuffer;
  if (layOut) ComputeLayout(face.client);
  DrawFrame(face.client);
}

// Lays the first face out again, as the handlers between frames expect. Its
// surface is left alone: every frame selects its fonts before drawing.
void BackToFirstFace() {
  if (MonitorFaces.empty()) return;
  BackBufferDC = nullptr;
  ComputeLayout(MonitorFaces.front().client);
  BackBufferDC = MonitorFaces.front().backBuffer;
}

}  // namespace

void DrawMonitorFaces() {
  if (MonitorFaces.empty()) return;
  if (MonitorFaces.size() == 1) {
    DrawFace(MonitorFaces.front(), false);
    return;
  }
  const ClockSourceFn source = ClockSource;
  RoundInstantValid = source(&RoundInstant);
  ClockSource = ReadRoundInstant;
  for (std::size_t i = 0; i < MonitorFaces.size(); ++i) DrawFace(MonitorFaces[i], i != 0);
  ClockSource = source;
  BackToFirstFace();
}

void DrawMonitorFace(std::size_t index) {
  if (index >= MonitorFaces.size()) return;
  DrawFace(MonitorFaces[index], true);
  if (index != 0) BackToFirstFace();
}
