#include "settings/lineInput.h"

#include <sys/stat.h>

#include <cstring>

namespace kestro {

namespace {

constexpr int carriageReturn = 13;
constexpr int endOfTextMark = 26;  // Ctrl-Z: what follows it is not part of the text

FileIdentity identityOfStat(const struct stat& status) {
    FileIdentity identity;
    identity.known = true;
    identity.device = status.st_dev;
    identity.inode = status.st_ino;
    return identity;
}

// The next character of the text, or -1 at its end or on a read error.
int readTextCharacter(TextInput& input) {
    if (textInputFinished(input)) return -1;
    for (;;) {
        const int c = getc_unlocked(input.file);
        if (c == EOF) {
            if (std::ferror(input.file)) {
                input.readError = true;
            } else {
                input.endOfFile = true;
            }
            return -1;
        }
        if (c == carriageReturn) continue;
        if (c == endOfTextMark) {
            input.endOfFile = true;
            return -1;
        }
        return c;
    }
}

}  // namespace

bool sameFile(const FileIdentity& a, const FileIdentity& b) {
    return a.known && b.known && a.device == b.device && a.inode == b.inode;
}

FileIdentity identityOfPath(const char* path) {
    struct stat status;
    if (stat(path, &status) != 0) return FileIdentity{};
    return identityOfStat(status);
}

bool openTextInput(TextInput& input, const char* path) {
    input = TextInput{};
    input.file = std::fopen(path, "r");
    if (input.file == nullptr) return false;
    struct stat status;
    if (fstat(fileno(input.file), &status) == 0) input.identity = identityOfStat(status);
    return true;
}

bool openRegularTextInput(TextInput& input, const char* path) {
    input = TextInput{};
    struct stat status;
    // Checked before opening, since opening a named pipe may already block.
    if (stat(path, &status) != 0 || !S_ISREG(status.st_mode)) return false;
    if (!openTextInput(input, path)) return false;
    if (fstat(fileno(input.file), &status) != 0 || !S_ISREG(status.st_mode)) {
        closeTextInput(input);
        return false;
    }
    return true;
}

void closeTextInput(TextInput& input) {
    if (input.file != nullptr) std::fclose(input.file);
    input.file = nullptr;
}

int readSettingsLine(char* buffer, int capacity, TextInput& input) {
    if (capacity <= 0) return 0;
    buffer[0] = '\0';
    int count = 0;
    while (count < capacity - 1) {
        const int c = readTextCharacter(input);
        if (c < 0) break;
        buffer[count++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    buffer[count] = '\0';
    int length = static_cast<int>(std::strlen(buffer));
    if (length > 0 && buffer[length - 1] == '\n') buffer[--length] = '\0';
    return length;
}

}  // namespace kestro
