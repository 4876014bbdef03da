#include "platform/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

// The installed tree's folders below its prefix come from the build.
#if !defined(STROKEDESK_INSTALL_BINDIR) || !defined(STROKEDESK_INSTALL_DATADIR) || !defined(STROKEDESK_INSTALL_LIBDIR)
#error "the build defines the installed tree's folders"
#endif

namespace {

bool IsDirectory(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// "/usr" for "/usr/bin" when the last part is `name`; false otherwise.
bool StripLast(const std::string& path, const std::string& name, std::string& prefix) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || path.compare(slash + 1, std::string::npos, name) != 0) return false;
  prefix = path.substr(0, slash);
  return true;
}

}  // namespace

std::string ProgramDirectory() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return ".";
  const std::string exe(buffer, static_cast<size_t>(n));
  const size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : exe.substr(0, slash);
}

std::string UserConfigDirectory() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg == '/') return std::string(xdg) + "/StrokeDesk";
  const char* home = std::getenv("HOME");
  if (home && *home) return std::string(home) + "/.config/StrokeDesk";
  return {};
}

bool FileExists(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> ShippedFolders(ShippedKind kind, const std::string& programDirectory) {
  std::vector<std::string> folders{programDirectory};
  std::string prefix;
  if (StripLast(programDirectory, STROKEDESK_INSTALL_BINDIR, prefix))
    folders.push_back(prefix + "/" + (kind == ShippedKind::Data ? STROKEDESK_INSTALL_DATADIR : STROKEDESK_INSTALL_LIBDIR));
  return folders;
}

std::string ShippedFile(ShippedKind kind, const std::string& name, std::string& why,
                        const std::string& programDirectory) {
  const std::vector<std::string> folders = ShippedFolders(kind, programDirectory);
  for (const std::string& folder : folders) {
    const std::string path = folder + "/" + name;
    if (FileExists(path)) return path;
  }
  why = name + " not found; looked in ";
  for (size_t i = 0; i < folders.size(); ++i) {
    if (i > 0) why += i + 1 == folders.size() ? " and " : ", ";
    why += folders[i];
    if (!IsDirectory(folders[i])) why += " (no such folder)";
  }
  return "";
}
