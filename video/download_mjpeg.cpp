// The video reader: the body of the video thread.
#include "video/download_mjpeg.h"

#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "platform/core/bounds.h"
#include "platform/core/diagnostics.h"
#include "platform/core/program_link.h"
#include "platform/gui/window.h"
#include "platform/http/http_stream.h"
#include "skin/skin.h"
#include "state/door_address.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"
#include "video/call_flag.h"
#include "video/live_picture.h"
#include "video/publish_title.h"
#include "video/show_jpeg.h"
#include "video/stream/mjpeg_parser.h"
#include "visit_recording/visit_recording.h"

std::atomic<int> PocetSnimku{0};

namespace {

constexpr int kBlockSize = 1024;
// A reconnect follows the picture whose count before it was above this: every 102nd picture.
constexpr int kReconnectAbove = 100;
constexpr auto kReconnectPause = std::chrono::milliseconds(1000);
constexpr char kUrlFormat[] = "http://%s/video.mjpg";

// Waits, or returns false at once when a stop is requested.
bool PauseUnlessStopped(std::stop_token stop, std::chrono::milliseconds pause) {
  std::mutex m;
  std::condition_variable_any cv;
  std::unique_lock lock(m);
  return !cv.wait_for(lock, stop, pause, [] { return false; });
}

// One reader's connection, picture file and reaction to what the parser finds. Whatever belongs to the
// program is touched under the link; the connection is opened and read without it.
class Reader final : public MjpegEvents {
 public:
  Reader(std::stop_token stop, ProgramLink& link) : stop_(stop), link_(link) {}

  // False when the link was cut before the reader got going.
  bool Start() {
    {
      ProgramLink::Hold hold = link_.Take();
      if (!hold) return false;
      KillTimer(g_hwndMain, kReaderTimer);
      SetTimer(g_hwndMain, kStallTimer, kStallTimerPeriodMs);
      ShowData.Kill_TCP = FALSE;
      // IP_addr holds at most 63 characters; the url has room for all of them.
      char address[sizeof IP_addr];
      CopyIP_addr(address);
      // Never longer than the address: only leading zeros are dropped.
      std::snprintf(url, sizeof url, kUrlFormat, DoorUrlAddress(address).c_str());
    }
    hSession = InternetOpen(kProgramName);
    if (hSession != nullptr) {
      onStop_.emplace(stop_, [session = hSession] { InternetStop(session); });
      hConnect = InternetOpenUrl(hSession, url, INTERNET_FLAG_NO_CACHE_WRITE);
    }
    ProgramLink::Hold hold = link_.Take();
    if (!hold) return false;
    if (hSession == nullptr || hConnect == nullptr) ShowData.Kill_TCP = TRUE;
    LiveConnectionOpened();
    parser.Reset();
    OpenPictureFile();
    return true;
  }

  void Run() {
    char buffer[kBlockSize];
    for (;;) {
      DWORD BufferLen = 0;
      const bool got = hConnect != nullptr && InternetReadFile(hConnect, buffer, sizeof buffer, &BufferLen) &&
                       BufferLen > 0;
      {
        ProgramLink::Hold hold = link_.Take();
        if (!hold) return;
        if (reopened_) LiveConnectionOpened();
        reopened_ = false;
        if (got)
          parser.Feed(buffer, static_cast<int>(BufferLen), *this);
        else
          ShowData.Kill_TCP = TRUE;
        if (stop_.stop_requested()) ShowData.Kill_TCP = TRUE;
        if (ShowData.Kill_TCP) return;
      }
      if (reconnectDue_) Reconnect();
    }
  }

  void End() {
    ProgramLink::Hold hold = link_.Take();
    if (soubor != nullptr) std::fclose(soubor);
    soubor = nullptr;
    if (hold) {
      KillTimer(g_hwndMain, kStallTimer);
      LiveVideoEnded();
      std::remove(NameJPEG);
      RestoreProgramTitle();
      ShowData.call = FALSE;
      if (IsWindowVisible(g_hwndMain)) ShowMyWindow(g_hwndMain, ShowData);  // the connecting notice
    }
    if (hold) ReaderDisconnected();
    onStop_.reset();
    InternetCloseHandle(hConnect);
    hConnect = nullptr;
    InternetCloseHandle(hSession);
    hSession = nullptr;
    if (hold) SetTimer(g_hwndMain, kReaderTimer, kReaderTimerPeriodMs);
  }

  void PictureBytes(const char* data, int len) override {
    // Kept in memory too: the file is emptied right after drawing, and a visit may want the picture.
    picture_.append(data, static_cast<std::size_t>(len));
    if (soubor == nullptr || !pictureIntact_) return;
    if (std::fwrite(data, 1, static_cast<std::size_t>(len), soubor) != static_cast<std::size_t>(len)) {
      Diag(DiagLevel::Warning, "picture file %s: a write failed; the picture is skipped", NameJPEG);
      pictureIntact_ = false;
    }
  }

  void CallFlag(char flag) override {
    HandleCallFlag(flag);
    if (flag != lastFlag_) CallFlagChanged(flag);
    lastFlag_ = flag;
  }

  void TitleComplete(const char* title, int len) override { PublishTitle(title, len); }

  bool PictureComplete() override {
    bool whole = soubor != nullptr && pictureIntact_;
    if (soubor != nullptr && std::fclose(soubor) != 0) whole = false;
    soubor = nullptr;
    // Whole as received, whether or not the file could be written.
    if (!picture_.empty()) PictureCompleted(picture_);
    picture_.clear();
    if (whole) LivePictureArrived();
    if (whole && IsWindowVisible(g_hwndMain)) {
      ShowJPEG(g_hwndMain, NameJPEG, ShowData.ClientWidth, ShowData.ClientHeight, ShowData.Skin);
      ShowTitle(g_hwndMain, ShowData);
    }
    OpenPictureFile();
    if (PocetSnimku.fetch_add(1) <= kReconnectAbove) return true;
    PocetSnimku = 0;
    reconnectDue_ = true;
    LivePlannedReconnect();
    return false;  // what is left of the block belongs to the old connection
  }

  void PartAbandoned() override {
    picture_.clear();
    if (soubor != nullptr) std::fclose(soubor);
    soubor = nullptr;
    OpenPictureFile();  // emptied: the display never sees a part that is no picture
  }

 private:
  void OpenPictureFile() {
    soubor = std::fopen(NameJPEG, "wb");
    pictureIntact_ = true;
    if (soubor == nullptr && !openFailureReported_) {
      Diag(DiagLevel::Warning, "picture file %s cannot be opened; pictures are not shown", NameJPEG);
      openFailureReported_ = true;
    }
  }

  // Without the link: the pause and the new connection touch nothing of the program's.
  void Reconnect() {
    reconnectDue_ = false;
    InternetCloseHandle(hConnect);
    hConnect = nullptr;
    if (!PauseUnlessStopped(stop_, bounds::Bound(kReconnectPause))) return;
    hConnect = InternetOpenUrl(hSession, url, 0);
    reopened_ = hConnect != nullptr;
  }

  std::stop_token stop_;
  ProgramLink& link_;
  std::optional<std::stop_callback<std::function<void()>>> onStop_;
  HINTERNET hSession = nullptr;
  HINTERNET hConnect = nullptr;
  // "http://" + "/video.mjpg" + up to 63 characters of address + terminator.
  char url[sizeof kUrlFormat - 2 + sizeof IP_addr];
  std::FILE* soubor = nullptr;
  bool pictureIntact_ = true;
  bool openFailureReported_ = false;
  bool reconnectDue_ = false;
  bool reopened_ = false;  // the planned reconnect's connection is open; the wait starts anew
  std::string picture_;    // the picture being received, swapped with the last complete one
  char lastFlag_ = '0';
  MjpegParser parser;
};

}  // namespace

void DownloadMJPEG(std::stop_token stop, ProgramLink& link) {
  Reader reader(stop, link);
  if (reader.Start()) reader.Run();
  reader.End();
}
