// Fuzz target: a CSV of arbitrary bytes read back into a problem file; the
// first byte chooses whether the formula guard is taken back.
#include "ReadBackFuzzer.h"
#include "format/OutputFormats.h"
#include "frontend/import/CsvInput.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::WriteSeedsIfAsked([](ProblemSource& problems) {
    std::string csv = "\x01";
    WriteCsv(problems, [&csv](std::string_view piece) { csv += piece; });
    return csv;
  }, ".csv");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  importing::Diagnostics diagnostics;
  importing::CsvSettings settings;
  settings.formulaGuard = data[0] & 1;
  fuzz::CheckAccepted(importing::ReadCsv({reinterpret_cast<const char*>(data) + 1, size - 1}, settings, diagnostics));
  return 0;
}
