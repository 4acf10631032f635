#pragma once
// Where output bytes go: a file, standard output, the page, a string. Every
// writer hands its bytes over in order, in pieces of any size; a sink may
// raise, and the writer then stops. A sink that is a file or memory can also
// put bytes in place of ones it took earlier (the zip writer's headers).

#include <concepts>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

class ByteSink {
 public:
  using WriteFunction = std::function<void(std::string_view bytes)>;
  using RewriteFunction = std::function<void(std::uint64_t offset, std::string_view bytes)>;

  // A sink that only takes bytes in order.
  template <typename Write>
    requires(!std::same_as<std::remove_cvref_t<Write>, ByteSink> && std::invocable<Write&, std::string_view>)
  ByteSink(Write write) : write_(std::move(write)) {}  // a function is a sink
  ByteSink(WriteFunction write, RewriteFunction rewrite) : write_(std::move(write)), rewrite_(std::move(rewrite)) {}

  void operator()(std::string_view bytes) const { write_(bytes); }
  // Puts bytes at offset (from the first byte this sink took) in place of
  // those taken there; std::logic_error for a sink that cannot.
  void Rewrite(std::uint64_t offset, std::string_view bytes) const {
    if (!rewrite_) throw std::logic_error("this output cannot be rewritten");
    rewrite_(offset, bytes);
  }

 private:
  WriteFunction write_;
  RewriteFunction rewrite_;
};

// A sink that appends to out, and can rewrite what it holds.
inline ByteSink IntoString(std::string& out) {
  return ByteSink([&out](std::string_view bytes) { out += bytes; },
                  [&out](std::uint64_t offset, std::string_view bytes) { out.replace(offset, bytes.size(), bytes); });
}

// Collects bytes and hands them to a sink in whole pieces of kPieceSize, so
// that writers may emit record by record without a call per record reaching
// the sink, and a file that writes in pieces of this size writes each
// straight from here.
class ChunkedSink {
 public:
  static constexpr std::size_t kPieceSize = 64 * 1024;

  explicit ChunkedSink(const ByteSink& sink) : sink_(sink) { buffer_.reserve(kPieceSize + 4096); }
  ChunkedSink(const ChunkedSink&) = delete;
  ChunkedSink& operator=(const ChunkedSink&) = delete;
  // Bytes are appended here directly; call Flush when done.
  std::string& Buffer() { return buffer_; }
  // Hands over the whole pieces the buffer holds, keeping the rest.
  void MaybeFlush() {
    if (buffer_.size() < kPieceSize) return;
    const std::size_t whole = buffer_.size() / kPieceSize * kPieceSize;
    sink_(std::string_view(buffer_.data(), whole));
    buffer_.erase(0, whole);  // the rest is less than a piece: a short move
  }
  // Hands over all that is there.
  void Flush() {
    if (buffer_.empty()) return;
    sink_(buffer_);
    buffer_.clear();
  }

 private:
  const ByteSink& sink_;
  std::string buffer_;
};
