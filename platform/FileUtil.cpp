#include "platform/FileUtil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

bool FileWriteAtomically(const std::string& path, const std::string& content, std::string& error) {
  if (path.empty()) {
    error = "no file name";
    return false;
  }
  std::vector<char> tmp(path.begin(), path.end());
  const char suffix[] = ".XXXXXX";
  tmp.insert(tmp.end(), suffix, suffix + sizeof suffix);
  const int fd = mkstemp(tmp.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  const char* p = content.data();
  size_t left = content.size();
  int err = 0;
  while (left > 0 && err == 0) {
    const ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      err = n < 0 ? errno : EIO;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (err == 0 && fsync(fd) != 0) err = errno;
  // mkstemp creates 0600; give the file the usual permissions of a new file.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  if (close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && rename(tmp.data(), path.c_str()) != 0) err = errno;
  if (err != 0) {
    error = std::strerror(err);
    unlink(tmp.data());
    return false;
  }
  return true;
}
