// Output files that are either complete or absent: the data go to a temporary file
// beside the target, which replaces the target only once everything was written.
#pragma once

#include <cstddef>
#include <fstream>
#include <limits>
#include <optional>
#include <streambuf>
#include <string>

namespace meridolan {

// Passes bytes on to another buffer until `cap` of them have gone through; every
// write after that fails, as it would on a full disk.
class CappedBuf : public std::streambuf {
 public:
  CappedBuf(std::streambuf* to, std::size_t cap) : to_(to), cap_(cap) {}
  std::size_t count() const { return n_; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override { return to_->pubsync(); }

 private:
  std::streambuf* to_;
  std::size_t cap_;
  std::size_t n_ = 0;
};

class OutputFile {
 public:
  // Creates the temporary file for `path`. A target that exists and is not a regular
  // file (a device such as /dev/null, a pipe) is written in place instead, since
  // renaming over it would replace the device itself. On failure `error()` says why.
  // Writes beyond `max_bytes` fail (the tests' and the fuzz target's full disk).
  explicit OutputFile(const std::string& path,
                      std::size_t max_bytes = std::numeric_limits<std::size_t>::max());
  // Removes the temporary file unless commit() succeeded: an older file of the name
  // stays as it was.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool is_open() const { return file_.is_open(); }
  std::ostream& stream() { return out_; }
  // Bytes written so far (flushed or not).
  std::size_t written() const { return capped_.count(); }

  // Flushes and closes the file and renames it into place; false (with error()) when
  // any write failed, and the temporary file is removed.
  bool commit();
  // Drops what was written: the target stays as it was.
  void discard();

  const std::string& error() const { return error_; }

 private:
  std::string target_;  // where the file ends up (symbolic links followed)
  std::string temp_;    // empty when writing in place
  std::ofstream file_;
  CappedBuf capped_;
  std::ostream out_;
  std::string error_;
  bool done_ = false;
};

// What makes two paths the same file: the device and inode of an existing file, or
// of the directory that would hold a file yet to be created, with its name.
struct FileIdentity {
  unsigned long long dev = 0, ino = 0;
  std::string name;  // empty for an existing file
  bool operator==(const FileIdentity&) const = default;
};

// The identity of `path`; none for an existing file that is not a regular file (a
// device or a pipe, which several outputs may share) or a path that cannot be looked
// at (its own open then says why).
std::optional<FileIdentity> file_identity(const std::string& path);
// The identity of an open descriptor (standard input or output), when it is a
// regular file.
std::optional<FileIdentity> descriptor_identity(int fd);

}  // namespace meridolan
