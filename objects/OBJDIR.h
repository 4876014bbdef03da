// The tool's own object directory: controller objects mapped to the tool's
// trace variables, so that recorded SDO write telegrams (the header of a ".lo1"
// backtrace file) can be replayed into them as the controller would take them.
//
// A table is an array of rows ending with a row whose pVar is null. An array
// object is a count row (access OBJDIR_ARRAY, the one-byte element count)
// followed by an element row of the same index that describes the elements.
// Tick or GUI thread; not reentrant with a load that reads the variables.
#pragma once
#include <cstdint>

inline constexpr uint8_t OBJDIR_READ = 0x01;
inline constexpr uint8_t OBJDIR_WRITE = 0x02;
inline constexpr uint8_t OBJDIR_ARRAY = 0x04;
inline constexpr uint8_t OBJDIR_NOTIFY = 0x08;  // a successful write returns 1

struct ObjDirRow {
  uint16_t uwObjIndex;
  uint8_t ubAccess;
  uint8_t ubWidth;     // width on the wire: 1, 2 or 4 bytes (of one element)
  void* pVar;          // the variable; for an element row the first element
  uint8_t ubVarWidth;  // 0: the variable is ubWidth wide; else its wider width, of which the low bits are addressed
  uint8_t ubElements;  // element rows: how many elements pVar holds
};

// Refusals of ObjdirHandler.
inline constexpr int32_t OBJDIR_ERR_COMMAND = -1;      // unknown command specifier
inline constexpr int32_t OBJDIR_ERR_NO_OBJECT = -2;
inline constexpr int32_t OBJDIR_ERR_WIDTH = -3;        // request width differs
inline constexpr int32_t OBJDIR_ERR_NOT_WRITABLE = -4;
inline constexpr int32_t OBJDIR_ERR_NOT_READABLE = -5;
inline constexpr int32_t OBJDIR_ERR_BAD_WIDTH = -6;    // row width not 1, 2 or 4
inline constexpr int32_t OBJDIR_ERR_NOT_ARRAY = -7;    // sub-index on a plain object
inline constexpr int32_t OBJDIR_ERR_SUB_INDEX = -8;    // sub-index beyond the elements

// Answers in byte 0 of the payload.
inline constexpr uint8_t OBJDIR_ANSWER_WRITTEN = 0x60;
inline constexpr uint8_t OBJDIR_ANSWER_READ_1 = 0x4F;
inline constexpr uint8_t OBJDIR_ANSWER_READ_2 = 0x4B;
inline constexpr uint8_t OBJDIR_ANSWER_READ_4 = 0x43;
inline constexpr uint8_t OBJDIR_ANSWER_REFUSED = 0x80;

// The tool's directory: the trace header objects of a backtrace file.
extern const ObjDirRow ObjDir[];
// Rows of ObjDir before its end row.
inline constexpr int OBJDIR_ROWS = 58;
// Zeroes the directory's own header arrays and words (the objects that have
// no trace variable of their own) before a file is replayed into them.
void ObjdirClearHeader();
// The value of an object of ObjDir (an element for a sub-index above 0), read
// through ObjdirHandler; 0 when the directory refuses the read.
uint32_t ObjdirRead(uint16_t index, uint8_t subIndex);

// Applies the 8-byte SDO request `payload` to the variables of `table` and
// overwrites it with the answer. 0, or 1 for a write to a notify row; a
// refusal code above with 0x80 in byte 0 and nothing written.
int32_t ObjdirHandler(const ObjDirRow* table, uint8_t* payload);
