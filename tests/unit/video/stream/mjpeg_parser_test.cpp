// The stream parser: pictures, flags and titles whatever the block boundaries, and the damaged parts a unit
// may send.
#include "video/stream/mjpeg_parser.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/unit/video/stream/stream_builder.h"
#include "tools/doorsim/doorsim.h"
#include "video/stream/title_text.h"

namespace {

using video_test::FeedInBlocks;
using video_test::FeedRandomCuts;
using video_test::Part;
using video_test::PartFields;
using video_test::Payload;
using video_test::Recorder;

struct Recording {
  std::string stream;
  std::vector<std::string> pictures;
  std::vector<char> flags;
  std::vector<std::string> titles;
};

// Pictures from a few bytes to several blocks, every flag value, titles of every length.
Recording RecordedStream() {
  std::mt19937 rng(7);
  Recording r;
  r.stream = "HTTP junk before the first part: Content-Typ CContent\r\n";
  for (int i = 0; i < 40; ++i) {
    PartFields fields(Payload(rng, i % 5 == 0 ? 5 + i : 300 + static_cast<int>(rng() % 6000)), "0120x"[i % 5],
                      "Door " + std::string(static_cast<std::size_t>(i), 'a' + static_cast<char>(i % 26)));
    fields.title.resize(std::min<std::size_t>(fields.title.size(), 63));
    r.stream += Part(fields);
    r.pictures.push_back(fields.picture);
    r.flags.push_back(fields.flag);
    r.titles.push_back(fields.title);
  }
  return r;
}

TEST(MjpegParser, EveryPartIsSeenWhateverTheBlockBoundaries) {
  const Recording rec = RecordedStream();
  std::string reference;
  for (int block : {1, 7, 1023, 1024, 1 << 20}) {
    MjpegParser parser;
    Recorder out;
    FeedInBlocks(parser, rec.stream, block, out);
    EXPECT_EQ(out.pictures, rec.pictures) << "blocks of " << block;
    EXPECT_EQ(out.flags, rec.flags) << "blocks of " << block;
    EXPECT_EQ(out.titles, rec.titles) << "blocks of " << block;
    EXPECT_EQ(out.abandoned, 0);
    if (reference.empty()) reference = out.log;
    EXPECT_EQ(out.log, reference) << "blocks of " << block;
  }
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    MjpegParser parser;
    Recorder out;
    FeedRandomCuts(parser, rec.stream, seed, out);
    EXPECT_EQ(out.log, reference) << "random cuts, seed " << seed;
  }
}

TEST(MjpegParser, PartsOfTheSimulatedUnitIncludingGarbageBetweenThem) {
  const std::vector<std::uint8_t> jpeg = doorsim::EncodePicture(160, 120, 3, "Gate");
  ASSERT_FALSE(jpeg.empty());
  doorsim::Fault garbage;
  garbage.mode = doorsim::FaultMode::Garbage;
  std::string stream;
  for (std::uint64_t i = 0; i < 12; ++i)
    stream += doorsim::BuildPart(jpeg, i % 2 ? '1' : '0', "Gate", i % 3 ? garbage : doorsim::Fault{}, i);
  for (int block : {1, 1024}) {
    MjpegParser parser;
    Recorder out;
    FeedInBlocks(parser, stream, block, out);
    ASSERT_EQ(out.pictures.size(), 12u) << out.log;
    for (const std::string& p : out.pictures) EXPECT_EQ(p, std::string(jpeg.begin(), jpeg.end()));
    EXPECT_EQ(out.flags, (std::vector<char>{'0', '1', '0', '1', '0', '1', '0', '1', '0', '1', '0', '1'}));
  }
}

TEST(MjpegParser, HeaderSplitAcrossBlocksAndAFinalCStartTheMatch) {
  const std::string part = Part(PartFields("\xFF\xD8pic\xFF\xD9", '1', "T"));
  const std::size_t c = part.find('C');
  for (std::size_t cut : {c + 1, c + 10, c + 41}) {  // 'C' last, mid-literal, one byte before the digits
    MjpegParser parser;
    Recorder out;
    parser.Feed(part.data(), static_cast<int>(cut), out);
    parser.Feed(part.data() + cut, static_cast<int>(part.size() - cut), out);
    EXPECT_EQ(out.log, "F1 T[T] P7 ") << "cut at " << cut;
  }
  // A broken-off literal: the hunt restarts at the byte that differs, which may begin the real one.
  MjpegParser parser;
  Recorder out;
  const std::string stream = "Content-Type: imaC" + part.substr(c + 1);
  FeedInBlocks(parser, stream, 3, out);
  EXPECT_EQ(out.log, "F1 T[T] P7 ");
}

TEST(MjpegParser, TitleEndedByALoneLfSkipsFourBytesFromIt) {
  MjpegParser parser;
  Recorder out;
  const std::string stream = Part(PartFields("\xFF\xD8xy", '0', "Lobby").TitleEnd("\nabc"));
  FeedInBlocks(parser, stream, 1, out);
  EXPECT_EQ(out.log, "F0 T[Lobby] P4 ");
  EXPECT_EQ(out.pictures.at(0), "\xFF\xD8xy");
}

TEST(MjpegParser, EveryFlagByteIsReportedAndTheParserGoesOn) {
  MjpegParser parser;
  Recorder out;
  std::string stream;
  for (char flag : {'2', 'x', '\0', '1'}) stream += Part(PartFields("\xFF\x01", flag, ""));
  FeedInBlocks(parser, stream, 5, out);
  EXPECT_EQ(out.flags, (std::vector<char>{'2', 'x', '\0', '1'}));
  EXPECT_EQ(out.pictures.size(), 4u);
}

TEST(MjpegParser, LengthsWithNoDigitTooManyDigitsOrTooLarge) {
  const std::string good = Part(PartFields("\xFF\xD8ok", '1', "next"));
  struct Case {
    std::string length;
    std::string log;
  } cases[] = {
      {"", "F0 T[t] P0 F1 T[next] P4 "},  // no digit: an empty picture completes
      {"0", "F0 T[t] P0 F1 T[next] P4 "},
      {"000000004", "F0 T[t] P4 F1 T[next] P4 "},
      {"1234567890", "A F1 T[next] P4 "},  // ten digits: the part is given up, the next one is found
      {"99999999999999999999", "A F1 T[next] P4 "},
      {"16777217", "A F1 T[next] P4 "},
  };
  for (const Case& c : cases) {
    for (int block : {1, 1024}) {
      MjpegParser parser;
      Recorder out;
      FeedInBlocks(parser, Part(PartFields("\xFF\xD8zz", '0', "t").Length(c.length)) + good, block, out);
      EXPECT_EQ(out.log, c.log) << "length '" << c.length << "', blocks of " << block;
    }
  }
}

TEST(MjpegParser, DataNotStartingWithFFIsAbandonedAndTheHuntRestartsAtThatByte) {
  // The abandoned part's data is the next part itself: it is found only if the hunt starts at its first byte.
  const std::string next = Part(PartFields("\xFF\xD8good", '2', "n"));
  const std::string inner = next.substr(next.find('C'));
  const std::string stream = Part(PartFields(inner, '0', "bad").Length("5"));
  for (int block : {1, 1024}) {
    MjpegParser parser;
    Recorder out;
    FeedInBlocks(parser, stream, block, out);
    EXPECT_EQ(out.log, "F0 T[bad] A F2 T[n] P6 ") << "blocks of " << block;
    EXPECT_EQ(out.pictures.at(0), "\xFF\xD8good");
  }
}

TEST(MjpegParser, LongTitlesAreCutAndTheRestOfTheLineSkipped) {
  const std::string longTitle(200, 'L');
  for (int block : {1, 50, 1024}) {
    MjpegParser parser;
    Recorder out;
    FeedInBlocks(parser, Part(PartFields("\xFF\xD8p", '0', longTitle)), block, out);
    ASSERT_EQ(out.titles.size(), 1u);
    EXPECT_EQ(out.titles[0], std::string(63, 'L'));
    EXPECT_EQ(out.pictures, std::vector<std::string>{"\xFF\xD8p"});
  }
}

TEST(MjpegParser, ARefusedCompletionDropsTheRestOfTheBlockAndHuntsAfresh) {
  const std::string two = Part(PartFields("\xFF\x01", '0', "a")) + Part(PartFields("\xFF\x02", '0', "b"));
  MjpegParser parser;
  Recorder out;
  out.stopAfterPicture = true;
  parser.Feed(two.data(), static_cast<int>(two.size()), out);
  EXPECT_EQ(out.log, "F0 T[a] P2 ");
  EXPECT_EQ(parser.State(), HEAD);
}

TEST(TitleText, ControlBytesBecomeSpacesAndOtherBytesAreDecoded) {
  EXPECT_EQ(TitleText("a\x01\x1b[7m\tb\x7f", 9, 63), "a  [7m b ");
  EXPECT_EQ(TitleText("Vchod \xC5\xA1kola", 12, 63), "Vchod \xC5\xA1kola");  // valid UTF-8 stays
  EXPECT_EQ(TitleText("Caf\xE9 \x85", 6, 63), "Caf\xC3\xA9  ");              // Latin-1, C1 control
  EXPECT_EQ(TitleText("ab\0cd", 5, 63), std::string("ab cd"));
  // Cut on a character boundary: a two-byte letter that does not fit is left out whole.
  EXPECT_EQ(TitleText("abc\xC3\xA9", 5, 4), "abc");
  EXPECT_EQ(TitleText(std::string(100, 'x').c_str(), 100, 63), std::string(63, 'x'));
}

}  // namespace
