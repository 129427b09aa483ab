#pragma once

#include <string>

// Replaces the file at path by contents through a temporary file in the same directory, renamed
// over the target only when every byte was written and flushed. A link is followed to the file it
// names; an existing file keeps its permissions. False, with nothing touched, when the file cannot
// be created: the directory is missing or not writable, the target is read-only or no regular file.
// Throws EInOutError when writing fails after that; the target then stays as it was.
bool ReplaceFileContents(const std::string &path, const std::string &contents);
