#include "format/Base64.h"

#include <array>
#include <cstdint>

namespace {

constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> MakeValues() {
  std::array<std::int8_t, 256> values{};
  values.fill(-1);
  for (int i = 0; i < 64; ++i) values[static_cast<unsigned char>(kDigits[i])] = static_cast<std::int8_t>(i);
  return values;
}
constexpr std::array<std::int8_t, 256> kValues = MakeValues();

}  // namespace

void AppendBase64(std::string_view bytes, std::string& out) {
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k])); };
  for (; i + 3 <= bytes.size(); i += 3) {
    const std::uint32_t v = at(i) << 16 | at(i + 1) << 8 | at(i + 2);
    const char group[4] = {kDigits[v >> 18], kDigits[(v >> 12) & 63], kDigits[(v >> 6) & 63], kDigits[v & 63]};
    out.append(group, 4);
  }
  const std::size_t rest = bytes.size() - i;
  if (rest == 0) return;
  const std::uint32_t v = at(i) << 16 | (rest == 2 ? at(i + 1) << 8 : 0);
  out += kDigits[v >> 18];
  out += kDigits[(v >> 12) & 63];
  out += rest == 2 ? kDigits[(v >> 6) & 63] : '=';
  out += '=';
}

bool DecodeBase64(std::string_view text, std::string& bytes) {
  bytes.clear();
  if (text.size() % 4 != 0) return false;
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    const int pad = last ? (text[i + 3] == '=') + (text[i + 2] == '=' && text[i + 3] == '=') : 0;
    std::uint32_t v = 0;
    for (int k = 0; k < 4 - pad; ++k) {
      const std::int8_t d = kValues[static_cast<unsigned char>(text[i + k])];
      if (d < 0) return false;
      v |= static_cast<std::uint32_t>(d) << (18 - 6 * k);
    }
    // Padded groups must leave the unused bits zero: one text, one meaning.
    if ((pad == 1 && (v & 0xFF)) || (pad == 2 && (v & 0xFFFF))) return false;
    bytes += static_cast<char>(v >> 16);
    if (pad < 2) bytes += static_cast<char>((v >> 8) & 0xFF);
    if (pad < 1) bytes += static_cast<char>(v & 0xFF);
  }
  return true;
}
