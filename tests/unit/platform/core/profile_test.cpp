// Tests of the settings file calls: Windows-made files, byte-exact edits, limits, concurrent writers.
#include "platform/core/profile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/core/bounds.h"
#include "platform/core/profile_update.h"
#include "tests/support/temp_folder.h"

namespace {

using test_support::TempFolder;

void Store(const std::string& path, const std::string& content) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
  close(fd);
}

std::string Load(const std::string& path) {
  std::string content;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "<missing>";
  char chunk[4096];
  ssize_t n;
  while ((n = read(fd, chunk, sizeof chunk)) > 0) content.append(chunk, static_cast<std::size_t>(n));
  close(fd);
  return content;
}

std::string Get(const std::string& file, const char* section, const char* key,
                const char* deflt = "<default>") {
  char buffer[256];
  GetPrivateProfileString(section, key, deflt, buffer, sizeof buffer, file.c_str());
  return buffer;
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

// A file as Windows or a careful user leaves it: BOM, CRLF, odd spacing, comments, duplicates.
const std::string kWindowsFile =
    "\xEF\xBB\xBF; Kestrova settings\r\n"
    "Orphan=before any section\r\n"
    "[Window 0]\r\n"
    "Left = -12\r\n"
    "  TOP\t=\t  34  \r\n"
    "Title=\"  quoted value  \"\r\n"
    "Single='x'\r\n"
    "Mismatch=\"half'\r\n"
    "; Hidden=1\r\n"
    "not a key line\r\n"
    "Sound capture = Line in\r\n"
    "left=777\r\n"
    "\r\n"
    "[ door ]\r\n"
    "Host=10.0.0.5\r\n"
    "Empty=\r\n"
    "[WINDOW 0]\r\n"
    "Left=555\r\n"
    "Extra=from the second copy\r\n";

TEST(ProfileRead, WindowsFileReadsLikeOnWindows) {
  TempFolder dir;
  std::string file = (dir / "kestrova.ini");
  Store(file, kWindowsFile);

  EXPECT_EQ(Get(file, "Window 0", "Left"), "-12");
  EXPECT_EQ(Get(file, " window 0\t", " LEFT "), "-12");
  EXPECT_EQ(Get(file, "WINDOW 0", "top"), "34");
  EXPECT_EQ(Get(file, "Window 0", "Title"), "  quoted value  ");
  EXPECT_EQ(Get(file, "Window 0", "Single"), "x");
  EXPECT_EQ(Get(file, "Window 0", "Mismatch"), "\"half'");
  EXPECT_EQ(Get(file, "Window 0", "sound CAPTURE"), "Line in");
  EXPECT_EQ(Get(file, "DOOR", "host"), "10.0.0.5");
  EXPECT_EQ(Get(file, "door", "Empty"), "") << "an empty value is a value, not a missing key";

  // Comments, lines without '=', keys outside every section and later duplicates are not reachable.
  EXPECT_EQ(Get(file, "Window 0", "Hidden"), "<default>");
  EXPECT_EQ(Get(file, "Window 0", "; Hidden"), "<default>");
  EXPECT_EQ(Get(file, "Window 0", "not a key line"), "<default>");
  EXPECT_EQ(Get(file, "Window 0", "Orphan"), "<default>");
  EXPECT_EQ(Get(file, "Window 0", "Extra"), "<default>");
  EXPECT_EQ(GetPrivateProfileInt("window 0", "left", 0, file.c_str()), -12);
}

TEST(ProfileRead, DefaultsWhenFileSectionOrKeyIsMissing) {
  TempFolder dir;
  std::string file = (dir / "kestrova.ini");
  EXPECT_EQ(Get(file, "Door", "Host"), "<default>");
  EXPECT_EQ(GetPrivateProfileInt("Door", "Port", 80, file.c_str()), 80);

  Store(file, "[Door]\nHost=gate\n");
  EXPECT_EQ(Get(file, "Window", "Host"), "<default>");
  EXPECT_EQ(Get(file, "Door", "Port"), "<default>");
  EXPECT_EQ(Get(file, "Door", "Port", nullptr), "");
  EXPECT_EQ(Get(file, "Door", "Port", "trailing  "), "trailing")
      << "Windows drops the default's trailing spaces";
  EXPECT_EQ(Get(dir.path(), "Door", "Host"), "<default>") << "a folder in the file's place";
  EXPECT_EQ(Get(file, "Door", "Host", nullptr), "gate");
}

TEST(ProfileRead, WidthCutsValueAndDefaultWithoutOverrun) {
  TempFolder dir;
  std::string file = (dir / "kestrova.ini");
  Store(file, "[a]\nk=abcdef\n");
  char buffer[16];
  auto call = [&](const char* key, DWORD width) {
    std::fill(std::begin(buffer), std::end(buffer), '#');
    return GetPrivateProfileString("a", key, "defaultvalue", buffer, width, file.c_str());
  };

  EXPECT_EQ(call("k", 0), 0u);
  EXPECT_EQ(buffer[0], '#') << "width 0 must not touch the buffer";
  EXPECT_EQ(call("k", 1), 0u);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(call("k", 4), 3u);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(buffer[4], '#');
  EXPECT_EQ(call("k", 7), 6u);
  EXPECT_STREQ(buffer, "abcdef");
  EXPECT_EQ(call("missing", 4), 3u);
  EXPECT_STREQ(buffer, "def");
}

TEST(ProfileRead, NullKeyOrSectionListsNames) {
  TempFolder dir;
  std::string file = (dir / "kestrova.ini");
  Store(file, kWindowsFile);
  char buffer[64];

  DWORD n = GetPrivateProfileString(nullptr, nullptr, "", buffer, sizeof buffer, file.c_str());
  EXPECT_EQ(std::string(buffer, n + 1), std::string("Window 0\0door\0", 15)) << "the duplicate section once";

  n = GetPrivateProfileString("door", nullptr, "", buffer, sizeof buffer, file.c_str());
  EXPECT_EQ(std::string(buffer, n + 1), std::string("Host\0Empty\0", 12));

  n = GetPrivateProfileString("door", nullptr, "", buffer, 8, file.c_str());
  EXPECT_EQ(n, 6u);
  EXPECT_EQ(std::string(buffer, 8), std::string("Host\0E\0\0", 8)) << "a cut list still ends with two NULs";

  n = GetPrivateProfileString("nowhere", nullptr, "ignored", buffer, sizeof buffer, file.c_str());
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(std::string(buffer, 2), std::string("\0\0", 2));
}

TEST(ProfileRead, DamagedFilesGiveWhatStillParses) {
  TempFolder dir;
  std::string file = (dir / "kestrova.ini");
  const char damaged[] = "[a]\nk1=v1\n\0\0\0garbage\xff\xfe\n[b\nk2=v\0zz\nk3=cut-in-the-mid";
  Store(file, std::string(damaged, sizeof damaged - 1));
  EXPECT_EQ(Get(file, "a", "k1"), "v1");
  EXPECT_EQ(Get(file, "a", "k2"), "v") << "'[b' is no header and a NUL ends the value";
  EXPECT_EQ(Get(file, "a", "k3"), "cut-in-the-mid");

  // Every prefix of a good file, as a writer killed at any byte would leave it.
  const std::string whole = "[Door]\r\nHost=gate.local\r\nPort=8080\r\n[Window 0]\r\nLeft=-5\r\n";
  for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
    Store(file, whole.substr(0, cut));
    std::string host = Get(file, "Door", "Host", "");
    std::string left = Get(file, "Window 0", "Left", "");
    ASSERT_EQ(std::string("gate.local").substr(0, host.size()), host) << "cut at " << cut;
    ASSERT_EQ(std::string("-5").substr(0, left.size()), left) << "cut at " << cut;
  }

  std::mt19937 random(7);
  std::string garbage(64 * 1024, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  Store(file, garbage + "\n[z]\nk=found\n");
  EXPECT_EQ(Get(file, "z", "k"), "found");
  EXPECT_EQ(WritePrivateProfileString("z", "j", "added", file.c_str()), TRUE);
  EXPECT_EQ(Load(file), garbage + "\n[z]\nk=found\nj=added\n");
}

TEST(ProfileRead, OversizedFileIsRefused) {
  TempFolder dir;
  std::string file = (dir / "kestrova.ini");
  std::string big = "[a]\nk=v\n;" + std::string(1024 * 1024, 'x') + "\n";
  Store(file, big);
  EXPECT_EQ(Get(file, "a", "k"), "<default>");
  EXPECT_EQ(WritePrivateProfileString("a", "k", "w", file.c_str()), FALSE);
  EXPECT_EQ(Load(file), big);
}

TEST(ProfileInt, ParsesLeadingNumberAndClamps) {
  TempFolder dir;
  std::string file = (dir / "kestrova.ini");
  Store(file,
        "[n]\nneg=-250\npos=+17\nunit=42px\nword=px\nempty=\nspaced=  -7  \nquoted=\"12\"\n"
        "big=99999999999999999999\nsmall=-99999999999999999999\nmax=2147483647\nmin=-2147483648\n"
        "over=2147483648\nsign=-\n");
  auto get = [&](const char* key) { return GetPrivateProfileInt("n", key, 31337, file.c_str()); };
  EXPECT_EQ(get("neg"), -250);
  EXPECT_EQ(get("pos"), 17);
  EXPECT_EQ(get("unit"), 42);
  EXPECT_EQ(get("word"), 0);
  EXPECT_EQ(get("empty"), 31337);
  EXPECT_EQ(get("spaced"), -7);
  EXPECT_EQ(get("quoted"), 12);
  EXPECT_EQ(get("big"), INT_MAX);
  EXPECT_EQ(get("small"), INT_MIN);
  EXPECT_EQ(get("max"), INT_MAX);
  EXPECT_EQ(get("min"), INT_MIN);
  EXPECT_EQ(get("over"), INT_MAX);
  EXPECT_EQ(get("sign"), 0);
  EXPECT_EQ(get("missing"), 31337);
}

TEST(ProfileWrite, ChangesOnlyTheKeyInWindowsFile) {
  TempFolder dir;
  std::string file = (dir / "kestrova.ini");
  Store(file, kWindowsFile);
  std::string expected = kWindowsFile;

  ASSERT_EQ(WritePrivateProfileString("window 0", "LEFT", "100", file.c_str()), TRUE);
  expected.replace(expected.find("Left = -12"), 10, "Left=100");
  EXPECT_EQ(Load(file), expected) << "existing spelling, CRLF and every other byte kept";

  ASSERT_EQ(WritePrivateProfileString("Window 0", "Width", "640", file.c_str()), TRUE);
  expected.insert(expected.find("left=777\r\n") + 10, "Width=640\r\n");
  EXPECT_EQ(Load(file), expected) << "inserted after the last key of the first matching section";

  ASSERT_EQ(WritePrivateProfileString("Audio", "Volume", "5", file.c_str()), TRUE);
  expected += "\r\n[Audio]\r\nVolume=5\r\n";
  EXPECT_EQ(Load(file), expected);

  EXPECT_EQ(Get(file, "window 0", "left"), "100");
  EXPECT_EQ(Get(file, "audio", "volume"), "5");
}

TEST(ProfileWrite, EditsLeaveTheRestByteForByte) {
  struct Case {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  };
  const std::vector<Case> cases = {
      {"empty file", "", "s", "k", "v", "[s]\nk=v\n"},
      {"indented key", "[a]\n  k = 1  \nj=2\n", "a", "k", "5", "[a]\nk=5\nj=2\n"},
      {"before trailing comment", "[a]\nk=1\n\n; note\n[b]\n", "a", "n", "2",
       "[a]\nk=1\nn=2\n\n; note\n[b]\n"},
      {"section without keys", "[a]\n; note\n[b]\n", "a", "k", "v", "[a]\nk=v\n; note\n[b]\n"},
      {"header without newline", "[a]", "a", "k", "v", "[a]\nk=v\n"},
      {"last key without newline", "[a]\nk=1", "a", "j", "2", "[a]\nk=1\nj=2\n"},
      {"new section, no final newline", "[a]\nk=1", "b", "x", "y", "[a]\nk=1\n\n[b]\nx=y\n"},
      {"new section after blank line", "[a]\nk=1\n\n", "b", "x", "y", "[a]\nk=1\n\n[b]\nx=y\n"},
      {"new section in CRLF file", "[a]\r\nk=1\r\n", "b", "x", "y", "[a]\r\nk=1\r\n\r\n[b]\r\nx=y\r\n"},
      {"first duplicate section", "[a]\nk=1\n[A]\nk=2\n", "a", "k", "3", "[a]\nk=3\n[A]\nk=2\n"},
      {"key before any section", "k=1\n[a]\n", "a", "k", "2", "k=1\n[a]\nk=2\n"},
      {"line keeps own ending", "[a]\r\nk=1\r\nj=2\nm=3\n", "a", "k", "9", "[a]\r\nk=9\r\nj=2\nm=3\n"},
      {"half-written CR at end", "[a]\nk=1\r", "a", "j", "2", "[a]\nk=1\r\nj=2\n"},
      {"BOM kept on first line", "\xEF\xBB\xBFk=1\n[a]\nk=1\n", "a", "k", "2", "\xEF\xBB\xBFk=1\n[a]\nk=2\n"},
      {"delete key", "[a]\nk=1\nj=2\n", "a", "k", nullptr, "[a]\nj=2\n"},
      {"delete section", "[a]\nk=1\n; of a\n[b]\nj=2\n", "A", nullptr, nullptr, "[b]\nj=2\n"},
      {"delete missing key", "[a]\nj=2", "a", "k", nullptr, "[a]\nj=2"},
  };
  TempFolder dir;
  std::string file = (dir / "kestrova.ini");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    unlink(file.c_str());
    if (!c.before.empty()) Store(file, c.before);
    EXPECT_EQ(WritePrivateProfileString(c.section, c.key, c.value, file.c_str()), TRUE);
    EXPECT_EQ(Load(file), c.after);
  }
}

TEST(ProfileWrite, FileModesAndLinks) {
  TempFolder dir;
  std::string file = (dir / "kestrova.ini");
  ASSERT_EQ(WritePrivateProfileString("Door", "Password", "secret", file.c_str()), TRUE);
  EXPECT_EQ(ModeOf(file), 0600u) << "a new file holds a password";
  EXPECT_EQ(ModeOf(file + ".lock"), 0600u);

  chmod(file.c_str(), 0644);
  ASSERT_EQ(WritePrivateProfileString("Door", "Host", "gate", file.c_str()), TRUE);
  EXPECT_EQ(ModeOf(file), 0644u) << "an existing file keeps its mode";

  std::string link = (dir / "link.ini");
  ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
  ASSERT_EQ(WritePrivateProfileString("Door", "Port", "81", link.c_str()), TRUE);
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link must not be replaced by a copy";
  EXPECT_EQ(Get(file, "Door", "Port"), "81");
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"kestrova.ini", "kestrova.ini.lock", "link.ini"}));
}

TEST(ProfileWrite, RefusesWhatWouldBreakTheFile) {
  TempFolder dir;
  std::string file = (dir / "kestrova.ini");
  struct Attempt {
    const char* section;
    const char* key;
    const char* value;
  };
  const Attempt refused[] = {
      {"a", "k", "one\ntwo"}, {"a", "k", "one\rtwo"}, {"a", "k", "x\r\n[evil]\r\npw=1"},
      {"a]b", "k", "v"},      {"a\nb", "k", "v"},     {"", "k", "v"},
      {" \t", "k", "v"},      {nullptr, "k", "v"},    {"a", "k=x", "v"},
      {"a", "k\nx", "v"},     {"a", "", "v"},         {"a", ";k", "v"},
      {"a", "[k", "v"},
  };
  for (const Attempt& a : refused) {
    EXPECT_EQ(WritePrivateProfileString(a.section, a.key, a.value, file.c_str()), FALSE)
        << (a.section ? a.section : "(null)") << " / " << a.key << " / " << a.value;
  }
  EXPECT_TRUE(dir.Entries().empty()) << "a refused write creates nothing";

  Store(file, "[a]\nk=1\n");
  for (const Attempt& a : refused) WritePrivateProfileString(a.section, a.key, a.value, file.c_str());
  EXPECT_EQ(Load(file), "[a]\nk=1\n");
  EXPECT_EQ(WritePrivateProfileString("a", "k", "1", nullptr), FALSE);

  // What reading would trim or unquote goes in quotes, so that it reads back as given.
  char back[32];
  for (const char* value : {" pw ", "'q'", "\"\"", "plain"}) {
    ASSERT_EQ(WritePrivateProfileString("a", "k", value, file.c_str()), TRUE);
    GetPrivateProfileString("a", "k", "", back, sizeof back, file.c_str());
    EXPECT_STREQ(back, value);
  }
  EXPECT_EQ(Load(file), "[a]\nk=plain\n");
}

TEST(ProfileWrite, FailsCleanlyWhereNothingCanBeWritten) {
  TempFolder dir;
  EXPECT_EQ(WritePrivateProfileString("a", "k", "v", (dir / "no/such/folder.ini").c_str()), FALSE);
  Store((dir / "plain"), "x");
  EXPECT_EQ(WritePrivateProfileString("a", "k", "v", (dir / "plain/kestrova.ini").c_str()), FALSE);
  ASSERT_EQ(mkdir((dir / "folder.ini").c_str(), 0700), 0);
  EXPECT_EQ(WritePrivateProfileString("a", "k", "v", (dir / "folder.ini").c_str()), FALSE);
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"plain", "folder.ini", "folder.ini.lock"}));
}

TEST(ProfileWrite, HonoursPermissions) {
  if (geteuid() == 0) GTEST_SKIP() << "root is not stopped by permissions";
  TempFolder dir;
  std::string file = (dir / "kestrova.ini");
  Store(file, "[a]\nk=1\n");
  chmod(file.c_str(), 0400);
  EXPECT_EQ(WritePrivateProfileString("a", "k", "2", file.c_str()), FALSE)
      << "a read-only file stays as it is";
  EXPECT_EQ(Load(file), "[a]\nk=1\n");

  chmod(file.c_str(), 0000);
  EXPECT_EQ(Get(file, "a", "k"), "<default>");
  EXPECT_EQ(WritePrivateProfileString("a", "j", "2", file.c_str()), FALSE)
      << "an unreadable file is not overwritten";
  chmod(file.c_str(), 0600);

  TempFolder locked;
  chmod(locked.path().c_str(), 0500);
  EXPECT_EQ(WritePrivateProfileString("a", "k", "v", (locked / "kestrova.ini").c_str()), FALSE);
  EXPECT_TRUE(locked.Entries().empty());
}

// Reaps every writer, reading the file meanwhile; returns the readers' complaints, each once.
std::string WatchWriters(std::vector<pid_t>& writers, const std::string& file, int baseKeys) {
  std::set<std::string> complaints;
  auto report = [&complaints] {
    std::string all;
    for (const std::string& c : complaints) all += c + "\n";
    return all;
  };
  std::set<std::string> seen;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  for (long round = 0; !writers.empty(); ++round) {
    if (std::chrono::steady_clock::now() > deadline) {
      for (pid_t pid : writers) kill(pid, SIGKILL);
      for (pid_t pid : writers) waitpid(pid, nullptr, 0);
      complaints.insert("writers did not finish in time");
      return report();
    }
    std::string base = "b" + std::to_string(round % baseKeys);
    if (GetPrivateProfileInt("Base", base.c_str(), -1, file.c_str()) != static_cast<int>(round % baseKeys)) {
      complaints.insert("base key " + base + " missing");
    }
    std::string key = "w" + std::to_string(round % 4) + "k" + std::to_string(round / 4 % 50);
    std::string section = "S" + std::to_string(round / 4 % 50 % 3);
    bool present = Get(file, section.c_str(), key.c_str()) != "<default>";
    if (present) seen.insert(key);
    if (!present && seen.count(key)) complaints.insert("key " + key + " vanished");

    int status = 0;
    for (auto it = writers.begin(); it != writers.end();) {
      pid_t done = waitpid(*it, &status, WNOHANG);
      if (done == *it && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        complaints.insert("a writer failed");
      it = done == *it ? writers.erase(it) : it + 1;
    }
  }
  return report();
}

TEST(ProfileConcurrency, ParallelWritersLoseNothing) {
  TempFolder dir;
  std::string file = (dir / "shared.ini");
  constexpr int kBaseKeys = 20;
  for (int i = 0; i < kBaseKeys; ++i) {
    std::string key = "b" + std::to_string(i);
    ASSERT_EQ(WritePrivateProfileString("Base", key.c_str(), std::to_string(i).c_str(), file.c_str()), TRUE);
  }

  std::vector<pid_t> writers;
  for (int w = 0; w < 4; ++w) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      for (int k = 0; k < 50; ++k) {
        std::string section = "S" + std::to_string(k % 3);
        std::string key = "w" + std::to_string(w) + "k" + std::to_string(k);
        std::string value = std::to_string(w) + ":" + std::to_string(k);
        if (WritePrivateProfileString(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != TRUE)
          ++failures;
      }
      _exit(failures == 0 ? 0 : 1);
    }
    writers.push_back(pid);
  }
  EXPECT_EQ(WatchWriters(writers, file, kBaseKeys), "");

  for (int w = 0; w < 4; ++w) {
    for (int k = 0; k < 50; ++k) {
      std::string section = "S" + std::to_string(k % 3);
      std::string key = "w" + std::to_string(w) + "k" + std::to_string(k);
      EXPECT_EQ(Get(file, section.c_str(), key.c_str()), std::to_string(w) + ":" + std::to_string(k)) << key;
    }
  }
  for (int i = 0; i < kBaseKeys; ++i) {
    EXPECT_EQ(GetPrivateProfileInt("Base", ("b" + std::to_string(i)).c_str(), -1, file.c_str()), i);
  }
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"shared.ini", "shared.ini.lock"}))
      << "no temporary file left";
}

TEST(ProfileConcurrency, ACopyHoldingTheLockForeverCostsOthersABoundedWait) {
  TempFolder dir;
  const std::string file = (dir / "k.ini");
  Store(file, "[Window 0]\nLeft=1\n");
  Store(file + ".lock", "");
  // flock belongs to the open file: a second descriptor in this process stands for a stopped copy.
  int holder = open((file + ".lock").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(WritePrivateProfileString("Window 0", "Left", "2", file.c_str()));
  // The test environment's KESTROVA_BOUND_SCALE shortens the wait; it is still waited out whole.
  const auto bound = bounds::Bound(std::chrono::milliseconds(profile::kLockWaitMs));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, bound);
  EXPECT_LT(waited, bound + std::chrono::seconds(3));
  EXPECT_EQ(Load(file), "[Window 0]\nLeft=1\n");
  close(holder);
  EXPECT_TRUE(WritePrivateProfileString("Window 0", "Left", "2", file.c_str()));
  EXPECT_EQ(Get(file, "Window 0", "Left"), "2");
}

}  // namespace
