// The bytes of one stream part: the layout a client counts on, and what each part-level fault changes.
#include <gtest/gtest.h>

#include "tests/unit/doorsim/part_scan.h"
#include "tools/doorsim/doorsim.h"

namespace {

using doorsim::BuildPart;
using doorsim::Fault;
using doorsim::FaultMode;
using doorsim_test::ScanParts;

const std::vector<uint8_t>& Jpeg() {
  static const std::vector<uint8_t> jpeg = doorsim::EncodePicture(64, 48, 7, "Door");
  return jpeg;
}

std::string Part(const Fault& fault = {}, char flag = '0', std::string_view title = "Front door",
                 uint64_t seed = 1) {
  return BuildPart(Jpeg(), flag, title, fault, seed);
}

Fault WithMode(FaultMode mode) {
  Fault f;
  f.mode = mode;
  return f;
}

TEST(DoorsimPart, FieldsSitAtTheDistancesCountedFromTheDigits) {
  const std::string part = Part({}, '1', "Back door");
  const size_t lit = part.find(doorsim::kHeaderLiteral);
  ASSERT_NE(lit, std::string::npos);
  EXPECT_EQ(part.find('C'), lit) << "nothing before the literal may start a header match";
  const size_t digitsAt = lit + 42;
  const std::string digits = std::to_string(Jpeg().size());
  ASSERT_EQ(part.substr(digitsAt, digits.size()), digits);
  const size_t ender = digitsAt + digits.size();
  EXPECT_EQ(part.substr(ender, 2), "\r\n");
  EXPECT_EQ(part[ender + 16], '1');
  EXPECT_EQ(part.substr(ender + 17, 2), "\r\n");
  const size_t titleAt = ender + 16 + 1 + 9;
  EXPECT_EQ(part.substr(titleAt, 9), "Back door");
  EXPECT_EQ(part.substr(titleAt + 9, 4), "\r\n\r\n");
  const size_t pictureAt = titleAt + 9 + 4;
  EXPECT_EQ(static_cast<uint8_t>(part[pictureAt]), 0xFF);
  EXPECT_EQ(part.substr(pictureAt, Jpeg().size()), doorsim_test::AsText(Jpeg()));
  EXPECT_EQ(part.size(), pictureAt + Jpeg().size() + 2) << "the part ends with CR LF after the picture";

  const auto scanned = ScanParts(Part({}, '2', "") + Part({}, '0', "x"));
  ASSERT_EQ(scanned.size(), 2u);
  EXPECT_EQ(scanned[0].flag, '2');
  EXPECT_EQ(scanned[0].title, "");
  EXPECT_EQ(scanned[1].flag, '0');
  EXPECT_EQ(scanned[1].title, "x");
  EXPECT_EQ(scanned[1].picture, doorsim_test::AsText(Jpeg()));
}

TEST(DoorsimPart, LengthFaultsChangeOnlyTheLengthField) {
  Fault shorter = WithMode(FaultMode::ShortLen);
  shorter.by = 30;
  Fault longer = WithMode(FaultMode::LongLen);
  longer.by = 30;
  const auto s = ScanParts(Part(shorter));
  const auto l = ScanParts(Part(longer) + std::string(100, '.'));
  ASSERT_EQ(s.size(), 1u);
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(std::stoul(s[0].digits), Jpeg().size() - 30);
  EXPECT_EQ(std::stoul(l[0].digits), Jpeg().size() + 30);
  EXPECT_EQ(Part(shorter).size() - s[0].digits.size(), Part().size() - std::to_string(Jpeg().size()).size())
      << "the picture itself is sent whole";

  Fault huge = WithMode(FaultMode::HugeLen);
  const auto h = ScanParts(Part(huge));
  ASSERT_EQ(h.size(), 1u);
  EXPECT_GE(h[0].digits.size(), 10u);
  EXPECT_EQ(h[0].flag, '0') << "the flag still sits 16 bytes after the digits";

  const std::string nodigit = Part(WithMode(FaultMode::NoDigit));
  const size_t after = nodigit.find(doorsim::kHeaderLiteral) + 42;
  EXPECT_EQ(nodigit[after], '\r');
  EXPECT_EQ(ScanParts(nodigit).at(0).title, "Front door");
}

TEST(DoorsimPart, NotFFKeepsTheLengthButSpoilsTheFirstByte) {
  const auto p = ScanParts(Part(WithMode(FaultMode::NotFF)));
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].picture.size(), Jpeg().size());
  EXPECT_NE(static_cast<uint8_t>(p[0].picture[0]), 0xFF);
  EXPECT_EQ(p[0].picture.substr(1), doorsim_test::AsText(Jpeg()).substr(1));
}

TEST(DoorsimPart, TitleFaults) {
  Fault longTitle = WithMode(FaultMode::LongTitle);
  longTitle.length = 200;
  const auto l = ScanParts(Part(longTitle));
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(l[0].title.size(), 200u);
  EXPECT_EQ(l[0].picture, doorsim_test::AsText(Jpeg()));

  const auto c = ScanParts(Part(WithMode(FaultMode::CtrlTitle)));
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].title.find_first_of("\r\n"), std::string::npos);
  EXPECT_NE(c[0].title.find('\x01'), std::string::npos);
  EXPECT_NE(c[0].title.find('\0'), std::string::npos);
  EXPECT_EQ(c[0].picture, doorsim_test::AsText(Jpeg()));
}

TEST(DoorsimPart, GarbageHoldsNearMatchesButNeverAWholeHeader) {
  bool sawPartial = false;
  for (uint64_t seed = 0; seed < 200; ++seed) {
    const std::string part = Part(WithMode(FaultMode::Garbage), '1', "Front door", seed);
    const size_t lit = part.find(doorsim::kHeaderLiteral);
    const size_t boundary = part.find(std::string("--") + std::string(doorsim::kBoundary));
    ASSERT_NE(boundary, std::string::npos);
    ASSERT_LT(boundary, lit) << "the only whole literal is the real header, seed " << seed;
    const std::string_view garbage = std::string_view(part).substr(0, boundary);
    if (garbage.find("Content-") != std::string_view::npos) sawPartial = true;
    const auto scanned = ScanParts(part);
    ASSERT_EQ(scanned.size(), 1u);
    EXPECT_EQ(scanned[0].flag, '1');
    EXPECT_EQ(scanned[0].picture, doorsim_test::AsText(Jpeg()));
  }
  EXPECT_TRUE(sawPartial);
  EXPECT_EQ(Part(WithMode(FaultMode::Garbage), '0', "t", 5), Part(WithMode(FaultMode::Garbage), '0', "t", 5))
      << "the seed makes garbage repeatable";
}

TEST(DoorsimPart, FaultQueriesParseAndBadOnesAreRefused) {
  const auto close = doorsim::ParseFault("mode=close&after=3");
  ASSERT_TRUE(close);
  EXPECT_EQ(close->mode, FaultMode::Close);
  EXPECT_EQ(close->after, 3);
  const auto error = doorsim::ParseFault("status=500&mode=errorpage");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->status, 500);
  for (auto mode : {FaultMode::None, FaultMode::Stall, FaultMode::Split, FaultMode::Chunked,
                    FaultMode::Refuse, FaultMode::HugeLen, FaultMode::CtrlTitle}) {
    const auto parsed = doorsim::ParseFault("mode=" + std::string(doorsim::FaultName(mode)));
    ASSERT_TRUE(parsed) << doorsim::FaultName(mode);
    EXPECT_EQ(parsed->mode, mode);
  }
  for (const char* bad : {"", "mode=", "mode=bogus", "mode=close&after=-1", "mode=close&after=3x",
                          "mode=hugelen&digits=9", "mode=errorpage&status=200", "mode=longtitle&length=63"}) {
    EXPECT_FALSE(doorsim::ParseFault(bad)) << bad;
  }
}

}  // namespace
