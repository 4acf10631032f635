#include <gtest/gtest.h>

#include "cli/mnr2txt/Options.h"
#include "cli/txt2mnr/Options.h"

namespace {

using cli::ParseCommandLine;

TEST(Options, FilesAndFlags) {
  const auto parsed = ParseCommandLine({"a.mnr", "-l", "b.mnr", "--utf8"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_TRUE(parsed.options.list);
  EXPECT_TRUE(parsed.options.utf8);
  EXPECT_FALSE(parsed.options.outputDir.has_value());
  EXPECT_EQ(parsed.options.files, (std::vector<std::string>{"a.mnr", "b.mnr"}));
}

TEST(Options, EveryFormOfTheOutputFolder) {
  for (const auto& args : {std::vector<std::string>{"-o", "out", "a.mnr"},
                           std::vector<std::string>{"-oout", "a.mnr"},
                           std::vector<std::string>{"--output", "out", "a.mnr"},
                           std::vector<std::string>{"--output=out", "a.mnr"},
                           std::vector<std::string>{"-o", "first", "-o", "out", "a.mnr"}}) {
    const auto parsed = ParseCommandLine(args);
    EXPECT_EQ(parsed.error, "") << args[0];
    EXPECT_EQ(parsed.options.outputDir.value_or(""), "out") << args[0];
    EXPECT_EQ(parsed.options.files, std::vector<std::string>{"a.mnr"}) << args[0];
  }
}

TEST(Options, DoubleDashEndsTheOptions) {
  const auto parsed = ParseCommandLine({"--", "-l", "--utf8", "-"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_FALSE(parsed.options.list);
  EXPECT_FALSE(parsed.options.utf8);
  EXPECT_EQ(parsed.options.files, (std::vector<std::string>{"-l", "--utf8", "-"}));
}

TEST(Options, FormatsAndStandardStreams) {
  using cli::OutputFormat;
  const struct {
    std::vector<std::string> args;
    OutputFormat format;
  } cases[] = {
      {{"a.mnr"}, OutputFormat::kGenreFiles},
      {{"--one-file", "a.mnr"}, OutputFormat::kOneFile},
      {{"--csv", "-o", "-", "-"}, OutputFormat::kCsv},
      {{"--json", "--json", "a.mnr"}, OutputFormat::kJson},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseCommandLine(c.args);
    EXPECT_EQ(parsed.error, "") << c.args[0];
    EXPECT_EQ(parsed.options.format, c.format) << c.args[0];
  }
  EXPECT_EQ(ParseCommandLine({"--csv", "-o-", "-"}).options.outputDir.value_or(""), "-");
  EXPECT_EQ(ParseCommandLine({"--csv", "-"}).options.files, std::vector<std::string>{"-"});
  // Listing writes no output stream: -o - is no error with it.
  EXPECT_EQ(ParseCommandLine({"-l", "-o", "-", "a.mnr", "b.mnr"}).error, "");
}

TEST(Options, HelpAndVersionNeedNoFile) {
  EXPECT_EQ(ParseCommandLine({"-h"}).error, "");
  EXPECT_TRUE(ParseCommandLine({"--help"}).options.help);
  EXPECT_TRUE(ParseCommandLine({"--version"}).options.version);
}

TEST(Options, UsageErrors) {
  EXPECT_EQ(ParseCommandLine({}).error, "no problem file given");
  EXPECT_EQ(ParseCommandLine({"-l"}).error, "no problem file given");
  EXPECT_EQ(ParseCommandLine({"a.mnr", "-x"}).error, "unknown option -x");
  EXPECT_EQ(ParseCommandLine({"a.mnr", "--list=yes"}).error, "unknown option --list=yes");
  EXPECT_EQ(ParseCommandLine({"a.mnr", "-o"}).error, "option -o needs a directory");
  EXPECT_EQ(ParseCommandLine({"a.mnr", "--output"}).error, "option --output needs a directory");
  EXPECT_EQ(ParseCommandLine({"a.mnr", "--output="}).error, "option -o needs a directory");
}

// txt2mnr's values: the export --check names, the encoding, and what does
// not go with --check.
TEST(Options, Txt2mnrValues) {
  using cli::ParseTxt2mnrLine;
  EXPECT_EQ(ParseTxt2mnrLine({"--check=csv", "a.mnr"}).options.checked, TextExport::kCsv);
  EXPECT_EQ(ParseTxt2mnrLine({"--check=json", "a.mnr"}).options.checked, TextExport::kJson);
  EXPECT_EQ(ParseTxt2mnrLine({"--check", "a.mnr"}).options.checked, TextExport::kGenreText);
  EXPECT_EQ(ParseTxt2mnrLine({"--encoding", "cp932", "a.csv"}).options.encoding, importing::Encoding::kCp932);
  EXPECT_EQ(ParseTxt2mnrLine({"--encoding=utf-8", "a.csv"}).options.encoding, importing::Encoding::kUtf8);
  EXPECT_EQ(ParseTxt2mnrLine({"--check=xlsx", "a.mnr"}).error, "--check= takes txt, csv or json");
  EXPECT_EQ(ParseTxt2mnrLine({"--encoding", "latin1", "a.csv"}).error, "--encoding takes utf-8 or cp932");
  EXPECT_EQ(ParseTxt2mnrLine({"a.csv", "--encoding"}).error, "--encoding takes utf-8 or cp932");
  EXPECT_EQ(ParseTxt2mnrLine({"--check", "--encoding=cp932", "a.mnr"}).error.rfind("--check writes nothing", 0), 0u);
  EXPECT_EQ(ParseTxt2mnrLine({"-o", "-", "a.csv"}).options.output, "-");
}

}  // namespace
