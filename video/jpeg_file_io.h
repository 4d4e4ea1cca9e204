// FreeImage's I/O record over an open C file, for loading pictures through the file we opened.
#pragma once

#include <FreeImage.h>

unsigned DLL_CALLCONV myReadProc(void* buffer, unsigned size, unsigned count, fi_handle handle);
int DLL_CALLCONV mySeekProc(fi_handle handle, long offset, int origin);
long DLL_CALLCONV myTellProc(fi_handle handle);

// The record with the three procedures above and no write procedure: the handle is a FILE*.
FreeImageIO JpegFileIO();
