// The parameter script (.pms): the five basic parameters, the cycle command
// and the take-parameter command as an ordinary command script.
#pragma once
#include <cstdint>
#include <string>

inline constexpr const char* PARM_FILE_DEFAULT_NAME = "ZEL_P0528.pms";
inline constexpr const char* PARM_FILE_FILTER = "*.pms";

struct ParmFileValues {
  uint16_t pos1;
  uint16_t pos2;
  uint16_t pos3;
  uint16_t readyWin;
  uint16_t time2;
};

// The eleven header lines of the tool's parameter scripts.
std::string ParmFileHeader();
// The file's 18 lines, each ending in a line feed except the last.
std::string ParmFileText(const ParmFileValues& values);
// Writes the file (atomically: a failure leaves an existing file as it was);
// true, or false with a line in the log window naming the file and the
// reason.
bool ParmFileWrite(const std::string& path, const ParmFileValues& values);
// The same for a script's whole text.
bool ParmFileWriteText(const std::string& path, const std::string& text);
