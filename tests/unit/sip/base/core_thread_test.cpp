// The SIP thread with a real core: start on a port of its own, requests between iteration steps, the
// silent card where the machine has no sound, the device names listed without a core, and the SIP role held
// by one process at a time.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "sip/base/silent_card.h"
#include "sip/base/sip_thread.h"
#include "sip/base/sound_devices.h"
#include "state/sip_role.h"
#include "tests/support/free_port.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace std::chrono_literals;

std::atomic<int> g_globalStates{0};
void CountGlobalState(LinphoneCore*, LinphoneGlobalState, const char*) { ++g_globalStates; }

TEST(SipThread, OwnsARealCoreThatListensOnItsPortAndRunsRequests) {
  test_support::TempFolder home;
  setenv("HOME", home.path().c_str(), 1);  // a core that opened files would leave them here
  const int port = test_support::FreeUdpPort();
  ASSERT_NE(port, 0);
  t_SipVTable table{};
  table.general_state = CountGlobalState;
  SipThread sip;
  SipCoreStarted started;
  ASSERT_TRUE(sip.Start({port, &table, "no such capture device", "", ""}, PlainSipWait, &started));
  EXPECT_TRUE(sip.Running());
  EXPECT_EQ(started.udpPort, port);
  EXPECT_NE(started.core, nullptr);
  EXPECT_GT(g_globalStates.load(), 0);
  // An unknown device name is replaced by what the library uses.
  EXPECT_NE(started.capture, "no such capture device");
  EXPECT_FALSE(started.capture.empty());

  // The port is taken: a socket of our own cannot have it.
  int probe = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  EXPECT_NE(bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(probe);

  std::thread::id ranOn;
  LinphoneCall* call = reinterpret_cast<LinphoneCall*>(1);
  ASSERT_TRUE(sip.Call(
      [&](LinphoneCore* core) {
        ranOn = std::this_thread::get_id();
        call = linphone_core_invite(core, "sip:");  // not an address: no call, no callback
      },
      PlainSipWait, 3s));
  EXPECT_NE(ranOn, std::this_thread::get_id());
  EXPECT_EQ(call, nullptr);

  // The settings dialog lists the devices without a core: the names the core knows, in its order (the
  // core may have a silent card of its own besides).
  std::vector<std::string> known;
  ASSERT_TRUE(sip.Call(
      [&](LinphoneCore* core) {
        // The core keeps the list.
        for (const bctbx_list_t* it = linphone_core_get_sound_devices_list(core); it != nullptr;
             it = it->next)
          known.emplace_back(static_cast<const char*>(it->data));
      },
      PlainSipWait, 3s));
  const std::vector<std::string> listed = SoundDeviceNames();
  std::erase_if(known, [&](const std::string& name) {
    return std::find(listed.begin(), listed.end(), name) == listed.end();
  });
  EXPECT_EQ(known, listed);
  // Neither the core nor the device list loads the packaged media plugins: a video display, and the
  // second GUI toolkit it maps.
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);)
    EXPECT_EQ(line.find("/mediastreamer/plugins/"), std::string::npos) << line;

  sip.Stop(PlainSipWait);
  EXPECT_FALSE(sip.Running());
  EXPECT_FALSE(sip.Call([](LinphoneCore*) {}, PlainSipWait, 100ms));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(home.path()))
    if (!entry.is_directory()) ADD_FAILURE() << "the core wrote " << entry.path();
}

TEST(SipRole, OneProcessAtATimeAndAKilledHolderFreesIt) {
  test_support::TempFolder run;
  setenv("XDG_RUNTIME_DIR", run.path().c_str(), 1);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    const char answer = TakeSipRole() ? 'y' : 'n';
    if (write(ready[1], &answer, 1) != 1) _exit(2);
    pause();
    _exit(0);
  }
  char answer = 0;
  ASSERT_EQ(read(ready[0], &answer, 1), 1);
  EXPECT_EQ(answer, 'y');
  EXPECT_FALSE(TakeSipRole());
  EXPECT_FALSE(HoldsSipRole());
  kill(holder, SIGKILL);
  int status = 0;
  waitpid(holder, &status, 0);
  EXPECT_TRUE(TakeSipRole());
  EXPECT_TRUE(TakeSipRole());  // taking it again keeps it
  EXPECT_TRUE(HoldsSipRole());
  ReleaseSipRole();
  EXPECT_FALSE(HoldsSipRole());
  close(ready[0]);
  close(ready[1]);
  unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
