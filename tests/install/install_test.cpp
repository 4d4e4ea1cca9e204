// The program as installed: the files an install puts down, their validators, the terminal's options,
// the log-in start, and the Debian package made from the same tree.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/x_session.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test_support::ChildEnvironment;
using test_support::ReadFile;
using test_support::RunCommand;
using test_support::TempFolder;

const std::string kStage = STAGE_DIR;
const std::string kProgram = KESTROVA_BINARY;

std::set<std::string> ExpectedFiles() {
  std::set<std::string> files = {
      "usr/bin/kestrova",
      "usr/bin/kestrova-doorsim",
      "usr/share/applications/kestrova.desktop",
      "usr/share/metainfo/org.kestrova.Kestrova.metainfo.xml",
      "usr/share/icons/hicolor/scalable/apps/kestrova.svg",
      "usr/share/man/man1/kestrova.1.gz",
      "usr/share/man/man1/kestrova-doorsim.1.gz",
      "usr/share/doc/kestrova/copyright",
      "usr/share/doc/kestrova/changelog.Debian.gz",
  };
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    files.insert("usr/share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) +
                 "/apps/kestrova.png");
  return files;
}

std::set<std::string> StagedFiles() {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(kStage))
    if (!entry.is_directory()) files.insert(fs::relative(entry.path(), kStage).string());
  return files;
}

// A PNG's width and height from its header chunk.
std::pair<int, int> PngSize(const std::string& path) {
  const std::string bytes = ReadFile(path);
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
  auto at = [&](std::size_t i) {
    return (static_cast<unsigned char>(bytes[i]) << 24) | (static_cast<unsigned char>(bytes[i + 1]) << 16) |
           (static_cast<unsigned char>(bytes[i + 2]) << 8) | static_cast<unsigned char>(bytes[i + 3]);
  };
  return {static_cast<int>(at(16)), static_cast<int>(at(20))};
}

std::string ValueOf(const std::string& desktopEntry, const std::string& key) {
  const std::size_t at = desktopEntry.find("\n" + key + "=");
  if (at == std::string::npos) return {};
  const std::size_t start = at + key.size() + 2;
  return desktopEntry.substr(start, desktopEntry.find('\n', start) - start);
}

std::set<std::string> Entries(const std::string& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) names.insert(entry.path().filename().string());
  return names;
}

TEST(InstalledFiles, AreExactlyTheExpectedOnesAndPassTheirValidators) {
  EXPECT_EQ(StagedFiles(), ExpectedFiles());

  const std::string desktop = kStage + "/usr/share/applications/kestrova.desktop";
  auto validated = RunCommand("/usr/bin/desktop-file-validate", {desktop});
  EXPECT_TRUE(validated.finished && validated.exitCode == 0) << validated.output;
  const std::string entry = ReadFile(desktop);
  // The desktop matches the running window to its menu entry by the window's class.
  EXPECT_EQ(ValueOf(entry, "StartupWMClass"), "KestrovaClass");
  EXPECT_EQ(ValueOf(entry, "Exec"), "kestrova");
  EXPECT_EQ(ValueOf(entry, "Terminal"), "false");

  auto appstream = RunCommand(
      "/usr/bin/appstreamcli",
      {"validate", "--no-net", kStage + "/usr/share/metainfo/org.kestrova.Kestrova.metainfo.xml"}, {}, 60s);
  EXPECT_TRUE(appstream.finished && appstream.exitCode == 0) << appstream.output;

  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    EXPECT_EQ(PngSize(kStage + "/usr/share/icons/hicolor/" + folder + "/apps/kestrova.png"),
              std::make_pair(size, size))
        << folder;
  }
  const std::string svg = ReadFile(kStage + "/usr/share/icons/hicolor/scalable/apps/kestrova.svg");
  EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);

  struct stat st {};
  ASSERT_EQ(stat((kStage + "/usr/bin/kestrova").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
}

class InstalledProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"cfg", "run", "home", "config"}) fs::create_directory(tmp / folder);
  }
  // The program started from the terminal with its folders in the test's own; no display.
  test_support::CommandResult Run(const std::string& program, const std::vector<std::string>& args) {
    ChildEnvironment env;
    env.set = {{"ALLUSERSPROFILE", tmp / "cfg"},
               {"XDG_RUNTIME_DIR", tmp / "run"},
               {"XDG_CONFIG_HOME", tmp / "config"},
               {"HOME", tmp / "home"}};
    env.unset = {"DISPLAY", "WAYLAND_DISPLAY"};
    return RunCommand(program, args, env, 30s);
  }
  TempFolder tmp;
};

TEST_F(InstalledProgram, AnswersOnTheTerminalWithoutStartingACopy) {
  auto version = Run(kProgram, {"--version"});
  EXPECT_TRUE(version.finished && version.exitCode == 0);
  EXPECT_EQ(version.output, "Kestrova_" KESTROVA_VERSION "\n");

  // Other arguments are ignored; the first option answered wins.
  auto help = Run(kProgram, {"-iconic", "--help", "--version"});
  EXPECT_TRUE(help.finished && help.exitCode == 0);
  EXPECT_EQ(help.output.rfind("Usage: kestrova", 0), 0u) << help.output;
  EXPECT_NE(help.output.find("Settings file: " + (tmp / "cfg/Kestrova/Kestrova.ini")), std::string::npos)
      << help.output;

  auto wrong = Run(kProgram, {"--autostart", "sometimes"});
  EXPECT_TRUE(wrong.finished && wrong.exitCode == 2);

  // No copy started: no lock, no socket, no picture file, and not even the settings folder.
  EXPECT_TRUE(Entries(tmp / "run").empty());
  EXPECT_TRUE(Entries(tmp / "cfg").empty());
  EXPECT_TRUE(Entries(tmp / "config").empty());

  auto simulator = Run(DOORSIM_BINARY, {"--help"});
  EXPECT_TRUE(simulator.finished && simulator.exitCode == 0);
  EXPECT_EQ(simulator.output.rfind("usage: kestrova-doorsim --listen", 0), 0u) << simulator.output;
}

TEST_F(InstalledProgram, AutostartOnThenOffLeavesTheAutostartFolderAsItWas) {
  const std::string autostart = tmp / "config/autostart";
  fs::create_directory(autostart);
  ASSERT_TRUE(test_support::WriteFile(autostart + "/other.desktop", "[Desktop Entry]\nType=Application\n"));

  // Installed where a path needs quoting in an Exec line.
  const std::string odd = tmp / "my apps $1";
  fs::create_directory(odd);
  fs::copy_file(kProgram, odd + "/kestrova");
  fs::permissions(odd + "/kestrova", fs::perms::owner_all);

  auto on = Run(odd + "/kestrova", {"--autostart", "on"});
  EXPECT_TRUE(on.finished && on.exitCode == 0) << on.output;
  const std::string entry = autostart + "/kestrova.desktop";
  EXPECT_EQ(Entries(autostart), (std::set<std::string>{"other.desktop", "kestrova.desktop"}));
  auto validated = RunCommand("/usr/bin/desktop-file-validate", {entry});
  EXPECT_TRUE(validated.finished && validated.exitCode == 0) << validated.output;
  // Quoted, with the dollar sign escaped once for the argument and once more for the file's string.
  EXPECT_EQ(ValueOf(ReadFile(entry), "Exec"), "\"" + tmp.path() + "/my apps \\\\$1/kestrova\"");
  EXPECT_EQ(ValueOf(ReadFile(entry), "StartupWMClass"), "KestrovaClass");
  struct stat st {};
  ASSERT_EQ(stat(entry.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);

  // Switching it on twice leaves one entry; off removes it, and off again is no fault.
  EXPECT_EQ(Run(kProgram, {"--autostart", "on"}).exitCode, 0);
  EXPECT_EQ(ValueOf(ReadFile(entry), "Exec"), kProgram);
  for (int i = 0; i < 2; ++i) {
    auto off = Run(kProgram, {"--autostart", "off"});
    EXPECT_TRUE(off.finished && off.exitCode == 0);
  }
  EXPECT_EQ(Entries(autostart), (std::set<std::string>{"other.desktop"}));
  EXPECT_EQ(ReadFile(autostart + "/other.desktop"), "[Desktop Entry]\nType=Application\n");
  EXPECT_TRUE(Entries(tmp / "run").empty());

  // Where the autostart folder cannot be made, the program says so and ends with 1.
  ASSERT_TRUE(test_support::WriteFile(tmp / "config/blocker", ""));
  ChildEnvironment blocked;
  blocked.set = {{"XDG_CONFIG_HOME", tmp / "config/blocker"}};
  auto refused = RunCommand(kProgram, {"--autostart", "on"}, blocked, 30s);
  EXPECT_TRUE(refused.finished && refused.exitCode == 1);
}

TEST(DebianPackage, IsFreeOfLintianErrorsAndHoldsTheInstalledFiles) {
  const std::string deb = std::string(DEBIAN_DIR) + "/kestrova_" KESTROVA_VERSION "-1_amd64.deb";
  ASSERT_TRUE(fs::exists(deb)) << deb;

  auto field = [&](const char* name) {
    auto r = RunCommand("/usr/bin/dpkg-deb", {"--field", deb, name});
    return r.output;
  };
  EXPECT_EQ(field("Package"), "kestrova\n");
  EXPECT_EQ(field("Version"), KESTROVA_VERSION "-1\n");
  // Dependencies come from the binaries' libraries.
  const std::string depends = field("Depends");
  for (const char* library : {"libqt6widgets6", "libcurl4", "libfreeimage3", "libturbojpeg0"})
    EXPECT_NE(depends.find(library), std::string::npos) << library << " missing in: " << depends;

  std::set<std::string> packed;
  auto listing = RunCommand("/usr/bin/dpkg-deb", {"--contents", deb}, {}, 60s);
  std::istringstream lines(listing.output);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t dot = line.find(" ./");
    if (dot != std::string::npos && line[0] != 'd') packed.insert(line.substr(dot + 3));
  }
  EXPECT_EQ(packed, ExpectedFiles());

  auto lintian = RunCommand("/usr/bin/lintian", {"--fail-on", "error", deb}, {}, 240s);
  EXPECT_TRUE(lintian.finished && lintian.exitCode == 0) << lintian.output;
}

}  // namespace
