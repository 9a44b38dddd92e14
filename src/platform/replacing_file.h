// Writing a file so that its name never holds a half-written file.
//
// The bytes go into a file beside the destination ("<name>.partial"), which
// takes the destination's place only when every byte is written and flushed;
// a failed write removes the partial file and leaves an old file of that name
// exactly as it was. The replacing step is the platform's own (ReplaceFileWith:
// rename natively, MoveFileEx on Windows).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

inline constexpr char kPartialSuffix[] = ".partial";

// Puts the file `from` in the place of `to`, replacing a file of that name.
bool ReplaceFileWith(const char* from, const char* to);

// The file operations, replaceable so that tests can make a write fail
// part-way. A null table, or a null member, means the standard operation
// (fopen, fwrite, fclose, remove, ReplaceFileWith).
struct FileOps {
    std::FILE* (*pfnOpen)(const char* path, const char* mode);
    size_t (*pfnWrite)(const void* data, size_t size, size_t count, std::FILE* file);
    int (*pfnClose)(std::FILE* file);
    int (*pfnRemove)(const char* path);
    bool (*pfnReplace)(const char* from, const char* to);
};
void SetFileOps(const FileOps* ops);

class ReplacingFile {
public:
    // Opens "<path>.partial" with the mode ("wb", "wt").
    ReplacingFile(const char* path, const char* mode);
    ~ReplacingFile(); // an uncommitted file is closed and removed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    // False once any write has failed; later writes do nothing.
    bool Write(const void* data, size_t bytes);
    // Closes the partial file and, when everything was written, puts it in
    // the destination's place. Otherwise the partial file is removed and an
    // old file kept as it was: NotWritten when a write or the closing flush
    // failed, NotReplaced when the destination could not be replaced (held
    // open by another program, read-only).
    enum class Outcome { Replaced, NotWritten, NotReplaced };
    Outcome Commit();

private:
    void Abandon();

    std::string m_path;
    std::string m_partial;
    std::FILE* m_file = nullptr;
    bool m_bWritten = true;
};
