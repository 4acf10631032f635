// The batch benchmark's baseline: the cheapest plain program that keeps
// mnr2txt's promise of whole outputs. It reads each input and writes each of
// the same outputs to a temporary name in one write, then renames it over the
// output:
//   plain-outputs [--flush-replaced] REFERENCE_FOLDER OUT_FOLDER INPUT...
// REFERENCE_FOLDER holds the outputs mnr2txt wrote for the inputs; they are
// loaded into memory first, not timed. Then, timed, for each input in order:
// open, one read of its size, close; and for each of its outputs (the
// reference names that are the input's base name followed by ".EXT" or by one
// digit and ".txt", as mnr2txt names them): create OUT_FOLDER/NAME.tmp, one
// write, close, rename over OUT_FOLDER/NAME. --flush-replaced fsyncs, before
// the rename, each output that replaces an existing regular file, as mnr2txt
// does. Prints the timed part's wall time in seconds.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// A file's bytes, left unset until read (no zero-filling first).
struct Bytes {
  std::unique_ptr<char[]> data;
  std::size_t size = 0;
};

struct Output {
  std::string name;
  Bytes bytes;
};

[[noreturn]] void Fail(const std::string& what) {
  std::perror(("plain-outputs: " + what).c_str());
  std::exit(1);
}

Bytes ReadWhole(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) Fail(path);
  Bytes bytes;
  bytes.size = static_cast<std::size_t>(st.st_size);
  bytes.data = std::make_unique_for_overwrite<char[]>(bytes.size);
  if (read(fd, bytes.data.get(), bytes.size) != static_cast<ssize_t>(bytes.size)) Fail(path);
  close(fd);
  return bytes;
}

// Every file in the folder, in name order.
std::vector<Output> LoadFolder(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) Fail(folder);
  std::vector<Output> outputs;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    outputs.push_back({name, ReadWhole(folder + "/" + name)});
  }
  closedir(dir);
  std::sort(outputs.begin(), outputs.end(),
            [](const Output& a, const Output& b) { return a.name < b.name; });
  return outputs;
}

// "in/q0001.mnr" -> "q0001": the name mnr2txt gives the input's outputs.
std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool IsOutputOf(const std::string& name, const std::string& base) {
  if (name.compare(0, base.size(), base) != 0) return false;
  const std::string rest = name.substr(base.size());
  if (!rest.empty() && rest[0] == '.') return true;  // FILE.csv, FILE.json, ...
  return rest.size() == 5 && std::isdigit(static_cast<unsigned char>(rest[0])) &&
         rest.compare(1, 4, ".txt") == 0;  // FILE0.txt ... FILE7.txt
}

bool ReplacesRegularFile(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void WriteAndRename(const Bytes& bytes, const std::string& path, bool flushReplaced) {
  const std::string temporary = path + ".tmp";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) Fail(temporary);
  if (write(fd, bytes.data.get(), bytes.size) != static_cast<ssize_t>(bytes.size)) Fail(temporary);
  if (flushReplaced && ReplacesRegularFile(path) && fsync(fd) != 0) Fail(temporary);
  if (close(fd) != 0) Fail(temporary);
  if (rename(temporary.c_str(), path.c_str()) != 0) Fail(path);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool flushReplaced = !args.empty() && args[0] == "--flush-replaced";
  if (flushReplaced) args.erase(args.begin());
  if (args.size() < 3) {
    std::fputs("usage: plain-outputs [--flush-replaced] REFERENCE_FOLDER OUT_FOLDER INPUT...\n",
               stderr);
    return 2;
  }
  const std::vector<Output> outputs = LoadFolder(args[0]);
  const std::string out = args[1];

  const auto start = std::chrono::steady_clock::now();
  std::size_t written = 0;
  for (std::size_t i = 2; i < args.size(); ++i) {
    const Bytes input = ReadWhole(args[i]);  // read as a converter must; the bytes go unused
    const std::string base = BaseName(args[i]);
    auto first = std::lower_bound(outputs.begin(), outputs.end(), base,
                                  [](const Output& o, const std::string& b) { return o.name < b; });
    for (auto o = first; o != outputs.end() && o->name.compare(0, base.size(), base) == 0; ++o) {
      if (!IsOutputOf(o->name, base)) continue;
      WriteAndRename(o->bytes, out + "/" + o->name, flushReplaced);
      ++written;
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (written == 0) {
    std::fputs("plain-outputs: no reference output matches an input\n", stderr);
    return 1;
  }
  std::printf("%.4f\n", seconds);
  return 0;
}
