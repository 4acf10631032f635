// Unscrambling of the text fields, straight on stored bytes.

#include <gtest/gtest.h>

#include <random>

#include "format/ProblemFileWriter.h"
#include "format/Unscramble.h"
#include "tests/support/MnrWriter.h"

namespace {

using test_support::Bytes;
using test_support::MnrWriter;
using test_support::Problem;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A field of `size` bytes: `head` then spaces.
Bytes Field(const std::string& head, std::size_t size) {
  Bytes f(head.begin(), head.end());
  f.resize(size, 0x20);
  return f;
}

Bytes Flip(const std::string& plain) {
  Bytes b = B(plain);
  for (auto& c : b) c ^= 0x80;
  return b;
}

struct FieldCase {
  const char* what;
  Bytes stored;
  Bytes expected;
  std::size_t length;
};

void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.what; }

class UnscrambleFieldTest : public testing::TestWithParam<FieldCase> {};

TEST_P(UnscrambleFieldTest, GivesPlainTextAndLength) {
  const FieldCase& c = GetParam();
  Bytes field = c.stored;
  EXPECT_EQ(UnscrambleField(field.data(), field.size()), c.length);
  EXPECT_EQ(field, c.expected);
}

std::string Cat(const Bytes& b) { return std::string(b.begin(), b.end()); }

// あ is 0x82 0xA0: stored, its trail byte is a space.
const std::string kA = "\x82\xA0";
// 亜 is 0x88 0x9F: its trail byte is itself in the lead-byte range.
const std::string kAa = "\x88\x9F";

INSTANTIATE_TEST_SUITE_P(
    Cases, UnscrambleFieldTest,
    testing::Values(
        FieldCase{"padding only stays untouched", Field("", 28), Field("", 28), 0},
        FieldCase{"double-byte text", Field(Cat(Flip(kA + kAa)), 28), Field(kA + kAa, 28), 4},
        // A trail byte 0xA0 is stored as a space at an odd offset.
        FieldCase{"stored space at odd offset is text", Field(Cat(Flip(kA)), 8), Field(kA, 8), 2},
        // Odd length: the first padding byte is not text (no stray 0xA0).
        FieldCase{"odd-length text ends cleanly", Field(Cat(Flip("abc")), 8), Field("abc", 8), 3},
        // あ after one single-byte character: its trail is a space at an
        // even offset, yet it belongs to the character.
        FieldCase{"trail 0xA0 after odd single bytes", Field(Cat(Flip("a" + kA + "b")), 8),
                  Field("a" + kA + "b", 8), 4},
        FieldCase{"plain space inside text", Field(Cat(Flip("a b")), 6), Field("a b", 6), 3},
        FieldCase{"half-width katakana is single-byte", Field(Cat(Flip("\xB1\xB2\xB3")), 6),
                  Field("\xB1\xB2\xB3", 6), 3},
        FieldCase{"trail byte in lead range", Field(Cat(Flip("a" + kAa + kAa)), 8),
                  Field("a" + kAa + kAa, 8), 5},
        FieldCase{"full field, no padding", Flip(std::string(27, 'x') + "y"),
                  B(std::string(27, 'x') + "y"), 28},
        // A lead byte in the last position has no trail inside the field.
        FieldCase{"lead byte last", Flip(std::string(27, 'x') + "\x82"),
                  B(std::string(27, 'x') + "\x82"), 28},
        // Text after the end of the text stays as stored.
        FieldCase{"stops at first boundary space", Field(Cat(Flip("ab")) + " " + Cat(Flip("cd")), 8),
                  Field("ab " + Cat(Flip("cd")), 8), 2}),
    [](const testing::TestParamInfo<FieldCase>& info) { return "case" + std::to_string(info.index); });

// The parity rule and the character-boundary rule agree on texts made of
// double-byte characters only; the product must give both.
class DoubleByteAgreementTest : public testing::TestWithParam<unsigned> {};

TEST_P(DoubleByteAgreementTest, BoundaryRuleEqualsParityRule) {
  std::mt19937 random(GetParam());
  // Trail bytes that matter: 0xA0 (stored space), 0x5C, lead-range trails.
  const std::vector<std::string> chars = {kA, kAa, "\x95\x5C", "\x83\x5C", "\x82\xA9", "\x81\x40",
                                          "\xE0\x40", "\xFC\xFC", "\x82\xCC"};
  auto text = [&](std::size_t maxBytes) {
    std::string t;
    const std::size_t n = random() % (maxBytes / 2 + 1);
    for (std::size_t i = 0; i < n; ++i) t += chars[random() % chars.size()];
    return t;
  };
  for (int round = 0; round < 50; ++round) {
    Problem p{text(116), {text(28), text(28), text(28), text(28), text(28)}};
    if (round == 0) {  // full-width fields: question to 116, fifth choice to 255
      p.question.clear();
      for (int i = 0; i < 58; ++i) p.question += kA;
      p.choices[4].clear();
      for (int i = 0; i < 14; ++i) p.choices[4] += kAa;
    }
    const Bytes stored = MnrWriter::storedRecord(p);
    const Bytes boundary = MnrWriter::unscramble(stored, MnrWriter::Rule::kCharacterBoundary);
    ASSERT_EQ(boundary, MnrWriter::unscramble(stored, MnrWriter::Rule::kParity));

    ProblemRecord record;
    std::copy(stored.begin(), stored.end(), record.Bytes);
    TextLengths lengths;
    UnscrambleRecord(record, lengths);
    ASSERT_EQ(Bytes(record.Bytes, record.Bytes + 256), boundary) << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, DoubleByteAgreementTest, testing::Values(1u, 2u, 3u, 4u));

// Where the two rules part, the loader follows character boundaries.
TEST(UnscrambleRecordTest, MendedCasesDifferFromParityRule) {
  const Problem p{"ab" + kA + "c", {"x" + kA, "abc", "", "", std::string(27, 'z') + "!"}};
  const Bytes stored = MnrWriter::storedRecord(p);
  ProblemRecord record;
  std::copy(stored.begin(), stored.end(), record.Bytes);
  TextLengths lengths;
  UnscrambleRecord(record, lengths);
  const Bytes got(record.Bytes, record.Bytes + 256);

  Bytes expected = Field("ab" + kA + "c", 116);
  for (const std::string& choice : p.choices) {
    const Bytes f = Field(choice, 28);
    expected.insert(expected.end(), f.begin(), f.end());
  }
  EXPECT_EQ(got, expected);
  EXPECT_NE(got, MnrWriter::unscramble(stored, MnrWriter::Rule::kParity));
}

// Each choice starts afresh: a lead byte ending choice 1 must not take the
// first byte of choice 2 as its trail.
TEST(UnscrambleRecordTest, ChoicesAreSeparateFields) {
  const Problem p{"", {std::string(27, 'a') + "\x82", "", "b", "", std::string(28, 'c')}};
  const Bytes stored = MnrWriter::storedRecord(p);
  ProblemRecord record;
  std::copy(stored.begin(), stored.end(), record.Bytes);
  TextLengths lengths;
  UnscrambleRecord(record, lengths);
  EXPECT_EQ(Bytes(record.Bytes, record.Bytes + 256), MnrWriter::expectedRecord(p));
  EXPECT_EQ(Bytes(lengths.Field, lengths.Field + 6), Bytes({0, 28, 0, 1, 0, 28}));
  EXPECT_EQ(record.Bytes[144], 0x20);  // choice 2: padding only
  EXPECT_EQ(record.Bytes[255], 'c');   // fifth choice, full width
  EXPECT_EQ(record.Bytes[0], 0x20);    // empty question untouched
}

}  // namespace

// Arbitrary stored records, rich in the bytes that decide where a text ends
// (stored spaces, bytes that unscramble to lead bytes, stored 0xA0 trails):
// the product's unscrambling must equal the writer's character-by-character
// walk, and the lengths it finds must scramble the record back exactly. The product decides each space by the parity of the run of
// lead-capable bytes before it (looking back, or through 64-bit masks on
// x86-64), so long runs of such bytes before a space are what this is after.
TEST(UnscrambleRecordTest, ArbitraryRecordsFollowTheCharacterWalk) {
  std::mt19937 random(7);
  const std::uint8_t interesting[] = {0x20, 0x20, 0x01, 0x1F, 0x02, 0x60, 0x7C, 0x5F,
                                      0x7D, 0x00, 0x80, 0xA0, 0xC1, 0xFF, 0x41};
  for (int round = 0; round < 20000; ++round) {
    Bytes stored(256);
    for (auto& b : stored) {
      b = random() % 4 == 0 ? static_cast<std::uint8_t>(random())
                            : interesting[random() % sizeof interesting];
    }
    ProblemRecord record;
    std::copy(stored.begin(), stored.end(), record.Bytes);
    TextLengths lengths;
    UnscrambleRecord(record, lengths);
    ASSERT_EQ(Bytes(record.Bytes, record.Bytes + 256), MnrWriter::unscramble(stored)) << "round " << round;
    const ProblemRecord back = StoredRecord(record, lengths);
    ASSERT_EQ(Bytes(back.Bytes, back.Bytes + 256), stored) << "round " << round;
  }
}

