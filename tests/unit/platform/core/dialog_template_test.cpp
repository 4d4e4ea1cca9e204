// Dialog templates read from their text: the committed templates, and damaged texts refused with the line.
#include "platform/core/dialog_template.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <tuple>

#ifndef RESOURCES_DIR
#error "RESOURCES_DIR must name the resources folder"
#endif

namespace {

std::string ReadTemplate(const std::string& name) {
  std::ifstream in(std::string(RESOURCES_DIR) + "/dialog/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
DialogTemplate Read(const std::string& name) {
  DialogTemplate out;
  std::string error;
  EXPECT_TRUE(ParseDialogTemplate(ReadTemplate(name), &out, &error)) << name << ": " << error;
  return out;
}

auto Place(const DialogControl& c) { return std::make_tuple(c.x, c.y, c.cx, c.cy); }

TEST(DialogTemplate, CommittedTemplatesReadWithTheirCaptionsStylesAndControls) {
  const DialogTemplate accept = Read("accept.dlg");
  EXPECT_EQ(accept.caption, "Accept");
  EXPECT_EQ(accept.style, DS_SYSMODAL | DS_MODALFRAME | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
  EXPECT_EQ(std::make_pair(accept.fontName, accept.fontPoints), std::make_pair(std::string("Arial"), 8));
  EXPECT_EQ(std::make_tuple(accept.x, accept.y, accept.cx, accept.cy), std::make_tuple(50, 50, 120, 45));
  ASSERT_EQ(accept.controls.size(), 3u);
  const DialogControl& label = accept.controls[0];
  EXPECT_TRUE(label.kind == ControlKind::Label && label.id == kNoControlId && label.style == SS_CENTER);
  EXPECT_EQ(label.text, "Accept call?");
  EXPECT_EQ(Place(accept.controls[0]), std::make_tuple(0, 10, 120, 10));
  EXPECT_EQ(std::to_string(accept.controls[2].id) + accept.controls[2].text, "2Cancel");
  EXPECT_EQ(Place(accept.controls[2]), std::make_tuple(68, 25, 44, 14));

  const DialogTemplate password = Read("authentication.dlg");
  EXPECT_EQ(password.style & WS_VISIBLE, 0u);  // shown by its modal loop, not at creation
  ASSERT_EQ(password.controls.size(), 6u);
  EXPECT_EQ(password.controls[3].id, 120);
  EXPECT_EQ(password.controls[3].style, WS_BORDER | ES_AUTOHSCROLL | ES_PASSWORD | WS_TABSTOP);

  const DialogTemplate settings = Read("settings.dlg");
  EXPECT_EQ(settings.caption, "Kestrova version 1.39");
  ASSERT_EQ(settings.controls.size(), 27u);
  int lines = 0, lists = 0, boxes = 0;
  for (const DialogControl& c : settings.controls) {
    lines += c.id == 111;  // both separators carry one id
    lists += c.kind == ControlKind::DropDown;
    boxes += c.kind == ControlKind::CheckBox;
  }
  EXPECT_EQ(std::make_tuple(lines, lists, boxes), std::make_tuple(2, 2, 2));
  EXPECT_TRUE(settings.controls[8].id == 114 && (settings.controls[8].style & ES_NUMBER))
      << "the digits-only field";

  // The visitor log's window: a list with pictures, two pictures, texts beyond ASCII.
  const DialogTemplate visitors = Read("visitors.dlg");
  ASSERT_EQ(visitors.controls.size(), 8u);
  EXPECT_TRUE(visitors.controls[0].kind == ControlKind::PictureList && visitors.controls[0].id == 201 &&
              visitors.controls[0].style == (WS_BORDER | WS_TABSTOP));
  EXPECT_TRUE(visitors.controls[1].kind == ControlKind::Picture &&
              visitors.controls[2].kind == ControlKind::Picture);
  EXPECT_EQ(Place(visitors.controls[2]), std::make_tuple(210, 108, 185, 97));
  EXPECT_EQ(visitors.controls[5].text, "Delete all…");

  // Comments, blank lines, CR line ends, escapes and a last line without its end.
  DialogTemplate odd;
  std::string error;
  ASSERT_TRUE(
      ParseDialogTemplate("# note\r\n\r\ndialog -3 0 10 10\r\nfont 9 \"Sans\"\n"
                          "label 7 0 0 5 5 \"say \\\"hi\\\" \\\\ \"\ncaption \"\"",
                          &odd, &error))
      << error;
  EXPECT_EQ(std::to_string(odd.x) + odd.controls.at(0).text + "|" + odd.caption, "-3say \"hi\" \\ |");
}

TEST(DialogTemplate, DamagedTemplatesAreRefusedNamingTheLineAndLeaveTheResultAlone) {
  const std::string head = "dialog 0 0 100 50\nfont 8 \"Arial\"\n";
  const struct {
    std::string text;
    std::string why;
  } cases[] = {{"", "needs its dialog and font"},
               {"dialog 0 0 100 50\n", "needs its dialog and font"},
               {head + "dialog 0 0 1 1\n", "line 3: a second dialog"},
               {"dialog 0 0 100\nfont 8 \"A\"\n", "line 1:"},
               {"dialog 0 0 100 -5\nfont 8 \"A\"\n", "line 1: a position"},
               {"dialog 0 0 99999 5\nfont 8 \"A\"\n", "line 1: a position"},
               {"dialog 0x10 0 1 1\nfont 8 \"A\"\n", "line 1: a position"},
               {"dialog 0 0 1 1\nfont 0 \"A\"\n", "line 2: a font size"},
               {"dialog 0 0 1 1\nfont 8 A\n", "line 2: font takes"},
               {head + "caption \"open\n", "line 3: text without its closing quote"},
               {head + "caption \"a\\n\"\n", "line 3: unknown escape"},
               {head + "caption \"a\"\"b\"\n", "line 3: a word runs into a text"},
               {head + "caption x\"b\"\n", "line 3: a word runs into a text"},
               {head + "caption \"a\"\ncaption \"b\"\n", "line 4: caption takes"},
               {head + "style sysmodal shiny\n", "line 3: unknown dialog style 'shiny'"},
               {head + "slider 1 0 0 1 1\n", "line 3: unknown statement 'slider'"},
               {head + "button\n", "line 3: a control needs an id"},
               {head + "button 65536 0 0 1 1\n", "line 3: a control id"},
               {head + "button -2 0 0 1 1\n", "line 3: a control id"},
               {head + "button 1 0 0 1\n", "line 3: a position needs"},
               {head + "button 1 0 0 1 1 \"OK\" default\n", "line 3: a control's text must come last"},
               {head + "edit 1 0 0 1 1 blinking\n", "line 3: unknown control flag 'blinking'"},
               {head + "label 1 0 0 1 1 \"" + std::string(300, 'x') + "\"\n", "line 3: text too long"},
               {head + "label 1 0 0 1 1 \"a\x01\"\n", "line 3: control character"},
               {head + std::string("label 1 0 0 1 1 \"a\0b\"\n", 22), "line 3: control character"},
               {head + "\"label\" 1 0 0 1 1\n", "line 3: a line must start with a word"}};
  for (const auto& c : cases) {
    DialogTemplate out;
    out.caption = "untouched";
    std::string error;
    EXPECT_FALSE(ParseDialogTemplate(c.text, &out, &error)) << c.text;
    EXPECT_NE(error.find(c.why), std::string::npos) << c.text << " gave: " << error;
    EXPECT_EQ(out.caption, "untouched");
  }

  std::string many = head, error;
  for (int i = 0; i < 256; ++i) many += "label -1 0 0 1 1\n";
  EXPECT_FALSE(ParseDialogTemplate(many, nullptr, &error));
  EXPECT_NE(error.find("line 258: too many controls"), std::string::npos) << error;

  // Every cut of a real template either reads or is refused: nothing is read past the end.
  const std::string settings = ReadTemplate("settings.dlg");
  ASSERT_FALSE(settings.empty());
  for (std::size_t n = 0; n <= settings.size(); ++n) {
    DialogTemplate out;
    ParseDialogTemplate(settings.substr(0, n), &out, nullptr);  // its own allocation: ASan sees any overread
  }
}

}  // namespace
