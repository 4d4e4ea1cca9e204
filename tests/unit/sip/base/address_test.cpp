// The caller's address, on the forms the library gives and on hostile texts.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "sip/base/caller_address.h"

namespace {

struct Caller {
  std::string name, host;
};

// The text lies in a heap block of exactly its size, so a read past its end trips the sanitizer.
Caller Parse(const std::string& text) {
  std::unique_ptr<char[]> exact(new char[text.size() + 1]);
  std::memcpy(exact.get(), text.c_str(), text.size() + 1);
  char name[64], host[64];
  std::memset(name, 'x', sizeof name);
  std::memset(host, 'x', sizeof host);
  ParseCallerAddress(exact.get(), name, host);
  EXPECT_NE(std::memchr(name, '\0', sizeof name), nullptr);
  EXPECT_NE(std::memchr(host, '\0', sizeof host), nullptr);
  return {name, host};
}

TEST(CallerAddress, TakesUserAndHostWithoutPortParametersOrBrackets) {
  Caller c = Parse("\"Door\" <sip:door@127.0.0.2:5062>");
  EXPECT_EQ(c.name, "door");
  EXPECT_EQ(c.host, "127.0.0.2");
  c = Parse("sip:42@192.168.1.250;transport=udp");
  EXPECT_EQ(c.name, "42");
  EXPECT_EQ(c.host, "192.168.1.250");
  c = Parse("<sip:unit.local>");
  EXPECT_EQ(c.name, "");
  EXPECT_EQ(c.host, "unit.local");
  c = Parse("sip:@10.0.0.1");  // nothing between ':' and '@'
  EXPECT_EQ(c.name, "");
  EXPECT_EQ(c.host, "10.0.0.1");
  // An '@' more than 63 characters after the ':' is no user part's end.
  c = Parse("sip:" + std::string(64, 'u') + "@h");
  EXPECT_EQ(c.name, "");
  EXPECT_EQ(c.host, std::string(63, 'u'));
  c = Parse("sip:" + std::string(63, 'u') + "@h");
  EXPECT_EQ(c.name, std::string(63, 'u'));
  EXPECT_EQ(c.host, "h");
}

TEST(CallerAddress, HostileTextsGiveShortResultsAndNeverReadPastTheEnd) {
  // No ':' among the first 64 characters: nothing is taken.
  Caller c = Parse(std::string(64, 'a') + ":door@1.2.3.4");
  EXPECT_EQ(c.name, "");
  EXPECT_EQ(c.host, "");
  c = Parse(std::string(63, 'a') + ":door@1.2.3.4");
  EXPECT_EQ(c.name, "door");
  EXPECT_EQ(c.host, "1.2.3.4");
  for (const std::string& text : {std::string(""), std::string(":"), std::string("sip:"),
                                  std::string("sip:a@"), std::string("sip:" + std::string(500, 'h')),
                                  std::string(300, '@'), std::string("a:") + std::string(70, '@')}) {
    c = Parse(text);
    EXPECT_LE(c.name.size(), 63u) << text;
    EXPECT_LE(c.host.size(), 63u) << text;
  }
  char name[64], host[64];
  ParseCallerAddress(nullptr, name, host);
  EXPECT_STREQ(name, "");
  EXPECT_STREQ(host, "");
}

}  // namespace
