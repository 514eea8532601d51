// Text input as the readers see it: every CR dropped, a Ctrl-Z ends the text, lines end at LF,
// read one line at a time into the shared line buffer.
#pragma once

#include <sys/types.h>

#include <cstdio>

namespace kestro {

// Capacity of the shared input line buffer: a line holds at most 999 characters and its NUL.
constexpr int lineBufferCapacity = 1000;

// The one text buffer into which settings and wind profile lines are read.
struct LineBuffer {
    char text[lineBufferCapacity];
};

// Which file an open stream or a path names (device and inode), so that two paths that reach
// the same file through links or different spellings are recognised as one.
struct FileIdentity {
    bool known = false;
    dev_t device = 0;
    ino_t inode = 0;
};

bool sameFile(const FileIdentity& a, const FileIdentity& b);
// Identity of the file a path names now (following symbolic links); unknown if it does not exist.
FileIdentity identityOfPath(const char* path);

// An input file opened for reading as text.
struct TextInput {
    std::FILE* file = nullptr;
    bool endOfFile = false;  // set once a read has met the end of the text (end of file or Ctrl-Z)
    bool readError = false;  // set once the stream reported an error other than end of file
    FileIdentity identity;   // of the open file
};

// Opens a file for reading as text. False when it cannot be opened; the input is then closed.
bool openTextInput(TextInput& input, const char* path);
// As openTextInput, but only a regular file opens: a device such as /dev/zero or a terminal
// would never end or would wait for a person, and a named pipe without a writer would block.
bool openRegularTextInput(TextInput& input, const char* path);
void closeTextInput(TextInput& input);

// True once reading must stop: the end of the text was reached or the stream failed.
inline bool textInputFinished(const TextInput& input) {
    return input.endOfFile || input.readError;
}

// Reads the next line into `buffer`: at most capacity - 1 characters up to and including the
// next LF, then removes that final LF. Returns the length of the text, which ends at the first
// NUL byte if the line held one (the rest of that piece is read and ignored). A result of 0 is an
// empty line or nothing left to read; the end of file is reported through the input's flags.
int readSettingsLine(char* buffer, int capacity, TextInput& input);

}  // namespace kestro
