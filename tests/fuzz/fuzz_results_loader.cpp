// Fuzzes the results file loader: parse_results over arbitrary file bytes.
//
// Input: byte 0 picks the lead count (1..20); the rest is the file.
//
// A file that reads must give counts within 0..200 and only finite times,
// and storing it must touch only rows 1..100 and the rows its counts reach.
// Whatever reads is written again and must read back to the same tables
// (times rounded to whole milliseconds as a save rounds them).
#include <cmath>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "record/loaded_results.h"
#include "record/run_record.h"
#include "fuzz_check.h"
#include "results/results_format.h"
#include "results/results_parse.h"

namespace telmor {
namespace {

constexpr float kUntouched = -7.25f;  // a time no results file can hold

RunRecord& shared_record() {
  static const auto record = std::make_unique<RunRecord>();
  return *record;
}

LoadedTables& scratch_tables() {
  static const auto tables = std::make_unique<LoadedTables>();
  return *tables;
}

void check_store(const LoadedTables& loaded, int leads) {
  RunRecord& r = shared_record();
  r.lead_count = leads;
  for (auto* table : {&r.marks.at_ms_table, &r.marks.rt_ms_table})
    for (auto& lead : *table) lead.fill(kUntouched);
  store_loaded(loaded, r);
  FUZZ_CHECK(r.marks.at_beat_count == loaded.at_count && r.marks.rt_beat_count == loaded.rt_count);
  for (int lead = 1; lead <= kMaxLeads; ++lead) {
    for (int row = 1; row <= kMaxRows; ++row) {
      const float at = r.at_ms(lead, row), rt = r.rt_ms(lead, row);
      if (lead > leads) {
        FUZZ_CHECK(at == kUntouched && rt == kUntouched);
        continue;
      }
      const float at_expected = row <= loaded.at_count ? loaded.at_ms[lead - 1][row - 1]
                                : row <= 100        ? 0.0f
                                                    : kUntouched;
      const float rt_expected = row <= loaded.rt_count ? loaded.rt_ms[lead - 1][row - 1]
                                : row <= 100        ? 0.0f
                                                    : kUntouched;
      FUZZ_CHECK(at == at_expected && rt == rt_expected);
    }
  }
}

// What was read, written again and read back, gives the same tables.
void check_round_trip(int leads) {
  RunRecord& r = shared_record();
  std::string text;
  if (format_results(r.marks, r.lead_count, text).fault != FormatFault::none) return;  // a time beyond 8 columns
  LoadedTables& again = scratch_tables();
  std::istringstream in(text);
  FUZZ_CHECK(parse_results(in, leads, again).fault == ParseFault::none);
  FUZZ_CHECK(again.at_count == r.marks.at_beat_count && again.rt_count == r.marks.rt_beat_count);
  for (int lead = 1; lead <= leads; ++lead) {
    for (int row = 1; row <= r.marks.at_beat_count; ++row)
      FUZZ_CHECK(again.at_ms[lead - 1][row - 1] == std::round(r.at_ms(lead, row)));
    for (int row = 1; row <= r.marks.rt_beat_count; ++row)
      FUZZ_CHECK(again.rt_ms[lead - 1][row - 1] == std::round(r.rt_ms(lead, row)));
  }
}

}  // namespace
}  // namespace telmor

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace telmor;
  if (size < 1) return 0;
  const int leads = 1 + data[0] % kMaxLeads;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  auto loaded = std::make_unique<LoadedTables>();
  if (parse_results(in, leads, *loaded).fault != ParseFault::none) return 0;

  FUZZ_CHECK(loaded->at_count >= 0 && loaded->at_count <= kMaxRows);
  FUZZ_CHECK(loaded->rt_count >= 0 && loaded->rt_count <= kMaxRows);
  for (int lead = 0; lead < leads; ++lead) {
    for (int row = 0; row < kMaxRows; ++row)
      FUZZ_CHECK(std::isfinite(loaded->at_ms[lead][row]) && std::isfinite(loaded->rt_ms[lead][row]));
  }
  check_store(*loaded, leads);
  check_round_trip(leads);
  return 0;
}
