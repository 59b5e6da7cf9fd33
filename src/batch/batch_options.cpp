// Parsing of the telmor-batch command line.
#include "batch/batch_options.h"

#include <string>

#include "base/number_text.h"
#include "record/utf8_path.h"

namespace telmor {
namespace {

[[noreturn]] void refuse(const std::string& what) { throw BatchUsageError(what); }

class Arguments {
 public:
  explicit Arguments(std::span<const std::string_view> arguments) : arguments_(arguments) {}
  bool done() const { return at_ >= arguments_.size(); }
  std::string_view next() { return arguments_[at_++]; }
  // The value of option, which must follow it.
  std::string_view value(std::string_view option) {
    if (done()) refuse(std::string(option) + " の値がありません。");
    return next();
  }

 private:
  std::span<const std::string_view> arguments_;
  std::size_t at_ = 0;
};

std::int32_t integer(Arguments& args, std::string_view option, std::int32_t low, std::int32_t high) {
  const std::string_view text = args.value(option);
  std::int32_t value = 0;
  if (!parse_integer(text, value) || value < low || value > high) {
    refuse(std::string(option) + " は" + format_integer(low) + "から" + format_integer(high) +
           "の整数です（" + std::string(text) + "）。");
  }
  return value;
}

std::int32_t any_integer(Arguments& args, std::string_view option) {
  const std::string_view text = args.value(option);
  std::int32_t value = 0;
  if (!parse_integer(text, value)) refuse(std::string(option) + " は整数です（" + std::string(text) + "）。");
  return value;
}

}  // namespace

BatchOptions parse_batch_arguments(std::span<const std::string_view> arguments) {
  BatchOptions options;
  Arguments args(arguments);
  bool options_ended = false;
  while (!args.done()) {
    const std::string_view a = args.next();
    if (options_ended || a == "-" || !a.starts_with("-")) {
      options.paths.push_back(path_from_utf8(a));
    } else if (a == "--") {
      options_ended = true;
    } else if (a == "--help" || a == "-h") {
      options.help = true;
    } else if (a == "--version") {
      options.version = true;
    } else if (a == "--smooth") {
      options.settings.smooth_points = integer(args, a, 0, 499);
    } else if (a == "--ratio") {
      const std::string_view text = args.value(a);
      if (!parse_real(text, options.settings.amp_ratio))
        refuse("--ratio は数値です（" + std::string(text) + "）。");
    } else if (a == "--ranges") {
      options.settings.at_from = any_integer(args, a);
      options.settings.at_to = any_integer(args, a);
      options.settings.rt_from = any_integer(args, a);
      options.settings.rt_to = any_integer(args, a);
    } else if (a == "--leads") {
      options.leads = integer(args, a, 1, kMaxLeads);
    } else if (a == "--seconds") {
      options.seconds = integer(args, a, 1, kMaxSamples / kBlockSamples);
    } else if (a == "--jobs") {
      options.jobs = integer(args, a, 1, 1024);
    } else if (a == "--out") {
      const std::string_view text = args.value(a);
      options.out = path_from_utf8(text);
    } else if (a == "--summary") {
      const std::string_view text = args.value(a);
      options.summary = path_from_utf8(text);
    } else if (a == "--overwrite") {
      options.overwrite = true;
    } else if (a == "--quiet") {
      options.quiet = true;
    } else {
      refuse("知らないオプションです: " + std::string(a));
    }
  }
  if (options.paths.empty() && !options.help && !options.version)
    refuse("記録ファイルかフォルダ（PATH）を指定してください。");
  return options;
}

}  // namespace telmor
