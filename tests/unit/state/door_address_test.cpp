// The door unit's address: the comparison the call matching and the settings rely on, the characters a
// typed address may not hold, and its form in URLs.
#include "state/door_address.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

// cmp_ip on texts in exact heap blocks, both ways round, so a read past the end trips the sanitizer.
int Compare(const std::string& a, const std::string& b) {
  std::unique_ptr<char[]> x(new char[a.size() + 1]), y(new char[b.size() + 1]);
  std::memcpy(x.get(), a.c_str(), a.size() + 1);
  std::memcpy(y.get(), b.c_str(), b.size() + 1);
  const int forth = cmp_ip(x.get(), y.get());
  EXPECT_EQ(forth, cmp_ip(y.get(), x.get())) << a << " / " << b;
  return forth;
}

TEST(DoorAddress, DottedDecimalComparesByValueAndEverythingElseByHostText) {
  // Host names with four or more labels are no numbers; the port never counts.
  const char* same[][2] = {{"192.168.001.250", "192.168.1.250"},
                           {"127.0.0.2:5062", "127.0.0.2"},
                           {"Door1.LAN.example.org:80", "door1.lan.example.org"},
                           {"[::1]:80", "[::1]"}};
  const char* differ[][2] = {{"192.168.1.250", "192.168.1.251"},
                             {"127.0.0.3:5062", "127.0.0.2"},
                             {"door1.lan.example.org", "door2.lan.example.org"},
                             {"a.b.c.d", "0.0.0.0"},
                             {"10.0.0.2", "10.0.0.2.99"},
                             {"1.2.3.", "1.2.3.0"},
                             {"256.1.1.1", "0.1.1.1"},
                             {"4294967297.0.0.1", "1.0.0.1"},
                             {"", ""},
                             {":80", ":80"}};
  for (const auto& c : same) EXPECT_EQ(Compare(c[0], c[1]), 0) << c[0] << " / " << c[1];
  for (const auto& c : differ) EXPECT_EQ(Compare(c[0], c[1]), -1) << c[0] << " / " << c[1];
  EXPECT_EQ(Compare(std::string(400, '9') + ".1.1.1", std::string(401, '9') + ".1.1.1"), -1);
  EXPECT_EQ(cmp_ip(nullptr, "1.2.3.4"), -1);
}

TEST(DoorAddress, ATypedAddressThatWouldChangeTheRequestIsNamedAndUrlsReadGroupsAsDecimal) {
  for (const char* fine : {"door.lan", "192.168.001.250:8080", "[fe80::1]:80", "unit-2.local"})
    EXPECT_EQ(DoorAddressFault(fine), "") << fine;
  const char* named[][2] = {{"x@host", "\"@\""},     {"h/a", "\"/\""},
                            {"h?a", "\"?\""},        {"h#a", "\"#\""},
                            {"door lan", "a blank"}, {"door\nlan", "the control character 0x0A"}};
  for (const auto& c : named) EXPECT_EQ(DoorAddressFault(c[0]), c[1]);
  EXPECT_EQ(DoorUrlAddress("127.000.000.010:8080"), "127.0.0.10:8080");
  EXPECT_EQ(DoorUrlAddress("door.010.lan"), "door.010.lan");
  EXPECT_EQ(DoorUrlAddress("[::1]:80"), "[::1]:80");
}

}  // namespace
