// The real program's window under the pointer: dragging, resizing, button looks, hiding to the tray, closing;
// without a window manager (our own pointer tracking) and with openbox (the window manager's move and
// resize).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "platform/core/profile.h"
#include "tests/support/child_process.h"
#include "tests/support/poll.h"
#include "tests/support/temp_folder.h"
#include "tests/support/x_session.h"

namespace {

using namespace std::chrono_literals;
using test_support::ChildProcess;
using test_support::PollUntil;
using test_support::TempFolder;
using test_support::XSession;

constexpr const char* kTitle = "Kestrova_1.39";

struct Geometry {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const Geometry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Geometry& g) {
  return out << g.w << "x" << g.h << " at " << g.x << "," << g.y;
}

class KestrovaPointer : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"run", "cfg", "home", "work", "work/Skin"})
      mkdir((tmp / folder).c_str(), 0700);
    iniFile = tmp / "cfg/Kestrova/Kestrova.ini";
  }

  void StartDisplay(bool trayHost) { ASSERT_TRUE(x.Start(trayHost)) << "Xvfb did not start"; }

  void StartWindowManager() {
    // The manager is in charge once it has published its check window on the root. One that ended
    // before that (it can lose a race with the display's start under load) is started again.
    auto inCharge = [&] {
      return x.Run("/usr/bin/xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).output.find("window id") !=
             std::string::npos;
    };
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
      if (attempt > 0) wm = ChildProcess();
      ASSERT_TRUE(wm.Start("/usr/bin/openbox", {"--sm-disable"}, x.Environment({{"HOME", tmp / "home"}})))
          << wm.LastError();
      started = PollUntil([&] { return inCharge() || !wm.Running(); }, 15s) && inCharge();
    }
    ASSERT_TRUE(started) << "openbox did not take over the display";
  }

  void StartProgram() {
    // With a background picture the painting keeps the size the user gives the window.
    ASSERT_EQ(RunTool("/usr/bin/convert", {"-size", "320x240", "xc:#406080", tmp / "work/Skin/pozadi.jpg"}),
              0);
    test_support::ChildEnvironment env =
        x.Environment({{"ALLUSERSPROFILE", tmp / "cfg"}, {"XDG_RUNTIME_DIR", tmp / "run"}});
    program.SetWorkingFolder(tmp / "work");
    ASSERT_TRUE(program.Start(KESTROVA_BINARY, {}, env)) << program.LastError();
    ASSERT_TRUE(PollUntil([&] { return (window = FindMainWindow()) != ""; }, 30s)) << "no main window";
    ASSERT_TRUE(PollUntil([&] { return Mapped() && Where().w == 336 && Where().h == 301; }, 15s))
        << "window " << window << ": " << Where();
    // A window manager moves only windows it has taken in: it then publishes their frame extents.
    if (wm.Running()) {
      ASSERT_TRUE(PollUntil(
          [&] {
            return x.Run("/usr/bin/xprop", {"-id", window, "_NET_FRAME_EXTENTS"}).output.find(" = ") !=
                   std::string::npos;
          },
          15s))
          << "the window manager did not take the window in";
    }
  }

  int RunTool(const std::string& tool, const std::vector<std::string>& args) {
    return x.Run(tool, args).exitCode;
  }
  void Xdo(const std::vector<std::string>& args) { x.Run("/usr/bin/xdotool", args); }
  void PointerTo(int px, int py) { Xdo({"mousemove", std::to_string(px), std::to_string(py)}); }

  std::string FindMainWindow() {
    std::vector<std::string> found = x.FindWindows("KestrovaClass", kTitle);
    return found.empty() ? "" : found.front();
  }

  Geometry Where() {
    auto g = x.Geometry(window);
    return g ? Geometry{(*g)[0], (*g)[1], (*g)[2], (*g)[3]} : Geometry{};
  }

  bool Mapped() {
    return x.Run("/usr/bin/xwininfo", {"-id", window}).output.find("IsViewable") != std::string::npos;
  }

  // Holds the left button from `from` and moves it to `to` until the window shows `expected`, then lets go.
  // The pointer is nudged while waiting: a window manager that takes over the drag follows the moves after
  // it has grabbed the pointer, not those before. Openbox now and then grabs the pointer for a drag and
  // then does not move the window; the window stays where it was, and the gesture is made again, as a
  // user would.
  bool DragUntil(int fx, int fy, int tx, int ty, const Geometry& expected) {
    const Geometry before = Where();
    for (int attempt = 0; attempt < 3; ++attempt) {
      PointerTo(fx, fy);
      Xdo({"mousedown", "1"});
      int nudge = 0;
      const bool reached = PollUntil(
          [&] {
            // Looked at before the next nudge: the window manager follows the pointer a moment later.
            if (Where() == expected) return true;
            PointerTo(tx + (++nudge % 2), ty);
            PointerTo(tx, ty);
            return false;
          },
          5s);
      Xdo({"mouseup", "1"});
      if (reached) return PollUntil([&] { return Where() == expected; }, 5s);
      if (Where() != before) return false;
    }
    return false;
  }

  std::uint32_t ScreenAt(int px, int py) {
    auto shot = x.Shoot(tmp.path());
    return shot ? shot->at(px, py) : 0xFFFFFFFFu;
  }

  void CloseWithTheCloseButton(const Geometry& g) {
    PointerTo(g.x + g.w - 70 + 52, g.y + 10);
    Xdo({"click", "1"});
    auto exit = program.Wait(15s);
    ASSERT_TRUE(exit.has_value()) << "the close button did not end the program";
    EXPECT_TRUE(exit->ExitedWith(0)) << exit->Describe();
  }

  void ExpectSaved(const Geometry& g) {
    auto saved = [&](const char* key) {
      return GetPrivateProfileInt("Window 0", key, -9999, iniFile.c_str());
    };
    EXPECT_EQ(saved("Left"), g.x);
    EXPECT_EQ(saved("Top"), g.y);
    EXPECT_EQ(saved("Width"), g.w);
    EXPECT_EQ(saved("Height"), g.h);
  }

  // Drags the top bar, shrinks the window below its minimum by the grip, grows it again, closes it.
  void DragResizeAndClose() {
    const Geometry start = Where();
    Geometry moved{start.x + 60, start.y + 45, 336, 301};
    ASSERT_TRUE(DragUntil(start.x + 100, start.y + 10, start.x + 160, start.y + 55, moved)) << Where();

    // The grip: the last 15 columns of the last 34 rows. Far up and left the minimum size holds.
    const Geometry smallest{moved.x, moved.y, 268, 61};
    ASSERT_TRUE(DragUntil(moved.x + 330, moved.y + 295, moved.x + 30, moved.y + 5, smallest)) << Where();
    const Geometry grown{moved.x, moved.y, 268 + 100, 61 + 80};
    ASSERT_TRUE(DragUntil(moved.x + 263, moved.y + 56, moved.x + 363, moved.y + 136, grown)) << Where();

    // A second drag after the first ones moves it by exactly the pointer's distance again.
    const Geometry again{grown.x - 30, grown.y + 20, grown.w, grown.h};
    ASSERT_TRUE(DragUntil(grown.x + 50, grown.y + 10, grown.x + 20, grown.y + 30, again)) << Where();

    CloseWithTheCloseButton(again);
    ExpectSaved(again);
  }

  TempFolder tmp;
  std::string iniFile;
  XSession x;
  ChildProcess wm;
  ChildProcess program;
  std::string window;
};

TEST_F(KestrovaPointer, WithoutWindowManagerTheTopBarDragsAndTheGripResizes) {
  ASSERT_NO_FATAL_FAILURE(StartDisplay(false));
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  DragResizeAndClose();
}

TEST_F(KestrovaPointer, WithOpenboxTheTopBarDragsAndTheGripResizes) {
  ASSERT_NO_FATAL_FAILURE(StartDisplay(false));
  ASSERT_NO_FATAL_FAILURE(StartWindowManager());
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  DragResizeAndClose();
}

TEST_F(KestrovaPointer, RelayButtonLooksFollowThePointerAndTheTrayBringsAHiddenWindowBack) {
  ASSERT_NO_FATAL_FAILURE(StartDisplay(true));
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  const Geometry g = Where();
  // Piece-local (36, 17) of relay 1, whose slot starts 89 columns left of the right edge, 35 rows up.
  const int px = g.x + g.w - 89 + 36, py = g.y + g.h - 35 + 17;
  constexpr std::uint32_t kUp = 0x393D44, kOver = 0x454A53, kDown = 0x26282E;
  EXPECT_TRUE(PollUntil([&] { return ScreenAt(px, py) == kUp; }, 10s));
  EXPECT_TRUE(PollUntil(
      [&] {
        PointerTo(px + 1, py);
        PointerTo(px, py);
        return ScreenAt(px, py) == kOver;
      },
      10s))
      << "no hovered look";
  Xdo({"mousedown", "1"});
  EXPECT_TRUE(PollUntil([&] { return ScreenAt(px, py) == kDown; }, 10s)) << "no pressed look";
  Xdo({"mouseup", "1"});
  PointerTo(g.x + 160, g.y + 120);
  EXPECT_TRUE(PollUntil([&] { return ScreenAt(px, py) == kUp; }, 10s)) << "the normal look did not come back";

  // The hide button, then the tray icon: the program's other window of its class.
  PointerTo(g.x + g.w - 70 + 32, g.y + 10);
  Xdo({"click", "1"});
  ASSERT_TRUE(PollUntil([&] { return !Mapped(); }, 10s)) << "the hide button did not hide the window";
  std::string icon;
  ASSERT_TRUE(PollUntil(
      [&] {
        std::istringstream ids(x.Run("/usr/bin/xdotool", {"search", "--classname", "kestrova"}).output);
        for (std::string id; std::getline(ids, id);)
          if (!id.empty() && id != window) icon = id;
        return !icon.empty();
      },
      10s))
      << "no tray icon";
  auto iconPlace = x.Geometry(icon);
  ASSERT_TRUE(iconPlace.has_value());
  PointerTo((*iconPlace)[0] + (*iconPlace)[2] / 2, (*iconPlace)[1] + (*iconPlace)[3] / 2);
  Xdo({"click", "1"});
  EXPECT_TRUE(PollUntil([&] { return Mapped(); }, 10s)) << "the tray click did not bring the window back";
  EXPECT_EQ(Where(), g);
}

}  // namespace
