// Where the reader program is: beside the code that needs it, or where the
// installed layout keeps it. Never looked for in the working folder.
#include <dlfcn.h>
#include <unistd.h>

#include <system_error>

#include "readers/contained_read.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;

constexpr const char* kReaderName = "telmor-read";

bool runnable(const fs::path& file) {
  std::error_code error;
  return fs::is_regular_file(file, error) && ::access(file.c_str(), X_OK) == 0;
}

}  // namespace

fs::path reader_program() {
  std::vector<fs::path> places;
  // The shared object this code is in (the Python module), where it is one.
  Dl_info info{};
  if (::dladdr(reinterpret_cast<const void*>(&reader_program), &info) != 0 && info.dli_fname != nullptr) {
    const fs::path image(info.dli_fname);
    if (image.is_absolute() && image.filename().string().find(".so") != std::string::npos) {
      places.push_back(image.parent_path() / kReaderName);
      // Installed: PREFIX/lib/python3/dist-packages/telmor beside PREFIX/lib/telmor.
      places.push_back(image.parent_path().parent_path().parent_path().parent_path() / "telmor" / kReaderName);
    }
  }
  // The program: beside it (the build tree), or its installation's lib/telmor.
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (!error) {
    places.push_back(program.parent_path() / kReaderName);
    places.push_back(program.parent_path().parent_path() / "lib" / "telmor" / kReaderName);
  }
  for (const fs::path& place : places)
    if (runnable(place)) return place;
  return {};
}

}  // namespace telmor
