// Free ports for tests that run in parallel: each picks its own.
#pragma once

namespace test_support {

// A UDP port that nothing on any address uses at the moment of asking; 0 when none could be found.
int FreeUdpPort();

}  // namespace test_support
