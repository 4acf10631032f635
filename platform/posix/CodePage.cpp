#include "platform/CodePage.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <stdexcept>

#include "platform/Cp932Encoder.h"
#include "platform/Cp932Utf8Table.h"

namespace codepage {

namespace {

// True when the bytes are exactly one character of the basic plane other
// than U+0000.
bool Convert(iconv_t cd, const char* bytes, std::size_t size, std::uint16_t& code) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(bytes);  // iconv's signature; it only reads
  std::uint8_t out[8];
  char* dst = reinterpret_cast<char*>(out);
  std::size_t inLeft = size, room = sizeof out;
  if (iconv(cd, &in, &inLeft, &dst, &room) == static_cast<std::size_t>(-1) || inLeft != 0) return false;
  const std::size_t length = sizeof out - room;
  std::uint32_t c;
  if (length == 1) c = out[0];
  else if (length == 2) c = ((out[0] & 0x1Fu) << 6) | (out[1] & 0x3Fu);
  else if (length == 3) c = ((out[0] & 0x0Fu) << 12) | ((out[1] & 0x3Fu) << 6) | (out[2] & 0x3Fu);
  else return false;
  if (c == 0) return false;
  code = static_cast<std::uint16_t>(c);
  return true;
}

// CP932 as the system's iconv defines it, asked once per character: a
// conversion call per line would cost more than the line.
Cp932Utf8Table FromIconv() {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert CP932 to UTF-8");
  Cp932Utf8Table table;
  for (int b = 0x80; b < 256; ++b) {
    const char one[1] = {static_cast<char>(b)};
    std::uint16_t code = 0;
    if (Convert(cd, one, 1, code)) {
      table.SetSingle(static_cast<std::uint8_t>(b), code);
      continue;
    }
    if (errno != EINVAL) continue;  // EINVAL: wants a trail byte
    for (int t = 0; t < 256; ++t) {
      const char two[2] = {static_cast<char>(b), static_cast<char>(t)};
      code = 0;
      Convert(cd, two, 2, code);
      table.SetPair(static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(t), code);
    }
  }
  iconv_close(cd);
  return table;
}

const Cp932Utf8Table& Table() {
  static const Cp932Utf8Table table = FromIconv();
  return table;
}

// Built on first use from the table: only writing problem files needs it.
const Cp932Encoder& Encoder() {
  static const Cp932Encoder encoder = [] {
    Cp932Encoder e;
    Table().ForEachCharacter([&e](std::uint16_t cp932, std::uint32_t code) { e.Add(cp932, code); });
    return e;
  }();
  return encoder;
}

}  // namespace

void AppendCp932AsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes) {
  Table().Append(cp932, out, invalidBytes);
}

bool AppendUtf8AsCp932(std::string_view utf8, std::string& out, std::size_t& failedAt) {
  return Encoder().Append(utf8, out, failedAt);
}

bool IsCanonicalCp932(std::string_view cp932) { return Encoder().IsCanonical(cp932); }

}  // namespace codepage
