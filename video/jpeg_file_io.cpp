// FreeImage's I/O procedures over a C file.
#include "video/jpeg_file_io.h"

#include <cstdio>

unsigned DLL_CALLCONV myReadProc(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  return static_cast<unsigned>(std::fread(buffer, size, count, static_cast<FILE*>(handle)));
}

int DLL_CALLCONV mySeekProc(fi_handle handle, long offset, int origin) {
  return std::fseek(static_cast<FILE*>(handle), offset, origin);
}

long DLL_CALLCONV myTellProc(fi_handle handle) { return std::ftell(static_cast<FILE*>(handle)); }

FreeImageIO JpegFileIO() {
  FreeImageIO io{};
  io.read_proc = myReadProc;
  io.write_proc = nullptr;
  io.seek_proc = mySeekProc;
  io.tell_proc = myTellProc;
  return io;
}
