// The frames the picture display draws into: a few per thread, so a large video area does not cost a
// fresh allocation (and the first touch of every page) per picture.
#include "video/frame_pool.h"

#include <algorithm>
#include <vector>

namespace {

// The live picture keeps one frame while the next is drawn; one more covers a holder that lets go late.
constexpr std::size_t kPooled = 3;

struct Pooled {
  Frame frame;
  int width = 0, height = 0;
};

}  // namespace

Frame TakeFrame(int width, int height) {
  thread_local std::vector<Pooled> pool;
  // Frames of another size will not be asked for again until the window is resized back.
  std::erase_if(pool, [&](const Pooled& p) { return p.width != width || p.height != height; });
  for (const Pooled& p : pool)
    // Only this pool holds it, and only this thread hands it out: no one can take it meanwhile.
    if (p.frame.bitmap.use_count() == 1) return p.frame;
  Frame frame;
  frame.bitmap = CreateDIBSection(width, height, &frame.bits, &frame.pitch);
  if (frame.bitmap && pool.size() < kPooled) pool.push_back(Pooled{frame, width, height});
  return frame;
}
