// A fake of the platform's thread start, linked in its place: it refuses as many starts as a test asks
// for, as a system out of threads does, and starts real threads otherwise. No test here can make the
// real system refuse a thread (root ignores the process limits, and the sanitizers need the address space).
#pragma once

namespace test_support {

// The next `count` thread starts are refused.
void RefuseThreadStarts(int count);

}  // namespace test_support
