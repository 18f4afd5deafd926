// How long a command waits for a ship another process holds: BRELUND_LOCK_WAIT
// seconds, read as a decimal number whatever the locale of the process.
#include "platform/ShipLock.h"
#include "platform/CFileException.h"
#include "support/ByteBuilder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

TEST(CShipLock, WaitIsReadWithADecimalPointUnderACommaLocale) {
    const std::string ship = TestPath("held.nav");
    WriteBytes(ship, std::vector<unsigned char>(12, 0));
    // Held as another process's edit holds it: through an open of its own.
    const int other = ::open(ship.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    ::setenv("BRELUND_LOCK_WAIT", "0.4", 1);
    ASSERT_NE(std::setlocale(LC_ALL, "it_IT.UTF-8"), nullptr)
        << "the it_IT.UTF-8 locale is not installed (scripts/test.sh generates it)";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(CShipLock lock(ship), CFileException);
    const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - start;
    std::setlocale(LC_ALL, "C");
    ::unsetenv("BRELUND_LOCK_WAIT");
    ::close(other);
    EXPECT_GE(waited.count(), 0.35);
}
