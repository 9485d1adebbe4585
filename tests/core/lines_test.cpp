// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/lines.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <atomic>
#include <chrono>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#endif

#include "data/errors.h"
#include "test_files.h"

namespace mirado {
namespace {

using Lines = std::vector<std::string>;

struct LinesRow
{
    const char *name;
    std::string content;
    Lines want;
};

TEST(SplitLines, Table)
{
    const LinesRow rows[] = {
        {"empty", "", {}},
        {"no final break", "a\r\nb", {"a", "b"}},
        {"final break adds no line", "a\r\nb\r\n", {"a", "b"}},
        {"CR only", "a\rb\r", {"a", "b"}},
        {"LF only", "a\nb\n", {"a", "b"}},
        {"mixed", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"empty lines kept", "a\n\n\nb", {"a", "", "", "b"}},
        {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"single break", "\n", {""}},
        {"two CR LF", "\r\n\r\n", {"", ""}},
        {"NUL ends the text", std::string("a\nb\0c\nd", 7), {"a", "b"}},
        {"NUL first", std::string("\0a", 2), {}},
        {"bytes kept", "\x8F\x97 \t\r\n", {"\x8F\x97 \t"}},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(SplitLines(row.content), row.want) << row.name;
        // The compact lines split the same way and keep every byte.
        const CatalogueLines compact(row.content);
        EXPECT_EQ(compact.size(), row.want.size()) << row.name;
        EXPECT_EQ(compact.toVector(), row.want) << row.name;
    }
}

TEST(CatalogueLines, ViewsEachLineOfItsOneBuffer)
{
    const CatalogueLines lines(std::string("Vega\r\n\n\rDeneb\r\x83\x78\x83\x4B"));
    ASSERT_EQ(lines.size(), 5u);
    const std::string_view want[] = {"Vega", "", "", "Deneb", "\x83\x78\x83\x4B"};
    std::size_t i = 0;
    for (const std::string_view line : lines) {
        EXPECT_EQ(line, want[i]) << "line " << i;
        EXPECT_EQ(lines[i], want[i]) << "line " << i;
        ++i;
    }
    EXPECT_EQ(i, 5u);
    EXPECT_EQ(lines.bytes(), "VegaDeneb\x83\x78\x83\x4B");
    EXPECT_TRUE(CatalogueLines().empty());
    EXPECT_TRUE(CatalogueLines(std::string(1000, '\0')).empty());
}

TEST(ReadLines, SkipsTheByteOrderMarksAtTheStartOnly)
{
    const struct
    {
        const char *name;
        std::string content;
        Lines want;
    } rows[] = {
        {"mark and a line",
         "\xEF\xBB\xBF"
         "139.7\r\n",
         {"139.7"}},
        {"mark alone", "\xEF\xBB\xBF", {}},
        {"mark on the second line kept",
         "a\n\xEF\xBB\xBF"
         "b",
         {"a", "\xEF\xBB\xBF"
               "b"}},
        {"two marks",
         "\xEF\xBB\xBF\xEF\xBB\xBF"
         "a",
         {"a"}},
        {"part of a mark kept",
         "\xEF\xBB"
         "a",
         {"\xEF\xBB"
          "a"}},
    };
    test::TempDir dir;
    for (const auto &row : rows) {
        const std::string path = dir.write("bom.txt", row.content);
        Lines lines;
        ReadLines(path, lines);
        EXPECT_EQ(lines, row.want) << row.name;
        CatalogueLines compact;
        ReadLines(path, compact);
        EXPECT_EQ(compact.toVector(), row.want) << row.name;
        // The file's own bytes are read as they are.
        EXPECT_EQ(ReadFileBytes(path), row.content) << row.name;
    }
}

TEST(ReadLines, ReadsAFileAndReplacesTheTarget)
{
    test::TempDir dir;
    const auto path =
        dir.write("cat.txt", "Vega, 18:36:56, +38:47:01\r\nDeneb, 20:41:26, +45:16:49");
    Lines lines{"old"};
    ReadLines(path, lines);
    EXPECT_EQ(lines, (Lines{"Vega, 18:36:56, +38:47:01", "Deneb, 20:41:26, +45:16:49"}));
}

// The text ends at its first NUL byte; the line it stands in is named when
// anything but NUL bytes follows.
TEST(CatalogueLines, TextEndsAtTheFirstNul)
{
    const struct
    {
        const char *name;
        std::string content;
        std::size_t wantLines, wantNulLine;
    } rows[] = {
        {"at the start of line 3", std::string("a\nb\n\0c\n", 7), 2, 3},
        {"within line 2", std::string("a\nb\0c", 5), 2, 2},
        {"first byte", std::string("\0x", 2), 0, 1},
        {"after CR LF", std::string("a\r\n\0b", 6), 1, 2},
        {"NULs, then a break", std::string("a\0\0\n", 5), 1, 1},
        {"only NULs follow", std::string("a\nb\n\0\0\0", 7), 2, 0},
    };
    for (const auto &row : rows) {
        const CatalogueLines lines(row.content);
        EXPECT_EQ(lines.size(), row.wantLines) << row.name;
        EXPECT_EQ(lines.nulLine(), row.wantNulLine) << row.name;
    }
}

TEST(ReadLines, UnopenableFileRaisesAndKeepsTheTarget)
{
    test::TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string &path :
         {dir.file("missing.txt"), std::string(), dir.file(""), fifo, std::string("/dev/zero")}) {
        Lines lines{"kept"};
        try {
            ReadLines(path, lines);
            ADD_FAILURE() << "want an error for '" << path << "'";
        } catch (const Error &e) {
            EXPECT_EQ(std::string(e.what()), "ファイル " + path + " は開けません");
            EXPECT_EQ(e.argument(), path);
        }
        EXPECT_EQ(lines, Lines{"kept"});
        CatalogueLines compact(std::string("kept"));
        EXPECT_THROW(ReadLines(path, compact), Error) << path;
        EXPECT_EQ(compact.toVector(), Lines{"kept"});
    }
}

#ifndef _WIN32
// A path swapped between a regular file and a FIFO while it is read again and
// again: a reader that checks the path and then opens it meets the FIFO now
// and then and waits for a writer for ever. Each read must end, with the
// file's lines or the error.
TEST(ReadLines, APathSwappedForAFifoNeverBlocks)
{
    using namespace std::chrono_literals;
    test::TempDir dir;
    const std::string path = dir.file("swapped.txt");
    const std::string file = dir.write("file.txt", std::string("Vega, 1:0:0, +1:0:0\n"));
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::atomic<bool> done{false};
        std::thread swapper([&] {
            while (!done) {
                if (link(file.c_str(), (path + ".f").c_str()) == 0)
                    rename((path + ".f").c_str(), path.c_str());
                if (link(fifo.c_str(), (path + ".p").c_str()) == 0)
                    rename((path + ".p").c_str(), path.c_str());
            }
        });
        for (int i = 0; i < 20000; ++i) {
            Lines lines;
            try {
                ReadLines(path, lines);
            } catch (const Error &) {
                // The FIFO, or the moment the name is missing.
            }
        }
        done = true;
        swapper.join();
        _exit(0);
    }

    // Wait for the child; one that hangs in an open fails the test.
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            FAIL() << "a read blocked on the FIFO";
        }
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Standard input is read only to its first NUL byte or one byte past the
// limit, however much the writer would give: each row writes its text into a
// pipe standing in for standard input and counts what the reader took.
TEST(ReadStandardInputLines, StopsAtTheLimitOrTheFirstNul)
{
    constexpr std::size_t kLimit = 3'000'000;
    constexpr std::size_t kReadBuffer = std::size_t{1} << 20;
    std::string text;
    for (int i = 0; i < 400'000; ++i)
        text += "Vega, 18:36:56, +38:47:01\n"; // 26 bytes
    const struct
    {
        const char *name;
        std::string content;
        std::string wantError;
        std::size_t wantLines, wantNulLine, maxConsumed;
    } rows[] = {
        {"no NUL", text, "ファイル - は 3000000 バイトを超えるため読み込めません", 0, 0,
         kLimit + kReadBuffer},
        {"NUL after line 1000", text.substr(0, 26'000) + '\0' + text, "", 1000, 1001,
         26'000 + kReadBuffer},
    };
    for (const auto &row : rows) {
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        const int savedInput = dup(STDIN_FILENO);
        dup2(ends[0], STDIN_FILENO);
        close(ends[0]);
        std::thread writer([&] {
            const std::string &bytes = row.content;
            for (ssize_t at = 0, n; at < ssize_t(bytes.size()); at += n)
                if ((n = write(ends[1], bytes.data() + at, bytes.size() - at)) <= 0)
                    break;
            close(ends[1]);
        });
        CatalogueLines lines;
        std::string error;
        try {
            ReadStandardInputLines("-", lines, kLimit);
        } catch (const Error &e) {
            error = e.what();
        }
        std::size_t left = 0; // what the reader left in the pipe
        char buffer[1 << 16];
        for (ssize_t n; (n = read(STDIN_FILENO, buffer, sizeof buffer)) > 0;)
            left += static_cast<std::size_t>(n);
        writer.join();
        dup2(savedInput, STDIN_FILENO);
        close(savedInput);

        EXPECT_LE(row.content.size() - left, row.maxConsumed) << row.name;
        EXPECT_EQ(error, row.wantError) << row.name;
        EXPECT_EQ(lines.size(), row.wantLines) << row.name;
        EXPECT_EQ(lines.nulLine(), row.wantNulLine) << row.name;
    }
}
#endif

} // namespace
} // namespace mirado
