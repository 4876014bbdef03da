// Macro projects: the image buffer, the project's files and their assembly.
// A project is a directory, a name (the panel's name field) and the source
// in the macro panel's editor. Messages go to the macro panel's message box.
// Everything here runs on the GUI thread, except the image access functions,
// which the memory machine calls in the tick while no panel callback touches
// the image (the transfer buttons refuse while a transfer runs).
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

// ubMacFlag: a project is loaded or created, its source is saved, compiled.
// Any edit clears the saved and compiled bits.
inline constexpr uint8_t MAC_FLAG_PROJECT = 0x01;
inline constexpr uint8_t MAC_FLAG_SAVED = 0x02;
inline constexpr uint8_t MAC_FLAG_COMPILED = 0x04;
// Opening the panel sets the saved bit while no project is loaded.
inline constexpr uint8_t MAC_FLAG_PANEL_OPENED = MAC_FLAG_SAVED;
extern std::atomic<uint8_t> ubMacFlag;

inline constexpr uint32_t MAC_IMAGE_MAX = 8192;     // bytes, header included
inline constexpr uint32_t MAC_HEADER_SIZE = 8;      // CRC-32, then the size
inline constexpr uint32_t MAC_SOURCE_MAX = 16u << 20;

// Valid bytes of the image buffer and the CRC of a valid image (0 if none).
extern uint32_t udMacFileSize;
extern uint32_t udMacFileCrc;
// Longest time the assembler may take, in ms (tests shorten it).
extern uint32_t udMacCompileLimitMs;

// Lamp colours of the macro panel, all four lamps off (start step).
void MacroInit();

// --- files -------------------------------------------------------------------
// Reads a source file (UTF-8 or Latin-1, LF or CR LF) for the editor. 0, or
// -1 when it cannot be read or is no text (a line in the message box says
// why); the editor's text is then MacroSourceText().
int MacroLoadMacData(const std::string& path);
const std::string& MacroSourceText();
// Writes the editor's text to `path` in the encoding it was loaded in,
// through a temporary file. 0 saved; 1 failed ("ERROR: Macro saving
// error!\n" and the reason shown, an existing file left as it was).
int MacroSaveMacData(const std::string& path);
// 0 loaded with a correct CRC; 1 cannot open; 2 read error or a size outside
// 8..8192; 3 CRC wrong. Any failure leaves an empty image (size 0, CRC 0).
int MacroLoadMbiData(const std::string& path);
// Writes the image; 0, or 1 with "ERROR: Macro saving error!\n".
int MacroSaveMbiData(const std::string& path);
// Puts the header into the assembled "<base>.mbi" and loads it: 0 done;
// 1 cannot open or write; 2 shorter than the header or a read error; 3 over
// 8192 bytes.
int MacroCreateFile(const std::string& base);

// --- the image -----------------------------------------------------------------
// The little-endian word at offset (bytes past the size read as 0) and
// offset += 4, while offset < size; otherwise 0 and offset unchanged.
uint32_t MacroGetFileData(uint32_t& offset);
// Stores the bytes of value that lie below the size at offset, offset += 4,
// while offset < size.
void MacroSetFileData(uint32_t& offset, uint32_t value);
uint32_t MacroGetFileDataSize();
// Sets the size; the accessors never go past the buffer whatever it is.
void MacroSetFileDataSize(uint32_t size);
// A new buffer of `size` zero bytes (a download); the size is set apart.
void MacroMallocInputMemory(uint32_t size);
// CRC-32 over bytes 4 to the size, the CRC and the size field the header
// holds (0 without a header).
uint32_t MacroImageComputedCrc();
uint32_t MacroImageHeaderCrc();
uint32_t MacroImageHeaderSize();

// --- project -------------------------------------------------------------------
// A plain file name: not empty, no '/', not "." or "..", no control
// characters.
bool MacroValidProjectName(const std::string& name);
std::string MacroProjectName();
std::string MacroProjectDir();
// False (and a line saying so) for a directory too long for the path buffer.
bool MacroSetProjectDir(const std::string& dir);
// "<dir>/<name>" of the project, or "" without a directory.
std::string MacroProjectBase();
// 0 when the editor holds text and the name is valid; else 1 and "Invalid or
// empty project!\n".
int MacroCheckProject();
// A line (or text ending in a line feed) into the macro message box.
void MacroMessage(const std::string& text);

// --- assembly ----------------------------------------------------------------
// Stamps the editor's source with the PC's date and time.
void MacroSetTimeDate();
// Path of a shipped macro file (include file, template, bundled assembler),
// looked for in the shipped data folders of the program, or of the folder
// set here in their place; "" with `why` naming the file and the folders.
std::string MacroResourceFile(const std::string& name, std::string& why);
void MacroSetResourceDirectory(const std::string& dir);
// Makes sure "norl_mac.inc" is in `dir`, copying it from the resource
// directory; 0, or 1 with "norl_mac.inc copy error: %d\n" or "norl_mac.inc
// check error: %d\n".
int MacroCopyIncFile(const std::string& dir);
// Stamps and saves the source to "<base>.mac" and assembles it into
// "<base>.mbi": 0 assembled without errors; 1 the assembler did not run to a
// result (no error file, killed, timed out, source not saved); 2 assembler
// errors or a failing exit status; 3 the assembler could not be started;
// 4 include file missing.
int MacroCompile(const std::string& base);
