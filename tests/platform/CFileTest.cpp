#include "support/ByteBuilder.h"

#include "platform/CFile.h"

#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>

namespace {

// The message of the CFileException opening path for reading raises, after
// checking its cause and file name; empty when the file opens.
std::string ReadRefusal(const std::string& path) {
    try {
        CFile file(path, CFile::modeRead);
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::notRegularFile) << e.what();
        EXPECT_EQ(e.m_file_name, path);
        return e.what();
    }
    return "";
}

// Opens path for reading in a child process that an alarm ends after 10 s
// should the opening wait: 0 refused as it should be, 1 opened, 2 another
// exception, -1 the child did not end by itself.
int ReadRefusalInChild(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(10);
        try {
            CFile file(path, CFile::modeRead);
            _exit(1);
        } catch (const CFileException& e) {
            _exit(e.m_cause == CFileException::notRegularFile &&
                          std::string(e.what()).find("a FIFO") != std::string::npos
                      ? 0
                      : 2);
        }
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

std::vector<unsigned char> Pattern(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 131 + i / 251);
    return bytes;
}

} // namespace

TEST(CFile, ReadingRefusesWhatIsNotARegularFileAtOnce) {
    const std::string folder = TestPath("cfile-kinds");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);

    // A FIFO with no writer: opening must neither wait nor succeed.
    const std::string fifo = folder + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(ReadRefusalInChild(fifo), 0);

    EXPECT_NE(ReadRefusal(folder).find("it is a directory, not a regular file"), std::string::npos);

    const std::string sock = folder + "/sock";
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(sock.size(), sizeof addr.sun_path);
    std::strcpy(addr.sun_path, sock.c_str());
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_NE(ReadRefusal(sock).find("it is a socket"), std::string::npos);
    close(s);

    // A file of size 0 that the kernel makes up as it is read.
    EXPECT_NE(ReadRefusal("/proc/self/status").find("cannot be read as a whole"),
              std::string::npos);

    // A file is still read, an empty one too, and a missing one is still
    // not found.
    WriteBytes(folder + "/empty", {});
    EXPECT_EQ(ReadRefusal(folder + "/empty"), "");
    WriteBytes(folder + "/file", {7});
    EXPECT_EQ(ReadRefusal(folder + "/file"), "");
    try {
        CFile missing(folder + "/missing", CFile::modeRead);
        ADD_FAILURE();
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    }

    // A device that never ends, made here with the numbers of the zero device.
    if (geteuid() != 0)
        GTEST_SKIP() << "making a device node needs root";
    const std::string zero = folder + "/zero";
    if (mknod(zero.c_str(), S_IFCHR | 0644, makedev(1, 5)) != 0)
        GTEST_SKIP() << "mknod: " << std::strerror(errno);
    EXPECT_NE(ReadRefusal(zero).find("it is a character device"), std::string::npos);
}

TEST(CFile, BufferedReadingGivesTheBytesWhateverTheOrderOfOperations) {
    const std::string path = TestPath("cfile-buffered.bin");
    const auto bytes = Pattern(300001);
    WriteBytes(path, bytes);
    const auto length = static_cast<std::int64_t>(bytes.size());
    CFile file(path, CFile::modeRead);
    EXPECT_EQ(file.GetLength(), bytes.size());

    // Reads of every size against the buffer's, and seeks within what was
    // read ahead, before it and past it, compared with the bytes themselves.
    const std::size_t sizes[] = {0, 1, 3, 4, 8, 13, 255, 4096, 65535, 65536, 65537, 100000, 400000};
    std::mt19937 random(3);
    std::int64_t pos = 0;
    std::vector<unsigned char> got;
    for (int step = 0; step < 4000; ++step) {
        const unsigned op = random() % 7;
        if (op <= 3) {
            const std::size_t want = sizes[random() % std::size(sizes)];
            got.assign(want, 0);
            const std::size_t n = file.Read(got.data(), want);
            const std::size_t left = pos < length ? static_cast<std::size_t>(length - pos) : 0;
            ASSERT_EQ(n, std::min(want, left)) << step;
            ASSERT_TRUE(std::equal(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(n),
                                   bytes.begin() + std::min(pos, length)))
                << step;
            pos += static_cast<std::int64_t>(n);
        } else if (op == 4) {
            const std::int64_t to = static_cast<std::int64_t>(random() % (bytes.size() + 100));
            ASSERT_EQ(file.Seek(to, CFile::begin), static_cast<std::uint64_t>(to));
            pos = to;
        } else if (op == 5) {
            std::int64_t by = static_cast<std::int64_t>(random() % 140001) - 70000;
            by = std::max(by, -pos);
            ASSERT_EQ(file.Seek(by, CFile::current), static_cast<std::uint64_t>(pos + by));
            pos += by;
        } else {
            const std::int64_t back = static_cast<std::int64_t>(random() % bytes.size());
            ASSERT_EQ(file.Seek(-back, CFile::end), static_cast<std::uint64_t>(length - back));
            pos = length - back;
        }
        ASSERT_EQ(file.GetPosition(), static_cast<std::uint64_t>(pos)) << step;
    }

    // A seek before the start fails and leaves reading where it was.
    file.Seek(1000, CFile::begin);
    unsigned char one = 0;
    ASSERT_EQ(file.Read(&one, 1), 1u);
    EXPECT_THROW(file.Seek(-5000, CFile::current), CFileException);
    EXPECT_THROW(file.Seek(-1, CFile::begin), CFileException);
    EXPECT_EQ(file.GetPosition(), 1001u);
    ASSERT_EQ(file.Read(&one, 1), 1u);
    EXPECT_EQ(one, bytes[1001]);
    // Reopened on another file, nothing of the first is kept.
    const std::string small = TestPath("cfile-small.bin");
    WriteBytes(small, {1, 2, 3});
    file.Open(small, CFile::modeRead);
    got.assign(10, 0);
    EXPECT_EQ(file.Read(got.data(), 10), 3u);
    EXPECT_EQ(got[2], 3);
    EXPECT_EQ(file.GetLength(), 3u);
}

TEST(CFile, BufferedWritingReachesTheFileInOrder) {
    const std::string path = TestPath("cfile-written.bin");
    const auto big = Pattern(100000);
    {
        CFile file(path, CFile::modeWrite | CFile::modeCreate | CFile::modeWriteBuffered);
        file.Write("abc", 3);
        EXPECT_EQ(file.GetPosition(), 3u);
        EXPECT_EQ(file.GetLength(), 3u);
        file.Write(big.data(), big.size()); // larger than the buffer
        file.Write("def", 3);
        file.Seek(1, CFile::begin);
        file.Write("Z", 1);
        EXPECT_EQ(file.GetPosition(), 2u);
        file.Seek(0, CFile::end);
        file.Write("!", 1);
        EXPECT_EQ(file.GetLength(), big.size() + 7);
        file.Close();
    }
    std::vector<unsigned char> expected = {'a', 'Z', 'c'};
    expected.insert(expected.end(), big.begin(), big.end());
    expected.insert(expected.end(), {'d', 'e', 'f', '!'});
    EXPECT_EQ(ReadBytes(path), expected);

    // What was never flushed is dropped with the file.
    {
        CFile file(path, CFile::modeWrite | CFile::modeCreate | CFile::modeWriteBuffered);
        file.Write("lost", 4);
        file.Abort();
    }
    EXPECT_TRUE(ReadBytes(path).empty());
}
