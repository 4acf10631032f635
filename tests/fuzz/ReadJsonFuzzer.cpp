// Fuzz target: a JSON of arbitrary bytes read back into a problem file.
#include "ReadBackFuzzer.h"
#include "format/OutputFormats.h"
#include "frontend/import/JsonInput.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::WriteSeedsIfAsked([](ProblemSource& problems) {
    std::string json;
    WriteJson(problems, "seed.mnr", [&json](std::string_view piece) { json += piece; });
    return json;
  }, ".json");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  importing::Diagnostics diagnostics;
  fuzz::CheckAccepted(importing::ReadJson({reinterpret_cast<const char*>(data), size}, std::nullopt, diagnostics));
  return 0;
}
