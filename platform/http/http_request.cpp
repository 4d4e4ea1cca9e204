// The one-shot HTTP request: a GET whose answer only has to arrive.
#include <functional>

#include "platform/http/http_stream.h"

BOOL HttpRequestOnce(const char* agent, const char* url, int timeoutMs, int connectTimeoutMs,
                     std::stop_token stop, int* status) {
  if (status != nullptr) *status = 0;
  HINTERNET session = InternetOpen(agent);
  if (session == nullptr) return FALSE;
  BOOL answered = FALSE;
  {
    // Registered before the request: a stop that came earlier already ends it.
    std::stop_callback<std::function<void()>> onStop(stop, [session] { InternetStop(session); });
    HINTERNET handle = InternetOpenUrl(session, url, 0, timeoutMs, connectTimeoutMs);
    answered = handle != nullptr ? TRUE : FALSE;
    if (status != nullptr) *status = HttpStatusCode(handle);
    InternetCloseHandle(handle);
  }
  InternetCloseHandle(session);
  return answered;
}
