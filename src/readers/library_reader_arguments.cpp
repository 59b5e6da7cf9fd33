// A request of the reader program as its arguments, and back: the rate in
// the shortest digits that give it back exactly.
#include <charconv>
#include <stdexcept>

#include "library_reader.h"

namespace telmor {
namespace {

std::string_view orientation_word(Orientation o) {
  switch (o) {
    case Orientation::samples_by_leads:
      return "samples-by-leads";
    case Orientation::leads_by_samples:
      return "leads-by-samples";
    case Orientation::unknown:
      break;
  }
  return {};
}

}  // namespace

std::vector<std::string> library_reader_arguments(const LibraryReadRequest& request) {
  std::vector<std::string> words = {request.format, request.file.string()};
  const ReadOptions& options = request.options;
  if (options.dataset) words.insert(words.end(), {"--dataset", *options.dataset});
  if (options.rate_hz) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, *options.rate_hz).ptr;
    words.insert(words.end(), {"--rate", std::string(text, end)});
  }
  if (options.orientation != Orientation::unknown)
    words.insert(words.end(), {"--orientation", std::string(orientation_word(options.orientation))});
  return words;
}

LibraryReadRequest library_read_request(const std::vector<std::string>& words) {
  if (words.size() < 2) throw std::invalid_argument("no format and file");
  LibraryReadRequest r{words[0], words[1], {}};
  for (std::size_t k = 2; k < words.size(); k += 2) {
    if (k + 1 == words.size()) throw std::invalid_argument("an option without its value");
    const std::string& key = words[k];
    const std::string& value = words[k + 1];
    if (key == "--dataset") {
      r.options.dataset = value;
    } else if (key == "--rate") {
      double rate = 0.0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), rate);
      if (error != std::errc() || end != value.data() + value.size()) throw std::invalid_argument("a rate");
      r.options.rate_hz = rate;
    } else if (key == "--orientation" && value == orientation_word(Orientation::samples_by_leads)) {
      r.options.orientation = Orientation::samples_by_leads;
    } else if (key == "--orientation" && value == orientation_word(Orientation::leads_by_samples)) {
      r.options.orientation = Orientation::leads_by_samples;
    } else {
      throw std::invalid_argument("an unknown option");
    }
  }
  return r;
}

}  // namespace telmor
