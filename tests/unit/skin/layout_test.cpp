// Tests of loading the skin pieces and of laying them out for a client size.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "platform/gui/surface_access.h"
#include "resources/builtin.h"
#include "skin/skin.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/gui/gui_test_env.h"
#include "tests/support/temp_folder.h"
#include "tests/unit/skin/temp_skin_folder.h"

namespace {

using skin_test::TempSkinFolder;
using test_support::WriteBmp;

const std::set<int> kRightAligned = {
    SKIN_R,          SKIN_TR,         SKIN_BR,         SKIN_BR_B1_UP,   SKIN_BR_B2_UP, SKIN_BR_B1_OVER,
    SKIN_BR_B2_OVER, SKIN_BR_B1_DOWN, SKIN_BR_B2_DOWN, SKIN_TR_S,       SKIN_TR_M,     SKIN_TR_C,
    SKIN_BR_B3_OVER, SKIN_BR_B4_OVER, SKIN_BR_B3_DOWN, SKIN_BR_B4_DOWN, SKIN_BR_B3_UP, SKIN_BR_B4_UP};
const std::set<int> kBottomAligned = {
    SKIN_B,          SKIN_BR,         SKIN_BL_OFF,     SKIN_BR_B1_UP,   SKIN_BR_B2_UP, SKIN_BL_ON,
    SKIN_BR_B1_OVER, SKIN_BR_B2_OVER, SKIN_BR_B1_DOWN, SKIN_BR_B2_DOWN, SKIN_BL_OVER,  SKIN_BL_DOWN,
    SKIN_BR_B3_OVER, SKIN_BR_B4_OVER, SKIN_BR_B3_DOWN, SKIN_BR_B4_DOWN, SKIN_BR_B3_UP, SKIN_BR_B4_UP};

constexpr std::initializer_list<int> kSlot1 = {SKIN_BR_B1_UP, SKIN_BR_B1_OVER, SKIN_BR_B1_DOWN};
constexpr std::initializer_list<int> kSlot2 = {SKIN_BR_B2_UP, SKIN_BR_B2_OVER, SKIN_BR_B2_DOWN};
constexpr std::initializer_list<int> kSlot3 = {SKIN_BR_B3_OVER, SKIN_BR_B4_OVER, SKIN_BR_B3_DOWN,
                                               SKIN_BR_B4_DOWN, SKIN_BR_B3_UP,   SKIN_BR_B4_UP};

std::string FileBytes(const std::string& path) {
  std::ostringstream out;
  out << std::ifstream(path, std::ios::binary).rdbuf();
  return out.str();
}

class SkinLayout : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test_support::EnsurePlatform(); }

  void LoadAndLayOut(int width = 336, int height = 301) {
    InitSkin(&kBuiltinResources, HWND_NONE, skin);
    SkinBitmapPos(skin, height, width);
  }

  // A 40 x 20 BMP: a size no built-in piece has.
  static std::string ValidBmpBytes() {
    EXPECT_TRUE(WriteBmp("whole.bmp", 40, 20, 0x00FF00));
    return FileBytes("whole.bmp");
  }

  void ExpectBuiltinTopLeftCorner() {
    const HBITMAP builtin = LoadBitmapResource(&kBuiltinResources, IDB_FIRST_SKIN_PIECE + SKIN_TL);
    ASSERT_TRUE(builtin);
    ASSERT_EQ(skin[SKIN_TL].Width, 80);
    ASSERT_EQ(skin[SKIN_TL].Height, 26);
    int differing = 0;
    for (int y = 0; y < 26; ++y)
      for (int x = 0; x < 80; ++x)
        differing += GetBitmapPixel(skin[SKIN_TL].ShBitmap, x, y) != GetBitmapPixel(builtin, x, y);
    EXPECT_EQ(differing, 0);
  }

  void ExpectColumns(std::initializer_list<int> pieces, int x) {
    for (int i : pieces) EXPECT_EQ(skin[i].PosY, x) << NameBMP[i];
  }

  TempSkinFolder folder;
  t_Skin skin[kSkinPieces] = {};
};

TEST_F(SkinLayout, BuiltinPiecesFrameTheDefaultWindow) {
  LoadAndLayOut();
  EXPECT_EQ(skin[SKIN_R].PosY, 328);
  EXPECT_EQ(skin[SKIN_TR].PosY, 266);
  EXPECT_EQ(skin[SKIN_BR].PosY, 320);
  for (int i : kBottomAligned) EXPECT_EQ(skin[i].PosX, 266) << NameBMP[i];
  for (int i : {SKIN_T, SKIN_TL, SKIN_TR, SKIN_TR_S, SKIN_TR_M, SKIN_TR_C})
    EXPECT_EQ(skin[i].PosX, 0) << NameBMP[i];
  ExpectColumns({SKIN_L, SKIN_T, SKIN_TL, SKIN_B, SKIN_BL_OFF, SKIN_BL_ON, SKIN_BL_OVER, SKIN_BL_DOWN}, 0);
  ExpectColumns(kSlot1, 247);
  ExpectColumns(kSlot2, 174);
  ExpectColumns(kSlot3, 101);

  // The video area: 320 x 240 from (8, 26), closed by the right and bottom edges.
  const t_Skin& video = skin[SKIN_POZADI];
  EXPECT_EQ(video.PosY, 8);
  EXPECT_EQ(video.PosX, 26);
  EXPECT_EQ(video.Width, 320);
  EXPECT_EQ(video.Height, 240);
  EXPECT_EQ(video.PosY + video.Width, skin[SKIN_R].PosY);
  EXPECT_EQ(video.PosX + video.Height, skin[SKIN_B].PosX);
  EXPECT_EQ(skin[SKIN_TL].Width, 80);
  EXPECT_EQ(skin[SKIN_TL].Height, 26);
}

TEST_F(SkinLayout, GrowingTheWindowMovesOnlyRightAndBottomAlignedPieces) {
  LoadAndLayOut();
  t_Skin base[kSkinPieces];
  std::copy(std::begin(skin), std::end(skin), std::begin(base));

  for (auto [dw, dh] : {std::pair{100, 0}, std::pair{0, 100}, std::pair{37, 53}}) {
    SCOPED_TRACE(::testing::Message() << "grown by " << dw << " x " << dh);
    SkinBitmapPos(skin, 301 + dh, 336 + dw);
    for (int i = 0; i < kSkinPieces; ++i) {
      EXPECT_EQ(skin[i].PosY, base[i].PosY + (kRightAligned.count(i) ? dw : 0)) << NameBMP[i];
      EXPECT_EQ(skin[i].PosX, base[i].PosX + (kBottomAligned.count(i) ? dh : 0)) << NameBMP[i];
      EXPECT_EQ(skin[i].Width, base[i].Width) << NameBMP[i];
      EXPECT_EQ(skin[i].Height, base[i].Height) << NameBMP[i];
    }
  }
}

TEST_F(SkinLayout, WiderBottomRightCornerPushesAllThreeSlotsLeft) {
  ASSERT_TRUE(WriteBmp(TempSkinFolder::Piece("br"), 30, 35, 0x404040));
  LoadAndLayOut();
  EXPECT_EQ(skin[SKIN_BR].Width, 30);
  EXPECT_EQ(skin[SKIN_BR].PosY, 306);
  ExpectColumns(kSlot1, 247 - 14);
  ExpectColumns(kSlot2, 174 - 14);
  ExpectColumns(kSlot3, 101 - 14);
}

TEST_F(SkinLayout, SlotOneUpLookSetsTheSlotsLeftOfIt) {
  ASSERT_TRUE(WriteBmp(TempSkinFolder::Piece("br_b1_up"), 50, 35, 0x404040));
  LoadAndLayOut();
  EXPECT_EQ(skin[SKIN_BR_B1_UP].PosY, 336 - 16 - 50);
  // The other looks of slot 1 keep their own width and place.
  ExpectColumns({SKIN_BR_B1_OVER, SKIN_BR_B1_DOWN}, 247);
  ExpectColumns(kSlot2, 174 + 23);
  ExpectColumns(kSlot3, 101 + 23);
}

TEST_F(SkinLayout, SlotOneHoverLookMovesOnlyItsOwnLeftEdge) {
  ASSERT_TRUE(WriteBmp(TempSkinFolder::Piece("br_b1_over"), 90, 35, 0x404040));
  LoadAndLayOut();
  EXPECT_EQ(skin[SKIN_BR_B1_OVER].PosY, 336 - 16 - 90);
  ExpectColumns({SKIN_BR_B1_UP, SKIN_BR_B1_DOWN}, 247);
  ExpectColumns(kSlot2, 174);
  ExpectColumns(kSlot3, 101);
}

TEST_F(SkinLayout, UnreadableReplacementFallsBackToTheBuiltinPiece) {
  // A valid BMP cut inside its header, and one cut inside its pixel rows.
  const std::string whole = ValidBmpBytes();
  for (auto [what, bytes] : {std::pair<const char*, std::string>{"garbage", std::string(300, '\x5A')},
                             {"empty file", ""},
                             {"truncated header", whole.substr(0, 30)}}) {
    SCOPED_TRACE(what);
    TempSkinFolder::WriteBytes(TempSkinFolder::Piece("tl"), bytes);
    LoadAndLayOut();
    ExpectBuiltinTopLeftCorner();
  }
}

TEST_F(SkinLayout, ReplacementCutInsideItsPixelRowsFallsBackToTheBuiltinPiece) {
  const std::string whole = ValidBmpBytes();
  TempSkinFolder::WriteBytes(TempSkinFolder::Piece("tl"), whole.substr(0, 54 + (whole.size() - 54) / 2));
  LoadAndLayOut();
  ExpectBuiltinTopLeftCorner();
}

TEST_F(SkinLayout, EachPieceFallsBackOnItsOwnAndOddSizesAreKept) {
  TempSkinFolder::WriteBytes(TempSkinFolder::Piece("tl"), "not a bitmap");
  ASSERT_TRUE(WriteBmp(TempSkinFolder::Piece("t"), 50, 10, 0x123456));
  LoadAndLayOut();
  EXPECT_EQ(skin[SKIN_TL].Width, 80);
  EXPECT_EQ(skin[SKIN_TL].Height, 26);
  EXPECT_EQ(skin[SKIN_T].Width, 50);
  EXPECT_EQ(skin[SKIN_T].Height, 10);
  EXPECT_EQ(GetBitmapPixel(skin[SKIN_T].ShBitmap, 49, 9), 0x123456u);
  // The video area starts below the top edge, whatever that edge's height.
  EXPECT_EQ(skin[SKIN_POZADI].PosX, 10);
  EXPECT_EQ(skin[SKIN_POZADI].PosY, 8);
  EXPECT_EQ(skin[SKIN_R].PosY, 328);
}

TEST_F(SkinLayout, SkinBesideTheSettingsFileServesWhenTheCurrentFolderHasNone) {
  // A program started from the desktop's menu runs in the home folder; its skin lies with its settings.
  test_support::TempFolder settings;
  const std::string beside = settings / "Kestrova/Skin";
  std::filesystem::create_directories(beside);
  ASSERT_TRUE(WriteBmp(beside + "/t.bmp", 50, 10, 0x654321));
  setenv("ALLUSERSPROFILE", settings.path().c_str(), 1);
  std::filesystem::remove("Skin");
  LoadAndLayOut();
  EXPECT_EQ(SkinFolder(), beside);
  EXPECT_EQ(skin[SKIN_T].Width, 50);
  EXPECT_EQ(GetBitmapPixel(skin[SKIN_T].ShBitmap, 10, 5), 0x654321u);

  // A Skin folder in the current folder wins as a whole, even one without that piece.
  mkdir("Skin", 0700);
  LoadAndLayOut();
  EXPECT_EQ(SkinFolder(), "Skin");
  EXPECT_EQ(skin[SKIN_T].Width, 128);
  unsetenv("ALLUSERSPROFILE");
}

}  // namespace
