#pragma once
// Every text txt2mnr and the page's write-back show, in one table, so that a
// translation changes this file alone. "{1}", "{2}" ... are filled in by
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

// txt2mnr's own messages.
inline constexpr char kProgram[] = "txt2mnr: ";
inline constexpr char kWrote[] = "wrote {1}";
inline constexpr char kOutputExists[] = "{1} exists; --force replaces it";
inline constexpr char kNotWritten[] = "{1} not written: {2}";
inline constexpr char kCannotRead[] = "cannot be read: {1}";
inline constexpr char kNotAProblemFile[] = "not a problem file";
inline constexpr char kUnknownKind[] = "not a .json, .csv or genre text file (BASE0.txt ... BASE7.txt)";
inline constexpr char kNotWrittenErrors[] = "nothing written";
inline constexpr char kTryHelp[] = "Try 'txt2mnr --help' for more information.";
inline constexpr char kUsageNoFile[] = "no file given";
inline constexpr char kUsageEmptyName[] = "empty file name";
inline constexpr char kUsageUnknownOption[] = "unknown option {1}";
inline constexpr char kUsageNeedsValue[] = "option {1} needs a file";
inline constexpr char kUsageOneInput[] = "-o takes one input file";
inline constexpr char kUsageCheckAlone[] = "--check writes nothing: -o, --force, --template and --no-formula-guard do not go with it";
inline constexpr char kPressEnter[] = "Press Enter to close this window.";

// What `txt2mnr --check` reports, per problem file.
inline constexpr char kCheckClean[] = "nothing that a text export would not show";
inline constexpr char kCheckNotPadding[] = "bytes after the text's end that are not padding";
inline constexpr char kCheckZeroByte[] = "a zero byte inside the text: a text export ends it there";
inline constexpr char kCheckInvalid[] = "bytes that are not valid CP932";
inline constexpr char kCheckOtherCodes[] = "characters in other CP932 codes than text is written with";
inline constexpr char kCheckTrimmed[] = "spaces or control bytes at the text's end, which a text export drops";
inline constexpr char kCheckCut[] = "readers that end a text at any stored space at an even offset cut this text short";
inline constexpr char kCheckOtherwise[] = "the stored record is not what its texts give when written";
inline constexpr char kCheckTrailing[] = "{1} bytes after the last record";
inline constexpr char kCheckTrailingMore[] = "more than {1} bytes after the last record";

inline constexpr char kUsage[] =
    "Usage: txt2mnr [options] FILE...\n"
    "       txt2mnr --check PROBLEM_FILE...\n"
    "Writes a quiz problem file (.mnr) from each FILE: the JSON or CSV that\n"
    "mnr2txt writes (edited or not), or eight genre text files BASE0.txt ...\n"
    "BASE7.txt (name any one of them). The problem file is FILE with .mnr for\n"
    "its extension (BASE.mnr for genre files), beside FILE.\n"
    "\n"
    "  -o, --output FILE   write FILE instead (one input only)\n"
    "  -f, --force         replace an existing problem file\n"
    "      --template MNR  take the header bytes a CSV or genre text does not\n"
    "                      carry (and the names of genres without problems)\n"
    "                      from the problem file MNR; zeros otherwise\n"
    "      --no-formula-guard  the CSV was written by mnr2txt --no-formula-guard:\n"
    "                      keep every leading apostrophe\n"
    "      --check         write nothing; report what in each problem file a\n"
    "                      text export would not show\n"
    "  -h, --help          show this help\n"
    "      --version       show the version\n"
    "\n"
    "A JSON from mnr2txt --json gives the problem file back byte for byte;\n"
    "after an edit only the edited fields change.\n"
    "Exit status: 0 when every file was written (or checked and found clean),\n"
    "1 when any was not (or --check found something), 2 for a command line\n"
    "that cannot be used.\n";

// Replaces "{1}", "{2}" ... in text by args[0], args[1] ...
std::string Fill(std::string_view text, const std::vector<std::string>& args);

}  // namespace import_text
