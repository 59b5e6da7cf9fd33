// Fuzzes the matlab reader: arbitrary bytes as a .mat file, read through its
// library in a contained read (fuzz_library_reader.h says what is checked).
#include "fuzz_library_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  telmor::Recording recording;
  telmor::fuzz::read_as_file(telmor::RecordingFormat::matlab, ".mat", data, size, recording);
  return 0;
}
