// Deciding whether a text is canonical CP932, and which records the JSON
// carries the stored bytes of, against their definitions: every one- and
// two-byte text, random texts and adversarial records made of the bytes each
// step tells apart (zeros, spaces, control bytes, lead and trail bytes, the
// rows that hold duplicate codes).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "format/GenreText.h"
#include "format/OutputFormats.h"
#include "format/ProblemFileWriter.h"
#include "format/mnrFormat.h"
#include "platform/CodePage.h"

namespace {

// Bytes that take different ways: the ends of the trimmed range, zeros,
// and lead bytes of ordinary rows and of the rows with duplicate codes.
constexpr unsigned char kPool[] = {0x00, 0x01, 0x09, 0x0D, 0x1F, 0x20, 0x21, 0x2C, 0x22, 0x41, 0x5C, 0x7F,
                                   0x80, 0x81, 0x82, 0x87, 0x88, 0x9F, 0xA0, 0xA1, 0xDF, 0xE0, 0xED, 0xEE,
                                   0xEF, 0xFA, 0xFB, 0xFC, 0xFD, 0xFF, 0x40, 0x54, 0x4A, 0x90};

std::string RandomBytes(std::mt19937& random, std::size_t n) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i)
    s += static_cast<char>(random() % 3 == 0 ? random() : kPool[random() % sizeof kPool]);
  return s;
}

// The definition: valid CP932 that gives the same bytes when converted to
// Unicode and back.
bool RoundTrips(std::string_view cp932) {
  std::string utf8, back;
  std::size_t invalid = 0, failedAt = 0;
  codepage::AppendCp932AsUtf8(cp932, utf8, invalid);
  return invalid == 0 && codepage::AppendUtf8AsCp932(utf8, back, failedAt) && back == cp932;
}

void ExpectChecked(std::string_view cp932) {
  ASSERT_EQ(codepage::IsCanonicalCp932(cp932), RoundTrips(cp932)) << testing::PrintToString(std::string(cp932));
}

TEST(CanonicalRecords, CanonicalCp932AsConvertingBackTellsForEveryOneAndTwoByteText) {
  for (int a = 0; a < 256; ++a) {
    ASSERT_NO_FATAL_FAILURE(ExpectChecked(std::string(1, static_cast<char>(a))));
    for (int b = 0; b < 256; ++b)
      ASSERT_NO_FATAL_FAILURE(ExpectChecked(std::string{static_cast<char>(a), static_cast<char>(b)}));
  }
}

TEST(CanonicalRecords, CanonicalCp932OnRandomTextsOfEveryLength) {
  std::mt19937 random(932);
  for (int round = 0; round < 100000; ++round) {
    std::string text = RandomBytes(random, random() % 120);
    // Mostly valid text, so that a single duplicate code decides.
    if (round % 2 == 0)
      for (std::size_t i = 0; i + 1 < text.size(); i += 2) text[i] = static_cast<char>(0x82 + random() % 3), text[i + 1] = static_cast<char>(0x9F + random() % 0x5D);
    if (round % 4 == 0 && text.size() >= 2) {
      static constexpr const char* kDuplicates[] = {"\xFA\x4A", "\xEE\xEF", "\x87\x90", "\xFA\x40", "\x87\x54", "\xED\x40"};
      const std::size_t at = (random() % (text.size() / 2)) * 2;
      const char* d = kDuplicates[random() % std::size(kDuplicates)];
      text[at] = d[0], text[at + 1] = d[1];
    }
    ASSERT_NO_FATAL_FAILURE(ExpectChecked(text));
  }
}

// Stored records as writers leave them and as they should not: canonical
// texts (ASCII, Japanese, the duplicate codes' rows), texts with spaces,
// control bytes or zeros at their end, a stored space inside a text, an
// invalid byte, padding that is not spaces, a flipped byte anywhere.
std::string AdversarialStoredRecord(std::mt19937& random) {
  // Half of them of characters that are always canonical.
  const bool plain = random() % 2 == 0;
  ProblemText text;
  std::string texts[mnr_layout::kFieldCount];
  for (int f = 0; f < mnr_layout::kFieldCount; ++f) {
    const std::size_t size = mnr_layout::FieldSize(f);
    std::string& t = texts[f];
    for (std::size_t n = random() % (size + 1); t.size() < n;) {
      switch (plain ? (random() % 2 ? 1 : 5) : random() % 6) {
        case 0: t += static_cast<char>('A' + random() % 26); break;
        case 1: t += "\x82"; t += static_cast<char>(0x9F + random() % 0x53); break;
        case 2: t += random() % 2 ? "\x87\x54" : "\x87\x90"; break;
        case 3: t += random() % 2 ? "\xFA\x40" : "\xEE\xEF"; break;
        case 4: t += static_cast<char>(kPool[random() % sizeof kPool]); break;
        default: t += "\x88\x9F"; break;
      }
    }
    t.resize(std::min(t.size(), size));
  }
  text.question = texts[0];
  for (int c = 0; c < mnr_layout::kChoiceCount; ++c) text.choices[c] = texts[1 + c];
  ProblemRecord record = CanonicalRecord(text);
  for (int k = plain ? 0 : static_cast<int>(random() % 4) - 2; k > 0; --k)  // now and then a byte changed
    record.Bytes[random() % mnr_layout::kRecordSize] = static_cast<std::uint8_t>(kPool[random() % sizeof kPool] ^ (random() % 2 ? 0x80 : 0));
  return std::string(reinterpret_cast<const char*>(record.Bytes), mnr_layout::kRecordSize);
}

TEST(CanonicalRecords, JsonCarriesStoredBytesExactlyForRecordsTheirTextsDoNotGiveBack) {
  std::mt19937 random(256);
  constexpr int kPerGenre = 3000;
  std::string file(mnr_layout::kHeaderSize, '\0');
  std::memcpy(&file[mnr_layout::kSignatureOffset], mnr_layout::kSignature, mnr_layout::kSignatureSize);
  std::vector<std::string> stored;
  for (int g = 0; g < mnr_layout::kGenreCount; ++g) {
    file[g * mnr_layout::kGenreBlockSize + mnr_layout::kProblemCountOffset] = static_cast<char>(kPerGenre & 0xFF);
    file[g * mnr_layout::kGenreBlockSize + mnr_layout::kProblemCountOffset + 1] = static_cast<char>(kPerGenre >> 8);
    for (int n = 0; n < kPerGenre; ++n) stored.push_back(AdversarialStoredRecord(random));
  }
  for (const std::string& record : stored) file += record;
  T_mnrFormat set;
  ASSERT_TRUE(set.LoadFromBytes({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()}, "r.mnr"));
  std::string json;
  LoadedProblems problems(set);
  WriteJson(problems, "r.mnr", [&](std::string_view bytes) { json += bytes; });

  // The definition: the stored bytes are what the texts give written
  // canonically, and every text converts to Unicode and back unchanged.
  std::size_t next = 0, raw = 0, checked = 0;
  for (int g = 0; g < mnr_layout::kGenreCount; ++g) {
    for (const ProblemRecord& record : set.Quiz(g).Records) {
      const ProblemText text = ProblemTextOf(record);
      const ProblemRecord canonical = CanonicalRecord(text);
      bool expected = std::memcmp(canonical.Bytes, stored[checked].data(), mnr_layout::kRecordSize) == 0 &&
                      RoundTrips(text.question);
      for (std::string_view choice : text.choices) expected = expected && RoundTrips(choice);
      const std::size_t at = json.find("{\"question\":", next);
      ASSERT_NE(at, std::string::npos);
      next = json.find('\n', at);
      const bool hasRaw = json.substr(at, next - at).find(",\"raw\":\"") != std::string::npos;
      ASSERT_EQ(hasRaw, !expected) << "record " << checked;
      raw += hasRaw;
      ++checked;
    }
  }
  // Both kinds, many of each.
  EXPECT_GT(raw, stored.size() / 5);
  EXPECT_LT(raw, stored.size() * 4 / 5);
}

}  // namespace
