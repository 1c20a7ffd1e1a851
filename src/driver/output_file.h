// Output files that are either complete or absent: the data go to a temporary file
// beside the target, which replaces the target only once everything was written.
#pragma once

#include <fstream>
#include <optional>
#include <string>

namespace meridolan {

class OutputFile {
 public:
  // Creates the temporary file for `path`. A target that exists and is not a regular
  // file (a device such as /dev/null, a pipe) is written in place instead, since
  // renaming over it would replace the device itself. On failure `error()` says why.
  explicit OutputFile(const std::string& path);
  // Removes the temporary file unless commit() succeeded: an older file of the name
  // stays as it was.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool is_open() const { return file_.is_open(); }
  std::ostream& stream() { return file_; }
  // Bytes written so far (flushed or not).
  long long written() { return file_.is_open() ? static_cast<long long>(file_.tellp()) : 0; }

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
