#include "host/sqlite/files/write_access.h"

#include <unistd.h>

#include <cerrno>

namespace host::sqlite {

WriteAccess CheckWriteAccess(const std::string& path) {
  if (::access(path.c_str(), W_OK) != 0) return {WriteAccess::File, errno};
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  if (::access(folder.c_str(), W_OK) != 0) return {WriteAccess::Folder, errno};
  return {};
}

}  // namespace host::sqlite
