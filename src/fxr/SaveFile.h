#pragma once

#include <functional>
#include <string>
#include <string_view>

// Takes a piece of a file's text; throws when it cannot.
using TWriteBlock = std::function<void(std::string_view)>;
// Hands the text of a file, piece by piece, to the function it is given.
using TComposeText = std::function<void(const TWriteBlock &)>;

// Replaces the file at path by contents through a temporary file in the same directory, renamed
// over the target only when every byte was written and flushed. A link is followed to the file it
// names; a link that leads nowhere, or in a circle, is refused with EInOutError. An existing file
// keeps its permissions, owner and group. A file with several names, or one whose owner a new
// file could not have, is rewritten in place after its content was kept aside, and gets it back
// should the write fail. False, with nothing touched, when the file cannot be created: the
// directory is missing or not writable, the target is read-only or no regular file. Throws
// EInOutError when writing fails after that; the target then stays as it was.
bool ReplaceFileContents(const std::string &path, const std::string &contents);
// The same with the text written as compose hands it over, so that it never needs to be held
// whole. What compose throws is passed on, the target then staying as it was. A file rewritten in
// place has its text composed whole first.
bool ReplaceFileContents(const std::string &path, const TComposeText &compose);

// Makes SIGINT, SIGTERM and SIGHUP remove a temporary file that a save is writing before the
// program ends as the signal would end it.
void RemoveTemporaryFilesOnSignals();

class TFixture;
// What a save does to the fixture before writing it: the attributes arranged by their order, and
// the palette colours brought up to date with their cyan, magenta and yellow values.
void PrepareForSaving(TFixture &fixture);
