#pragma once

#include <optional>
#include <string>

namespace captivo {

// File names as the bytes the file system has, so that a name that is not valid UTF-8
// still opens.

// The path without the extension of its file name (from the name's last "." on); a name
// without "." stays whole.
std::string WithoutExtension(const std::string& path);
// The extension of the path's file name, its point included, in ASCII lower case; empty
// when the name has no ".".
std::string LowerCaseExtension(const std::string& path);
// A name given on the command line as an absolute path: a relative name is taken from
// the current folder.
std::string AbsoluteLocalPath(const std::string& name);
// The path names an existing regular file (links followed).
bool IsRegularFile(const std::string& path);
// A path ending in ".idx", ".ifo" or ".sub" (in any case) with both an ".idx" and a
// ".sub" of its name beside it names a VobSub set: its base, the path without the
// extension. Nothing for any other path.
std::optional<std::string> VobSubSetBase(const std::string& path);

}  // namespace captivo
