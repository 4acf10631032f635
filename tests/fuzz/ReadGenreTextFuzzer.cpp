// Fuzz target: one genre text file of arbitrary bytes read back as genre 3
// of a problem file (the other genres empty).
#include "ReadBackFuzzer.h"
#include "format/GenreText.h"
#include "frontend/import/GenreTextInput.h"
#include "frontend/import/ProblemSetBuilder.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::WriteSeedsIfAsked([](ProblemSource& problems) {
    std::string text;
    WriteGenreText(problems, 3, TextEncoding::kShiftJis, [&text](std::string_view piece) { text += piece; });
    return text;
  }, ".txt");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  importing::Diagnostics diagnostics;
  importing::ProblemSetBuilder builder(std::nullopt, diagnostics);
  if (!importing::ReadGenreText({reinterpret_cast<const char*>(data), size}, 3, builder, diagnostics)) return 0;
  fuzz::CheckAccepted(builder.Finish());
  return 0;
}
