#include "scope/ScopeFileName.h"

#include <cctype>

namespace {

bool Allowed(unsigned char c) { return std::isalnum(c) || c == '_' || c == '-' || c == '.'; }

// Where the file name's extension starts (its "."), or npos.
size_t ExtensionAt(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string::npos;
  return dot;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

int ScopeCheckFileName(const std::string& name) {
  if (name.size() > SCOPE_NAME_MAX) return 1;
  for (unsigned char c : name)
    if (!Allowed(c)) return 2;
  return 0;
}

std::string ScopeFileExtension(const std::string& path) {
  if (path.size() < 4 || path[path.size() - 4] != '.') return "";
  return Lower(path.substr(path.size() - 4));
}

void ScopeLowerExtension(std::string& path) {
  if (!ScopeFileExtension(path).empty()) path.replace(path.size() - 4, 4, ScopeFileExtension(path));
}

std::string ScopeNameExtension(const std::string& path) {
  const size_t dot = ExtensionAt(path);
  return dot == std::string::npos ? "" : Lower(path.substr(dot));
}

std::string ScopeReplaceExtension(const std::string& path, const std::string& extension) {
  const size_t dot = ExtensionAt(path);
  return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
}

std::string ScopeBaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
