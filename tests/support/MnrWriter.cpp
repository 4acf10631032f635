#include "tests/support/MnrWriter.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace test_support {
namespace {

constexpr std::uint8_t kFlip = 0x80;
constexpr std::uint8_t kSpace = 0x20;

// The file is Shift-JIS whatever the system's code page.
bool isLeadByte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

void unscrambleField(std::uint8_t* f, std::size_t size, MnrWriter::Rule rule) {
  std::size_t k = 0;
  while (k < size) {
    const bool boundary = rule == MnrWriter::Rule::kCharacterBoundary || k % 2 == 0;
    if (f[k] == kSpace && boundary) return;
    f[k] ^= kFlip;
    if (rule == MnrWriter::Rule::kCharacterBoundary && isLeadByte(f[k]) && k + 1 < size) {
      f[k + 1] ^= kFlip;
      k += 2;
    } else {
      k += 1;
    }
  }
}

// A text up to its first zero byte, then without trailing bytes <= 0x20.
std::string cutAndTrim(const std::uint8_t* p, std::size_t size) {
  std::size_t n = 0;
  while (n < size && p[n] != 0) ++n;
  while (n > 0 && p[n - 1] <= kSpace) --n;
  return std::string(reinterpret_cast<const char*>(p), n);
}

}  // namespace

MnrWriter::MnrWriter() = default;

void MnrWriter::setCount(int g, std::int16_t count) {
  countOverride_.at(g) = count;
  hasOverride_.at(g) = true;
}

void MnrWriter::setSignature(const std::string& eightBytes) {
  if (eightBytes.size() != 8) throw std::invalid_argument("signature must be 8 bytes");
  signature_ = eightBytes;
}

void MnrWriter::setHeaderByte(int g, std::size_t offset, std::uint8_t value) {
  if (g < 0 || g >= 8 || offset >= kBlockSize) throw std::out_of_range("header byte");
  patches_.push_back({g, offset, value});
}

int MnrWriter::count(int g) const {
  return hasOverride_.at(g) ? countOverride_[g] : static_cast<int>(genres_.at(g).problems.size());
}

Bytes MnrWriter::bytes() const {
  Bytes out(kHeaderSize, 0);
  for (int g = 0; g < 8; ++g) {
    std::uint8_t* block = out.data() + kBlockSize * g;
    const std::string& name = genres_[g].name;
    if (name.size() > 16) throw std::length_error("genre name over 16 bytes");
    std::copy(name.begin(), name.end(), block);
    const auto c = static_cast<std::uint16_t>(static_cast<std::int16_t>(count(g)));
    block[18] = static_cast<std::uint8_t>(c & 0xFF);
    block[19] = static_cast<std::uint8_t>(c >> 8);
  }
  std::copy(signature_.begin(), signature_.end(), out.begin() + 34);
  for (const HeaderPatch& p : patches_) out[kBlockSize * p.genre + p.offset] = p.value;

  for (const Genre& genre : genres_) {
    for (const Problem& p : genre.problems) {
      const Bytes record = storedRecord(p);
      out.insert(out.end(), record.begin(), record.end());
    }
  }
  return out;
}

void MnrWriter::writeTo(const std::string& hostPath) const { writeFile(hostPath, bytes()); }

void MnrWriter::writeFile(const std::string& hostPath, const Bytes& bytes) {
  std::ofstream file(hostPath, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + hostPath);
}

void MnrWriter::scrambleField(const std::string& plain, std::uint8_t* field, std::size_t size) {
  if (plain.size() > size) throw std::length_error("text longer than its field");
  std::fill(field, field + size, kSpace);
  for (std::size_t i = 0; i < plain.size(); ++i) {
    field[i] = static_cast<std::uint8_t>(plain[i]) ^ kFlip;
  }
}

Bytes MnrWriter::storedRecord(const Problem& p) {
  if (!p.stored.empty()) {
    if (p.stored.size() != kRecordSize) throw std::length_error("stored record must be 256 bytes");
    return p.stored;
  }
  Bytes record(kRecordSize);
  scrambleField(p.question, record.data(), kQuestionSize);
  for (std::size_t i = 0; i < 5; ++i) {
    scrambleField(p.choices[i], record.data() + kChoicesOffset + kChoiceSize * i, kChoiceSize);
  }
  return record;
}

Bytes MnrWriter::unscramble(const Bytes& storedRecord, Rule rule) {
  Bytes record = storedRecord;
  unscrambleField(record.data(), kQuestionSize, rule);
  for (std::size_t i = 0; i < 5; ++i) {
    unscrambleField(record.data() + kChoicesOffset + kChoiceSize * i, kChoiceSize, rule);
  }
  return record;
}

Bytes MnrWriter::expectedRecord(const Problem& p) { return unscramble(storedRecord(p)); }

std::vector<Bytes> MnrWriter::expectedRecords(int g) const {
  std::vector<Bytes> records;
  const auto& problems = genres_.at(g).problems;
  for (int n = 0; n < count(g) && n < static_cast<int>(problems.size()); ++n) {
    records.push_back(expectedRecord(problems[n]));
  }
  return records;
}

std::string MnrWriter::expectedGenreName(int g) const {
  const Bytes all = bytes();
  const char* name = reinterpret_cast<const char*>(all.data() + kBlockSize * g);
  return std::string(name, std::find(name, name + 16, '\0'));
}

std::string MnrWriter::genreFileText(const std::string& name, const std::vector<Bytes>& records) {
  const std::string crlf = "\r\n";
  std::string text = name + crlf;
  for (const Bytes& r : records) {
    text += crlf;
    text += cutAndTrim(r.data(), kQuestionSize) + crlf;
    // The choices area is one string ending at its first zero byte.
    const std::uint8_t* area = r.data() + kChoicesOffset;
    const std::size_t length = std::find(area, area + kChoicesSize, 0) - area;
    for (std::size_t i = 0; i < 5; ++i) {
      const std::size_t start = std::min(kChoiceSize * i, length);
      const std::size_t size = std::min(kChoiceSize, length - start);
      text += cutAndTrim(area + start, size) + crlf;
    }
  }
  return text;
}

std::string MnrWriter::expectedGenreFile(int g) const {
  return genreFileText(expectedGenreName(g), expectedRecords(g));
}

std::vector<std::string> MnrWriter::expectedProblemsLines(int g) const {
  std::vector<std::string> file;
  const std::string text = expectedGenreFile(g);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    file.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  const auto shown = [](const std::string& field) {
    return field.empty() ? std::string("\x81\x69\x8B\xF3\x97\x93\x81\x6A") : field;  // （空欄）
  };
  std::vector<std::string> lines{file[0]};
  // Per problem: an empty line, the question, five choices.
  for (std::size_t first = 1, n = 1; first + 7 <= file.size(); first += 7, ++n) {
    lines.push_back("");
    lines.push_back(std::to_string(n) + ". " + shown(file[first + 1]));
    for (std::size_t c = 0; c < 5; ++c) {
      lines.push_back("   " + std::to_string(c + 1) + ") " + shown(file[first + 2 + c]));
    }
  }
  return lines;
}

}  // namespace test_support
