// The telephone's tip line from another copy: only a mark byte and a bounded, printable line are taken.
#include "state/telephone_line.h"

#include <gtest/gtest.h>

TEST(TelephoneLine, TravelsWholeAndRefusesWhatIsNoLine) {
  const TelephoneLine failed = TelephoneNotRegistered("Forbidden\x01", true);
  const std::string bytes = EncodeTelephoneLine(failed);
  EXPECT_EQ(DecodeTelephoneLine(bytes.data(), bytes.size()),
            (TelephoneLine{"Telephone: not registered (Forbidden?)", true}));
  for (const std::string& refused :
       {std::string("2Telephone: off"), std::string("0Phone: off"), std::string("0Telephone: o\nff"),
        "0Telephone: " + std::string(120, 'x')})
    EXPECT_FALSE(DecodeTelephoneLine(refused.data(), refused.size())) << refused;
}
