#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace irobunkai {

/// A zlib stream coded for speed as fast PNG encoders code theirs: each block of bytes with a
/// Huffman code of its own, a byte repeated three times or more sent as one run, and no other
/// search for repeats, which on a photograph's filtered rows finds little for its cost.
class DeflateStream {
 public:
  /// What a block is coded as: a literal byte, or 256 + the length of a run (3 to 258) - 3.
  static constexpr std::size_t kTokens = 512;

  DeflateStream();

  /// Codes `bytes` after those added before.
  void Add(std::span<const std::uint8_t> bytes);
  /// Codes what is left and closes the stream.
  void Finish();

  /// The coded bytes made so far, for the caller to take away (and clear) as it likes.
  [[nodiscard]] std::vector<std::uint8_t>& Output() { return output_; }

 private:
  void CodeBlock(std::span<const std::uint8_t> bytes, bool last);
  // Turns the bytes into tokens_ and says how often each token occurs.
  std::array<std::uint32_t, kTokens> Tokenize(std::span<const std::uint8_t> bytes);

  std::vector<std::uint8_t> pending_;
  std::vector<std::uint16_t> tokens_;
  std::vector<std::uint8_t> output_;
  std::uint64_t bits_ = 0;
  int bitCount_ = 0;
  std::uint32_t adler_;
  int previous_ = -1;  // the last byte coded, which a run may repeat; -1 before the first
};

}  // namespace irobunkai
