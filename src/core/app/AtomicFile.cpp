// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AtomicFile.h"

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivspc {

namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 22;

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

TAtomicFile::TAtomicFile(std::string path) : path_(std::move(path)) {}

TAtomicFile::~TAtomicFile() { Discard(); }

bool TAtomicFile::Open() {
    std::string temp = FolderOf(path_) + "/.kivspc-save-XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) return false;
    temp_.assign(name.data());
    // The new file keeps the permissions of the one it replaces, else the usual ones.
    struct stat old {};
    if (::stat(path_.c_str(), &old) == 0) {
        ::fchmod(fd_, old.st_mode & 07777);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
    }
    buffer_.reserve(kBufferSize + 4096);
    return true;
}

void TAtomicFile::Write(std::string_view bytes) {
    buffer_.append(bytes);
    if (buffer_.size() >= kBufferSize) Flush();
}

bool TAtomicFile::Flush() {
    std::size_t done = 0;
    while (!failed_ && fd_ >= 0 && done < buffer_.size()) {
        ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            failed_ = true;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
    return !failed_ && fd_ >= 0;
}

bool TAtomicFile::Commit() {
    bool ok = Flush() && ::fsync(fd_) == 0;
    ok = (::close(fd_) == 0) && ok;
    fd_ = -1;
    if (!ok || ::rename(temp_.c_str(), path_.c_str()) != 0) {
        Discard();
        return false;
    }
    temp_.clear();
    return true;
}

void TAtomicFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    TAtomicFile file(path);
    if (!file.Open()) return false;
    file.Write(bytes);
    return file.Commit();
}

} // namespace kivspc
