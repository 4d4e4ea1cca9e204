// Cost of drawing one door picture, against libjpeg-turbo decoding the same picture at the scale the
// video area needs, and against a full decode stretched with FreeImage's B-spline rescale.
#include <FreeImage.h>
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/core/runtime_folder.h"
#include "platform/gui/application.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/surface_access.h"
#include "platform/gui/window.h"
#include "resources/builtin.h"
#include "skin/freeimage_init.h"
#include "skin/skin.h"
#include "tests/support/pictures/test_pictures.h"
#include "video/show_jpeg.h"
#include "window/main_window_class.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kClass = "KestrovaDisplayBench";
// The built-in frame around the video area: left, right, top and bottom pieces.
constexpr int kFrameWidth = 8 + 8, kFrameHeight = 26 + 35;

struct Case {
  int sw, sh, w, h;
};

HWND g_hwnd = HWND_NONE;
t_Skin g_skin[kSkinPieces] = {};
std::string g_folder;
std::vector<std::string> g_lines;

LRESULT BenchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(hwnd, message, wParam, lParam);
}

// The test scene as TurboJPEG encodes it at quality 85.
std::vector<unsigned char> MakeJpeg(int w, int h) {
  std::vector<std::uint8_t> rgb = test_pictures::SceneRgb(w, h, static_cast<unsigned>(w * 7 + h));
  tjhandle tj = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  tjCompress2(tj, rgb.data(), w, 0, h, TJPF_RGB, &out, &size, TJSAMP_420, 85, 0);
  std::vector<unsigned char> jpeg(out, out + size);
  tjFree(out);
  tjDestroy(tj);
  return jpeg;
}

std::vector<unsigned char> ReadAll(const std::string& path) {
  std::vector<unsigned char> bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  struct stat st {};
  if (fstat(fileno(f), &st) == 0) {
    bytes.resize(static_cast<std::size_t>(st.st_size));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
  }
  std::fclose(f);
  return bytes;
}

// The limit: libjpeg-turbo reads the file and decodes at the smallest of the 1/2, 1/4, 1/8 steps whose
// result still covers the area (the steps the display's decoder offers), into 32-bit pixels.
void TurboDecode(tjhandle tj, const std::string& path, const Case& c, std::vector<unsigned char>& out) {
  const std::vector<unsigned char> jpeg = ReadAll(path);
  int denom = 1;
  while (denom < 8 && (c.sw + denom * 2 - 1) / (denom * 2) >= c.w &&
         (c.sh + denom * 2 - 1) / (denom * 2) >= c.h)
    denom *= 2;
  const int w = (c.sw + denom - 1) / denom, h = (c.sh + denom - 1) / denom;
  out.resize(static_cast<std::size_t>(w) * h * 4);
  if (tjDecompress2(tj, jpeg.data(), jpeg.size(), out.data(), w, 0, h, TJPF_BGRX, 0) != 0) std::abort();
}

unsigned DLL_CALLCONV PlainRead(void* b, unsigned s, unsigned n, fi_handle h) {
  return static_cast<unsigned>(std::fread(b, s, n, static_cast<FILE*>(h)));
}
int DLL_CALLCONV PlainSeek(fi_handle h, long o, int w) { return std::fseek(static_cast<FILE*>(h), o, w); }
long DLL_CALLCONV PlainTell(fi_handle h) { return std::ftell(static_cast<FILE*>(h)); }

// A full decode with default flags, FreeImage's B-spline rescale, a copy into a new bitmap and the draw.
void Straightforward(const std::string& path, const Case& c) {
  FILE* f = std::fopen(path.c_str(), "rb");
  FreeImageIO io{PlainRead, nullptr, PlainSeek, PlainTell};
  FIBITMAP* decoded = FreeImage_LoadFromHandle(FIF_JPEG, &io, f, 0);
  std::fclose(f);
  FIBITMAP* scaled = FreeImage_Rescale(decoded, c.w, c.h, FILTER_BSPLINE);
  void* bits = nullptr;
  int pitch = 0;
  HBITMAP frame = CreateDIBSection(c.w, c.h, &bits, &pitch);
  FreeImage_ConvertToRawBits(static_cast<BYTE*>(bits), scaled, pitch, 32, FI_RGBA_RED_MASK,
                             FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, TRUE);
  HDC dc = GetDC(g_hwnd);
  BitBlt(dc, 8, 26, c.w, c.h, frame, 0, 0);
  ReleaseDC(g_hwnd, dc);
  FreeImage_Unload(scaled);
  FreeImage_Unload(decoded);
}

std::vector<std::uint32_t> DrawnArea(const Case& c) {
  const SurfaceCopy s = CopySurface(g_hwnd);
  std::vector<std::uint32_t> pixels;
  for (int y = 26; y < 26 + c.h; ++y)
    for (int x = 8; x < 8 + c.w; ++x) pixels.push_back(s.at(x, y));
  return pixels;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

void BM_Display(benchmark::State& state, Case c) {
  const int clientW = c.w + kFrameWidth, clientH = c.h + kFrameHeight;
  SetWindowPos(g_hwnd, HWND_TOP, 0, 0, clientW, clientH, SWP_NOMOVE);
  SkinBitmapPos(g_skin, clientH, clientW);
  ProcessPendingEvents(0);
  const std::string path = g_folder + "/display_bench_" + std::to_string(getpid()) + ".jpg";
  {
    const std::vector<unsigned char> jpeg = MakeJpeg(c.sw, c.sh);
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(jpeg.data(), 1, jpeg.size(), f);
    std::fclose(f);
  }

  // How far each path lands from an accurate full decode resized with Lanczos.
  FIBITMAP* accurate = FreeImage_Load(FIF_JPEG, path.c_str(), JPEG_ACCURATE);
  FIBITMAP* lanczos = FreeImage_Rescale(accurate, c.w, c.h, FILTER_LANCZOS3);
  const std::vector<std::uint32_t> reference = test_pictures::TopDownPixels(lanczos);
  FreeImage_Unload(lanczos);
  FreeImage_Unload(accurate);
  Straightforward(path, c);
  const double psnrStraight = test_pictures::Psnr(DrawnArea(c), reference);
  ShowJPEG(g_hwnd, path.c_str(), clientW, clientH, g_skin);
  const double psnrOurs = test_pictures::Psnr(DrawnArea(c), reference);

  tjhandle tj = tjInitDecompress();
  std::vector<unsigned char> turboOut;
  std::vector<double> ours, limit, straight;
  // The three paths take turns, so a busy machine slows them alike.
  for (auto _ : state) {
    auto t0 = Clock::now();
    TurboDecode(tj, path, c, turboOut);
    auto t1 = Clock::now();
    ShowJPEG(g_hwnd, path.c_str(), clientW, clientH, g_skin);
    auto t2 = Clock::now();
    Straightforward(path, c);
    auto t3 = Clock::now();
    limit.push_back(Ms(t0, t1));
    ours.push_back(Ms(t1, t2));
    straight.push_back(Ms(t2, t3));
    state.SetIterationTime(Ms(t1, t2) / 1000);
    ProcessPendingEvents(0);
  }
  tjDestroy(tj);
  std::remove(path.c_str());

  const double o = Median(ours), l = Median(limit), s = Median(straight);
  state.counters["limit_ms"] = l;
  state.counters["straightforward_ms"] = s;
  state.counters["ratio"] = o / l;
  char line[256];
  std::snprintf(line, sizeof line,
                "display_%dx%d_to_%dx%d ratio=%.2f ours_ms=%.3f limit_ms=%.3f straightforward_ms=%.3f "
                "psnr_ours=%.3f psnr_straightforward=%.3f",
                c.sw, c.sh, c.w, c.h, o / l, o, l, s, psnrOurs, psnrStraight);
  g_lines.emplace_back(line);
}

// Pictures are written where the program writes them: the per-user runtime folder, or shared memory
// when no runtime folder of the session exists (both keep pictures off the disk).
std::string PictureFolder() {
  struct stat st {};
  if (std::getenv("XDG_RUNTIME_DIR") == nullptr && stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode))
    return "/dev/shm";
  return RuntimeFolder();
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitPlatform(argc, argv);
  benchmark::Initialize(&argc, argv);
  EnsureFreeImage();
  g_folder = PictureFolder();
  if (g_folder.empty()) return 1;
  RegisterMainWindowClass(&kBuiltinResources, BenchProc, kClass);
  g_hwnd = CreateWindowEx(kClass, kProgramName, 0, 0, kDefaultClientWidth, kDefaultClientHeight);
  if (g_hwnd == HWND_NONE) return 1;
  InitSkin(&kBuiltinResources, g_hwnd, g_skin);

  const Case cases[] = {{640, 480, 320, 240}, {1280, 720, 320, 240}, {1920, 1080, 320, 240},
                        {640, 480, 960, 720}, {1280, 720, 960, 720}, {1920, 1080, 960, 720}};
  for (const Case& c : cases) {
    const std::string name = "display_" + std::to_string(c.sw) + "x" + std::to_string(c.sh) + "_to_" +
                             std::to_string(c.w) + "x" + std::to_string(c.h);
    benchmark::RegisterBenchmark(name.c_str(), BM_Display, c)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(c.w == 320 ? 150 : 30);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const std::string& line : g_lines) std::printf("%s\n", line.c_str());
  DestroyWindow(g_hwnd);
  return 0;
}
