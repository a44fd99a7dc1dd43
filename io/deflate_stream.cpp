#include "io/deflate_stream.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <functional>
#include <queue>
#include <utility>

namespace irobunkai {
namespace {

// Bytes coded with one Huffman code: small enough to follow a picture's changes, large enough
// that a block's header (about 200 bytes) costs nothing.
constexpr std::size_t kBlockBytes = 128 * 1024;
constexpr int kEndOfBlock = 256;
constexpr std::size_t kLiteralLengthCodes = 286;
constexpr std::size_t kCodeLengthCodes = 19;
constexpr std::size_t kMinRun = 3;
constexpr std::size_t kMaxRun = 258;
constexpr int kMaxCodeBits = 15;
constexpr int kMaxCodeLengthBits = 7;
// A run repeats the byte before it: distance 1, code 0. Two distance codes of one bit make a
// complete code, which every inflater takes.
constexpr int kDistanceCodes = 2;
// The order in which the lengths of the code length code are sent.
constexpr std::array<int, kCodeLengthCodes> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                                11, 4,  12, 3, 13, 2, 14, 1, 15};

// A run length's symbol (257 to 285) and the extra bits after it.
struct LengthCode {
  std::uint16_t symbol;
  std::uint8_t extraBits;
  std::uint8_t extra;
};

constexpr std::array<LengthCode, kMaxRun + 1> MakeLengthCodes() {
  constexpr std::array<int, 29> base = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                        15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                        67, 83, 99, 115, 131, 163, 195, 227, 258};
  constexpr std::array<int, 29> extraBits = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                             2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  std::array<LengthCode, kMaxRun + 1> codes{};
  for (std::size_t code = 0; code < base.size(); ++code) {
    const int last = code + 1 < base.size() ? base[code + 1] - 1 : static_cast<int>(kMaxRun);
    for (int length = base[code]; length <= last; ++length) {
      codes[static_cast<std::size_t>(length)] = {static_cast<std::uint16_t>(257 + code),
                                                 static_cast<std::uint8_t>(extraBits[code]),
                                                 static_cast<std::uint8_t>(length - base[code])};
    }
  }
  return codes;
}

constexpr std::array<LengthCode, kMaxRun + 1> kLengthCodes = MakeLengthCodes();

constexpr std::size_t kTokens = DeflateStream::kTokens;
static_assert(kTokens == 256 + kMaxRun - kMinRun + 1);

constexpr std::size_t SymbolOf(std::size_t token) {
  return token < 256 ? token : kLengthCodes[token - 256 + kMinRun].symbol;
}

// Huffman's code lengths for the symbols counted.
template <std::size_t N>
std::array<std::uint8_t, N> HuffmanLengths(const std::array<std::uint32_t, N>& counts) {
  using Node = std::pair<std::uint64_t, std::size_t>;  // weight, node; leaves first
  std::priority_queue<Node, std::vector<Node>, std::greater<>> lightest;
  std::vector<std::size_t> symbols;
  for (std::size_t symbol = 0; symbol < N; ++symbol) {
    if (counts[symbol] != 0) {
      lightest.emplace(counts[symbol], symbols.size());
      symbols.push_back(symbol);
    }
  }
  // Each node's parent, which is made after it.
  std::vector<std::size_t> parent(symbols.size());
  while (lightest.size() > 1) {
    const Node a = lightest.top();
    lightest.pop();
    const Node b = lightest.top();
    lightest.pop();
    parent[a.second] = parent[b.second] = parent.size();
    lightest.emplace(a.first + b.first, parent.size());
    parent.push_back(0);
  }
  std::vector<std::uint8_t> depth(parent.size(), 0);
  for (std::size_t node = parent.size() - 1; node-- > 0;) {
    depth[node] = static_cast<std::uint8_t>(depth[parent[node]] + 1);
  }
  std::array<std::uint8_t, N> lengths{};
  for (std::size_t leaf = 0; leaf < symbols.size(); ++leaf) {
    lengths[symbols[leaf]] = depth[leaf];
  }
  return lengths;
}

// Code lengths of at most `limit` bits: Huffman's, with the counts flattened until the longest
// fits. At least two symbols get a code, so that the code is complete.
template <std::size_t N>
std::array<std::uint8_t, N> CodeLengths(std::array<std::uint32_t, N> counts, int limit) {
  auto used = std::ranges::count_if(counts, [](std::uint32_t c) { return c != 0; });
  for (std::size_t symbol = 0; used < 2; ++symbol) {
    if (counts[symbol] == 0) {
      counts[symbol] = 1;
      ++used;
    }
  }
  for (;;) {
    const std::array<std::uint8_t, N> lengths = HuffmanLengths(counts);
    if (std::ranges::max(lengths) <= limit) {
      return lengths;
    }
    for (std::uint32_t& count : counts) {
      count = (count + 1) / 2;  // a symbol used stays used
    }
  }
}

// The canonical codes of `lengths`, bit-reversed, as deflate sends codes from their top bit.
template <std::size_t N>
std::array<std::uint16_t, N> ReversedCodes(const std::array<std::uint8_t, N>& lengths) {
  std::array<int, kMaxCodeBits + 1> perLength{};
  for (const std::uint8_t length : lengths) {
    ++perLength[length];
  }
  perLength[0] = 0;
  std::array<int, kMaxCodeBits + 1> next{};
  int code = 0;
  for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
    code = (code + perLength[static_cast<std::size_t>(bits - 1)]) << 1;
    next[static_cast<std::size_t>(bits)] = code;
  }
  std::array<std::uint16_t, N> codes{};
  for (std::size_t symbol = 0; symbol < N; ++symbol) {
    const int length = lengths[symbol];
    int forward = next[static_cast<std::size_t>(length)]++;
    int reversed = 0;
    for (int bit = 0; bit < length; ++bit, forward >>= 1) {
      reversed = (reversed << 1) | (forward & 1);
    }
    codes[symbol] = static_cast<std::uint16_t>(reversed);
  }
  return codes;
}

// Packs bits from the low end, as deflate does, into room made for them beforehand with a
// word to spare: each Put stores a whole word and keeps fewer than 8 bits back, with no branch
// to wait on.
struct BitWriter {
  std::uint8_t* out;
  std::uint64_t bits;
  int count;

  void Put(std::uint32_t value, int length) {
    bits |= std::uint64_t{value} << count;
    count += length;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(out, &bits, sizeof bits);
    } else {
      for (std::size_t i = 0; i < sizeof bits; ++i) {
        out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
      }
    }
    const int whole = count >> 3;
    out += whole;
    bits >>= 8 * whole;
    count &= 7;
  }
  // Pads the last part byte with zeros.
  void ToByte() {
    if (count > 0) {
      Put(0, 8 - count);
    }
  }
};

// How many bytes from `at` on repeat the byte `at` holds, up to the longest run deflate sends.
std::size_t RunLength(std::span<const std::uint8_t> bytes, std::size_t at) {
  const std::size_t limit = std::min(bytes.size(), at + kMaxRun);
  std::size_t end = at + 1;
  while (end < limit && bytes[end] == bytes[at]) {
    ++end;
  }
  return end - at;
}

// How often each literal and length symbol occurs, from how often each token does, with the
// block's end once.
std::array<std::uint32_t, kLiteralLengthCodes> SymbolCounts(
    const std::array<std::uint32_t, kTokens>& tokenCounts) {
  std::array<std::uint32_t, kLiteralLengthCodes> counts{};
  for (std::size_t token = 0; token < kTokens; ++token) {
    counts[SymbolOf(token)] += tokenCounts[token];
  }
  counts[kEndOfBlock] = 1;
  return counts;
}

// Each token's bits as it is sent, its code and for a run the length's extra bits and the
// distance's code, packed as the bits in the low 24 and their count above.
std::array<std::uint32_t, kTokens> TokenBits(
    const std::array<std::uint8_t, kLiteralLengthCodes>& lengths,
    const std::array<std::uint16_t, kLiteralLengthCodes>& codes) {
  std::array<std::uint32_t, kTokens> bits{};
  for (std::size_t token = 0; token < kTokens; ++token) {
    const std::size_t symbol = SymbolOf(token);
    std::uint32_t value = codes[symbol];
    std::uint32_t count = lengths[symbol];
    if (token >= 256) {
      const LengthCode& run = kLengthCodes[token - 256 + kMinRun];
      value |= std::uint32_t{run.extra} << count;
      count += run.extraBits + 1;  // and distance 1's code, 0
    }
    bits[token] = value | count << 24;
  }
  return bits;
}

}  // namespace

DeflateStream::DeflateStream() : adler_(static_cast<std::uint32_t>(adler32(0, nullptr, 0))) {
  pending_.reserve(kBlockBytes);
  tokens_.reserve(kBlockBytes);
  // Deflate with a 32 KiB window, no dictionary.
  output_ = {0x78, 0x01};
}

void DeflateStream::Add(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const std::size_t taken = std::min(bytes.size(), kBlockBytes - pending_.size());
    pending_.insert(pending_.end(), bytes.begin(),
                    bytes.begin() + static_cast<std::ptrdiff_t>(taken));
    bytes = bytes.subspan(taken);
    if (pending_.size() == kBlockBytes) {
      CodeBlock(pending_, false);
      pending_.clear();
    }
  }
}

void DeflateStream::Finish() {
  CodeBlock(pending_, true);
  pending_.clear();
  for (int shift = 24; shift >= 0; shift -= 8) {
    output_.push_back(static_cast<std::uint8_t>(adler_ >> shift));
  }
}

// Literals and runs as tokens: a byte, or 256 + a run's length - 3.
// Literals and runs as tokens, counted in four tables in turn: a photograph's filtered bytes
// repeat a few values, and increments of one counter would wait for each other.
std::array<std::uint32_t, kTokens> DeflateStream::Tokenize(std::span<const std::uint8_t> bytes) {
  std::array<std::array<std::uint32_t, kTokens>, 4> tables{};
  tokens_.resize(bytes.size());
  std::uint16_t* token = tokens_.data();
  int previous = previous_;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::uint8_t byte = bytes[i];
    const std::size_t run = byte == previous ? RunLength(bytes, i) : 1;
    *token = run >= kMinRun ? static_cast<std::uint16_t>(256 + run - kMinRun) : byte;
    ++tables[i & 3][*token++];
    previous = byte;
    i += run >= kMinRun ? run : 1;
  }
  tokens_.resize(static_cast<std::size_t>(token - tokens_.data()));
  previous_ = previous;
  for (std::size_t t = 0; t < kTokens; ++t) {
    tables[0][t] += tables[1][t] + tables[2][t] + tables[3][t];
  }
  return tables[0];
}

void DeflateStream::CodeBlock(std::span<const std::uint8_t> bytes, bool last) {
  if (!bytes.empty()) {  // zlib starts afresh on a null buffer
    adler_ = static_cast<std::uint32_t>(adler32_z(adler_, bytes.data(), bytes.size()));
  }
  const auto lengths = CodeLengths(SymbolCounts(Tokenize(bytes)), kMaxCodeBits);
  const auto codes = ReversedCodes(lengths);
  std::size_t literalCodes = kLiteralLengthCodes;
  while (lengths[literalCodes - 1] == 0) {
    --literalCodes;
  }
  // The code lengths are sent one by one, with a code of their own.
  std::vector<std::uint8_t> sent(lengths.begin(),
                                 lengths.begin() + static_cast<std::ptrdiff_t>(literalCodes));
  sent.insert(sent.end(), kDistanceCodes, 1);
  std::array<std::uint32_t, kCodeLengthCodes> lengthCounts{};
  for (const std::uint8_t length : sent) {
    ++lengthCounts[length];
  }
  const auto lengthLengths = CodeLengths(lengthCounts, kMaxCodeLengthBits);
  const auto lengthCodes = ReversedCodes(lengthLengths);

  // At most 15 bits a byte, a header of under 300 bytes, and the writer's spare word.
  const std::size_t start = output_.size();
  output_.resize(start + 2 * bytes.size() + 512);
  BitWriter out{output_.data() + start, bits_, bitCount_};
  out.Put(last ? 1 : 0, 1);
  out.Put(2, 2);  // Huffman codes of the block's own
  out.Put(static_cast<std::uint32_t>(literalCodes - 257), 5);
  out.Put(kDistanceCodes - 1, 5);
  out.Put(kCodeLengthCodes - 4, 4);
  for (const int symbol : kCodeLengthOrder) {
    out.Put(lengthLengths[static_cast<std::size_t>(symbol)], 3);
  }
  for (const std::uint8_t length : sent) {
    out.Put(lengthCodes[length], lengthLengths[length]);
  }
  const auto tokenBits = TokenBits(lengths, codes);
  for (const std::uint16_t token : tokens_) {
    const std::uint32_t bits = tokenBits[token];
    out.Put(bits & 0xFFFFFF, static_cast<int>(bits >> 24));
  }
  out.Put(codes[kEndOfBlock], lengths[kEndOfBlock]);
  if (last) {
    out.ToByte();
  }
  output_.resize(static_cast<std::size_t>(out.out - output_.data()));
  bits_ = out.bits;
  bitCount_ = out.count;
}

}  // namespace irobunkai
