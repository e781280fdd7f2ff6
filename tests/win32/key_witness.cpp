// Test helper: a low-level keyboard hook of another process that writes down
// every key event that reaches it, as "key VK FLAGS" (FLAGS in hex, 0x20 Alt
// held, 0x80 released). Installed before the saver's own hook, it is called
// only for the events the saver's hook passes on, so its log shows what the
// saver let through to the rest of the desktop. Ends after LIFETIME ms.
//   key_witness.exe LIFETIME
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

HHOOK Hook = nullptr;

LRESULT CALLBACK Witness(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    std::printf("key %lu %lx %u\n", key->vkCode, key->flags, static_cast<unsigned>(wParam));
    std::fflush(stdout);
  }
  return CallNextHookEx(Hook, code, wParam, lParam);
}

void CALLBACK End(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: key_witness LIFETIME_MS\n");
    return 2;
  }
  Hook = SetWindowsHookExW(WH_KEYBOARD_LL, Witness, GetModuleHandleW(nullptr), 0);
  if (Hook == nullptr) return 1;
  std::printf("ready\n");
  std::fflush(stdout);
  SetTimer(nullptr, 0, static_cast<UINT>(_wtoi(argv[1])), End);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  UnhookWindowsHookEx(Hook);
  return 0;
}
