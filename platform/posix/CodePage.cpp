#include "platform/CodePage.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace codepage {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// One conversion descriptor for the whole run: opening one per line would
// cost more than converting the line.
class Cp932ToUtf8Descriptor {
 public:
  Cp932ToUtf8Descriptor() : cd_(iconv_open("UTF-8", "CP932")) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error("iconv cannot convert CP932 to UTF-8");
    }
  }
  ~Cp932ToUtf8Descriptor() { iconv_close(cd_); }
  Cp932ToUtf8Descriptor(const Cp932ToUtf8Descriptor&) = delete;
  Cp932ToUtf8Descriptor& operator=(const Cp932ToUtf8Descriptor&) = delete;

  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

iconv_t Descriptor() {
  static thread_local Cp932ToUtf8Descriptor descriptor;
  return descriptor.get();
}

}  // namespace

void AppendCp932AsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes) {
  iconv_t cd = Descriptor();
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(cp932.data());  // iconv's signature; it only reads
  std::size_t inLeft = cp932.size();
  while (inLeft > 0) {
    // A CP932 byte never needs more than 3 UTF-8 bytes.
    const std::size_t start = out.size();
    std::size_t room = inLeft * 3;
    out.resize(start + room);
    char* dst = out.data() + start;
    const std::size_t result = iconv(cd, &in, &inLeft, &dst, &room);
    out.resize(dst - out.data());
    if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    // EILSEQ (not a CP932 character) or EINVAL (a lead byte at the end):
    // replace one byte and go on with the next.
    out += kReplacement;
    ++in;
    --inLeft;
    ++invalidBytes;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
}

}  // namespace codepage
