// Fuzzes the hdf5 reader: arbitrary bytes as a .h5 file, read through its
// library in a contained read (fuzz_library_reader.h says what is checked).
#include "fuzz_library_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  telmor::Recording recording;
  telmor::fuzz::read_as_file(telmor::RecordingFormat::hdf5, ".h5", data, size, recording);
  return 0;
}
