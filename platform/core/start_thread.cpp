// Starting a thread where the system may refuse one. Alone in its file: tests replace it at link time.
#include "platform/core/start_thread.h"

#include <system_error>

#include "platform/core/diagnostics.h"

std::jthread StartThread(std::function<void(std::stop_token)> body) {
  try {
    return std::jthread(std::move(body));
  } catch (const std::system_error& e) {
    Diag(DiagLevel::Warning, "a thread could not be started: %s", e.what());
    return std::jthread();
  }
}
