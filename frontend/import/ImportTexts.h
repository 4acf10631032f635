#pragma once
// Every text the readers of a problem set's text forms say about what they
// read, for txt2mnr and the page's write-back, in one table. txt2mnr's own
// texts are in cli/Txt2mnrTexts.h. "{1}", "{2}" ... are filled in by
// import_text::Fill; the texts are UTF-8.

#include <string>
#include <string_view>
#include <vector>

namespace import_text {

// Where a message points: "genre {1}", "problem {1}", and the fields.
inline constexpr char kGenre[] = "genre {1}";
inline constexpr char kProblem[] = "problem {1}";
inline constexpr char kName[] = "name";
inline constexpr char kQuestion[] = "question";
inline constexpr char kChoice[] = "choice {1}";
inline constexpr char kBlock[] = "block";
inline constexpr char kRaw[] = "raw";
inline constexpr char kWarning[] = "warning: ";

// Texts that cannot be stored.
inline constexpr char kTooLong[] = "{1} bytes in CP932, more than the {2} its field holds";
inline constexpr char kNoCp932Form[] = "{1} has no CP932 form";
inline constexpr char kNotUtf8[] = "bytes that are not UTF-8";
inline constexpr char kZeroCharacter[] = "U+0000 cannot be stored: a text ends at its first zero byte";
inline constexpr char kTooManyProblems[] = "{1} problems, more than the 32767 a genre holds";
inline constexpr char kCutByOlderReaders[] =
    "readers that end a text at any stored space at an even offset cut this text after {1} bytes "
    "(a double-byte character with trail byte 0xA0 starts at an odd offset); munemoji reads it whole";
inline constexpr char kTrailingNotAllKept[] =
    "the bytes after the last record were not all kept in the JSON; the file ends with the {1} kept";
inline constexpr char kMoreErrors[] = "more errors not shown";

// A JSON that is not one mnr2txt writes.
inline constexpr char kJsonSyntax[] = "not JSON: {1}";
inline constexpr char kJsonShape[] = "not a problem set as mnr2txt --json writes it: {1}";
inline constexpr char kJsonExpected[] = "{1} must be {2}";
inline constexpr char kJsonUnknownKey[] = "unknown key \"{1}\"";
inline constexpr char kJsonMissing[] = "no \"{1}\"";
inline constexpr char kJsonFormat[] = "\"format\" {1} is not one this program reads (1 or 2)";
inline constexpr char kJsonGenreCount[] = "\"genres\" must hold 8 genres";
inline constexpr char kJsonGenreNumber[] = "\"number\" must be {1}, its place in \"genres\"";
inline constexpr char kJsonChoiceCount[] = "\"choices\" must hold 5 texts";
inline constexpr char kJsonBytes[] = "must be {1} bytes in base64";

// A CSV that is not one mnr2txt writes.
inline constexpr char kCsvHeader[] = "the first row must be genre,name,question,choice1,choice2,choice3,choice4,choice5";
inline constexpr char kCsvCells[] = "{1} cells, 8 expected";
inline constexpr char kCsvGenre[] = "the genre must be a number from 0 to 7";
inline constexpr char kCsvQuote[] = "a quoted cell is not closed";
inline constexpr char kCsvStrayQuote[] = "a quote inside a cell that does not begin with one";
inline constexpr char kCsvNameDiffers[] = "genre {1} is named \"{2}\" on line {3}";
inline constexpr char kNotCp932Bytes[] = "bytes that are neither UTF-8 nor CP932";

// Genre text files.
inline constexpr char kGenreTextEmptyLine[] = "an empty line must come before each problem";
inline constexpr char kGenreTextIncomplete[] = "the last problem has {1} of its 6 lines";
inline constexpr char kGenreTextNoName[] = "an empty file: the first line is the genre's name";

// Replaces "{1}", "{2}" ... in text by args[0], args[1] ...
std::string Fill(std::string_view text, const std::vector<std::string>& args);

}  // namespace import_text
