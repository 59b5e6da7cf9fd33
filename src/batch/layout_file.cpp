// Reading the electrode layout file of --layout.
#include "layout_file.h"

namespace telmor {

LayoutFileLoad load_layout_file(const std::filesystem::path& file) {
  LayoutFileLoad load;
  TextBuffer text;
  load.read = read_recording_file(file, text);
  if (load.read.fault == FileReadFault::none) load.reading = parse_layout_csv(text.view());
  return load;
}

}  // namespace telmor
