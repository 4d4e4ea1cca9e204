// Dialogs from the built-in templates on the offscreen platform, driven as a person would drive them;
// message boxes; the looped sound.
#include "platform/gui/dialog.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <cstring>
#include <thread>

#include "platform/gui/dialog_driver.h"
#include "platform/gui/sound.h"
#include "resources/builtin.h"
#include "tests/support/gui/bare_window.h"
#include "tests/support/temp_folder.h"

namespace {

namespace drive = dialog_driver;
using test_support::PumpUntilFn;

// The dialogs' font measured here on its own: the average letter width and the height, in pixels.
struct Units {
  int x, y;
};
Units ArialEightUnits() {
  QFont font(QStringLiteral("Arial"));
  font.setPointSize(8);
  const QFontMetrics metrics(font);
  const int letters =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(letters / 26 + 1) / 2, metrics.height()};
}
int Px(int du, int base, int per) {
  return static_cast<int>(std::lround(static_cast<double>(du) * base / per));
}

const drive::ControlView* ControlOf(const drive::DialogView& view, int id) {
  for (const auto& c : view.controls)
    if (c.id == id) return &c;
  return nullptr;
}

// The Authentication dialog's procedure as the telephone writes it: fields filled on opening, read
// into small buffers on OK.
struct PassLog {
  LPARAM initParam = 0;
  std::string user, pass;
  std::vector<int> commands;
} g_pass;

LRESULT PassProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    g_pass.initParam = lParam;
    SendDlgItemMessageA(dlg, 119, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("alice"));
    SendDlgItemMessageA(dlg, 120, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("pw"));
  } else if (message == WM_COMMAND) {
    g_pass.commands.push_back(LOWORD(wParam));
    if (LOWORD(wParam) == IDOK) {
      char user[4], pass[25];
      GetDlgItemTextA(dlg, 119, user, sizeof user);
      GetDlgItemTextA(dlg, 120, pass, sizeof pass);
      g_pass.user = user;
      g_pass.pass = pass;
      EndDialog(dlg, 1);
    } else if (LOWORD(wParam) == IDCANCEL) {
      EndDialog(dlg, 2);
    }
  }
  return FALSE;
}

TEST(Dialogs, ModalTemplateIsLaidOutInDialogUnitsBlocksItsOwnerAndEndsByOkEscapeCloseBoxOrAnotherThread) {
  const HWND owner = test_support::OpenBareWindow("DialogTestWindow");
  ASSERT_NE(owner, HWND_NONE);
  ShowWindow(owner, SW_SHOW);
  RECT ownerRect{};
  ASSERT_TRUE(GetWindowRect(owner, &ownerRect));
  const Units units = ArialEightUnits();

  // OK by Enter after typing into the password field; the view is taken while the dialog runs.
  drive::DialogView view;
  bool ownerTookInput = true;
  drive::OnDialogOpened([&](HWND dlg) {
    ASSERT_TRUE(drive::Describe(dlg, &view));
    ownerTookInput = drive::MainWindowTakesInput();
    drive::Type(dlg, 120, "x9");
    drive::Press(dlg, drive::Key::Enter);
  });
  g_pass = {};
  EXPECT_EQ(DialogBoxParamA(&kBuiltinResources, IDD_AUTHENTICATION, owner, PassProc, 42), 1);
  EXPECT_EQ(g_pass.initParam, 42);
  EXPECT_EQ(g_pass.user, "ali");  // cut to its 4-byte buffer
  EXPECT_EQ(g_pass.pass, "pwx9");
  EXPECT_EQ(g_pass.commands, std::vector<int>{IDOK});
  EXPECT_FALSE(ownerTookInput);
  EXPECT_TRUE(drive::MainWindowTakesInput());
  EXPECT_TRUE(drive::OpenDialogs().empty());

  EXPECT_TRUE(IsDialogHandle(view.handle));
  EXPECT_EQ(view.resource, IDD_AUTHENTICATION);
  EXPECT_EQ(view.caption, "Authentication");
  EXPECT_TRUE(view.modal && view.visible && view.onTop && view.hasIcon);
  EXPECT_EQ(view.baseUnitX, units.x);
  EXPECT_EQ(view.baseUnitY, units.y);
  EXPECT_EQ(view.width, Px(105, units.x, 4));
  EXPECT_EQ(view.height, Px(55, units.y, 8));
  EXPECT_EQ(view.x, ownerRect.left + Px(50, units.x, 4));  // placed from the owner's corner
  EXPECT_EQ(view.y, ownerRect.top + Px(50, units.y, 8));
  ASSERT_EQ(view.controls.size(), 6u);
  EXPECT_EQ(view.controls[0].text, "UserName:");
  const drive::ControlView* user = ControlOf(view, 119);
  const drive::ControlView* pass = ControlOf(view, 120);
  const drive::ControlView* cancel = ControlOf(view, IDCANCEL);
  ASSERT_TRUE(user && pass && cancel);
  EXPECT_EQ(std::make_tuple(user->x, user->y, user->width, user->height),
            std::make_tuple(Px(45, units.x, 4), Px(5, units.y, 8), Px(55, units.x, 4), Px(10, units.y, 8)));
  EXPECT_EQ(std::make_tuple(cancel->x, cancel->y, cancel->width, cancel->height),
            std::make_tuple(Px(55, units.x, 4), Px(35, units.y, 8), Px(45, units.x, 4), Px(14, units.y, 8)));
  EXPECT_TRUE(pass->password);
  EXPECT_FALSE(user->password);
  EXPECT_TRUE(ControlOf(view, IDOK)->isDefault);

  // Escape and the close box are Cancel.
  g_pass = {};
  drive::OnDialogOpened([](HWND dlg) { drive::Press(dlg, drive::Key::Escape); });
  EXPECT_EQ(DialogBoxParamA(&kBuiltinResources, IDD_AUTHENTICATION, owner, PassProc, 0), 2);
  drive::OnDialogOpened([](HWND dlg) { drive::CloseBox(dlg); });
  EXPECT_EQ(DialogBoxParamA(&kBuiltinResources, IDD_AUTHENTICATION, owner, PassProc, 0), 2);
  EXPECT_EQ(g_pass.commands, (std::vector<int>{IDCANCEL, IDCANCEL}));

  // While the dialog runs, other threads' calls into it are served: they set a field, read it back
  // and end the dialog.
  std::thread other;
  std::string readBack;
  drive::OnDialogOpened([&](HWND dlg) {
    other = std::thread([dlg, &readBack] {
      SetDlgItemTextA(dlg, 119, "from thread");
      char text[64];
      GetDlgItemTextA(dlg, 119, text, sizeof text);
      readBack = text;
      EndDialog(dlg, 7);
    });
  });
  EXPECT_EQ(DialogBoxParamA(&kBuiltinResources, IDD_AUTHENTICATION, owner, PassProc, 0), 7);
  other.join();
  EXPECT_EQ(readBack, "from thread");

  // A template the module does not hold is no dialog.
  drive::OnDialogOpened(nullptr);
  EXPECT_EQ(DialogBoxParamA(&kBuiltinResources, 999, owner, PassProc, 0), -1);
  EXPECT_EQ(CreateDialogParamA(nullptr, IDD_ACCEPT, owner, PassProc, 0), 0u);

  // Message boxes: text, title and icon; Escape answers OK where there is no Cancel.
  drive::OnDialogOpened([&](HWND dlg) {
    ASSERT_TRUE(drive::Describe(dlg, &view));
    drive::Press(dlg, drive::Key::Escape);
  });
  EXPECT_EQ(MessageBoxA(owner, "Add proxy config error", "Error", MB_OK | MB_ICONERROR), IDOK);
  EXPECT_EQ(view.caption, "Error");
  ASSERT_GE(view.controls.size(), 3u);
  EXPECT_EQ(view.controls[0].kind, ControlKind::Icon);
  EXPECT_EQ(ControlOf(view, 0xFFFF)->text, "Add proxy config error");
  EXPECT_EQ(ControlOf(view, IDCANCEL), nullptr);
  drive::OnDialogOpened([](HWND dlg) { drive::CloseBox(dlg); });
  EXPECT_EQ(MessageBoxA(owner, "Sure?", "Question", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
  drive::OnDialogOpened([](HWND dlg) { drive::Click(dlg, IDOK); });
  EXPECT_EQ(MessageBoxA(owner, "Sure?", "Question", MB_OKCANCEL | MB_ICONQUESTION), IDOK);
  drive::OnDialogOpened(nullptr);
  EXPECT_TRUE(drive::MainWindowTakesInput());
  test_support::CloseBareWindow(owner);
}

// The Accept and Terminate dialogs as the telephone uses them: modeless, one opening the other.
HWND g_terminate = 0;
std::vector<int> g_terminateCommands;

LRESULT TerminateProc(HWND dlg, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) SetWindowTextA(dlg, "door");
  if (message == WM_COMMAND) {
    g_terminateCommands.push_back(LOWORD(wParam));
    if (LOWORD(wParam) == IDOK) EndDialog(dlg, 1);  // the close box and Escape do nothing
  }
  return FALSE;
}

LRESULT AcceptProc(HWND dlg, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) SetWindowTextA(dlg, "door");
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    g_terminate = CreateDialogParamA(&kBuiltinResources, IDD_TERMINATE, 0, TerminateProc, 0);
    EndDialog(dlg, 1);
  } else if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(dlg, 2);
  }
  return FALSE;
}

TEST(Dialogs, ModelessDialogsOpenVisibleLiveUntilEndedAndForgetTheirHandles) {
  test_support::EnsurePlatform();
  const HWND accept = CreateDialogParamA(&kBuiltinResources, IDD_ACCEPT, 0, AcceptProc, 0);
  ASSERT_NE(accept, 0u);
  EXPECT_TRUE(IsDialogHandle(accept));
  EXPECT_FALSE(IsDialogHandle(static_cast<HWND>(getpid())));
  drive::DialogView view;
  ASSERT_TRUE(drive::Describe(accept, &view));
  EXPECT_TRUE(view.visible);  // created visible
  EXPECT_FALSE(view.modal);
  EXPECT_EQ(view.caption, "door");
  EXPECT_EQ(drive::ControlText(accept, -1), "Accept call?");
  EXPECT_EQ(drive::ControlText(accept, IDOK), "OK");
  EXPECT_EQ(drive::ControlText(accept, IDCANCEL), "Cancel");
  EXPECT_EQ(drive::FindDialog(IDD_ACCEPT), accept);

  // Enter takes the call: Accept ends and Terminate opens in its place.
  g_terminateCommands.clear();
  ASSERT_TRUE(drive::Press(accept, drive::Key::Enter));
  EXPECT_FALSE(IsDialogOpen(accept));
  EXPECT_FALSE(EndDialog(accept, 1));
  EXPECT_FALSE(SetDlgItemTextA(accept, IDOK, "x"));
  char text[8] = "stale";
  EXPECT_EQ(GetDlgItemTextA(accept, IDOK, text, sizeof text), 0u);
  EXPECT_STREQ(text, "");
  ASSERT_NE(g_terminate, 0u);
  EXPECT_NE(g_terminate, accept);
  EXPECT_EQ(drive::OpenDialogs(), std::vector<HWND>{g_terminate});
  EXPECT_EQ(drive::ControlText(g_terminate, -1), "Terminate call?");

  // The close box and Escape reach the procedure as Cancel, which leaves Terminate open.
  drive::CloseBox(g_terminate);
  drive::Press(g_terminate, drive::Key::Escape);
  EXPECT_TRUE(IsDialogOpen(g_terminate));
  ASSERT_TRUE(drive::Click(g_terminate, IDOK));
  EXPECT_EQ(g_terminateCommands, (std::vector<int>{IDCANCEL, IDCANCEL, IDOK}));
  EXPECT_TRUE(drive::OpenDialogs().empty());

  // Refusing: the close box ends Accept through its procedure; another thread may end a dialog too.
  const HWND second = CreateDialogParamA(&kBuiltinResources, IDD_ACCEPT, 0, AcceptProc, 0);
  ASSERT_NE(second, 0u);
  EXPECT_NE(second, accept);
  drive::CloseBox(second);
  EXPECT_FALSE(IsDialogOpen(second));
  const HWND third = CreateDialogParamA(&kBuiltinResources, IDD_TERMINATE, 0, TerminateProc, 0);
  BOOL ended = FALSE;
  std::thread ender([&] { ended = EndDialog(third, 0); });
  EXPECT_TRUE(PumpUntilFn([&] { return !IsDialogOpen(third); }, 5000));
  ender.join();
  EXPECT_TRUE(ended);
  EXPECT_TRUE(drive::OpenDialogs().empty());
}

// The settings dialog's controls: check boxes, drop-down lists, edit styles, enabling.
struct SettingsLog {
  std::vector<std::pair<int, int>> commands;  // id, notification
  LRESULT added[2] = {-5, -5};
} g_settings;

LRESULT SettingsProc(HWND dlg, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    SendDlgItemMessageA(dlg, 115, BM_SETCHECK, BST_CHECKED, 0);
    g_settings.added[0] =
        SendDlgItemMessageA(dlg, 107, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("WINSND: one"));
    g_settings.added[1] =
        SendDlgItemMessageA(dlg, 107, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("WINSND: two"));
    SendDlgItemMessageA(dlg, 107, CB_SETCURSEL, 1, 0);
    SendDlgItemMessageA(dlg, 107, CB_SETDROPPEDWIDTH, 200, 0);
    SendDlgItemMessageA(dlg, 113, EM_SETREADONLY, TRUE, 0);
    SetDlgItemTextA(dlg, 113, "sip.example");
    SetDlgItemTextA(dlg, 114, "3600");
  } else if (message == WM_COMMAND) {
    g_settings.commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
  }
  return FALSE;
}

TEST(Dialogs, SettingsTemplateControlsAnswerTheirMessagesAndTellTheUsersChoices) {
  test_support::EnsurePlatform();
  g_settings = {};
  const HWND dlg = CreateDialogParamA(&kBuiltinResources, IDD_SETTINGS, 0, SettingsProc, 0);
  ASSERT_NE(dlg, 0u);
  drive::DialogView view;
  ASSERT_TRUE(drive::Describe(dlg, &view));
  EXPECT_FALSE(view.visible);  // not visible at creation: shown by whoever opens it
  EXPECT_EQ(view.caption, "Kestrova version 1.39");
  EXPECT_EQ(view.controls.size(), 27u);
  EXPECT_EQ(g_settings.added[0], 0);
  EXPECT_EQ(g_settings.added[1], 1);
  EXPECT_EQ(SendDlgItemMessageA(dlg, 107, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendDlgItemMessageA(dlg, 108, CB_GETCURSEL, 0, 0), CB_ERR);  // an empty list
  EXPECT_EQ(SendDlgItemMessageA(dlg, 107, CB_SETCURSEL, 5, 0), CB_ERR);
  EXPECT_EQ(SendDlgItemMessageA(dlg, 107, CB_SETCURSEL, 1, 0), 1);
  char entry[32];
  ASSERT_EQ(SendDlgItemMessageA(dlg, 107, CB_GETLBTEXTLEN, 0, 0), 11);
  EXPECT_EQ(SendDlgItemMessageA(dlg, 107, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(entry)), 11);
  EXPECT_STREQ(entry, "WINSND: one");
  EXPECT_EQ(SendDlgItemMessageA(dlg, 115, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
  EXPECT_TRUE(g_settings.commands.empty());  // nothing the program set is announced

  // The user: types into the digits-only and the read-only field, unticks the box, picks a device.
  drive::Type(dlg, 114, "5x7");
  drive::Type(dlg, 113, "typed");
  drive::Click(dlg, 115);
  drive::Choose(dlg, 107, 0);
  char field[32];
  GetDlgItemTextA(dlg, 114, field, sizeof field);
  EXPECT_STREQ(field, "360057");
  GetDlgItemTextA(dlg, 113, field, sizeof field);
  EXPECT_STREQ(field, "sip.example");
  EXPECT_EQ(SendDlgItemMessageA(dlg, 115, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
  EXPECT_EQ(SendDlgItemMessageA(dlg, 107, CB_GETCURSEL, 0, 0), 0);
  GetDlgItemTextA(dlg, 107, field, sizeof field);
  EXPECT_STREQ(field, "WINSND: one");
  const std::vector<std::pair<int, int>> told{{115, BN_CLICKED}, {107, CBN_SELCHANGE}};
  EXPECT_EQ(g_settings.commands, told);

  // Writable again; a disabled button takes no click.
  SendDlgItemMessageA(dlg, 113, EM_SETREADONLY, FALSE, 0);
  drive::Type(dlg, 113, "!");
  GetDlgItemTextA(dlg, 113, field, sizeof field);
  EXPECT_STREQ(field, "sip.example!");
  EXPECT_FALSE(EnableDlgItem(dlg, 110, FALSE));
  drive::Click(dlg, 110);
  EXPECT_EQ(g_settings.commands, told);
  EXPECT_TRUE(EnableDlgItem(dlg, 110, TRUE));
  drive::Click(dlg, 110);
  EXPECT_EQ(g_settings.commands.back(), std::make_pair(110, static_cast<int>(BN_CLICKED)));
  EXPECT_TRUE(EndDialog(dlg, 2));
}

TEST(Sound, LoopedWavesStartFromResourceOrFileStopFromAnyThreadAndNeedNoDevice) {
  test_support::EnsurePlatform();
  test_support::TempFolder folder;
  const ResourceEntry* ring = FindResource(&kBuiltinResources, IDW_RING);
  ASSERT_NE(ring, nullptr);
  const std::string ringFile = folder / "ring.wav";
  ASSERT_TRUE(
      test_support::WriteFile(ringFile, std::string(reinterpret_cast<const char*>(ring->data), ring->size)));
  ASSERT_TRUE(test_support::WriteFile(folder / "noise.wav", "RIFX....WAVEnot a wave"));

  const DWORD looped = SND_ASYNC | SND_LOOP;
  ASSERT_TRUE(PlaySoundA(MAKEINTRESOURCE(IDW_RING), &kBuiltinResources, SND_RESOURCE | looped));
  SoundState state = CurrentSound();
  EXPECT_TRUE(state.playing && state.looped);
  EXPECT_EQ(state.source, "resource 103");
  EXPECT_TRUE(PumpUntilFn([] { return CurrentSound().handled == CurrentSound().requests; }, 5000));

  // What cannot be played is refused and leaves the ring as it was.
  EXPECT_FALSE(PlaySoundA(MAKEINTRESOURCE(77), &kBuiltinResources, SND_RESOURCE | looped));
  EXPECT_FALSE(PlaySoundA((folder / "missing.wav").c_str(), nullptr, SND_FILENAME | looped));
  EXPECT_FALSE(PlaySoundA((folder / "noise.wav").c_str(), nullptr, SND_FILENAME | looped));
  EXPECT_EQ(CurrentSound().source, "resource 103");

  ASSERT_TRUE(PlaySoundA(ringFile.c_str(), nullptr, SND_FILENAME | looped));
  EXPECT_EQ(CurrentSound().source, ringFile);
  BOOL stopped = FALSE;
  std::thread other([&] { stopped = PlaySoundA(nullptr, nullptr, 0); });
  other.join();
  EXPECT_TRUE(stopped);
  EXPECT_FALSE(CurrentSound().playing);
  EXPECT_TRUE(PumpUntilFn([] { return CurrentSound().handled == CurrentSound().requests; }, 5000));
}

}  // namespace
