// The application object, the message loop, close signals, beep and message boxes.
#include "platform/gui/application.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>

#include "platform/core/diagnostics.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/window.h"

namespace {

int g_signalPipe[2] = {-1, -1};

void OnCloseSignal(int) {
  const char byte = 1;
  ssize_t ignored = write(g_signalPipe[1], &byte, 1);
  (void)ignored;
}

}  // namespace

void InitPlatform(int& argc, char** argv) {
  if (QApplication::instance() != nullptr) return;
  // The window places itself and is found by its X11 class: on Wayland desktops it runs through XWayland.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") != nullptr)
    setenv("QT_QPA_PLATFORM", "xcb", 1);
  // The window is closed by the program itself (WM_CLOSE); the last hidden window must not end it.
  static QApplication* app = new QApplication(argc, argv);
  app->setQuitOnLastWindowClosed(false);
  StartGuiQueue();
}

int RunMessageLoop() { return QApplication::exec(); }

void PostQuitMessage(int exitCode) {
  // exit() ends the running loop; queued so that it also works before the loop has started.
  QueueOnGuiThread([exitCode] { QCoreApplication::exit(exitCode); });
}

void RouteCloseSignalsTo(HWND hwnd) {
  if (g_signalPipe[0] >= 0) return;
  if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    Diag(DiagLevel::Warning, "cannot route close signals: pipe failed");
    return;
  }
  auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, qApp, [hwnd] {
    char buffer[16];
    while (read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
    }
    SendMessage(hwnd, WM_CLOSE, 0, 0);
  });
  struct sigaction action = {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

void Beep(DWORD frequency, DWORD milliseconds) {
  Diag(DiagLevel::Error, "beep (%u Hz, %u ms)", frequency, milliseconds);
  QApplication::beep();
}

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  return MessageBoxA(owner, text, caption, type);
}
