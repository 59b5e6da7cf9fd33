// Reading the electrode layout file of --layout.
#include "layout_file.h"

#include <new>

namespace telmor {

LayoutFileLoad load_layout_file(const std::filesystem::path& file) {
  LayoutFileLoad load;
  TextBuffer text;
  load.read = read_recording_file(file, text, kMaxLayoutFileBytes);
  if (load.read.fault != FileReadFault::none) return load;
  try {
    load.reading = parse_layout_csv(text.view());
  } catch (const std::bad_alloc&) {
    load.read = {FileReadFault::out_of_memory};
  }
  return load;
}

}  // namespace telmor
