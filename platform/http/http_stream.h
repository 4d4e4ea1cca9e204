// HTTP for the door unit: a session, a GET whose body is read block by block, and a stop from any thread.
#pragma once

#include <stop_token>

#include "platform/core/types.h"

struct InternetObject;
using HINTERNET = InternetObject*;

// Accepted for the program's sake; nothing is ever cached here.
constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;

// Bytes of body that arrive without a read; the stream is held back beyond this.
constexpr int kInternetBufferLimit = 256 * 1024;
// Time to wait for the response headers after sending a request.
constexpr int kInternetOpenTimeoutMs = 10000;
// Time without a single body byte after which a read fails: a unit that stops sending.
constexpr int kInternetReadTimeoutMs = 10000;

// A session sending `agent` as User-Agent; proxies come from the environment (http_proxy,
// HTTPS_PROXY, no_proxy) like for every program here. Null on failure.
HINTERNET InternetOpen(const char* agent);
// Sends a GET of url (http or https only) and waits for the response headers, whatever the status.
// Null when no response came within timeoutMs (refused, unreachable, silent) or the session is stopped.
// The connection must be made within connectTimeoutMs (0: within timeoutMs).
HINTERNET InternetOpenUrl(HINTERNET session, const char* url, DWORD flags,
                          int timeoutMs = kInternetOpenTimeoutMs, int connectTimeoutMs = 0);
// Blocks until body bytes are there and copies up to `size` of them (as many as have arrived).
// TRUE with *read = 0 at the end of the body; FALSE on a transfer error, after kInternetReadTimeoutMs
// without a byte, or once the session is stopped.
BOOL InternetReadFile(HINTERNET handle, void* buffer, DWORD size, DWORD* read);
// The status of the response a URL handle got (200, 404, ...); 0 for a null handle.
int HttpStatusCode(HINTERNET handle);
// Closes a URL handle, or a session whose URL handles are closed. Null is ignored.
BOOL InternetCloseHandle(HINTERNET handle);
// Any thread, any time while the session is open: opens and reads on it, blocked or later, fail at once.
void InternetStop(HINTERNET session);
// One GET of url with its own session: TRUE when a response arrived within timeoutMs (the connection
// made within connectTimeoutMs, 0: within timeoutMs), whatever its status, which goes to *status when
// given (0 without a response); the body is not read. A stop request ends the wait at once, with FALSE.
BOOL HttpRequestOnce(const char* agent, const char* url, int timeoutMs, int connectTimeoutMs = 0,
                     std::stop_token stop = {}, int* status = nullptr);
