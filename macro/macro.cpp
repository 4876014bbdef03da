#include "macro/macro.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "app/Startup.h"
#include "comm/CRC32.h"
#include "engine/McycleIo.h"
#include "macro/MacroSource.h"
#include "platform/FileUtil.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

std::atomic<uint8_t> ubMacFlag{0};
uint32_t udMacFileSize;
uint32_t udMacFileCrc;

namespace {

// The image (or, after a source load, nothing: the source is kept as text).
std::vector<uint8_t> macFileData;
std::string macSourceText;
MacroSourceFormat macSourceFormat;

uint32_t ReadWord(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

void WriteWord(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Bytes the accessors may touch: the size, bounded by the buffer.
uint32_t Valid() { return std::min<uint32_t>(udMacFileSize, static_cast<uint32_t>(macFileData.size())); }

void ClearImage() {
  macFileData.clear();
  macFileData.shrink_to_fit();
  udMacFileSize = 0;
  udMacFileCrc = 0;
}

std::string ReasonLine(const char* what, const std::string& path, int error) {
  return std::string(what) + " " + path + ": " + std::strerror(error) + "\n";
}

}  // namespace

void MacroInit() {
  struct Lamp {
    int control;
    int64_t colour;
  };
  const Lamp lamps[] = {{MACRO_LED_ERROR, MC_LAMP_RED},
                        {MACRO_LED_SAVED, MC_LAMP_GREEN},
                        {MACRO_LED_COMPILED, MC_LAMP_GREEN},
                        {MACRO_LED_LOADED, MC_LAMP_GREEN}};
  for (const Lamp& l : lamps) {
    PanelSetAttribute(uwMcMacroPanelHandle, l.control, ATTR_ON_COLOR, l.colour);
    PanelSetInt(uwMcMacroPanelHandle, l.control, 0);
  }
}

void MacroMessage(const std::string& text) { PanelAppendText(uwMcMacroPanelHandle, MACRO_TXTBOX_MSG, text); }

int MacroLoadMacData(const std::string& path) {
  std::string bytes;
  int error = 0;
  switch (FileReadAll(path, MAC_SOURCE_MAX, bytes, error)) {
    case FileReadResult::Ok: break;
    case FileReadResult::TooLarge:
      MacroMessage("Macro source " + path + " is larger than 16 MiB\n");
      return -1;
    default:
      MacroMessage(ReasonLine("Cannot read", path, error));
      return -1;
  }
  std::string text, why;
  MacroSourceFormat format;
  if (!MacroSourceDecode(bytes, text, format, why)) {
    MacroMessage(path + ": " + why + "\n");
    return -1;
  }
  ClearImage();
  macSourceText = std::move(text);
  macSourceFormat = format;
  udMacFileSize = static_cast<uint32_t>(bytes.size());
  return 0;
}

const std::string& MacroSourceText() { return macSourceText; }

int MacroSaveMacData(const std::string& path) {
  std::string text;
  PanelGetString(uwMcMacroPanelHandle, MACRO_TXT_EDITOR, text);
  const std::string bytes = MacroSourceEncode(text, macSourceFormat);
  std::string error;
  if (!FileWriteAtomically(path, bytes, error)) {
    MacroMessage("ERROR: Macro saving error!\n");
    MacroMessage(path + ": " + error + "\n");
    return 1;
  }
  macSourceText = std::move(text);
  return 0;
}

int MacroLoadMbiData(const std::string& path) {
  ClearImage();
  std::string bytes;
  int error = 0;
  switch (FileReadAll(path, MAC_IMAGE_MAX, bytes, error)) {
    case FileReadResult::Ok: break;
    case FileReadResult::CannotOpen: return 1;
    default: return 2;
  }
  if (bytes.size() < MAC_HEADER_SIZE) return 2;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  const uint32_t crc = CRC32calculationS(p + 4, bytes.size() - 4);
  if (crc != ReadWord(p)) return 3;
  macFileData.assign(p, p + bytes.size());
  udMacFileSize = static_cast<uint32_t>(bytes.size());
  udMacFileCrc = crc;
  return 0;
}

int MacroSaveMbiData(const std::string& path) {
  const std::string bytes(reinterpret_cast<const char*>(macFileData.data()), Valid());
  std::string error;
  if (FileWriteAtomically(path, bytes, error)) return 0;
  MacroMessage("ERROR: Macro saving error!\n");
  MacroMessage(path + ": " + error + "\n");
  return 1;
}

int MacroCreateFile(const std::string& base) {
  const std::string path = base + ".mbi";
  const char* failed = "ERROR: Macro compiling error!";
  std::string bytes;
  int error = 0;
  switch (FileReadAll(path, MAC_IMAGE_MAX, bytes, error)) {
    case FileReadResult::Ok: break;
    case FileReadResult::CannotOpen:
      MacroMessage(std::string(failed) + "\nCannot open " + path + "\n");
      return 1;
    case FileReadResult::TooLarge:
      MacroMessage(std::string(failed) + "\ncode size error: max. code length = 8192 byte\n");
      return 3;
    case FileReadResult::ReadError:
      MacroMessage(std::string(failed) + "\nmib file error\n");
      return 2;
  }
  if (bytes.size() < MAC_HEADER_SIZE) {
    MacroMessage(std::string(failed) + "\nmib file error\n");
    return 2;
  }
  auto* p = reinterpret_cast<uint8_t*>(bytes.data());
  WriteWord(p + 4, static_cast<uint32_t>(bytes.size()));
  const uint32_t crc = CRC32calculationS(p + 4, bytes.size() - 4);
  WriteWord(p, crc);
  std::string why;
  if (!FileWriteAtomically(path, bytes, why)) {
    MacroMessage(std::string(failed) + "\nCannot open " + path + "\n" + why + "\n");
    return 1;
  }
  macFileData.assign(p, p + bytes.size());
  udMacFileSize = static_cast<uint32_t>(bytes.size());
  udMacFileCrc = crc;
  return 0;
}

uint32_t MacroGetFileData(uint32_t& offset) {
  const uint32_t valid = Valid();
  if (offset >= udMacFileSize) return 0;
  uint8_t word[4] = {};
  for (uint32_t i = 0; i < 4 && offset + i < valid; ++i) word[i] = macFileData[offset + i];
  offset += 4;
  return ReadWord(word);
}

void MacroSetFileData(uint32_t& offset, uint32_t value) {
  const uint32_t valid = Valid();
  if (offset >= udMacFileSize) return;
  for (uint32_t i = 0; i < 4 && offset + i < valid; ++i) macFileData[offset + i] = static_cast<uint8_t>(value >> (8 * i));
  offset += 4;
}

uint32_t MacroGetFileDataSize() { return udMacFileSize; }
void MacroSetFileDataSize(uint32_t size) { udMacFileSize = size; }

void MacroMallocInputMemory(uint32_t size) {
  udMacFileCrc = 0;
  macFileData.assign(std::min(size, MAC_IMAGE_MAX), 0);
}

uint32_t MacroImageComputedCrc() {
  const uint32_t valid = Valid();
  return valid < MAC_HEADER_SIZE ? 0 : CRC32calculationS(macFileData.data() + 4, valid - 4);
}

uint32_t MacroImageHeaderCrc() { return Valid() < MAC_HEADER_SIZE ? 0 : ReadWord(macFileData.data()); }
uint32_t MacroImageHeaderSize() { return Valid() < MAC_HEADER_SIZE ? 0 : ReadWord(macFileData.data() + 4); }

bool MacroValidProjectName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name)
    if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  return true;
}

std::string MacroProjectName() {
  std::string name;
  PanelGetString(uwMcMacroPanelHandle, MACRO_STR_NAME, name);
  return name;
}

std::string MacroProjectDir() { return ubPtrMacPath ? std::string(ubPtrMacPath) : std::string(); }

bool MacroSetProjectDir(const std::string& dir) {
  if (!ubPtrMacPath || dir.size() >= MAC_PATH_BUFFER_SIZE || dir.find('\0') != std::string::npos) {
    MacroMessage("Project directory too long: " + dir + "\n");
    return false;
  }
  std::memcpy(ubPtrMacPath, dir.c_str(), dir.size() + 1);
  PanelSetString(uwMcMacroPanelHandle, MACRO_STR_PATH, dir);
  return true;
}

std::string MacroProjectBase() {
  std::string dir = MacroProjectDir();
  if (dir.empty()) return {};
  if (dir.back() != '/') dir += '/';
  return dir + MacroProjectName();
}

int MacroCheckProject() {
  std::string text;
  PanelGetString(uwMcMacroPanelHandle, MACRO_TXT_EDITOR, text);
  if (!text.empty() && MacroValidProjectName(MacroProjectName())) return 0;
  MacroMessage("Invalid or empty project!\n");
  return 1;
}
