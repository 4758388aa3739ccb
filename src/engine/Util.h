// Line functions shared by every text file of the game (Shift-JIS, line by line), and the path
// tests. Every function works on bytes and reports nothing.
#pragma once
#include "rvm/rvm_stl.h"
// The white-space set of the scanners: space, tab, CR, LF, 0x81 and 0x40, each byte on its own
// (0x81 0x40 is the full-width space; 0x40 alone is the at sign).
// Inline: the scanners ask it of every byte they pass.
inline bool IsWhiteByte(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0x81 || c == 0x40;
}
// The narrow set that the splitters skip before a field: space, tab, CR, LF.
bool IsNarrowBlank(unsigned char c);

#define SCAN_FIELD_MAX 255       // longest field the splitters keep
#define SCAN_BLANKLINE_MAX 2048  // bytes of a line IsBlankLine looks at

// Ends the line at the first "//", then at the first "##" of what remains. Returns 1.
int CutComment(char* pszLine);
// 1 when the line, comments cut, is empty or holds only white-space bytes.
int IsBlankLine(const char* pszLine);
// "name = v1 : v2 ..." entries (see the region index files and the stage definitions).
void ParseKeyValueLine(const char* pszText, rvm::string& name, rvm::vector<rvm::string>& values);
// Appends the delimiter-separated fields of the first nLength bytes of the text.
void SplitString(const char* pszText, int nLength, char cDelimiter, rvm::vector<rvm::string>& fields);
// The last n bytes, or the whole string when it is shorter (or empty).
void RightString(rvm::string& out, const rvm::string& text, int n);
// The digits of a positive value as full-width digits in code page 932; empty for 0 and below.
void ToFullWidthDigits(rvm::string& out, int nValue);

// Largest magnitude FloatToInt gives: two converted values still add up within the int range.
#define FLOAT_TO_INT_LIMIT 1000000000
// A number as an int the way a cast truncates it, but defined for every input: NaN gives 0 and a
// magnitude beyond FLOAT_TO_INT_LIMIT gives the limit. Positions and sizes that tuning values
// drive far out of the world convert with it; every value a real run holds converts as before.
int FloatToInt(double dValue);

// 1 when the path opens for reading as an existing file (a folder does not).
int IsFileExist(const char* pszPath);
int IsReplayDirExist();
// 1 when a file matches .\Replay\Replay??.dat.
int IsReplayFileExist();
// 1 when the path opens through the pack-aware layer (as a file or a pack entry).
int IsPackFileExist(const char* pszPath);
// 1 when .\GameData\Stage<nn>\Stage.txt opens through the pack-aware layer.
int IsStageExist(int nStage);
// Creates every missing folder of a backslash-separated path. 0 when a part exists but is not a
// folder or cannot be made; 1 otherwise (also for an empty path).
int CreateDirectories(const char* pszPath);
