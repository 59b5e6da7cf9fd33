// Things other than files at a name, for the tests of what a writer or a
// reader must leave alone: FIFOs, sockets and device nodes, made in a test's
// own scratch folder (never the system's).
#pragma once

#include <filesystem>
#include <string>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#define TELMOR_HAS_SPECIAL_FILES 1
#endif

namespace telmor::test {

enum class Special { fifo, socket, device, folder };

inline const char* special_name(Special kind) {
  switch (kind) {
    case Special::fifo:
      return "FIFO";
    case Special::socket:
      return "socket";
    case Special::device:
      return "device";
    case Special::folder:
      return "folder";
  }
  return "";
}

#ifdef TELMOR_HAS_SPECIAL_FILES
// Makes one at path; false where the system does not let this user (a device
// node needs root: a test then leaves it out).
inline bool make_special(Special kind, const std::filesystem::path& path) {
  switch (kind) {
    case Special::fifo:
      return ::mkfifo(path.c_str(), 0600) == 0;
    case Special::socket: {
      const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      if (fd < 0 || path.native().size() >= sizeof address.sun_path) return false;
      std::memcpy(address.sun_path, path.c_str(), path.native().size() + 1);
      const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
      ::close(fd);  // the name stays, as a socket
      return bound;
    }
    case Special::device:
      // A private node of the null device: what /dev/null is, in the scratch folder.
      return ::mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    case Special::folder:
      return std::filesystem::create_directory(path);
  }
  return false;
}
#endif

}  // namespace telmor::test
