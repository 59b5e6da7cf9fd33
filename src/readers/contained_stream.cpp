// The messages between a contained reader and its caller. Every length and
// count in them is checked before it is used: the child runs a library on a
// hostile file, so what it sends is as hostile as the file.
#include <algorithm>
#include <cstring>
#include <limits>

#include "base/printable_text.h"
#include "readers/contained_read.h"

namespace telmor {
namespace {

// A message: its kind, its payload's length (4 bytes), its payload.
constexpr std::size_t kHead = 5;
constexpr char kBegin = 'B', kValues = 'V', kProblem = 'P', kFinished = 'F';
// The most a message may hold: a block of values, the names of the most
// leads, a reason.
constexpr std::uint32_t kMostPayload = 64u << 20;
constexpr std::uint32_t kMostName = 64u << 10;

void put_bytes(std::string& out, const void* data, std::size_t size) {
  out.append(static_cast<const char*>(data), size);
}

template <typename T>
void put(std::string& out, T value) {
  put_bytes(out, &value, sizeof value);
}

void put_text(std::string& out, std::string_view text) {
  const auto size = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), kMostName));
  put(out, size);
  out.append(text.substr(0, size));
}

std::string message(char kind, const std::string& payload) {
  std::string out;
  out += kind;
  put(out, static_cast<std::uint32_t>(payload.size()));
  return out + payload;
}

// Reads a payload front to back; any read past its end fails it for good.
class Payload {
 public:
  explicit Payload(std::span<const char> bytes) : bytes_(bytes) {}
  template <typename T>
  bool get(T& value) {
    if (bytes_.size() - at_ < sizeof value) return fail();
    std::memcpy(&value, bytes_.data() + at_, sizeof value);
    at_ += sizeof value;
    return true;
  }
  bool get_text(std::string& text) {
    std::uint32_t size = 0;
    if (!get(size) || size > kMostName || bytes_.size() - at_ < size) return fail();
    text.assign(bytes_.data() + at_, size);
    at_ += size;
    return true;
  }
  bool get_texts(std::vector<std::string>& texts) {
    std::uint32_t count = 0;
    if (!get(count)) return false;
    // Each name takes at least its length's four bytes: a count beyond
    // what is left is a lie.
    if (count > (bytes_.size() - at_) / sizeof(std::uint32_t)) return fail();
    texts.resize(count);
    for (std::string& t : texts)
      if (!get_text(t)) return false;
    return true;
  }
  bool at_end() const { return at_ == bytes_.size(); }
  std::span<const char> rest() const { return bytes_.subspan(at_); }

 private:
  bool fail() {
    at_ = bytes_.size();
    return false;
  }
  std::span<const char> bytes_;
  std::size_t at_ = 0;
};

}  // namespace

std::string begin_message(std::uint64_t leads, std::uint64_t samples, double rate_hz,
                          const std::vector<std::string>& labels, const std::vector<std::string>& units) {
  std::string payload;
  put(payload, leads);
  put(payload, samples);
  put(payload, rate_hz);
  for (const std::vector<std::string>* names : {&labels, &units}) {
    put(payload, static_cast<std::uint32_t>(names->size()));
    for (const std::string& name : *names) put_text(payload, name);
  }
  return message(kBegin, payload);
}

std::string values_message(int lead, std::span<const float> values) {
  std::string payload;
  payload.reserve(sizeof(std::int32_t) + values.size_bytes());
  put(payload, static_cast<std::int32_t>(lead));
  put_bytes(payload, values.data(), values.size_bytes());
  return message(kValues, payload);
}

std::string problem_message(const RecordingProblem& p) {
  std::string payload;
  put(payload, static_cast<std::uint8_t>(p.fault));
  put(payload, p.row);
  put(payload, p.count);
  put(payload, static_cast<std::int32_t>(p.leads));
  put(payload, static_cast<std::uint8_t>(p.field));
  put_text(payload, p.detail);
  return message(kProblem, payload);
}

std::string finished_message() { return message(kFinished, {}); }

bool ContainedStream::feed(std::span<const char> bytes) {
  if (finished_ || damaged_) return false;
  pending_.append(bytes.data(), bytes.size());
  std::size_t at = 0;
  while (!finished_ && !damaged_ && pending_.size() - at >= kHead) {
    std::uint32_t length = 0;
    std::memcpy(&length, pending_.data() + at + 1, sizeof length);
    if (length > kMostPayload) {
      damaged_ = true;
      break;
    }
    if (pending_.size() - at - kHead < length) break;
    if (!take(std::span<const char>(pending_.data() + at, kHead + length))) damaged_ = !finished_;
    at += kHead + length;
  }
  pending_.erase(0, at);
  return !finished_ && !damaged_;
}

bool ContainedStream::take(std::span<const char> whole) {
  const char kind = whole[0];
  Payload payload(whole.subspan(kHead));
  switch (kind) {
    case kBegin: {
      std::uint64_t leads = 0, samples = 0;
      double rate = 0.0;
      std::vector<std::string> labels, units;
      if (!payload.get(leads) || !payload.get(samples) || !payload.get(rate) || !payload.get_texts(labels) ||
          !payload.get_texts(units) || !payload.at_end())
        return false;
      problem_ = sink_.begin(leads, samples, rate, std::move(labels), std::move(units));
      if (problem_) finished_ = true;
      return !problem_;
    }
    case kValues: {
      std::int32_t lead = 0;
      if (!payload.get(lead)) return false;
      const std::span<const char> raw = payload.rest();
      if (raw.size() % sizeof(float) != 0) return false;
      // The payload's bytes need not be aligned for floats: copied in
      // blocks that are.
      float block[4096];
      for (std::size_t from = 0; from < raw.size(); from += sizeof block) {
        const std::size_t bytes = std::min(sizeof block, raw.size() - from);
        std::memcpy(block, raw.data() + from, bytes);
        problem_ = sink_.append(lead, std::span<const float>(block, bytes / sizeof(float)));
        if (problem_) {
          finished_ = true;
          return false;
        }
      }
      return true;
    }
    case kProblem: {
      std::uint8_t fault = 0, field = 0;
      std::int32_t leads = 0;
      RecordingProblem p;
      if (!payload.get(fault) || !payload.get(p.row) || !payload.get(p.count) || !payload.get(leads) ||
          !payload.get(field) || !payload.get_text(p.detail) || !payload.at_end())
        return false;
      if (fault == 0 || fault > static_cast<std::uint8_t>(kLastRecordingFault) ||
          field > static_cast<std::uint8_t>(kLastHeaderField))
        return false;
      p.fault = static_cast<RecordingFault>(fault);
      p.field = static_cast<HeaderField>(field);
      p.leads = leads;
      p.detail = escaped_controls(p.detail);
      problem_ = std::move(p);
      finished_ = true;
      return false;
    }
    case kFinished:
      finished_ = payload.at_end();
      return false;
    default:
      return false;
  }
}

}  // namespace telmor
