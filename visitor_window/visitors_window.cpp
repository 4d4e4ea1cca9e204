// The Visitors window's dialog procedure: the rows of the shared log, the chosen row's pictures, deleting,
// and the log's folder in the desktop's file manager.
#include "visitor_window/visitors_window.h"

#include <string>
#include <thread>
#include <vector>

#include "platform/core/annotated_mutex.h"
#include "platform/core/child_process.h"
#include "platform/core/diagnostics.h"
#include "platform/core/start_thread.h"
#include "platform/core/window_thread.h"
#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "visitor_window/visit_text.h"
#include "visitors/shared_log.h"

namespace {

constexpr int kList = 201;
constexpr int kFirstPicture = 202;
constexpr int kSecondPicture = 203;
constexpr int kStatus = 204;
constexpr int kDelete = 205;
constexpr int kDeleteAll = 206;
constexpr int kOpenFolder = 207;
// The newest visits only: a log kept for 90 days can hold thousands, and a list of them all would take
// the window thread seconds to fill.
constexpr int kPage = 200;

HWND g_window GUARDED_BY(WindowThread) = 0;
std::vector<visitors::VisitRow> g_rows GUARDED_BY(WindowThread);
ChildProgram g_fileManager GUARDED_BY(WindowThread);
// Deleting every visit removes a file per picture: off the window thread. Its destructor at the end of the
// program asks it to stop (it then tells no copy) and waits for the one transaction under way.
std::jthread g_deleteAll GUARDED_BY(WindowThread);

// Every copy reads the log again and updates its mark, this one included.
void TellCopiesTheLogChanged() { PostMessage(HWND_BROADCAST, MESSAGE, kCodeVisitsChanged, 0); }

// A window opened before the log (a copy started with --visitors opens it on its writer) marks the
// missed visits seen once the log is there.
bool g_seenPending GUARDED_BY(WindowThread) = false;

// Seen means the person has had the window in front of them. False while the log is off.
bool MarkSeen() REQUIRES(WindowThread) {
  const std::shared_ptr<visitors::VisitorLog> log = visitors::SharedLog();
  if (log == nullptr) return false;
  if (log->UnseenMissedCount() > 0 && log->MarkMissedSeen()) TellCopiesTheLogChanged();
  return true;
}

int Chosen() REQUIRES(WindowThread) {
  const auto index = static_cast<int>(SendDlgItemMessageA(g_window, kList, LVM_GETSELECTIONMARK, 0, 0));
  return index >= 0 && index < static_cast<int>(g_rows.size()) ? index : -1;
}

void ShowPictures(int index) REQUIRES(WindowThread) {
  const int pictures[] = {kFirstPicture, kSecondPicture};
  const visitors::VisitRow* row = index >= 0 ? &g_rows[static_cast<std::size_t>(index)] : nullptr;
  for (std::size_t i = 0; i < 2; ++i) {
    const bool has = row != nullptr && i < row->pictures.size();
    SendDlgItemMessageA(g_window, pictures[i], STM_SETIMAGE, 0,
                        reinterpret_cast<LPARAM>(has ? row->pictures[i].c_str() : ""));
  }
  const char* status = "";
  if (row != nullptr && row->picturesMissing)
    status = "This visit's pictures are missing.";
  else if (row != nullptr && row->pictures.empty())
    status = "No pictures of this visit.";
  else if (g_rows.size() == static_cast<std::size_t>(kPage))
    status = "The newest 200 visits.";
  SetDlgItemTextA(g_window, kStatus, status);
}

void Load() REQUIRES(WindowThread) {
  const std::shared_ptr<visitors::VisitorLog> log = visitors::SharedLog();
  // The row chosen before stays chosen when it is still there.
  const int before = Chosen();
  const long long chosenId = before >= 0 ? g_rows[static_cast<std::size_t>(before)].id : 0;
  SendDlgItemMessageA(g_window, kList, LVM_DELETEALLITEMS, 0, 0);
  g_rows = log != nullptr ? log->Newest(0, kPage) : std::vector<visitors::VisitRow>();
  for (int id : {kDelete, kDeleteAll, kOpenFolder}) EnableDlgItem(g_window, id, log != nullptr);
  if (log == nullptr) {
    ShowPictures(-1);
    SetDlgItemTextA(g_window, kStatus, "The visitor log is off.");
    return;
  }
  int chosen = g_rows.empty() ? -1 : 0;
  for (std::size_t i = 0; i < g_rows.size(); ++i) {
    const visitors::VisitRow& row = g_rows[i];
    const std::string text = visitor_window::RowText(row);
    const PictureListRow item{text.c_str(), row.pictures.empty() ? "" : row.pictures.front().c_str(),
                              row.visit.outcome == visitors::Outcome::Missed ? TRUE : FALSE};
    SendDlgItemMessageA(g_window, kList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    if (row.id == chosenId) chosen = static_cast<int>(i);
  }
  SendDlgItemMessageA(g_window, kList, LVM_SETSELECTIONMARK, 0, chosen);
  ShowPictures(chosen);
  if (g_rows.empty()) SetDlgItemTextA(g_window, kStatus, "No visits.");
}

void DeleteChosen() REQUIRES(WindowThread) {
  const int index = Chosen();
  const std::shared_ptr<visitors::VisitorLog> log = visitors::SharedLog();
  if (index < 0 || log == nullptr) return;
  if (!log->Delete(g_rows[static_cast<std::size_t>(index)].id))
    MessageBoxA(g_window, "The visit could not be deleted.", "Visitors", MB_OK | MB_ICONERROR);
  TellCopiesTheLogChanged();
}

void DeleteAll() REQUIRES(WindowThread) {
  const std::shared_ptr<visitors::VisitorLog> log = visitors::SharedLog();
  if (log == nullptr) return;
  if (MessageBoxA(g_window, "Delete every visit and its pictures?", "Delete all visits", MB_YESNO | MB_ICONQUESTION) !=
      IDYES)
    return;
  if (g_deleteAll.joinable()) g_deleteAll.join();  // an earlier one, done or nearly: the log is serialised
  g_deleteAll = StartThread([log](std::stop_token stop) {
    if (!log->DeleteAll()) Diag(DiagLevel::Error, "the visitor log's visits could not be deleted");
    if (!stop.stop_requested()) TellCopiesTheLogChanged();
  });
  if (g_deleteAll.joinable()) return;
  // No thread to be had: the person waits rather than the visits stay.
  if (!log->DeleteAll())
    MessageBoxA(g_window, "The visits could not be deleted.", "Visitors", MB_OK | MB_ICONERROR);
  TellCopiesTheLogChanged();
}

void OpenFolder() REQUIRES(WindowThread) {
  const std::shared_ptr<visitors::VisitorLog> log = visitors::SharedLog();
  if (log == nullptr) return;
  // The one started before has handed the folder to the file manager by now: it is only reaped.
  EndProgram(&g_fileManager);
  if (const int error = StartProgram("xdg-open", {log->root()}, &g_fileManager); error != 0) {
    Diag(DiagLevel::Warning, "xdg-open could not be started (error %d)", error);
    MessageBoxA(g_window, "The file manager could not be started (xdg-open).", "Visitors",
                MB_OK | MB_ICONEXCLAMATION);
  }
}

LRESULT VisitorsProc(HWND hwndDlg, UINT message, WPARAM wParam, LPARAM) {
  AssertWindowThread();
  if (message == WM_INITDIALOG) {
    g_window = hwndDlg;
    Load();
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case kList:
      if (HIWORD(wParam) == LBN_SELCHANGE) ShowPictures(Chosen());
      break;
    case kDelete: DeleteChosen(); break;
    case kDeleteAll: DeleteAll(); break;
    case kOpenFolder: OpenFolder(); break;
    case IDOK:
    case IDCANCEL:
      EndDialog(hwndDlg, IDCANCEL);
      if (g_window == hwndDlg) {
        g_window = 0;
        g_rows.clear();
      }
      break;
    default: break;
  }
  return TRUE;
}

}  // namespace

void OpenVisitorsWindow() {
  AssertWindowThread();
  if (g_window != 0 && IsDialogOpen(g_window))
    SetForegroundWindow(g_window);
  else
    g_window = CreateDialogParamA(g_hInstance, kVisitorsDialog, g_hwndMain, VisitorsProc, 0);
  if (g_window == 0) return;
  g_seenPending = !MarkSeen();
}

void RefreshVisitorsWindow() {
  AssertWindowThread();
  if (g_window == 0 || !IsDialogOpen(g_window)) return;
  if (g_seenPending) g_seenPending = !MarkSeen();
  Load();
}
