#include "cli/Shell.h"

#include "cli/ShellTexts.h"
#include "frontend/Messages.h"
#include "platform/CodePage.h"
#include "platform/IoError.h"

namespace cli {

using namespace shell_texts;

TerminalLine LineAbout(std::string_view name) {
  TerminalLine line;
  line.Host(program::kName).Host(": ");
  if (!name.empty()) line.Host(name).Host(": ");
  return line;
}

void Tell(Stream stream, std::string_view name, std::string_view utf8) { LineAbout(name).Utf8(utf8).PrintTo(stream); }

void TellCp932(Stream stream, std::string_view name, std::string_view cp932) {
  LineAbout(name).Cp932(cp932).PrintTo(stream);
}

int UsageError(std::string_view utf8) {
  Tell(Stream::kErr, "", utf8);
  TerminalLine().Utf8(texts::Fill(Say(kTryHelp), {program::kName})).PrintTo(Stream::kErr);
  return kUsageError;
}

bool IsOption(const std::string& arg, std::string_view longName, std::string_view shortName) {
  if (arg == longName || (arg.size() > longName.size() && arg.starts_with(longName) && arg[longName.size()] == '='))
    return true;
  return !shortName.empty() && arg.starts_with(shortName);
}

ValueTaken TakeValue(const std::vector<std::string>& args, std::size_t& i, std::string_view longName,
                     std::string_view shortName, std::optional<std::string>& value) {
  const std::string& arg = args[i];
  if (arg.size() > longName.size() && arg.starts_with(longName) && arg[longName.size()] == '=') {
    value = arg.substr(longName.size() + 1);
  } else if (!shortName.empty() && arg.size() > shortName.size() && arg.starts_with(shortName)) {
    value = arg.substr(shortName.size());
  } else if (i + 1 < args.size()) {
    value = args[++i];
  } else {
    return ValueTaken::kMissing;
  }
  return value->empty() ? ValueTaken::kEmpty : ValueTaken::kTaken;
}

std::string IoErrorText(int code, bool withFullStop) {
  if (texts::LanguageInUse() != texts::Language::kJapanese) {
    const std::string english = platform::IoErrorMessageInEnglish(code);
    return withFullStop ? messages::WithFullStop(english) : english;
  }
  const std::string cp932 = platform::IoErrorMessage(code);
  std::string utf8;
  std::size_t ignored = 0;
  codepage::AppendCp932AsUtf8(withFullStop ? messages::WithFullStop(cp932) : cp932, utf8, ignored);
  return utf8;
}

bool TellNoFile(const FileArgument& argument, const char* folderText) {
  using Kind = FileArgument::Kind;
  switch (argument.kind) {
    case Kind::kFile: return true;
    case Kind::kNoMatch: Tell(Stream::kErr, argument.name, Say(kNoMatch)); break;
    case Kind::kEmptyFolder: Tell(Stream::kErr, argument.name, Say(kNoProblemFilesInFolder)); break;
    case Kind::kFolder:
      if (folderText) Tell(Stream::kErr, argument.name, folderText);
      break;
    case Kind::kUnreadableFolder: Tell(Stream::kErr, argument.name, IoErrorText(argument.errorCode, true)); break;
  }
  return false;
}

}  // namespace cli
