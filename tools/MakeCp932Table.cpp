// Build tool, run natively: writes platform/Cp932TableData.inc, the CP932
// tables every build compiles in, from the C library's own CP932 conversion
// (iconv), asked once per one- and two-byte sequence.
//   make-cp932-table OUTPUT.inc          writes the tables
//   make-cp932-table --check FILE.inc    exit 1 unless FILE holds exactly them
// The file is kept in the source tree, so the cross and WebAssembly builds
// need no tool of the build machine and every build converts alike; the
// native test suite runs --check, so a C library that converts differently
// is noticed, never silently compiled in.
//
// Forward (CP932 to Unicode): the code point of each single byte, and per
// lead byte a row of 256, one per trail byte; 0xFFFF (no CP932 character
// maps to U+FFFF) where the bytes are no character. ASCII maps to itself;
// bytes 0x80-0xFF that the C library refuses alone and lead bytes alone are
// no character; a pair it refuses, or turns into anything but one character
// of the basic plane other than U+0000, is none.
//
// Backward (Unicode to CP932): the codes that are not the one their character
// is written with, so that turning the forward table round gives, for each
// code point, the code it is written with. Some characters have
// several codes (NEC row 13, the IBM extensions and the NEC-selected IBM
// extensions repeat characters of each other and of JIS X 0208); each gets
// the code Windows' WideCharToMultiByte gives it: a code outside those three
// groups first, then NEC row 13 (lead byte 0x87), then the IBM extensions
// (0xFA-0xFC), never the NEC-selected IBM extensions (0xED-0xEE) when
// another code exists; the lowest code among equals.

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kNone = 0xFFFF;

// The code point when the bytes are exactly one character of the basic
// plane other than U+0000; else 0. wantsMore: the bytes end inside a
// character (a lead byte alone).
std::uint32_t Convert(iconv_t cd, const std::string& bytes, bool& wantsMore) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(bytes.data());  // iconv's signature; it only reads
  std::uint8_t out[8];
  char* dst = reinterpret_cast<char*>(out);
  std::size_t inLeft = bytes.size(), room = sizeof out;
  const bool failed = iconv(cd, &in, &inLeft, &dst, &room) == static_cast<std::size_t>(-1);
  wantsMore = failed && errno == EINVAL;
  if (failed || inLeft != 0) return 0;
  const std::size_t length = sizeof out - room;
  if (length == 1) return out[0];
  if (length == 2) return ((out[0] & 0x1Fu) << 6) | (out[1] & 0x3Fu);
  if (length == 3) return ((out[0] & 0x0Fu) << 12) | ((out[1] & 0x3Fu) << 6) | (out[2] & 0x3Fu);
  return 0;
}

// Lower ranks win: see the rule above.
int Rank(std::uint16_t cp932) {
  const unsigned lead = cp932 >> 8;
  if (lead == 0x87) return 1;
  if (lead >= 0xFA && lead <= 0xFC) return 2;
  if (lead == 0xED || lead == 0xEE) return 3;
  return 0;
}

struct Tables {
  std::array<std::uint16_t, 256> single{};
  std::array<std::uint8_t, 256> leadRow{};  // 0: not a lead byte
  std::vector<std::array<std::uint16_t, 256>> rows;  // row 0: no character at all
  std::vector<std::uint16_t> backward = std::vector<std::uint16_t>(0x10000, 0);

  void Add(std::uint16_t cp932, std::uint32_t code) {
    if (code == 0 || code > 0xFFFF) return;
    std::uint16_t& held = backward[code];
    if (held == 0 || Rank(cp932) < Rank(held) || (Rank(cp932) == Rank(held) && cp932 < held)) held = cp932;
  }
};

bool Make(Tables& t) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::array<std::uint16_t, 256> none;
  none.fill(kNone);
  t.rows.push_back(none);
  for (int b = 0; b < 256; ++b) {
    t.single[b] = b < 0x80 ? static_cast<std::uint16_t>(b) : kNone;
    if (b < 0x80) {
      if (b > 0) t.Add(static_cast<std::uint16_t>(b), static_cast<std::uint32_t>(b));
      continue;
    }
    bool lead = false;
    if (const std::uint32_t code = Convert(cd, std::string(1, static_cast<char>(b)), lead)) {
      t.single[b] = static_cast<std::uint16_t>(code);
      t.Add(static_cast<std::uint16_t>(b), code);
      continue;
    }
    if (!lead) continue;
    std::array<std::uint16_t, 256> row;
    bool any = false, unused;
    for (int trail = 0; trail < 256; ++trail) {
      const std::uint32_t code = Convert(cd, {static_cast<char>(b), static_cast<char>(trail)}, unused);
      row[trail] = code != 0 ? static_cast<std::uint16_t>(code) : kNone;
      any = any || code != 0;
      t.Add(static_cast<std::uint16_t>(b << 8 | trail), code);
    }
    if (!any) continue;
    t.leadRow[b] = static_cast<std::uint8_t>(t.rows.size());
    t.rows.push_back(row);
  }
  iconv_close(cd);
  return true;
}

template <typename Values>
void PutValues(std::ostream& out, const Values& values, int perLine) {
  char text[16];
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::snprintf(text, sizeof text, "0x%X,", static_cast<unsigned>(values[i]));
    out << text << ((i + 1) % perLine == 0 || i + 1 == values.size() ? "\n" : "");
  }
}

std::string Text(const Tables& t) {
  std::ostringstream out;
  out << "// Generated by tools/MakeCp932Table.cpp from the C library's CP932 conversion:\n"
         "// do not edit; rebuild it with `cmake --build build/linux --target cp932-table`.\n";
  out << "constexpr std::uint16_t kSingle[256] = {\n";
  PutValues(out, t.single, 16);
  out << "};\nconstexpr std::uint8_t kLeadRow[256] = {\n";
  PutValues(out, t.leadRow, 16);
  out << "};\nconstexpr std::uint16_t kPairs[" << t.rows.size() << "][256] = {\n";
  for (const auto& row : t.rows) {
    out << "{\n";
    PutValues(out, row, 16);
    out << "},\n";
  }
  // Backward: the codes that read as a character but are not the code it is
  // written with; every other code is. The table itself is the forward one
  // turned round, at first use (platform/CodePage.cpp).
  std::vector<std::uint16_t> others;
  const auto check = [&](std::uint16_t cp932, std::uint16_t code) {
    if (code != kNone && t.backward[code] != cp932) others.push_back(cp932);
  };
  for (int b = 0x80; b < 256; ++b) check(static_cast<std::uint16_t>(b), t.single[b]);
  for (int b = 0x80; b < 256; ++b) {
    if (t.leadRow[b] == 0) continue;
    for (int trail = 0; trail < 256; ++trail)
      check(static_cast<std::uint16_t>(b << 8 | trail), t.rows[t.leadRow[b]][trail]);
  }
  out << "};\nconstexpr std::uint16_t kOtherCodes[" << others.size() << "] = {\n";
  PutValues(out, others, 16);
  out << "};\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
  if (argc != 2 && !check) {
    std::fputs("usage: make-cp932-table OUTPUT.inc | --check FILE.inc\n", stderr);
    return 2;
  }
  Tables tables;
  if (!Make(tables)) {
    std::fputs("make-cp932-table: this C library cannot convert CP932\n", stderr);
    return 1;
  }
  const std::string text = Text(tables);
  const char* file = argv[argc - 1];
  if (check) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream held;
    held << in.rdbuf();
    if (held.str() == text) return 0;
    std::fprintf(stderr, "make-cp932-table: %s differs from this C library's CP932 conversion\n", file);
    return 1;
  }
  std::ofstream out(file, std::ios::binary);
  out << text;
  out.close();
  return out ? 0 : 1;
}
