#pragma once

#include <chrono>
#include <filesystem>
#include <functional>

namespace captivo {

// How long a change waits for another process's change of the same file to end. A change
// takes milliseconds; a process that holds the file longer is stuck (stopped, or on a
// network disk that stopped answering), and the change fails rather than hang the program.
inline constexpr std::chrono::milliseconds kLongestWaitForWriters{5000};

// Runs `change`, which reads the file at `path`, changes what it read and replaces the file
// (ReplaceFileAtomically), while no other process of this program changes that file: each
// holds an exclusive flock on "<name>.lock" beside it from its read to its rename, so each
// change starts from the file as the one before left it and none is lost. Readers need no
// lock: a rename replaces the file whole.
//
// The lock file is an empty file of its own, kept (removing it could let two writers lock
// two different files), and the lock goes with its holder's process, however it ends. While
// it is held no other writer is at work, so the temporary files of a replacement whose
// writer was killed are removed before `change` runs.
//
// False, without running `change`, when the lock cannot be had: another process holds it
// for longer than `patience`, or the lock file cannot be made or opened (a folder that
// cannot be written, something that is not a regular file in its place). Otherwise what
// `change` returns.
bool ChangeExclusively(const std::filesystem::path& path, std::chrono::milliseconds patience,
                       const std::function<bool()>& change);

}  // namespace captivo
