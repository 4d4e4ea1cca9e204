// The visitor log on the desktop: the tray's missed-call mark and tip line, the tray menu, the Visitors
// window with a visit's picture, deleting a visit, and `kestrova --visitors` reaching the running copy.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <sstream>

#include "tests/e2e/program_on_x.h"
#include "tests/support/poll.h"
#include "visitors/visitor_log.h"

namespace {

using namespace std::chrono_literals;
using test_support::PollUntil;

class KestrovaVisitors : public e2e::ProgramOnX {
 protected:
  // Two visits of one unit: one answered long ago without pictures, and a missed one with a green picture.
  void PutVisits() {
    const std::string jpeg = tmp / "green.jpg";
    ASSERT_EQ(x.Run("/usr/bin/convert", {"-size", "320x240", "xc:#20C040", jpeg}).exitCode, 0);
    std::string why;
    auto log = visitors::VisitorLog::Open(tmp / "data/Kestrova", &why);
    ASSERT_TRUE(log) << why;
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    using visitors::Outcome;
    ASSERT_NE(log->Record({"127.0.0.1", now - 3'600'000, Outcome::Answered, 42'000, 1, true}, "Front door"),
              0);
    const long long missed =
        log->Record({"127.0.0.1", now - 60'000, Outcome::Missed, 0, 0, true}, "Front door");
    ASSERT_TRUE(missed != 0 && log->AddPicture(missed, 0, test_support::ReadFile(jpeg)));
  }

  std::vector<std::string> Windows(bool visibleOnly) {
    std::vector<std::string> ids;
    std::vector<std::string> args{"search"};
    if (visibleOnly) args.push_back("--onlyvisible");
    args.insert(args.end(), {"--classname", "kestrova"});
    std::istringstream out(x.Run("/usr/bin/xdotool", args).output);
    for (std::string id; std::getline(out, id);)
      if (!id.empty()) ids.push_back(id);
    return ids;
  }

  // The tray icon: the program's window inside the notification area at the screen's bottom.
  bool FindIcon() {
    for (const std::string& id : Windows(false)) {
      auto g = x.Geometry(id);
      if (id != window && g && (*g)[1] > 500 && (*g)[2] < 64) icon = *g;
    }
    return !icon.empty();
  }

  int Pixels(const std::vector<int>& area, bool (*wanted)(std::uint32_t)) {
    auto shot = Shot();
    int n = 0;
    for (int py = area[1]; shot && py < area[1] + area[3]; ++py)
      for (int px = area[0]; px < area[0] + area[2]; ++px) n += wanted(shot->at(px, py));
    return n;
  }
  static bool Red(std::uint32_t c) {
    return (c >> 16) > 0xC0 && ((c >> 8) & 0xFF) < 0x50 && (c & 0xFF) < 0x50;
  }
  static bool Green(std::uint32_t c) {
    return (c >> 16) < 0x50 && ((c >> 8) & 0xFF) > 0xA0 && (c & 0xFF) > 0x20 && (c & 0xFF) < 0x70;
  }

  // The height of the icon's tool tip, shown while the pointer rests on the icon; 0 when none came.
  int TipHeight() {
    PointerTo(500, 300);
    PointerTo(icon[0] + icon[2] / 2, icon[1] + icon[3] / 2);
    int height = 0;
    PollUntil(
        [&] {
          for (const std::string& id : Windows(true))
            if (x.Run("/usr/bin/xprop", {"-id", id, "_NET_WM_WINDOW_TYPE"}).output.find("TOOLTIP") !=
                std::string::npos)
              if (auto g = x.Geometry(id)) height = (*g)[3];
          return height > 0;
        },
        5s);
    return height;
  }
  void PointerAway() { PointerTo(500, 300); }

  std::string Visitors() {
    auto found = x.FindWindows("KestrovaClass", "Visitors");
    return found.empty() ? std::string() : found.front();
  }

  std::vector<int> icon;
};

TEST_F(KestrovaVisitors, MissedMarkTrayMenuWindowWithPictureDeleteAndSecondInvocation) {
  ASSERT_NO_FATAL_FAILURE(StartDisplay(true));
  ASSERT_NO_FATAL_FAILURE(PutVisits());
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(PollUntil([&] { return FindIcon(); }, 15s)) << "no tray icon";

  // One unseen missed visit: the mark on the icon, and a tip of two lines.
  EXPECT_TRUE(PollUntil([&] { return Pixels(icon, Red) > 4; }, 10s)) << "no mark on the tray icon";
  int twoLines = 0;
  EXPECT_TRUE(PollUntil([&] { return (twoLines = TipHeight()) > 0; }, 10s)) << "no tool tip";
  PointerAway();

  // Right click, the menu's second item.
  ASSERT_TRUE(PollUntil(
      [&] {
        PointerTo(icon[0] + icon[2] / 2, icon[1] + icon[3] / 2);
        Xdo({"click", "3"});
        return PollUntil([&] { return Windows(true).size() > 1; }, 2s);
      },
      15s))
      << "no tray menu";
  Xdo({"key", "Down", "Down", "Return"});
  std::string dialog;
  ASSERT_TRUE(PollUntil([&] { return !(dialog = Visitors()).empty(); }, 10s)) << "no Visitors window";
  auto place = x.Geometry(dialog);
  ASSERT_TRUE(place.has_value());

  // The newest row is chosen: its picture large, beside its thumbnail.
  EXPECT_TRUE(PollUntil([&] { return Pixels(*place, Green) > 20000; }, 10s)) << "the picture is not shown";
  // Opening marked the visit seen: the mark and the tip's second line went.
  EXPECT_TRUE(PollUntil([&] { return Pixels(icon, Red) == 0; }, 10s)) << "the mark stayed";
  int oneLine = 0;
  EXPECT_TRUE(PollUntil(
      [&] {
        oneLine = TipHeight();
        return oneLine > 0 && oneLine < twoLines;
      },
      15s))
      << "tip heights " << twoLines << " and " << oneLine;
  PointerAway();

  // Delete (dialog units 5..55 x 216..230 of 400 x 232): the row and its picture go.
  const auto [dx, dy, dw, dh] = std::tuple((*place)[0], (*place)[1], (*place)[2], (*place)[3]);
  PointerTo(dx + 30 * dw / 400, dy + 223 * dh / 232);
  Xdo({"click", "1"});
  EXPECT_TRUE(PollUntil([&] { return Pixels(*place, Green) == 0; }, 10s)) << "the row's picture stayed";
  std::string why;
  const auto log = visitors::VisitorLog::Open(tmp / "data/Kestrova", &why);
  EXPECT_EQ(log->Newest(0, 10).size(), 1u);

  // Delete all… asks first; Yes, its default button, empties the log.
  PointerTo(dx + 90 * dw / 400, dy + 223 * dh / 232);
  Xdo({"click", "1"});
  ASSERT_TRUE(PollUntil([&] { return !x.FindWindows("KestrovaClass", "Delete all visits").empty(); }, 10s));
  EXPECT_EQ(log->Newest(0, 10).size(), 1u);
  Xdo({"key", "Return"});
  EXPECT_TRUE(PollUntil([&] { return log->Newest(0, 10).empty(); }, 10s)) << "Delete all deleted nothing";

  // Closed, then asked for from the terminal: the running copy opens it again, no second copy starts.
  PointerTo(dx + 370 * dw / 400, dy + 223 * dh / 232);
  Xdo({"click", "1"});
  ASSERT_TRUE(PollUntil([&] { return Visitors().empty(); }, 10s)) << "Close did not close it";
  const auto asked = test_support::RunCommand(
      KESTROVA_BINARY, {"--visitors"},
      x.Environment({{"ALLUSERSPROFILE", tmp / "cfg"}, {"XDG_RUNTIME_DIR", tmp / "run"}}), 15s);
  EXPECT_TRUE(asked.finished && asked.exitCode == 0);
  EXPECT_TRUE(PollUntil([&] { return !Visitors().empty(); }, 10s)) << "--visitors did not open it";
  EXPECT_EQ(x.FindWindows("KestrovaClass", "Kestrova_1.39").size(), 1u);
  // The copy that did all this ends cleanly with its Visitors window open.
  ASSERT_TRUE(program.Signal(SIGTERM));
  ASSERT_NO_FATAL_FAILURE(ExpectExitWithin(15s));
}

}  // namespace
