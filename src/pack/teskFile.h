// The pack-aware file object every loader reads through. A read takes the whole file into memory
// and serves it from there. The data comes from a registered memory range ("!" names), a plain
// file, or an entry of a pack file "<folder>.dat" that stands in for a whole folder: packs are
// looked for from the file's own folder upwards, the nearest first, never above the current
// directory.
#pragma once
#include <cstdint>
#include <cstdio>

#include "rvm/rvm_stl.h"
// Results of CFile::Read (and of the whole-file read behind it).
#define FILE_ERR_EMPTY_NAME (-1)
#define FILE_OK 0
#define FILE_ERR_NOT_FOUND 1
#define FILE_ERR_SIZE 2
#define FILE_ERR_ALLOC 3
#define FILE_ERR_READ 4     // also: a damaged pack entry (outside the pack, undecodable)
#define FILE_ERR_CLOSE 5
#define FILE_ERR_MEMNAME 6

#define PACK_MAGIC_SIZE 8
#define PACK_MAGIC_STORED "teskpack"     // 40-byte records, entries stored
#define PACK_MAGIC_VOSTIL "44vostil"     // 268-byte records, LZSS entries allowed
#define PACK_MAGIC_DX "teskpkDx"         // 268-byte records, LZSS entries allowed
#define PACK_MAGIC_EX "teskpkEx"         // 40-byte records; only the folder lister reads it
#define PACK_NAME_SHORT 32
#define PACK_NAME_LONG 256
#define PACK_RECORD_SHORT 40
#define PACK_RECORD_LONG 268
#define PACK_HEADER_SIZE 12

#define SCRAMBLE_MARKER "TPK1"
#define SCRAMBLE_MARKER_SIZE 4

// One directory record as the 268-byte packs store it (little-endian on disk).
struct TESKPACKRECORD {
    char szName[PACK_NAME_LONG];
    uint32_t nOffset;
    uint32_t nSize;         // expanded size
    uint32_t nStoredSize;   // bytes in the pack; differs from nSize for an LZSS entry
};

struct PACKSOURCE;

class IFile {
public:
    virtual ~IFile() {}
    virtual int Open(const char* pszName, const char* pszMode) = 0;
    virtual int Write(const char* pszName, const void* pData, uint32_t nSize) = 0;
    virtual int Puts(const char* pszText) = 0;
    virtual int Close() = 0;
    virtual FILE* GetFilePointer() = 0;
    virtual int Read(const char* pszName) = 0;
    virtual rvm::string GetName() = 0;
    virtual rvm::string GetFileName() = 0;
    virtual rvm::string GetExtension() = 0;
    virtual uint8_t* GetMemory() = 0;
    virtual uint32_t GetSize() = 0;
    virtual int ReadLineString(rvm::string& line) = 0;
    virtual int ReadLine(char* pBuffer, int nMax) = 0;
    virtual int ReadQuoted(char* pBuffer, int nBufferSize) = 0;
    virtual void SeekToTop() = 0;
    virtual int ReadData(void* pBuffer, uint32_t nBytes) = 0;
    virtual int Save(const char* pszName) = 0;
    virtual int Encode() = 0;
    virtual int Delete(const char* pszName) = 0;
    virtual int MakeRealFile() = 0;
    virtual int ReadAll(const char* pszName, rvm::vector<uint8_t>& data) = 0;
    virtual int WriteLines(const char* pszName, const rvm::vector<rvm::string>& lines) = 0;
    virtual int WriteVector(const char* pszName, const rvm::vector<uint8_t>& data) = 0;
};

class CFile : public IFile {
public:
    // A non-zero flag also resets the search folders (".\" then "./Ending") and takes the current
    // directory again as the base folder.
    explicit CFile(int bResetFolders = 1);
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Output stream of the C library (text mode turns "\n" into CR LF). 0 on success, 1 when the
    // name opens in no search folder.
    int Open(const char* pszName, const char* pszMode) override;
    // Writes a whole file through a temporary beside it that then replaces it, so a failure never
    // leaves half a file, and a crash after success never loses the new one; the file keeps its
    // permissions. 0; 1 when it cannot be opened (or the file is read-only); 2 when the write
    // fails or does not reach the disk; 3 when replacing fails.
    int Write(const char* pszName, const void* pData, uint32_t nSize) override;
    int Puts(const char* pszText) override;
    int Close() override;
    FILE* GetFilePointer() override { return m_pStream; }
    int Read(const char* pszName) override;
    rvm::string GetName() override { return m_Name; }
    rvm::string GetFileName() override;
    rvm::string GetExtension() override;
    uint8_t* GetMemory() override;
    uint32_t GetSize() override;
    // Lines end at CR LF or at a lone LF (a lone CR is text). 3 without data, 1 at the end, 2 when
    // nMax - 1 bytes were copied without reaching the line end (the rest comes next), else 0 (the
    // line end is kept).
    int ReadLineString(rvm::string& line) override;
    int ReadLine(char* pBuffer, int nMax) override;
    // A double-quoted text that may span lines (joined with "\n"). 1 when there is none, at the
    // line "END" in quotes, or when the text does not fit the buffer (it is then cut to fit).
    int ReadQuoted(char* pBuffer, int nBufferSize) override;
    void SeekToTop() override;
    int ReadData(void* pBuffer, uint32_t nBytes) override;
    int Save(const char* pszName) override;
    int Encode() override;
    int Delete(const char* pszName) override;
    int MakeRealFile() override;
    int ReadAll(const char* pszName, rvm::vector<uint8_t>& data) override;
    int WriteLines(const char* pszName, const rvm::vector<rvm::string>& lines) override;
    int WriteVector(const char* pszName, const rvm::vector<uint8_t>& data) override;

    // The search of the whole-file read without reading any data: 0 when the name opens as a plain
    // file (the record stays as it was) or lies in a pack (the object's size becomes the entry's
    // expanded size, the from-pack flag is set and the record is filled, for every pack kind).
    // GetLocatedPath then names the file that holds the data: the plain file or the pack.
    int LocateFile(const char* pszName, TESKPACKRECORD* pRecord);
    rvm::string GetLocatedPath() const { return m_LocatedPath; }
    // Bytes between the read pointer and the end of the data.
    uint32_t GetRemaining();
    bool IsFromPack() const { return m_bFromPack != 0; }
    bool IsScrambled() const { return m_bScrambled != 0; }

    // One attempt of the whole-file read, without the search-folder retries of Read.
    int ReadWholeFile(const char* pszName) { return ReadWhole(pszName, false, nullptr); }
    // The entry of a pack whose bytes are in memory, read (or located) as from a pack file; the
    // pack's path is then "<image>". FILE_ERR_NOT_FOUND also for an image that is no pack.
    int ReadPackImage(const void* pImage, uint32_t nSize, const char* pszEntry, bool bLocateOnly,
                      TESKPACKRECORD* pRecord);

    // The name as the layer resolves it (base folder + relative part, backslashes).
    static rvm::string NormalizeName(const char* pszName);
    // The folder above a folder path that ends with a backslash (itself at the top).
    static rvm::string ParentFolder(const rvm::string& folder);

private:
    int ReadWithRetry(const char* pszName, bool bLocateOnly, TESKPACKRECORD* pRecord);
    int ReadWhole(const char* pszName, bool bLocateOnly, TESKPACKRECORD* pRecord);
    int ReadMemoryName(const char* pszName);
    int ReadPlain(void* hFile, bool bLocateOnly);
    int SearchPacks(const rvm::string& path, bool bLocateOnly, TESKPACKRECORD* pRecord);
    int SearchPack(PACKSOURCE& src, const rvm::string& packPath, const rvm::string& entry, bool bLocateOnly,
                   TESKPACKRECORD* pRecord);
    int ReadPackEntry(PACKSOURCE& src, const rvm::string& packPath, bool bLong, const TESKPACKRECORD& rec,
                      bool bLocateOnly);
    int TakeBlock(uint32_t nSize);
    void FinishRead();
    void ReleaseData();

    FILE* m_pStream;
    int m_bTextStream;
    uint8_t* m_pData;
    uint32_t m_nSize;
    uint32_t m_nPos;   // read offset into the data proper; past GetSize() after a last line
    rvm::string m_Name;
    rvm::string m_LocatedPath;
    uint8_t m_bScrambled;
    uint8_t m_bDeleteOnClose;
    uint8_t m_bFromPack;
    uint8_t m_bMemoryRange;
};

// Memory names: a range registered here can be read as the name written to pszName
// ("!<token>,<size>", both hexadecimal). Names that were not registered are never dereferenced.
// Returns the token (0 when the range is refused).
uint32_t RegisterMemoryName(const void* pData, uint32_t nSize, char* pszName, size_t nNameSize);
void UnregisterMemoryName(uint32_t nToken);
// Whether the name is a memory name ("!" first): it names no file, in no folder.
bool IsMemoryName(const char* pszName);

// The scramble of "TPK1" bodies: a nibble swap and an XOR, and its inverse.
uint8_t ScrambleByte(uint8_t b);
uint8_t UnscrambleByte(uint8_t b);

// "\n" as CR LF, the way a text-mode stream of the original wrote it.
rvm::string ToCrLf(const char* pszText);

// Code page 932: whether the byte starts a two-byte character.
bool IsSjisLeadByte(uint8_t c);
// ASCII letters to lower case, leaving the second byte of a two-byte character alone.
rvm::string LowerSjis(const rvm::string& text);

// stdio-style wrappers for the loaders written against the C library.
// FileOpen: 0 and the object on success, else the read's code and null.
int FileOpen(CFile** ppFile, const char* pszPath);
// Like fgets: the buffer, also when the line was longer than the buffer (the rest comes next);
// null at the end or without data.
char* FileGets(char* pBuffer, int nMax, CFile* pFile);
// size x count when that many bytes were left (they are copied); else 0 (what was left is copied).
size_t FileRead(void* pBuffer, size_t nSize, size_t nCount, CFile* pFile);
int FileSeek(CFile* pFile, long nOffset, int nOrigin);
void FileRewind(CFile* pFile);
void FileClose(CFile* pFile);
