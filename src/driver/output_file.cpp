#include "driver/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

namespace meridolan {

namespace fs = std::filesystem;

CappedBuf::int_type CappedBuf::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  if (n_ >= cap_ ||
      traits_type::eq_int_type(to_->sputc(traits_type::to_char_type(c)), traits_type::eof()))
    return traits_type::eof();
  ++n_;
  return c;
}

std::streamsize CappedBuf::xsputn(const char* s, std::streamsize n) {
  const auto room = static_cast<std::streamsize>(
      std::min(cap_ - n_, static_cast<std::size_t>(std::max<std::streamsize>(n, 0))));
  const std::streamsize put = to_->sputn(s, room);
  n_ += static_cast<std::size_t>(std::max<std::streamsize>(put, 0));
  return put;
}

OutputFile::OutputFile(const std::string& path, std::size_t max_bytes)
    : capped_(file_.rdbuf(), max_bytes), out_(&capped_) {
  std::error_code ec;
  fs::path target = path;
  // Through a symbolic link the file it names is replaced, not the link.
  if (fs::is_symlink(target, ec)) {
    const fs::path real = fs::weakly_canonical(target, ec);
    if (!ec) target = real;
  }
  target_ = target.string();
  struct stat st {};
  const bool exists = ::stat(target_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    error_ = std::strerror(EISDIR);
    return;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    file_.open(target_, std::ios::binary | std::ios::trunc);
    if (!file_) error_ = std::strerror(errno);
    return;
  }
  // A read-only file is not replaced behind its owner's back.
  if (exists && ::access(target_.c_str(), W_OK) != 0) {
    error_ = std::strerror(errno);
    return;
  }
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::random_device rd;
  const mode_t mode = exists ? (st.st_mode & 07777) : 0666;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = ".";
    name += target.filename().string();
    name += '.';
    name += std::to_string(rd());
    name += ".tmp";
    const fs::path temp = dir / name;
    // O_EXCL: never write into a file someone else owns; the umask applies to a new
    // file's mode as it would to the target's.
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) {
      error_ = std::strerror(errno);
      return;
    }
    if (exists) (void)::fchmod(fd, mode);  // an existing file keeps its mode
    ::close(fd);
    temp_ = temp.string();
    file_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!file_) {
      error_ = std::strerror(errno);
      discard();
    }
    return;
  }
  error_ = std::strerror(EEXIST);
}

OutputFile::~OutputFile() {
  if (!done_) discard();
}

void OutputFile::discard() {
  if (file_.is_open()) file_.close();
  if (!temp_.empty()) ::unlink(temp_.c_str());
  done_ = true;
}

bool OutputFile::commit() {
  if (done_) return error_.empty();
  out_.flush();
  bool ok = static_cast<bool>(out_) && static_cast<bool>(file_);
  file_.close();
  ok = ok && static_cast<bool>(file_);
  if (!ok) {
    error_ = "a write failed (the disk may be full)";
    discard();
    return false;
  }
  if (!temp_.empty() && ::rename(temp_.c_str(), target_.c_str()) != 0) {
    error_ = std::strerror(errno);
    discard();
    return false;
  }
  done_ = true;
  return true;
}

namespace {

std::optional<FileIdentity> identity_of(const struct stat& st) {
  if (!S_ISREG(st.st_mode)) return std::nullopt;
  return FileIdentity{
      static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino), {}};
}

}  // namespace

std::optional<FileIdentity> file_identity(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return identity_of(st);
  if (errno != ENOENT) return std::nullopt;
  // A file yet to be created: its directory and name (a dangling link names the
  // file it would create).
  std::error_code ec;
  const fs::path p = fs::weakly_canonical(fs::path(path), ec);
  if (ec) return std::nullopt;
  const fs::path dir = p.has_parent_path() ? p.parent_path() : fs::path(".");
  if (::stat(dir.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<unsigned long long>(st.st_dev),
                      static_cast<unsigned long long>(st.st_ino), p.filename().string()};
}

std::optional<FileIdentity> descriptor_identity(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return std::nullopt;
  return identity_of(st);
}

}  // namespace meridolan
