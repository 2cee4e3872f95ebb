#include "config/RanFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ranfile {
namespace {

std::optional<WriteStep> g_failingStep;

bool failsAt(WriteStep step) { return g_failingStep && *g_failingStep == step; }

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    bool close()
    {
        if (m_fd < 0)
            return true;
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, std::string_view bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        written += size_t(count);
    }
    return true;
}

std::string folderOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t modeFor(const std::string &path, FileAccess access)
{
    if (access == FileAccess::OwnerOnly)
        return S_IRUSR | S_IWUSR;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        return old.st_mode & 0777;
    return S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH;
}

}  // namespace

std::optional<std::string> readFilePrefix(const std::string &path, size_t maxBytes)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid())
        return std::nullopt;
    std::string content;
    char buffer[8192];
    while (content.size() < maxBytes) {
        const size_t wanted = std::min(sizeof buffer, maxBytes - content.size());
        const ssize_t count = ::read(file.get(), buffer, wanted);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;  // a half-read file must never be written back
        }
        if (count == 0)
            break;
        content.append(buffer, size_t(count));
    }
    return content;
}

std::optional<std::string> readFile(const std::string &path)
{
    return readFilePrefix(path, std::string::npos);
}

bool fileExists(const std::string &path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool writeFileAtomically(const std::string &path, std::string_view bytes, FileAccess access,
                         const std::string &scratchPath)
{
    const mode_t mode = modeFor(path, access);
    std::string temporary = scratchPath;
    int fd = -1;
    if (!failsAt(WriteStep::Create)) {
        if (temporary.empty()) {
            temporary = path + ".XXXXXX";
            fd = ::mkostemp(temporary.data(), O_CLOEXEC);  // created rw------- already
        } else {
            fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                        S_IRUSR | S_IWUSR);
        }
    }
    FileDescriptor file(fd);
    if (!file.valid())
        return false;

    bool ok = ::fchmod(file.get(), mode) == 0;
    if (ok) {
        if (failsAt(WriteStep::Write)) {
            // Half of the data reaches the temporary file, as when the disk fills up.
            writeAll(file.get(), bytes.substr(0, bytes.size() / 2));
            ok = false;
        } else {
            ok = writeAll(file.get(), bytes);
        }
    }
    ok = ok && !failsAt(WriteStep::Sync) && ::fsync(file.get()) == 0;
    ok = file.close() && ok;
    ok = ok && !failsAt(WriteStep::Rename) && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself must survive a crash too. The new content is in place already, so a
    // folder that cannot be synced does not make the write a failure.
    FileDescriptor folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid())
        ::fsync(folder.get());
    return true;
}

void setWriteFailureForTesting(std::optional<WriteStep> step) { g_failingStep = step; }

}  // namespace ranfile
