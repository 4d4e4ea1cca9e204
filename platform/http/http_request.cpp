// The one-shot HTTP request: a GET whose answer only has to arrive.
#include "platform/http/http_stream.h"

BOOL HttpRequestOnce(const char* agent, const char* url, int timeoutMs) {
  HINTERNET session = InternetOpen(agent);
  if (session == nullptr) return FALSE;
  HINTERNET handle = InternetOpenUrl(session, url, 0, timeoutMs);
  const BOOL answered = handle != nullptr ? TRUE : FALSE;
  InternetCloseHandle(handle);
  InternetCloseHandle(session);
  return answered;
}
