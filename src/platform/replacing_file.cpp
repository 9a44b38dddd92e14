#include "platform/replacing_file.h"

namespace {

std::FILE* StdOpen(const char* path, const char* mode) { return std::fopen(path, mode); }
size_t StdWrite(const void* data, size_t size, size_t count, std::FILE* file)
{
    return std::fwrite(data, size, count, file);
}
int StdClose(std::FILE* file) { return std::fclose(file); }
int StdRemove(const char* path) { return std::remove(path); }

constexpr FileOps kStandardOps{&StdOpen, &StdWrite, &StdClose, &StdRemove, &ReplaceFileWith};
FileOps g_ops = kStandardOps;

template <typename Fn>
Fn Or(Fn chosen, Fn standard)
{
    return chosen ? chosen : standard;
}

} // namespace

void SetFileOps(const FileOps* ops)
{
    const FileOps& o = ops ? *ops : kStandardOps;
    g_ops = {Or(o.pfnOpen, &StdOpen), Or(o.pfnWrite, &StdWrite), Or(o.pfnClose, &StdClose), Or(o.pfnRemove, &StdRemove),
             Or(o.pfnReplace, &ReplaceFileWith)};
}

ReplacingFile::ReplacingFile(const char* path, const char* mode)
    : m_path(path ? path : ""),
      m_partial(m_path + kPartialSuffix)
{
    if (!m_path.empty()) m_file = g_ops.pfnOpen(m_partial.c_str(), mode);
}

ReplacingFile::~ReplacingFile() { Abandon(); }

bool ReplacingFile::Write(const void* data, size_t bytes)
{
    if (!m_file) return false;
    if (m_bWritten && bytes > 0) m_bWritten = g_ops.pfnWrite(data, 1, bytes, m_file) == bytes;
    return m_bWritten;
}

ReplacingFile::Outcome ReplacingFile::Commit()
{
    if (!m_file) return Outcome::NotWritten;
    // fclose flushes: a full disk often shows only there.
    const bool written = g_ops.pfnClose(m_file) == 0 && m_bWritten;
    m_file = nullptr;
    if (written && g_ops.pfnReplace(m_partial.c_str(), m_path.c_str())) return Outcome::Replaced;
    g_ops.pfnRemove(m_partial.c_str());
    return written ? Outcome::NotReplaced : Outcome::NotWritten;
}

void ReplacingFile::Abandon()
{
    if (!m_file) return;
    g_ops.pfnClose(m_file);
    m_file = nullptr;
    g_ops.pfnRemove(m_partial.c_str());
}
