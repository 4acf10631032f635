#include <gtest/gtest.h>

#include "cli/Options.h"

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

}  // namespace
