// Fuzzes the EDF/BDF/GDF reader: arbitrary bytes as a .edf file. The header
// check runs here, in this process (its coverage guides the fuzzer); what it
// passes goes to libbiosig in a contained read (fuzz_library_reader.h says
// what is checked). A header the check refuses is refused by the reader
// with the same problem, before any library sees it.
#include "fuzz_library_reader.h"
#include "readers/biosig_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace telmor;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  BiosigLayout layout;
  const RecordingProblem checked = check_biosig_header(bytes.substr(0, biosig_header_reach()), size, layout);
  if (!checked) {
    FUZZ_CHECK(!layout.signals.empty() && layout.signals.size() <= static_cast<std::size_t>(kMaxHeaderSignals));
    FUZZ_CHECK(layout.header_bytes + layout.records * layout.record_bytes <= size);
    for (const DeclaredSignal& s : layout.signals) FUZZ_CHECK(is_valid_utf8(s.label) && is_valid_utf8(s.unit));
  }
  Recording recording;
  const RecordingProblem read = fuzz::read_as_file(RecordingFormat::biosig, ".edf", data, size, recording);
  if (checked) FUZZ_CHECK(read == checked);
  return 0;
}
