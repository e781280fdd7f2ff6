#include "shell/monitor_faces.h"

#include <ctime>

#include "face/frame.h"
#include "face/local_instant.h"

std::vector<MonitorFace> MonitorFaces;
FaceLook ClockLook;
Surface* BackBufferDC = nullptr;
ClockSourceFn ClockSource = ReadSystemClock;

namespace {

std::tm FrozenInstant;

bool ReadFrozenClock(std::tm* out) { return FrameTime(FrozenInstant, 0, out); }

void DrawFace(MonitorFace& face, const std::tm* now) {
  if (face.backBuffer == nullptr) return;
  face.layout = ComputeLayout(face.client.right - face.client.left,
                              face.client.bottom - face.client.top, ClockLook.NumeralStyle);
  DrawFrame(*face.backBuffer, face.layout, ClockLook, now);
}

}  // namespace

bool FreezeClockAt(std::string_view text) {
  std::tm at{};
  if (!ParseLocalInstant(text, &at)) return false;
  FrozenInstant = at;
  ClockSource = ReadFrozenClock;
  return true;
}

void DrawMonitorFaces() {
  if (MonitorFaces.empty()) return;
  // Read once, so two monitors never disagree about a second that turns
  // while they are drawn.
  std::tm now{};
  const bool known = ClockSource(&now);
  for (MonitorFace& face : MonitorFaces) DrawFace(face, known ? &now : nullptr);
}

void DrawMonitorFace(std::size_t index) {
  if (index >= MonitorFaces.size()) return;
  std::tm now{};
  const bool known = ClockSource(&now);
  DrawFace(MonitorFaces[index], known ? &now : nullptr);
}
