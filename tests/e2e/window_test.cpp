// The real program's window under the pointer: dragging, resizing, button looks, hiding to the tray, closing;
// without a window manager (our own pointer tracking) and with openbox (the window manager's move and
// resize).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "tests/e2e/program_on_x.h"
#include "tests/support/poll.h"

namespace {

using namespace std::chrono_literals;
using e2e::Geometry;
using test_support::PollUntil;

class KestrovaPointer : public e2e::ProgramOnX {
 protected:
  void SetUp() override {
    ProgramOnX::SetUp();
    for (const char* folder : {"work", "work/Skin"}) mkdir((tmp / folder).c_str(), 0700);
  }

  void StartProgramWithBackground() {
    // With a background picture the painting keeps the size the user gives the window.
    ASSERT_EQ(
        x.Run("/usr/bin/convert", {"-size", "320x240", "xc:#406080", tmp / "work/Skin/pozadi.jpg"}).exitCode,
        0);
    program.SetWorkingFolder(tmp / "work");
    ASSERT_NO_FATAL_FAILURE(StartProgram());
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
      // Under load openbox may apply the move only as the button is let go.
      if (PollUntil([&] { return Where() != before; }, 1s))
        return PollUntil([&] { return Where() == expected; }, 5s);
    }
    return false;
  }

  std::uint32_t ScreenAt(int px, int py) {
    auto shot = x.Shoot(tmp.path());
    return shot ? shot->at(px, py) : 0xFFFFFFFFu;
  }

  void CloseWithTheCloseButton(const Geometry& g) {
    PointerTo(e2e::CloseButtonX(g), e2e::TitleBarY(g));
    Xdo({"click", "1"});
    ASSERT_NO_FATAL_FAILURE(ExpectExitWithin(15s)) << "the close button did not end the program";
  }

  void ExpectSaved(const Geometry& g) {
    EXPECT_EQ(Saved("Left"), g.x);
    EXPECT_EQ(Saved("Top"), g.y);
    EXPECT_EQ(Saved("Width"), g.w);
    EXPECT_EQ(Saved("Height"), g.h);
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
};

TEST_F(KestrovaPointer, WithoutWindowManagerTheTopBarDragsAndTheGripResizes) {
  ASSERT_NO_FATAL_FAILURE(StartDisplay(false));
  ASSERT_NO_FATAL_FAILURE(StartProgramWithBackground());
  DragResizeAndClose();
}

TEST_F(KestrovaPointer, WithOpenboxTheTopBarDragsAndTheGripResizes) {
  ASSERT_NO_FATAL_FAILURE(StartDisplay(false));
  ASSERT_NO_FATAL_FAILURE(StartWindowManager());
  ASSERT_NO_FATAL_FAILURE(StartProgramWithBackground());
  DragResizeAndClose();
}

TEST_F(KestrovaPointer, RelayButtonLooksFollowThePointerAndTheTrayBringsAHiddenWindowBack) {
  ASSERT_NO_FATAL_FAILURE(StartDisplay(true));
  ASSERT_NO_FATAL_FAILURE(StartProgramWithBackground());
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
  PointerTo(e2e::HideButtonX(g), e2e::TitleBarY(g));
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
