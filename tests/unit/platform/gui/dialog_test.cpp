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
using Place = std::tuple<int, int, int, int>;

// Dialog units (x, y, width, height) in pixels of the dialogs' font, measured here on its own.
Place Px(int x, int y, int width, int height) {
  QFont font(QStringLiteral("Arial"));
  font.setPointSize(8);
  const QFontMetrics metrics(font);
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int ux = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
  auto px = [](int du, int base, int per) { return static_cast<int>(std::lround(double(du) * base / per)); };
  return {px(x, ux, 4), px(y, metrics.height(), 8), px(width, ux, 4), px(height, metrics.height(), 8)};
}

const drive::ControlView* ControlOf(const drive::DialogView& view, int id) {
  for (const auto& c : view.controls)
    if (c.id == id) return &c;
  return nullptr;
}
Place PlaceOf(const drive::ControlView* c) { return {c->x, c->y, c->width, c->height}; }
std::string TextOf(HWND dlg, int id) {
  char text[32];
  GetDlgItemTextA(dlg, id, text, sizeof text);
  return text;
}
void Escape(HWND dlg) { drive::Press(dlg, drive::Key::Escape); }
void CloseBox(HWND dlg) { drive::CloseBox(dlg); }

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
  }
  if (message != WM_COMMAND) return FALSE;
  g_pass.commands.push_back(LOWORD(wParam));
  if (LOWORD(wParam) == IDCANCEL) EndDialog(dlg, 2);
  if (LOWORD(wParam) != IDOK) return FALSE;
  char user[4], pass[25];
  GetDlgItemTextA(dlg, 119, user, sizeof user);
  GetDlgItemTextA(dlg, 120, pass, sizeof pass);
  g_pass.user = user;
  g_pass.pass = pass;
  EndDialog(dlg, 1);
  return FALSE;
}

TEST(Dialogs, ModalTemplateIsLaidOutInDialogUnitsBlocksItsOwnerAndEndsByOkEscapeCloseBoxOrAnotherThread) {
  const HWND owner = test_support::OpenBareWindow("DialogTestWindow");
  ASSERT_NE(owner, HWND_NONE);
  ShowWindow(owner, SW_SHOW);
  RECT ownerRect{};
  ASSERT_TRUE(GetWindowRect(owner, &ownerRect));
  auto modal = [&](std::function<void(HWND)> user, int resource = IDD_AUTHENTICATION, LPARAM param = 0) {
    drive::OnDialogOpened(std::move(user));
    return DialogBoxParamA(&kBuiltinResources, resource, owner, PassProc, param);
  };

  // OK by Enter after typing into the password field; the view is taken while the dialog runs.
  drive::DialogView view;
  bool ownerTookInput = true;
  g_pass = {};
  auto okByEnter = [&](HWND dlg) {
    ASSERT_TRUE(drive::Describe(dlg, &view));
    ownerTookInput = drive::MainWindowTakesInput();
    drive::Type(dlg, 120, "x9");
    drive::Press(dlg, drive::Key::Enter);
  };
  EXPECT_EQ(modal(okByEnter, IDD_AUTHENTICATION, 42), 1);
  EXPECT_EQ(g_pass.initParam, 42);
  EXPECT_EQ(g_pass.user + "|" + g_pass.pass, "ali|pwx9");  // the user name cut to its 4-byte buffer
  EXPECT_EQ(g_pass.commands, std::vector<int>{IDOK});
  EXPECT_TRUE(!ownerTookInput && drive::MainWindowTakesInput() && drive::OpenDialogs().empty());

  EXPECT_TRUE(IsDialogHandle(view.handle));
  EXPECT_EQ(std::make_pair(view.resource, view.caption),
            std::make_pair(int{IDD_AUTHENTICATION}, std::string("Authentication")));
  EXPECT_TRUE(view.modal && view.visible && view.onTop && view.hasIcon);
  EXPECT_EQ(Place(view.baseUnitX, view.baseUnitY, 0, 0), Px(4, 8, 0, 0));
  const auto [dx, dy, width, height] = Px(50, 50, 105, 55);  // placed from the owner's corner
  EXPECT_EQ(Place(view.x, view.y, view.width, view.height),
            Place(ownerRect.left + dx, ownerRect.top + dy, width, height));
  ASSERT_EQ(view.controls.size(), 6u);
  EXPECT_EQ(view.controls[0].text, "UserName:");
  const drive::ControlView *user = ControlOf(view, 119), *pass = ControlOf(view, 120);
  ASSERT_TRUE(user && pass && ControlOf(view, IDCANCEL));
  EXPECT_EQ(PlaceOf(user), Px(45, 5, 55, 10));
  EXPECT_EQ(PlaceOf(ControlOf(view, IDCANCEL)), Px(55, 35, 45, 14));
  EXPECT_TRUE(pass->password && !user->password && ControlOf(view, IDOK)->isDefault);

  // Escape and the close box are Cancel.
  g_pass = {};
  EXPECT_EQ(modal(Escape), 2);
  EXPECT_EQ(modal(CloseBox), 2);
  EXPECT_EQ(g_pass.commands, (std::vector<int>{IDCANCEL, IDCANCEL}));

  // While the dialog runs, other threads' calls into it are served: they set a field, read it back
  // and end the dialog.
  std::thread other;
  std::string readBack;
  EXPECT_EQ(modal([&](HWND dlg) {
              other = std::thread([dlg, &readBack] {
                SetDlgItemTextA(dlg, 119, "from thread");
                readBack = TextOf(dlg, 119);
                EndDialog(dlg, 7);
              });
            }),
            7);
  other.join();
  EXPECT_EQ(readBack, "from thread");

  // A template the module does not hold is no dialog.
  EXPECT_EQ(modal(nullptr, 999), -1);
  EXPECT_EQ(CreateDialogParamA(nullptr, IDD_ACCEPT, owner, PassProc, 0), 0u);

  // Message boxes: text, title and icon; Escape answers OK where there is no Cancel.
  drive::OnDialogOpened([&](HWND dlg) {
    ASSERT_TRUE(drive::Describe(dlg, &view));
    Escape(dlg);
  });
  EXPECT_EQ(MessageBoxA(owner, "Add proxy config error", "Error", MB_OK | MB_ICONERROR), IDOK);
  ASSERT_GE(view.controls.size(), 3u);
  EXPECT_TRUE(view.caption == "Error" && view.controls[0].kind == ControlKind::Icon) << view.caption;
  EXPECT_EQ(ControlOf(view, 0xFFFF)->text, "Add proxy config error");
  EXPECT_EQ(ControlOf(view, IDCANCEL), nullptr);
  const std::pair<void (*)(HWND), int> answers[] = {{CloseBox, IDCANCEL},
                                                    {[](HWND dlg) { drive::Click(dlg, IDOK); }, IDOK}};
  for (const auto& [act, answer] : answers) {
    drive::OnDialogOpened(act);
    EXPECT_EQ(MessageBoxA(owner, "Sure?", "Question", MB_OKCANCEL | MB_ICONQUESTION), answer);
  }
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
  if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)) return FALSE;
  if (LOWORD(wParam) == IDOK)
    g_terminate = CreateDialogParamA(&kBuiltinResources, IDD_TERMINATE, 0, TerminateProc, 0);
  EndDialog(dlg, LOWORD(wParam) == IDOK ? 1 : 2);
  return FALSE;
}

TEST(Dialogs, ModelessDialogsOpenVisibleLiveUntilEndedAndForgetTheirHandles) {
  test_support::EnsurePlatform();
  const HWND accept = CreateDialogParamA(&kBuiltinResources, IDD_ACCEPT, 0, AcceptProc, 0);
  ASSERT_TRUE(accept != 0u && IsDialogHandle(accept));
  EXPECT_FALSE(IsDialogHandle(static_cast<HWND>(getpid())));
  drive::DialogView view;
  ASSERT_TRUE(drive::Describe(accept, &view));
  EXPECT_TRUE(view.visible && !view.modal && view.caption == "door") << view.caption;  // created visible
  EXPECT_EQ(std::make_tuple(drive::ControlText(accept, -1), drive::ControlText(accept, IDOK),
                            drive::ControlText(accept, IDCANCEL)),
            std::make_tuple("Accept call?", "OK", "Cancel"));
  EXPECT_EQ(drive::FindDialog(IDD_ACCEPT), accept);

  // Enter takes the call: Accept ends and Terminate opens in its place; the ended handle is dead.
  g_terminateCommands.clear();
  ASSERT_TRUE(drive::Press(accept, drive::Key::Enter));
  EXPECT_FALSE(IsDialogOpen(accept) || EndDialog(accept, 1) || SetDlgItemTextA(accept, IDOK, "x"));
  char text[8] = "stale";
  EXPECT_EQ(GetDlgItemTextA(accept, IDOK, text, sizeof text), 0u);
  EXPECT_STREQ(text, "");
  ASSERT_TRUE(g_terminate != 0u && g_terminate != accept);
  EXPECT_EQ(drive::OpenDialogs(), std::vector<HWND>{g_terminate});
  EXPECT_EQ(drive::ControlText(g_terminate, -1), "Terminate call?");

  // The close box and Escape reach the procedure as Cancel, which leaves Terminate open.
  CloseBox(g_terminate);
  Escape(g_terminate);
  ASSERT_TRUE(IsDialogOpen(g_terminate) && drive::Click(g_terminate, IDOK));
  EXPECT_EQ(g_terminateCommands, (std::vector<int>{IDCANCEL, IDCANCEL, IDOK}));
  EXPECT_TRUE(drive::OpenDialogs().empty());

  // Refusing: the close box ends Accept through its procedure; another thread may end a dialog too.
  const HWND second = CreateDialogParamA(&kBuiltinResources, IDD_ACCEPT, 0, AcceptProc, 0);
  ASSERT_TRUE(second != 0u && second != accept);
  drive::DialogView secondView;  // the one program icon: one made per dialog stayed in the toolkit's cache
  EXPECT_TRUE(drive::Describe(second, &secondView) && secondView.iconKey == view.iconKey);
  CloseBox(second);
  EXPECT_FALSE(IsDialogOpen(second));
  const HWND third = CreateDialogParamA(&kBuiltinResources, IDD_TERMINATE, 0, TerminateProc, 0);
  BOOL ended = FALSE;
  std::thread ender([&] { ended = EndDialog(third, 0); });
  EXPECT_TRUE(PumpUntilFn([&] { return !IsDialogOpen(third); }, 5000));
  ender.join();
  EXPECT_TRUE(ended && drive::OpenDialogs().empty());
}

// The settings dialog's controls: check boxes, drop-down lists, edit styles, enabling.
struct SettingsLog {
  std::vector<std::pair<int, int>> commands;  // id, notification
  LRESULT added[2] = {-5, -5};
} g_settings;

LRESULT SettingsProc(HWND dlg, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    SendDlgItemMessageA(dlg, 115, BM_SETCHECK, BST_CHECKED, 0);
    for (int i : {0, 1})
      g_settings.added[i] = SendDlgItemMessageA(dlg, 107, CB_ADDSTRING, 0,
                                                reinterpret_cast<LPARAM>(i ? "WINSND: two" : "WINSND: one"));
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
  auto send = [dlg](int id, UINT message, WPARAM w = 0, LPARAM l = 0) {
    return SendDlgItemMessageA(dlg, id, message, w, l);
  };
  drive::DialogView view;
  ASSERT_TRUE(drive::Describe(dlg, &view));
  EXPECT_FALSE(view.visible);  // not visible at creation: shown by whoever opens it
  EXPECT_EQ(view.caption + " / " + std::to_string(view.controls.size()), "Kestrova version 1.39 / 27");
  EXPECT_EQ(std::make_pair(g_settings.added[0], g_settings.added[1]), std::make_pair(LRESULT{0}, LRESULT{1}));
  // The chosen entry; an empty list has none; a choice past the end is refused.
  // (A braced list, as the calls' order matters.)
  EXPECT_EQ((std::vector<LRESULT>{send(107, CB_GETCURSEL), send(108, CB_GETCURSEL),
                                  send(107, CB_SETCURSEL, 5), send(107, CB_SETCURSEL, 1)}),
            (std::vector<LRESULT>{1, CB_ERR, CB_ERR, 1}));
  char entry[32];
  ASSERT_EQ(send(107, CB_GETLBTEXTLEN), 11);
  EXPECT_EQ(send(107, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(entry)), 11);
  EXPECT_STREQ(entry, "WINSND: one");
  EXPECT_EQ(send(115, BM_GETCHECK), static_cast<LRESULT>(BST_CHECKED));
  EXPECT_TRUE(g_settings.commands.empty());  // nothing the program set is announced

  // The user: types into the digits-only and the read-only field, unticks the box, picks a device.
  drive::Type(dlg, 114, "5x7");
  drive::Type(dlg, 113, "typed");
  drive::Click(dlg, 115);
  drive::Choose(dlg, 107, 0);
  EXPECT_EQ(TextOf(dlg, 114) + "|" + TextOf(dlg, 113) + "|" + TextOf(dlg, 107),
            "360057|sip.example|WINSND: one");
  EXPECT_EQ((std::vector<LRESULT>{send(115, BM_GETCHECK), send(107, CB_GETCURSEL)}),
            (std::vector<LRESULT>{BST_UNCHECKED, 0}));
  const std::vector<std::pair<int, int>> told{{115, BN_CLICKED}, {107, CBN_SELCHANGE}};
  EXPECT_EQ(g_settings.commands, told);

  // Writable again; a disabled button takes no click.
  send(113, EM_SETREADONLY, FALSE);
  drive::Type(dlg, 113, "!");
  EXPECT_EQ(TextOf(dlg, 113), "sip.example!");
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
  auto allHandled = [] {
    return PumpUntilFn([] { return CurrentSound().handled == CurrentSound().requests; }, 5000);
  };

  const DWORD looped = SND_ASYNC | SND_LOOP;
  ASSERT_TRUE(PlaySoundA(MAKEINTRESOURCE(IDW_RING), &kBuiltinResources, SND_RESOURCE | looped));
  const SoundState state = CurrentSound();
  EXPECT_TRUE(state.playing && state.looped);
  EXPECT_EQ(state.source, "resource 103");
  EXPECT_TRUE(allHandled());

  // What cannot be played is refused and leaves the ring as it was.
  EXPECT_FALSE(PlaySoundA(MAKEINTRESOURCE(77), &kBuiltinResources, SND_RESOURCE | looped));
  for (const char* name : {"missing.wav", "noise.wav"})
    EXPECT_FALSE(PlaySoundA((folder / name).c_str(), nullptr, SND_FILENAME | looped)) << name;
  EXPECT_EQ(CurrentSound().source, "resource 103");

  ASSERT_TRUE(PlaySoundA(ringFile.c_str(), nullptr, SND_FILENAME | looped));
  EXPECT_EQ(CurrentSound().source, ringFile);
  BOOL stopped = FALSE;
  std::thread([&] { stopped = PlaySoundA(nullptr, nullptr, 0); }).join();
  EXPECT_TRUE(stopped && !CurrentSound().playing);
  EXPECT_TRUE(allHandled());
}

}  // namespace
