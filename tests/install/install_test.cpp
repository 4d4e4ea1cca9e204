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
const int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

std::string IconPng(int size) {
  return "usr/share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) +
         "/apps/kestrova.png";
}

std::set<std::string> ExpectedFiles() {
  std::set<std::string> files;
  std::istringstream names(
      "bin/kestrova bin/kestrova-doorsim share/applications/kestrova.desktop "
      "share/metainfo/org.kestrova.Kestrova.metainfo.xml share/icons/hicolor/scalable/apps/kestrova.svg "
      "share/man/man1/kestrova.1.gz share/man/man1/kestrova-doorsim.1.gz share/doc/kestrova/copyright "
      "share/doc/kestrova/changelog.Debian.gz");
  for (std::string name; names >> name;) files.insert("usr/" + name);
  for (int size : kIconSizes) files.insert(IconPng(size));
  files.insert("usr/" KESTROVA_MODULE_DIR "/kestrova-telephone.so");
  return files;
}

// The command's output, once it is checked to have ended with `code`.
std::string Ended(const test_support::CommandResult& r, int code) {
  EXPECT_TRUE(r.finished && r.exitCode == code) << r.exitCode << ": " << r.output;
  return r.output;
}

// A PNG's width and height from its header chunk.
std::pair<int, int> PngSize(const std::string& path) {
  const std::string bytes = ReadFile(path);
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
  auto at = [&](std::size_t i) {
    int value = 0;
    for (std::size_t k = i; k < i + 4; ++k) value = (value << 8) | static_cast<unsigned char>(bytes[k]);
    return value;
  };
  return {at(16), at(20)};
}

std::string ValueOf(const std::string& desktopEntry, const std::string& key) {
  const std::size_t at = desktopEntry.find("\n" + key + "=");
  if (at == std::string::npos) return {};
  const std::size_t start = at + key.size() + 2;
  return desktopEntry.substr(start, desktopEntry.find('\n', start) - start);
}

std::set<std::string> Entries(const std::string& folder, bool recursive = false) {
  std::set<std::string> names;
  std::error_code ec;
  if (recursive) {
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec))
      if (!entry.is_directory()) names.insert(fs::relative(entry.path(), folder).string());
  } else {
    for (const auto& entry : fs::directory_iterator(folder, ec))
      names.insert(entry.path().filename().string());
  }
  return names;
}

unsigned ModeOf(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

TEST(InstalledFiles, AreExactlyTheExpectedOnesAndPassTheirValidators) {
  EXPECT_EQ(Entries(kStage, true), ExpectedFiles());

  const std::string desktop = kStage + "/usr/share/applications/kestrova.desktop";
  Ended(RunCommand("/usr/bin/desktop-file-validate", {desktop}), 0);
  const std::string entry = ReadFile(desktop);
  // The desktop matches the running window to its menu entry by the window's class.
  const std::pair<const char*, const char*> fields[] = {{"StartupWMClass", "KestrovaClass"},
                                                        {"Exec", "kestrova"},
                                                        {"Terminal", "false"},
                                                        {"Actions", "Visitors;"}};
  for (const auto& [key, value] : fields) EXPECT_EQ(ValueOf(entry, key), value);
  const std::string metainfo = kStage + "/usr/share/metainfo/org.kestrova.Kestrova.metainfo.xml";
  Ended(RunCommand("/usr/bin/appstreamcli", {"validate", "--no-net", metainfo}, {}, 60s), 0);

  for (int size : kIconSizes)
    EXPECT_EQ(PngSize(kStage + "/" + IconPng(size)), std::make_pair(size, size)) << size;
  const std::string svg = ReadFile(kStage + "/usr/share/icons/hicolor/scalable/apps/kestrova.svg");
  EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
  EXPECT_EQ(ModeOf(kStage + "/usr/bin/kestrova"), 0755u);
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
  EXPECT_EQ(Ended(Run(kProgram, {"--version"}), 0), "Kestrova_" KESTROVA_VERSION "\n");
  // Other arguments are ignored; the first option answered wins.
  const std::string help = Ended(Run(kProgram, {"-iconic", "--help", "--version"}), 0);
  EXPECT_EQ(help.rfind("Usage: kestrova", 0), 0u) << help;
  EXPECT_NE(help.find("Settings file: " + (tmp / "cfg/Kestrova/Kestrova.ini")), std::string::npos) << help;
  Ended(Run(kProgram, {"--autostart", "sometimes"}), 2);

  // No copy started: no lock, no socket, no picture file, and not even the settings folder.
  for (const char* folder : {"run", "cfg", "config"}) EXPECT_TRUE(Entries(tmp / folder).empty()) << folder;
  const std::string simulator = Ended(Run(DOORSIM_BINARY, {"--help"}), 0);
  EXPECT_EQ(simulator.rfind("usage: kestrova-doorsim --listen", 0), 0u) << simulator;
}

TEST_F(InstalledProgram, AutostartOnThenOffLeavesTheAutostartFolderAsItWas) {
  const std::string autostart = tmp / "config/autostart", other = "[Desktop Entry]\nType=Application\n";
  fs::create_directory(autostart);
  ASSERT_TRUE(test_support::WriteFile(autostart + "/other.desktop", other));

  // Installed where a path needs quoting in an Exec line.
  const std::string odd = tmp / "my apps $1";
  fs::create_directory(odd);
  fs::copy_file(kProgram, odd + "/kestrova");
  fs::permissions(odd + "/kestrova", fs::perms::owner_all);

  Ended(Run(odd + "/kestrova", {"--autostart", "on"}), 0);
  const std::string entry = autostart + "/kestrova.desktop";
  EXPECT_EQ(Entries(autostart), (std::set<std::string>{"other.desktop", "kestrova.desktop"}));
  Ended(RunCommand("/usr/bin/desktop-file-validate", {entry}), 0);
  // Quoted, with the dollar sign escaped once for the argument and once more for the file's string.
  EXPECT_EQ(ValueOf(ReadFile(entry), "Exec"), "\"" + tmp.path() + "/my apps \\\\$1/kestrova\"");
  EXPECT_EQ(ValueOf(ReadFile(entry), "StartupWMClass"), "KestrovaClass");
  EXPECT_EQ(ModeOf(entry), 0644u);

  // Switching it on twice leaves one entry; off removes it, and off again is no fault.
  Ended(Run(kProgram, {"--autostart", "on"}), 0);
  EXPECT_EQ(ValueOf(ReadFile(entry), "Exec"), kProgram);
  for (int i = 0; i < 2; ++i) Ended(Run(kProgram, {"--autostart", "off"}), 0);
  EXPECT_EQ(Entries(autostart), (std::set<std::string>{"other.desktop"}));
  EXPECT_EQ(ReadFile(autostart + "/other.desktop"), other);
  EXPECT_TRUE(Entries(tmp / "run").empty());

  // Where the autostart folder cannot be made, the program says so and ends with 1.
  ASSERT_TRUE(test_support::WriteFile(tmp / "config/blocker", ""));
  ChildEnvironment blocked;
  blocked.set = {{"XDG_CONFIG_HOME", tmp / "config/blocker"}};
  Ended(RunCommand(kProgram, {"--autostart", "on"}, blocked, 30s), 1);
}

TEST(DebianPackage, IsFreeOfLintianErrorsAndHoldsTheInstalledFiles) {
  const std::string deb = std::string(DEBIAN_DIR) + "/kestrova_" KESTROVA_VERSION "-1_amd64.deb";
  ASSERT_TRUE(fs::exists(deb)) << deb;
  auto field = [&](const char* name) {
    return RunCommand("/usr/bin/dpkg-deb", {"--field", deb, name}).output;
  };
  EXPECT_EQ(field("Package") + field("Version"), "kestrova\n" KESTROVA_VERSION "-1\n");
  // Dependencies come from the binaries' libraries.
  const std::string depends = field("Depends");
  for (const char* library : {"libqt6widgets6", "libcurl4", "libfreeimage3", "libturbojpeg0"})
    EXPECT_NE(depends.find(library), std::string::npos) << library << " missing in: " << depends;

  std::set<std::string> packed;
  std::istringstream lines(RunCommand("/usr/bin/dpkg-deb", {"--contents", deb}, {}, 60s).output);
  for (std::string line; std::getline(lines, line);)
    if (const std::size_t dot = line.find(" ./"); dot != std::string::npos && line[0] != 'd')
      packed.insert(line.substr(dot + 3));
  EXPECT_EQ(packed, ExpectedFiles());
  Ended(RunCommand("/usr/bin/lintian", {"--fail-on", "error", deb}, {}, 240s), 0);
}

}  // namespace
