// Decoding of byte texts: UTF-8 when valid, else Latin-1.
#include "platform/text_decode.h"

#include <QStringDecoder>

QString DecodeBytes(const char* text, int len) {
  if (text == nullptr || len <= 0) return {};
  QByteArrayView bytes(text, len);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = utf8(bytes);
  if (!utf8.hasError()) return decoded;
  return QString::fromLatin1(text, len);
}
