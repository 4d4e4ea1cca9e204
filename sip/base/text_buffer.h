// Texts in fixed buffers: the buffer is filled with spaces, then the text is written from the start and
// terminated, cut so that it never exceeds the buffer less one character.
#pragma once

#include <cstddef>
#include <cstring>

template <std::size_t N>
void FillAndCopy(char (&buffer)[N], const char* text) {
  static_assert(N > 0);
  std::memset(buffer, ' ', N);
  std::size_t length = text == nullptr ? 0 : strnlen(text, N - 1);
  if (length > 0) std::memcpy(buffer, text, length);
  buffer[length] = '\0';
}

// The same for a byte block that need not be terminated (copy data from another copy): at most size
// bytes are looked at.
template <std::size_t N>
void FillAndCopyBytes(char (&buffer)[N], const void* bytes, std::size_t size) {
  std::memset(buffer, ' ', N);
  std::size_t length = 0;
  const char* text = static_cast<const char*>(bytes);
  if (text != nullptr)
    while (length < size && length < N - 1 && text[length] != '\0') ++length;
  if (length > 0) std::memcpy(buffer, text, length);
  buffer[length] = '\0';
}
