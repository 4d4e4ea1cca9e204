// The telephone across copies of the real program on one display, with simulated door units calling and
// called over SIP: a door call handed to the copy that watches the calling unit, refusal, calls from a
// copy without the telephone, the hand-over of the telephone when its copy closes or is killed, and the
// visitor log with the desktop's notifications of ringing and missed calls.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/gui/instance_bus.h"
#include "platform/gui/window.h"
#include "tests/e2e/program_on_x.h"
#include "tests/support/child_process.h"
#include "tests/support/free_port.h"
#include "tests/support/http_client.h"
#include "tests/support/notification_server.h"
#include "tests/support/poll.h"
#include "tests/support/sipp_peer.h"
#include "tests/support/temp_folder.h"
#include "tests/support/x_session.h"
#include "visitors/visitor_log.h"

namespace {

using namespace std::chrono_literals;
using test_support::ChildProcess;
using test_support::PollUntil;

// A simulated unit on its own loopback address; its SIP side shares the HTTP port.
struct Unit {
  ChildProcess process;
  std::string host;
  uint16_t port = 0;

  std::string Address() const { return host + ":" + std::to_string(port); }
  std::string Get(const std::string& target) {
    auto reply = test_support::HttpGetAt(host, port, target);
    return reply ? reply->body : "";
  }
  // A number from /sim/sipstate ("received", "connected", "ended"...).
  long Count(const std::string& key) {
    const std::string json = Get("/sim/sipstate");
    const std::size_t at = json.find("\"" + key + "\":");
    return at == std::string::npos ? -1 : std::atol(json.c_str() + at + key.size() + 3);
  }
};

class TelephoneOnX : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"run", "cfg", "cfg/Kestrova"}) mkdir((tmp / folder).c_str(), 0700);
    ASSERT_TRUE(x.Start(true)) << "Xvfb did not start";
    sipPort = test_support::FreeUdpPort();
    ASSERT_NE(sipPort, 0);
  }

  void StartUnit(Unit& unit, const std::string& host) {
    unit.host = host;
    ASSERT_TRUE(unit.process.Start(DOORSIM_BINARY, {"--listen", host + ":0", "--size", "160x120", "--fps",
                                                    "5", "--title", "Front door"}))
        << unit.process.LastError();
    auto line = unit.process.ReadLine(10s);
    ASSERT_TRUE(line.has_value()) << "the simulator gave no address";
    unit.port = static_cast<uint16_t>(std::atoi(line->substr(line->rfind(':') + 1).c_str()));
    ASSERT_TRUE(PollUntil(
        [&] { return unit.Get("/sim/sipstate").find("\"running\":true") != std::string::npos; }, 10s));
  }

  // A copy watching unit, its window at (left, 0). Copies read the one settings file at start.
  // The copies keep their visitor log in tmp/data and reach the notification server once it runs.
  ChildProcess& StartCopy(const Unit& unit, int left, const std::string& windowKeys = "",
                          const std::string& sipKeys = "") {
    test_support::WriteFile(tmp / "cfg/Kestrova/Kestrova.ini",
                            "[Window 0]\r\nIP_addr=" + unit.Address() + "\r\nLeft=" + std::to_string(left) +
                                "\r\n" + windowKeys + "[SIP]\r\nSIP_port=" + std::to_string(sipPort) +
                                "\r\n" + sipKeys);
    const std::size_t before = AllWindows();
    ChildProcess& copy = copies.emplace_back();
    std::vector<std::pair<std::string, std::string>> environment{{"ALLUSERSPROFILE", tmp / "cfg"},
                                                                 {"XDG_RUNTIME_DIR", tmp / "run"},
                                                                 {"XDG_DATA_HOME", tmp / "data"},
                                                                 {"no_proxy", "127.0.0.0/8"}};
    if (!notices.busAddress().empty())
      environment.emplace_back("DBUS_SESSION_BUS_ADDRESS", notices.busAddress());
    environment.insert(environment.end(), nextCopyEnvironment.begin(), nextCopyEnvironment.end());
    nextCopyEnvironment.clear();
    EXPECT_TRUE(copy.Start(KESTROVA_BINARY, {}, x.Environment(environment))) << copy.LastError();
    EXPECT_TRUE(PollUntil([&] { return AllWindows() > before; }, 30s)) << "no main window";
    return copy;
  }
  std::size_t AllWindows() {
    return x.Run("/usr/bin/xdotool", {"search", "--onlyvisible", "--class", "KestrovaClass"}).output.size() /
           2;
  }

  // The inodes of the sockets on the telephone's port: one per telephone on this machine.
  std::vector<std::string> TelephoneSockets() {
    char port[8];
    std::snprintf(port, sizeof port, ":%04X", sipPort);
    std::vector<std::string> inodes;
    for (const char* table : {"/proc/net/udp", "/proc/net/udp6"}) {
      std::ifstream udp(table);
      for (std::string line; std::getline(udp, line);) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >>
            inode;
        if (local.size() > 5 && local.substr(local.size() - 5) == port) inodes.push_back(inode);
      }
    }
    return inodes;
  }
  int Telephones() { return static_cast<int>(TelephoneSockets().size()); }
  // Whether the process has the SIP library mapped: only the copy holding the telephone pays for it.
  bool MapsSipLibrary(const ChildProcess& copy) {
    std::ifstream maps("/proc/" + std::to_string(copy.Pid()) + "/maps");
    for (std::string line; std::getline(maps, line);)
      if (line.find("liblinphone") != std::string::npos) return true;
    return false;
  }
  // Whether the process holds the telephone's socket.
  bool HoldsTelephone(pid_t pid) {
    const std::vector<std::string> inodes = TelephoneSockets();
    std::error_code ec;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
      const std::string target = std::filesystem::read_symlink(fd.path(), ec).string();
      for (const std::string& inode : inodes)
        if (target == "socket:[" + inode + "]") return true;
    }
    return false;
  }

  // A visible dialog by caption (the caller's name), "" when none.
  std::string DialogNamed(const std::string& caption) {
    const std::string out =
        x.Run("/usr/bin/xdotool", {"search", "--onlyvisible", "--name", "^" + caption + "$"}).output;
    return out.substr(0, out.find('\n'));
  }
  // Clicks at the fraction (fx, fy) of a window: the dialogs' buttons sit at fixed dialog units.
  void ClickIn(const std::string& window, double fx, double fy) {
    auto g = x.Geometry(window);
    ASSERT_TRUE(g.has_value());
    Click((*g)[0] + static_cast<int>((*g)[2] * fx), (*g)[1] + static_cast<int>((*g)[3] * fy));
  }
  void Click(int px, int py) {
    x.Run("/usr/bin/xdotool", {"mousemove", std::to_string(px), std::to_string(py)});
    x.Run("/usr/bin/xdotool", {"mousemove", std::to_string(px + 1), std::to_string(py)});
    x.Run("/usr/bin/xdotool", {"click", "1"});
    // Off the button, into the video area above it: the window takes back its hover look.
    x.Run("/usr/bin/xdotool", {"mousemove", std::to_string(px), std::to_string(py - 120)});
  }
  // The call button (hang-up button during a call) of the window at (left, 0), default size 336x301.
  static constexpr int kWidth = 336, kHeight = 301;
  void ClickCallButton(int left) { Click(left + kWidth - 235 + 36, kHeight - 18); }
  // A fingerprint of that button's pixels.
  std::uint64_t CallButton(int left) {
    auto shot = x.Shoot(tmp.path());
    if (!shot) return 0;
    std::uint64_t h = 1469598103934665603ULL;
    const std::uint32_t first = shot->at(left + kWidth - 230, kHeight - 30);
    bool drawn = false;  // a window not yet painted shows one colour there
    for (int py = kHeight - 30; py < kHeight - 6; ++py)
      for (int px = left + kWidth - 230; px < left + kWidth - 168; ++px) {
        h = (h ^ shot->at(px, py)) * 1099511628211ULL;
        drawn = drawn || shot->at(px, py) != first;
      }
    return drawn ? h : 0;
  }
  // The call button once two looks in a row agree (the window has been painted).
  std::uint64_t SteadyCallButton(int left) {
    std::uint64_t last = 0, now = 0;
    PollUntil([&] { return (last = std::exchange(now, CallButton(left))) == now && now != 0; }, 10s);
    return now;
  }
  std::string CallUs() { return "/sim/sipcall?to=sip:127.0.0.1:" + std::to_string(sipPort); }

  // The visitor log as the copies left it, newest first.
  std::vector<visitors::VisitRow> Visits() {
    std::string why;
    auto log = visitors::VisitorLog::Open(tmp / "data/Kestrova", &why);
    return log ? log->Newest(0, 10) : std::vector<visitors::VisitRow>{};
  }
  void StartNotificationServer() {
    if (const std::string why = test_support::NotificationServer::Unavailable(); !why.empty())
      GTEST_SKIP() << why;
    ASSERT_TRUE(notices.Start(x.display())) << notices.Error();
  }
  // The pixels of copy's tray icon that are wanted, -1 while it has none in the notification area.
  int IconPixels(pid_t copy, bool (*wanted)(std::uint32_t), std::vector<int>* where = nullptr) {
    std::istringstream ids(x.Run("/usr/bin/xdotool", {"search", "--all", "--pid", std::to_string(copy),
                                                      "--classname", "kestrova"})
                               .output);
    auto shot = x.Shoot(tmp.path());
    for (std::string id; shot && std::getline(ids, id);) {
      const auto g = x.Geometry(id);
      if (!g || (*g)[1] < 500 || (*g)[2] >= 64) continue;
      if (where != nullptr) *where = *g;
      int n = 0;
      for (int py = (*g)[1]; py < (*g)[1] + (*g)[3]; ++py)
        for (int px = (*g)[0]; px < (*g)[0] + (*g)[2]; ++px) n += wanted(shot->at(px, py));
      return n;
    }
    return -1;
  }
  // The height of the tool tip on the screen, 0 when none shows.
  int ShownTip() {
    std::istringstream ids(
        x.Run("/usr/bin/xdotool", {"search", "--onlyvisible", "--classname", "kestrova"}).output);
    for (std::string id; std::getline(ids, id);)
      if (x.Run("/usr/bin/xprop", {"-id", id, "_NET_WM_WINDOW_TYPE"}).output.find("TOOLTIP") !=
          std::string::npos)
        if (auto tip = x.Geometry(id)) return (*tip)[3];
    return 0;
  }
  // The height of the tool tip shown while the pointer rests on an icon at g; 0 when none came.
  int TipHeight(const std::vector<int>& g) {
    x.Run("/usr/bin/xdotool", {"mousemove", "500", "300"});
    PollUntil([&] { return ShownTip() == 0; }, 10s);
    x.Run("/usr/bin/xdotool",
          {"mousemove", std::to_string(g[0] + g[2] / 2), std::to_string(g[1] + g[3] / 2)});
    int height = 0;
    PollUntil([&] { return (height = ShownTip()) > 0; }, 5s);
    return height;
  }

  // The hide button of the window at (left, 0).
  void HideWindow(int left) { Click(left + kWidth - 70 + 32, 10); }

  test_support::TempFolder tmp;
  test_support::XSession x;
  test_support::NotificationServer notices;
  std::deque<ChildProcess> copies;
  // Added to the next StartCopy's environment only.
  std::vector<std::pair<std::string, std::string>> nextCopyEnvironment;
  int sipPort = 0;
};

// Where Accept's buttons are, as fractions of its 120 x 45 dialog units.
constexpr double kOkX = 30.0 / 120, kCancelX = 90.0 / 120, kButtonY = 32.0 / 45;

TEST_F(TelephoneOnX, DoorCallAcceptedInTheFirstCopyIsTakenByTheCopyWatchingThatDoor) {
  Unit front, back;
  ASSERT_NO_FATAL_FAILURE(StartUnit(front, "127.0.0.2"));
  ASSERT_NO_FATAL_FAILURE(StartUnit(back, "127.0.0.3"));
  StartCopy(front, 0);
  ASSERT_TRUE(PollUntil([&] { return Telephones() == 1; }, 20s)) << "the first copy holds the telephone";
  StartCopy(back, 400);
  const std::uint64_t callButton = SteadyCallButton(400);

  ASSERT_EQ(back.Get(CallUs()), "ok\n");
  std::string accept;
  ASSERT_TRUE(PollUntil([&] { return !(accept = DialogNamed("door")).empty(); }, 10s)) << "no Accept dialog";
  ClickIn(accept, kOkX, kButtonY);
  // The second copy shows its hang-up button; the Terminate dialog closed as a copy took the call.
  EXPECT_TRUE(PollUntil([&] { return CallButton(400) != callButton; }, 10s));
  EXPECT_TRUE(PollUntil([&] { return DialogNamed("door").empty(); }, 10s));
  EXPECT_TRUE(PollUntil([&] { return back.Count("connected") == 1; }, 10s));

  ASSERT_EQ(back.Get("/sim/siphangup"), "ok\n");  // the door hangs up: every call mark goes
  EXPECT_TRUE(PollUntil([&] { return CallButton(400) == callButton; }, 10s)) << back.Get("/sim/sipstate");
  EXPECT_EQ(front.Count("received"), 0);
}

TEST_F(TelephoneOnX, RefusalAndACallFromTheCopyWithoutTheTelephone) {
  Unit front, back;
  ASSERT_NO_FATAL_FAILURE(StartUnit(front, "127.0.0.2"));
  ASSERT_NO_FATAL_FAILURE(StartUnit(back, "127.0.0.3"));
  StartCopy(front, 0);
  ASSERT_TRUE(PollUntil([&] { return Telephones() == 1; }, 20s));
  StartCopy(back, 400);
  const std::uint64_t callButton = SteadyCallButton(400);

  ASSERT_EQ(back.Get(CallUs()), "ok\n");
  std::string accept;
  ASSERT_TRUE(PollUntil([&] { return !(accept = DialogNamed("door")).empty(); }, 10s));
  ClickIn(accept, kCancelX, kButtonY);
  // Refusing answers the call for an instant and ends it.
  EXPECT_TRUE(PollUntil([&] { return back.Count("ended") == 1; }, 10s));
  EXPECT_EQ(back.Count("connected"), 1);
  EXPECT_TRUE(DialogNamed("door").empty());

  ClickCallButton(400);  // through the first copy's telephone: codes 5, 6, tag 6, 3
  EXPECT_TRUE(PollUntil([&] { return back.Count("connected") == 2; }, 10s)) << back.Get("/sim/sipstate");
  EXPECT_TRUE(PollUntil([&] { return CallButton(400) != callButton; }, 10s));
  ClickCallButton(400);  // now the hang-up button: code 4
  EXPECT_TRUE(PollUntil([&] { return back.Count("ended") == 2; }, 10s));
  EXPECT_TRUE(PollUntil([&] { return CallButton(400) == callButton; }, 10s));
  EXPECT_EQ(front.Count("received"), 0);
}

TEST_F(TelephoneOnX, ClosingDuringACallEndsItAndClosingOrKillingLeavesExactlyOneNewTelephone) {
  Unit front;
  ASSERT_NO_FATAL_FAILURE(StartUnit(front, "127.0.0.2"));
  StartCopy(front, 0);
  ASSERT_TRUE(PollUntil([&] { return Telephones() == 1; }, 20s));
  StartCopy(front, 350);
  StartCopy(front, 0);  // in sight on the 800-pixel screen once the first copy has gone
  // The door calls once that copy is on top showing its picture: while it connects it raises its window
  // (painting the notice), which would cover the telephone's dialog beneath it.
  std::optional<std::uint64_t> last;
  ASSERT_TRUE(PollUntil(
      [&] {
        std::istringstream tree(x.Run("/usr/bin/xwininfo", {"-root", "-children"}).output);
        std::string line, top;
        while (top.empty() && std::getline(tree, line))
          if (line.find("336x301+0+0") != std::string::npos) top = line.substr(0, line.find('"'));
        const auto shot = x.Shoot(tmp.path());
        if (top.empty() || !shot) return false;
        const std::string owner = x.Run("/usr/bin/xdotool", {"getwindowpid", top}).output;
        const e2e::Geometry area{0, 0, 336, 301};
        const std::optional<std::uint64_t> before = std::exchange(last, e2e::VideoArea(*shot, area));
        return std::atoi(owner.c_str()) == copies[2].Pid() && e2e::NoticePixels(*shot, area) == 0 && before &&
               *before != *last;
      },
      20s))
      << "the last copy is not on top with its picture";
  EXPECT_TRUE(MapsSipLibrary(copies[0]));
  EXPECT_FALSE(MapsSipLibrary(copies[1]) || MapsSipLibrary(copies[2])) << "a copy without the telephone";

  // A call stands when the telephone's copy closes: the door sees it ended.
  ASSERT_EQ(front.Get(CallUs()), "ok\n");
  std::string accept;
  ASSERT_TRUE(PollUntil([&] { return !(accept = DialogNamed("door")).empty(); }, 10s));
  ClickIn(accept, kOkX, kButtonY);
  ASSERT_TRUE(PollUntil([&] { return front.Count("connected") == 1; }, 10s));
  ASSERT_TRUE(copies[0].Signal(SIGTERM));  // closing hands the telephone over (code 8)
  ASSERT_TRUE(copies[0].Wait(20s).has_value());
  EXPECT_TRUE(PollUntil([&] { return front.Count("ended") == 1; }, 10s));
  EXPECT_TRUE(PollUntil([&] { return Telephones() == 1; }, 10s));
  // Both were told to take it (code 8); the one that lost the role never loaded the library.
  EXPECT_EQ(MapsSipLibrary(copies[1]) + MapsSipLibrary(copies[2]), 1);
  ASSERT_EQ(front.Get(CallUs()), "ok\n");
  EXPECT_TRUE(PollUntil([&] { return !DialogNamed("door").empty(); }, 10s)) << "the new telephone rings";
  EXPECT_EQ(front.Count("received"), 0);
  ASSERT_EQ(front.Get("/sim/siphangup"), "ok\n");
  EXPECT_TRUE(PollUntil([&] { return DialogNamed("door").empty(); }, 10s));

  // Whichever copy took it is killed during a call it handed on: the last copy takes the telephone up on
  // its own, and no longer shows the hang-up button of a call that went with the killed copy.
  ASSERT_TRUE(
      PollUntil([&] { return HoldsTelephone(copies[1].Pid()) || HoldsTelephone(copies[2].Pid()); }, 10s));
  ChildProcess& victim = HoldsTelephone(copies[1].Pid()) ? copies[1] : copies[2];
  ChildProcess& survivor = &victim == &copies[1] ? copies[2] : copies[1];
  const int survivorLeft = &survivor == &copies[1] ? 350 : 0;
  const std::uint64_t callButton = SteadyCallButton(survivorLeft);
  ASSERT_EQ(front.Get(CallUs()), "ok\n");
  ASSERT_TRUE(PollUntil([&] { return !(accept = DialogNamed("door")).empty(); }, 10s));
  ClickIn(accept, kOkX, kButtonY);
  ASSERT_TRUE(PollUntil([&] { return CallButton(survivorLeft) != callButton; }, 10s)) << "no hang-up button";
  ASSERT_TRUE(victim.Signal(SIGKILL));
  ASSERT_TRUE(victim.Wait(10s).has_value());
  EXPECT_TRUE(survivor.Running());
  EXPECT_TRUE(PollUntil([&] { return Telephones() == 1 && HoldsTelephone(survivor.Pid()); }, 10s))
      << "the last copy did not take the telephone up after the kill";
  EXPECT_TRUE(PollUntil([&] { return CallButton(survivorLeft) == callButton; }, 10s));
  ASSERT_EQ(front.Get("/sim/siphangup"), "ok\n");
  ASSERT_EQ(front.Get(CallUs()), "ok\n");
  EXPECT_TRUE(PollUntil([&] { return !DialogNamed("door").empty(); }, 10s));
}

TEST_F(TelephoneOnX, ACopyWhoseTelephoneModuleIsBrokenRunsWithoutItAndTheNextCopyTakesItUp) {
  Unit front;
  ASSERT_NO_FATAL_FAILURE(StartUnit(front, "127.0.0.2"));
  test_support::WriteFile(tmp / "broken.so", "not a module");
  nextCopyEnvironment = {{"KESTROVA_TELEPHONE_MODULE", tmp / "broken.so"}};
  StartCopy(front, 0);
  // Instance 1 tries to take the telephone at start: it gives the role back and watches its unit.
  EXPECT_TRUE(
      PollUntil([&] { return front.Get("/sim/stats").find("\"streams\":1") != std::string::npos; }, 10s));
  StartCopy(front, 350);
  EXPECT_TRUE(PollUntil([&] { return Telephones() == 1 && HoldsTelephone(copies[1].Pid()); }, 10s));
  EXPECT_TRUE(copies[0].Running());
  EXPECT_FALSE(MapsSipLibrary(copies[0]));
  ASSERT_EQ(front.Get(CallUs()), "ok\n");
  EXPECT_TRUE(PollUntil([&] { return !DialogNamed("door").empty(); }, 10s)) << "the working copy rings";
}

TEST_F(TelephoneOnX, AMissedCallIsKeptWithTwoPicturesAndTheDesktopIsTold) {
  ASSERT_NO_FATAL_FAILURE(StartNotificationServer());
  Unit front;
  ASSERT_NO_FATAL_FAILURE(StartUnit(front, "127.0.0.2"));
  StartCopy(front, 400);
  ASSERT_TRUE(PollUntil([&] { return Telephones() == 1; }, 20s));
  SteadyCallButton(400);
  HideWindow(400);
  ASSERT_TRUE(PollUntil([&] { return DialogNamed("Front door").empty(); }, 10s));

  // The unit rings with its flag up while nobody is at the desk, then gives up.
  ASSERT_EQ(front.Get("/sim/flag?value=1"), "ok\n");
  ASSERT_EQ(front.Get(CallUs()), "ok\n");
  EXPECT_TRUE(PollUntil([&] { return notices.Find("Front door is ringing").has_value(); }, 10s));
  ASSERT_TRUE(PollUntil([&] { return !Visits().empty() && Visits()[0].pictures.size() == 2; }, 10s));
  ASSERT_EQ(front.Get("/sim/siphangup"), "ok\n");
  ASSERT_EQ(front.Get("/sim/flag?value=0"), "ok\n");

  std::vector<visitors::VisitRow> visits;
  ASSERT_TRUE(PollUntil([&] { return (visits = Visits()).size() == 1 && visits[0].visit.ended; }, 10s));
  EXPECT_EQ(visits[0].visit.outcome, visitors::Outcome::Missed);
  EXPECT_EQ(visits[0].title, "Front door");
  // Both pictures as the unit sent them: JPEG files of their own.
  for (const std::string& picture : visits[0].pictures)
    EXPECT_EQ(test_support::ReadFile(picture).substr(0, 2), "\xFF\xD8");
  EXPECT_NE(test_support::ReadFile(visits[0].pictures[0]), test_support::ReadFile(visits[0].pictures[1]));
  const std::time_t started = static_cast<std::time_t>(visits[0].visit.startMs / 1000);
  char hourMinute[8];
  std::strftime(hourMinute, sizeof hourMinute, "%H:%M", std::localtime(&started));
  EXPECT_TRUE(PollUntil([&] { return !notices.Find("Front door is ringing").has_value(); }, 10s));
  EXPECT_TRUE(PollUntil(
      [&] { return notices.Find("Missed call: Front door, " + std::string(hourMinute)).has_value(); }, 10s));
  EXPECT_FALSE(Visits()[0].seen);
  // "Show visitors" opens the Visitors window, which marks the visit seen.
  ASSERT_TRUE(notices.InvokeAction("Show visitors"));
  EXPECT_TRUE(PollUntil([&] { return !DialogNamed("Visitors").empty(); }, 10s));
  EXPECT_TRUE(PollUntil([&] { return Visits()[0].seen; }, 10s));
}

// The marks' own colours: the icon's artwork has amber shades too, but none of these.
bool Amber(std::uint32_t c) { return (c & 0xFFFFFF) == 0xF0A000; }
bool Red(std::uint32_t c) { return (c & 0xFFFFFF) == 0xE01010; }

TEST_F(TelephoneOnX, ARegistrarThatRefusesMarksEveryCopyAndItsTipSaysSoUnderTheMissedCallsMark) {
  test_support::SippPeer registrar;
  ASSERT_TRUE(registrar.Start(
      test_support::ReadFile(KESTROVA_SOURCE_DIR "/tests/data/sip/registrar_forbids.xml"), 0));
  const std::string account = "UseSIP=1\r\nSIP_addr=127.0.0.1:" + std::to_string(registrar.Port()) + "\r\n";
  Unit front;
  ASSERT_NO_FATAL_FAILURE(StartUnit(front, "127.0.0.2"));
  const pid_t copy[2] = {StartCopy(front, 0, "", account).Pid(), StartCopy(front, 400, "", account).Pid()};
  ASSERT_TRUE(PollUntil([&] { return registrar.Wait(0ms).has_value(); }, 20s)) << registrar.Log();

  // Every copy's mark; the tip (the refusal's box holds up its own copy's) gains the telephone's line.
  std::vector<int> icon;
  for (pid_t c : copy) EXPECT_TRUE(PollUntil([&] { return IconPixels(c, Amber, &icon) > 4; }, 15s)) << c;
  const int twoLines = TipHeight(icon);
  // A missed visit, and the code 12 its writer would send: the red dot alone, and the tip says both.
  std::string why;
  auto log = visitors::VisitorLog::Open(tmp / "data/Kestrova", &why);
  ASSERT_TRUE(log) << why;
  const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::system_clock::now().time_since_epoch())
                       .count();
  ASSERT_NE(log->Record({"127.0.0.2", now - 60'000, visitors::Outcome::Missed, 0, 0, true}, "Front door"), 0);
  setenv("XDG_RUNTIME_DIR", (tmp / "run").c_str(), 1);
  for (HWND running : RunningCopies())
    SendToRunningCopy(running, RegisterWindowMessage("Kestrova_1.39"), 12, 0);
  for (pid_t c : copy)
    EXPECT_TRUE(PollUntil([&] { return IconPixels(c, Red) > 4 && IconPixels(c, Amber) == 0; }, 15s)) << c;
  int threeLines = 0;
  PollUntil([&] { return (threeLines = TipHeight(icon)) > twoLines; }, 20s);  // the first tip: two lines
  EXPECT_TRUE(twoLines > 0 && threeLines > twoLines && twoLines >= 2 * (threeLines - twoLines))
      << twoLines << " then " << threeLines;
}

TEST_F(TelephoneOnX, AnsweredFromTheNotificationWithTheDoorOpenedThenRefusedFromIt) {
  ASSERT_NO_FATAL_FAILURE(StartNotificationServer());
  Unit front;
  ASSERT_NO_FATAL_FAILURE(StartUnit(front, "127.0.0.2"));
  StartCopy(front, 400, "pop=1\r\n");
  ASSERT_TRUE(PollUntil([&] { return Telephones() == 1; }, 20s));
  SteadyCallButton(400);
  HideWindow(400);
  ASSERT_TRUE(PollUntil([&] { return DialogNamed("Front door").empty(); }, 10s));

  ASSERT_EQ(front.Get(CallUs()), "ok\n");
  ASSERT_TRUE(PollUntil([&] { return notices.Find("Front door is ringing").has_value(); }, 10s));
  ASSERT_TRUE(notices.InvokeAction("Answer"));
  EXPECT_TRUE(PollUntil([&] { return front.Count("connected") == 1; }, 10s)) << front.Get("/sim/sipstate");
  EXPECT_TRUE(PollUntil([&] { return !notices.Find("Front door is ringing").has_value(); }, 10s));
  // The flag brings the window up (pop-up mode); relay 1 opens the door during the call.
  ASSERT_EQ(front.Get("/sim/flag?value=1"), "ok\n");
  ASSERT_TRUE(PollUntil([&] { return !DialogNamed("Front door").empty(); }, 10s));
  Click(400 + kWidth - 89 + 36, kHeight - 35 + 17);
  EXPECT_TRUE(
      PollUntil([&] { return front.Get("/sim/relays").find("\"relay1\":1") != std::string::npos; }, 10s));
  ASSERT_EQ(front.Get("/sim/siphangup"), "ok\n");
  ASSERT_EQ(front.Get("/sim/flag?value=0"), "ok\n");
  std::vector<visitors::VisitRow> visits;
  ASSERT_TRUE(PollUntil([&] { return (visits = Visits()).size() == 1 && visits[0].visit.ended; }, 10s));
  EXPECT_EQ(visits[0].visit.outcome, visitors::Outcome::Answered);
  EXPECT_GT(visits[0].visit.talkMs, 0);
  EXPECT_EQ(visits[0].visit.doorRelay, 1);

  // The next visitor is refused from the notification.
  HideWindow(400);
  ASSERT_TRUE(PollUntil([&] { return DialogNamed("Front door").empty(); }, 10s));
  ASSERT_EQ(front.Get(CallUs()), "ok\n");
  ASSERT_TRUE(PollUntil([&] { return notices.Find("Front door is ringing").has_value(); }, 10s));
  ASSERT_TRUE(notices.InvokeAction("Refuse"));
  EXPECT_TRUE(PollUntil([&] { return front.Count("ended") == 2; }, 10s)) << front.Get("/sim/sipstate");
  ASSERT_TRUE(PollUntil([&] { return (visits = Visits()).size() == 2 && visits[0].visit.ended; }, 10s));
  EXPECT_EQ(visits[0].visit.outcome, visitors::Outcome::Refused);
}

}  // namespace
