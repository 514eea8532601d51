// Reading settings text: CR dropped, Ctrl-Z ends the text, LF ends a line, long lines come in
// pieces of 999 characters, a NUL ends a line's text, a read error ends the reading.
#include "settings/lineInput.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/testSupport.h"

namespace kestro {
namespace {

using test::inputFromText;

// Every line that readSettingsLine delivers until the input is finished, empty ones included.
std::vector<std::string> readAllLines(const std::string& text, int capacity = lineBufferCapacity) {
    TextInput input = inputFromText(text);
    std::vector<std::string> lines;
    LineBuffer buffer;
    // Far more reads than any text here needs: a reader that never finishes fails the test.
    for (int guard = 0; guard < 100 && !textInputFinished(input); ++guard) {
        const int length = readSettingsLine(buffer.text, capacity, input);
        EXPECT_EQ(length, static_cast<int>(std::string(buffer.text).size()));
        lines.emplace_back(buffer.text, static_cast<size_t>(length));
    }
    EXPECT_TRUE(textInputFinished(input)) << "the input never reported its end";
    EXPECT_FALSE(input.readError);
    closeTextInput(input);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(ReadSettingsLine, LineEndsCarriageReturnsAndEndOfText) {
    struct Case {
        std::string text;
        Lines want;
        const char* why;
    };
    const Case cases[] = {
        {"a=1\nb=2\n", {"a=1", "b=2", ""}, "LF ends a line; the last read meets the end"},
        {"a=1\r\nb=2\r\n", {"a=1", "b=2", ""}, "CR LF reads as LF"},
        {"a=1\nb=2", {"a=1", "b=2"}, "a last line without LF is delivered"},
        {"ma\rss=\r5\r", {"mass=5"}, "a CR is dropped wherever it stands"},
        {"\r\r\r\n", {"", ""}, "a line of CRs is empty"},
        {"a=1\n\nb=2\n", {"a=1", "", "b=2", ""}, "an empty line has length 0"},
        {"a=1\x1a"
         "b=2\n",
         {"a=1"},
         "Ctrl-Z ends the text inside a line"},
        {"a=1\n\x1a\nb=2\n", {"a=1", ""}, "nothing after Ctrl-Z is read"},
        {"\x1a"
         "a=1\n",
         {""},
         "Ctrl-Z first: no text at all"},
        {"", {""}, "empty file"},
        {std::string("mass=5\0junk\nnext\n", 17),
         {"mass=5", "next", ""},
         "a NUL ends the line's text; the rest of that line is read and dropped"},
        {std::string("\0mass=5\nnext", 12), {"", "next"}, "a NUL first: the line is empty"},
    };
    for (const Case& c : cases) EXPECT_EQ(readAllLines(c.text), c.want) << c.why;
}

TEST(ReadSettingsLine, LongLinesComeInPiecesOf999Characters) {
    const std::string first(999, 'a');
    const std::string second(501, 'b');
    EXPECT_EQ(readAllLines(first + second + "\n"), (Lines{first, second, ""}))
        << "999 + 501 characters are two lines";
    EXPECT_EQ(readAllLines(first + "\n"), (Lines{first, "", ""}))
        << "a line of exactly 999 characters leaves its LF as an empty piece";
    EXPECT_EQ(readAllLines(first.substr(1) + "\n"), (Lines{first.substr(1), ""}))
        << "998 characters and the LF fit in one read";
    EXPECT_EQ(readAllLines(std::string(2500, 'c')),
              (Lines{std::string(999, 'c'), std::string(999, 'c'), std::string(502, 'c')}));

    // Dropped CRs take no room: 600 characters each followed by a CR are one line of 600.
    std::string withCarriageReturns;
    for (int i = 0; i < 600; ++i) withCarriageReturns += "x\r";
    EXPECT_EQ(readAllLines(withCarriageReturns + "\n"), (Lines{std::string(600, 'x'), ""}));

    // The capacity bounds every piece, NUL included.
    EXPECT_EQ(readAllLines("abcdefg\n", 4), (Lines{"abc", "def", "g", ""}));
}

TEST(ReadSettingsLine, ReadErrorEndsTheReading) {
    // On Linux a directory opens for reading, and the first read fails.
    test::TempDir dir;
    TextInput input;
    ASSERT_TRUE(openTextInput(input, dir.path().c_str()));
    LineBuffer buffer;
    EXPECT_EQ(readSettingsLine(buffer.text, lineBufferCapacity, input), 0);
    EXPECT_STREQ(buffer.text, "");
    EXPECT_TRUE(input.readError);
    EXPECT_TRUE(textInputFinished(input));
    EXPECT_EQ(readSettingsLine(buffer.text, lineBufferCapacity, input), 0) << "stays finished";
    closeTextInput(input);
}

TEST(FileIdentity, LinksAndSpellingsOfOneFileAreTheSameFile) {
    test::TempDir dir;
    const std::string file = dir.file("scenario.txt");
    test::writeFile(file, "mass=1\n");
    test::writeFile(dir.file("other.txt"), "mass=1\n");
    ASSERT_EQ(symlink(file.c_str(), dir.file("symlink").c_str()), 0);
    ASSERT_EQ(link(file.c_str(), dir.file("hardlink").c_str()), 0);

    const FileIdentity original = identityOfPath(file.c_str());
    ASSERT_TRUE(original.known);
    EXPECT_TRUE(sameFile(original, identityOfPath(dir.file("symlink").c_str())));
    EXPECT_TRUE(sameFile(original, identityOfPath(dir.file("hardlink").c_str())));
    EXPECT_TRUE(sameFile(original, identityOfPath((dir.path() + "/./scenario.txt").c_str())));
    EXPECT_FALSE(sameFile(original, identityOfPath(dir.file("other.txt").c_str())))
        << "same content, another file";
    const FileIdentity missing = identityOfPath(dir.file("missing").c_str());
    EXPECT_FALSE(missing.known);
    EXPECT_FALSE(sameFile(missing, missing)) << "two unknown identities are not one file";

    TextInput input;
    ASSERT_TRUE(openTextInput(input, dir.file("symlink").c_str()));
    EXPECT_TRUE(sameFile(original, input.identity)) << "an open input knows its file";
    closeTextInput(input);
}

}  // namespace
}  // namespace kestro
