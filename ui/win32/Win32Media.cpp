// The media player's peer: MCI command strings through winmm, which is loaded from the system
// folder at run time. Each player has its own alias, closed when the player goes.
#include "ui/win32/Win32Internal.h"

#include <cwchar>
#include <string>

#include <windows.h>

#include "ui/MediaPlayer.h"

namespace ui::win32 {

namespace {

using SendString = DWORD(WINAPI*)(const wchar_t*, wchar_t*, UINT, HWND);
// Any non-zero MCI answer is a failure; this one stands for "no winmm".
constexpr DWORD kNoDevice = 256;

class MciPeer : public MediaPeer {
 public:
  MciPeer(Win32Backend& backend, MediaPlayer& player) : backend_(backend), player_(player) {
    static unsigned next = 0;
    alias_ = L"setup_music" + Wide(std::to_string(++next));
  }
  ~MciPeer() override { CloseDevice(); }

  void Changed(Change) override {}

  bool Open() override {
    CloseDevice();
    if (player_.FileName().empty()) return false;
    std::wstring command = L"open \"" + Wide(player_.FileName()) + L"\" alias " + alias_;
    if (Send(command) != 0) {
      // Files without a registered extension still play as MPEG audio (MP3).
      command = L"open \"" + Wide(player_.FileName()) + L"\" type mpegvideo alias " + alias_;
      if (Send(command) != 0) return false;
    }
    open_ = true;
    Send(L"set " + alias_ + L" time format milliseconds");
    return true;
  }

  void Play() override {
    if (open_) Send(L"play " + alias_ + L" from 0");
  }

  int64_t Position() override { return Status(L"position"); }
  int64_t Length() override { return Status(L"length"); }

 private:
  DWORD Send(const std::wstring& command, wchar_t* answer = nullptr, UINT size = 0) {
    auto send = Function();
    return send ? send(command.c_str(), answer, size, nullptr) : kNoDevice;
  }

  SendString Function() {
    HMODULE winmm = backend_.Winmm();
    return winmm ? reinterpret_cast<SendString>(
                       reinterpret_cast<void*>(GetProcAddress(winmm, "mciSendStringW")))
                 : nullptr;
  }

  int64_t Status(const wchar_t* item) {
    if (!open_) return 0;
    wchar_t answer[64] = {};
    if (Send(L"status " + alias_ + L" " + item, answer, 64) != 0) return 0;
    return std::wcstoll(answer, nullptr, 10);
  }

  void CloseDevice() {
    if (!open_) return;
    Send(L"close " + alias_);
    open_ = false;
  }

  Win32Backend& backend_;
  MediaPlayer& player_;
  std::wstring alias_;
  bool open_ = false;
};

}  // namespace

std::unique_ptr<Peer> MakeMediaPlayerPeer(Win32Backend& backend, Control& player) {
  return std::make_unique<MciPeer>(backend, static_cast<MediaPlayer&>(player));
}

}  // namespace ui::win32
