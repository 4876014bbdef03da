#include "platform/FileUtil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
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

FileReadResult FileReadAll(const std::string& path, size_t maxBytes, std::string& content, int& error) {
  content.clear();
  error = 0;
  // Non-blocking, so a named pipe never holds the caller up.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = errno;
    return FileReadResult::CannotOpen;
  }
  struct stat st {};
  FileReadResult result = FileReadResult::Ok;
  if (fstat(fd, &st) != 0) {
    error = errno;
    result = FileReadResult::ReadError;
  } else if (!S_ISREG(st.st_mode)) {
    error = EISDIR;
    result = S_ISDIR(st.st_mode) ? FileReadResult::CannotOpen : FileReadResult::ReadError;
  } else if (static_cast<uint64_t>(st.st_size) > maxBytes) {
    result = FileReadResult::TooLarge;
  } else {
    content.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    // A file that grows meanwhile is read as far as its size was.
    while (done < content.size()) {
      const ssize_t n = read(fd, content.data() + done, content.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    if (done != content.size()) {
      error = errno ? errno : EIO;
      result = FileReadResult::ReadError;
    }
  }
  close(fd);
  if (result != FileReadResult::Ok) content.clear();
  return result;
}
