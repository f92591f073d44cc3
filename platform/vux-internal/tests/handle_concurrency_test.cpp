// Handles used from several threads: a FIFO read to its end while a writer pauses, a read blocked
// on an empty FIFO interrupted by killThread, and lines written by several threads at once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "Testing.h"
#include "VUX/Internal/Encoding.h"
#include "VUX/Internal/Handle.h"
#include "VUX/Internal/IO.h"
#include "rts/Threads.h"

using namespace VUX::Internal;
using namespace VUX::Internal::HandleTypes;
using rts::Value;
using vux::testing::str;
using vux::testing::to_string;

namespace {

Value run(const Value& action) { return IO::runIO(action); }

class HandleThreads : public ::testing::Test {
  protected:
    // A FIFO opened for reading through a handle (non-blocking), and its writing end.
    std::pair<Value, int> fifo() {
        std::string path = (temp / "fifo");
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        Value reader = run(Handle::openBinaryFile(str(path), ReadMode()));
        int writer = ::open(path.c_str(), O_WRONLY);
        EXPECT_GE(writer, 0);
        return {reader, writer};
    }
    vux::testing::TempDirectory temp;
};

void writeAll(int fd, const std::string& s) {
    size_t done = 0;
    while (done < s.size()) {
        ssize_t k = ::write(fd, s.data() + done, s.size() - done);
        ASSERT_GT(k, 0);
        done += static_cast<size_t>(k);
    }
}

TEST_F(HandleThreads, FifoIsReadToItsEnd) {
    auto [reader, writer] = fifo();
    std::string expected;
    for (int i = 0; i < 200; ++i) expected += "piece " + std::to_string(i) + "\n";
    std::thread producer([fd = writer, expected] {
        // Pauses between pieces, so the reader finds the FIFO empty and must wait.
        for (size_t at = 0; at < expected.size(); at += 500) {
            writeAll(fd, expected.substr(at, 500));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ::close(fd);
    });
    std::string line = to_string(run(Handle::hGetLine(reader)));
    std::string rest = to_string(run(Handle::hGetContents_prime(reader)));
    producer.join();
    EXPECT_EQ(line + "\n" + rest, expected);
}

TEST_F(HandleThreads, BlockedReadIsInterruptedAndLeavesTheHandleUsable) {
    auto [reader, writer] = fifo();
    Value h = reader;
    Value t = rts::fork_thread([h] { run(Handle::hGetLine(h)); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(rts::thread_status(t), rts::ThreadStatus::Blocked);
    rts::kill_thread(t);
    rts::wait_thread(t);
    writeAll(writer, "after\n");
    EXPECT_EQ(to_string(run(Handle::hGetLine(reader))), "after");
    ::close(writer);
    run(Handle::hClose(reader));
}

TEST_F(HandleThreads, ConcurrentLinesDoNotInterleave) {
    std::string path = (temp / "lines.txt");
    Value h = run(Handle::openFile(str(path), WriteMode()));
    run(Handle::hSetEncoding(h, Encoding::utf8()));
    constexpr int kThreads = 4, kLines = 500;
    std::vector<Value> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.push_back(rts::fork_thread([h, t] {
            for (int i = 0; i < kLines; ++i)
                run(Handle::hPutStr(
                    h, str("thread " + std::to_string(t) + " line " + std::to_string(i) + "\n")));
        }));
    for (const Value& t : threads) rts::wait_thread(t);
    run(Handle::hClose(h));
    Value r = run(Handle::openFile(str(path), ReadMode()));
    std::istringstream in(to_string(run(Handle::hGetContents_prime(r))));
    std::map<int, int> next;
    std::string line;
    int count = 0;
    while (std::getline(in, line)) {
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "thread %d line %d", &t, &i), 2) << line;
        EXPECT_EQ(i, next[t]++) << line;  // each thread's lines in its order, none torn
        ++count;
    }
    EXPECT_EQ(count, kThreads * kLines);
}

}  // namespace
