#include "FuzzScratch.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "tests/support/TestEnv.h"

namespace fuzz {
namespace {

std::vector<std::unique_ptr<test_env::TempDir>>& Folders() {
  static std::vector<std::unique_ptr<test_env::TempDir>> folders;  // removed at exit
  return folders;
}

}  // namespace

std::string MakeScratchFolder() {
  Folders().push_back(std::make_unique<test_env::TempDir>());
  return Folders().back()->host();
}

void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  Folders().clear();
  std::abort();
}

}  // namespace fuzz
