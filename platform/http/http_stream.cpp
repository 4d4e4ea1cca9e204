// HTTP for the door unit on libcurl's multi interface: one transfer per URL handle, driven by the reader.
#include "platform/http/http_stream.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/core/annotated_mutex.h"
#include "platform/core/bounds.h"
#include "platform/core/diagnostics.h"

using Clock = std::chrono::steady_clock;

struct InternetObject {
  bool isSession = false;

  // A session.
  std::string agent;
  bool hasAgent = false;
  std::atomic<bool> stopped{false};
  Mutex liveMutex;
  std::set<InternetObject*> live GUARDED_BY(liveMutex);  // URL handles that a stop must wake

  // A URL handle; used by one thread at a time.
  InternetObject* session = nullptr;
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  std::vector<char> data;  // body bytes not yet read: [head, data.size())
  std::size_t head = 0;
  bool paused = false;
  bool headersDone = false;
  bool finished = false;
  CURLcode result = CURLE_OK;

  std::size_t Buffered() const { return data.size() - head; }
};

namespace {

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t OnBody(char* ptr, size_t size, size_t count, void* user) {
  auto* u = static_cast<InternetObject*>(user);
  const size_t bytes = size * count;
  u->headersDone = true;
  if (u->Buffered() >= static_cast<std::size_t>(kInternetBufferLimit)) {
    // curl hands the same bytes again once the reader made room.
    u->paused = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  if (u->head > 0 && u->head >= u->data.size() / 2) {
    u->data.erase(u->data.begin(), u->data.begin() + static_cast<std::ptrdiff_t>(u->head));
    u->head = 0;
  }
  u->data.insert(u->data.end(), ptr, ptr + bytes);
  return bytes;
}

size_t OnHeader(char* ptr, size_t size, size_t count, void* user) {
  auto* u = static_cast<InternetObject*>(user);
  const size_t bytes = size * count;
  const bool blankLine = (bytes == 2 && ptr[0] == '\r' && ptr[1] == '\n') || (bytes == 1 && ptr[0] == '\n');
  if (blankLine) {
    long status = 0;
    curl_easy_getinfo(u->easy, CURLINFO_RESPONSE_CODE, &status);
    // An interim 1xx answer is followed by the real one.
    if (status >= 200 || status == 0) u->headersDone = true;
  }
  return bytes;
}

// Lets curl do what it can now; notes the end of the transfer.
void Perform(InternetObject* u) {
  int running = 0;
  curl_multi_perform(u->multi, &running);
  int queued = 0;
  while (CURLMsg* msg = curl_multi_info_read(u->multi, &queued)) {
    if (msg->msg == CURLMSG_DONE) {
      u->finished = true;
      u->result = msg->data.result;
    }
  }
}

int MsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 1000));
}

// Drives the transfer until done() holds, the deadline passes, or the session is stopped.
template <typename Done>
bool DriveUntil(InternetObject* u, Clock::time_point deadline, Done done) {
  for (;;) {
    if (u->session->stopped) return false;
    if (done()) return true;
    if (Clock::now() >= deadline) return false;
    const std::size_t before = u->Buffered();
    const bool wasHeaders = u->headersDone;
    Perform(u);
    if (u->Buffered() != before || u->finished || u->headersDone != wasHeaders) continue;
    // A stop from another thread wakes this wait.
    curl_multi_poll(u->multi, nullptr, 0, MsUntil(deadline), nullptr);
  }
}

void DestroyUrl(InternetObject* u) {
  {
    Lock lock(u->session->liveMutex);
    u->session->live.erase(u);
  }
  if (u->multi && u->easy) curl_multi_remove_handle(u->multi, u->easy);
  if (u->easy) curl_easy_cleanup(u->easy);
  if (u->multi) curl_multi_cleanup(u->multi);
  delete u;
}

}  // namespace

HINTERNET InternetOpen(const char* agent) {
  GlobalInit();
  auto* s = new InternetObject;
  s->isSession = true;
  s->hasAgent = agent != nullptr;
  if (agent) s->agent = agent;
  return s;
}

HINTERNET InternetOpenUrl(HINTERNET session, const char* url, DWORD, int timeoutMs, int connectTimeoutMs) {
  if (session == nullptr || !session->isSession || url == nullptr || session->stopped) return nullptr;
  auto* u = new InternetObject;
  u->session = session;
  u->multi = curl_multi_init();
  u->easy = curl_easy_init();
  if (u->multi == nullptr || u->easy == nullptr) {
    Diag(DiagLevel::Error, "HTTP: no transfer could be set up");
    DestroyUrl(u);
    return nullptr;
  }
  curl_easy_setopt(u->easy, CURLOPT_URL, url);
  curl_easy_setopt(u->easy, CURLOPT_PROTOCOLS_STR, "http,https");
  if (session->hasAgent) curl_easy_setopt(u->easy, CURLOPT_USERAGENT, session->agent.c_str());
  curl_easy_setopt(u->easy, CURLOPT_NOSIGNAL, 1L);
  timeoutMs = bounds::BoundMs(timeoutMs);
  connectTimeoutMs = bounds::BoundMs(connectTimeoutMs);
  const int connectMs = connectTimeoutMs > 0 ? std::min(connectTimeoutMs, timeoutMs) : timeoutMs;
  curl_easy_setopt(u->easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max(connectMs, 1)));
  curl_easy_setopt(u->easy, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(u->easy, CURLOPT_WRITEDATA, u);
  curl_easy_setopt(u->easy, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(u->easy, CURLOPT_HEADERDATA, u);
  {
    Lock lock(session->liveMutex);
    session->live.insert(u);
  }
  if (curl_multi_add_handle(u->multi, u->easy) != CURLM_OK) {
    DestroyUrl(u);
    return nullptr;
  }
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  // A transfer that ended with its headers (an empty body) had a response too.
  if (DriveUntil(u, deadline, [u] { return u->headersDone || u->finished; }) && u->headersDone) return u;
  DestroyUrl(u);
  return nullptr;
}

int HttpStatusCode(HINTERNET handle) {
  if (handle == nullptr || handle->isSession) return 0;
  long status = 0;
  curl_easy_getinfo(handle->easy, CURLINFO_RESPONSE_CODE, &status);
  return static_cast<int>(status);
}

BOOL InternetReadFile(HINTERNET handle, void* buffer, DWORD size, DWORD* read) {
  if (read) *read = 0;
  if (handle == nullptr || handle->isSession || buffer == nullptr || read == nullptr) return FALSE;
  InternetObject* u = handle;
  const auto deadline = Clock::now() + bounds::Bound(std::chrono::milliseconds(kInternetReadTimeoutMs));
  if (!DriveUntil(u, deadline, [u] { return u->Buffered() > 0 || u->finished; })) return FALSE;
  if (u->Buffered() == 0) return u->result == CURLE_OK ? TRUE : FALSE;  // end of the body, or an error
  const std::size_t k = std::min<std::size_t>(size, u->Buffered());
  std::memcpy(buffer, u->data.data() + u->head, k);
  u->head += k;
  if (u->head == u->data.size()) {
    u->data.clear();
    u->head = 0;
  }
  if (u->paused && u->Buffered() < static_cast<std::size_t>(kInternetBufferLimit) / 2) {
    u->paused = false;
    curl_easy_pause(u->easy, CURLPAUSE_CONT);
  }
  *read = static_cast<DWORD>(k);
  return TRUE;
}

BOOL InternetCloseHandle(HINTERNET handle) {
  if (handle == nullptr) return FALSE;
  if (handle->isSession) {
    Lock lock(handle->liveMutex);
    if (!handle->live.empty()) {
      Diag(DiagLevel::Error, "HTTP: a session is closed before its URL handles");
      return FALSE;
    }
  } else {
    DestroyUrl(handle);
    return TRUE;
  }
  delete handle;
  return TRUE;
}

void InternetStop(HINTERNET session) {
  if (session == nullptr || !session->isSession) return;
  session->stopped = true;
  Lock lock(session->liveMutex);
  for (InternetObject* u : session->live) curl_multi_wakeup(u->multi);
}
