// Threads: temporary files created at once by several threads, and brackets whose action is
// interrupted by an asynchronous exception.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "FileIOTesting.h"
#include "System/File/OsPath.h"
#include "VUX/Internal/Handle.h"
#include "VUX/Tuple.h"
#include "rts/MVar.h"
#include "rts/Threads.h"
#include "rts/Weak.h"

using namespace file_io_testing;
using namespace VUX::Internal::HandleTypes;
namespace OsPath = System::File::OsPath::Internal;
namespace Handle = VUX::Internal::Handle;

namespace {

TEST(TemporaryFiles, ThreadsDrawDistinctNamesAndNoFileIsClobbered) {
    vux::testing::TempDirectory dir;
    constexpr int kThreads = 8, kFiles = 1000;
    std::vector<std::vector<std::string>> paths(kThreads);
    std::vector<Value> threads;
    int before = openDescriptors();
    for (int t = 0; t < kThreads; ++t)
        threads.push_back(rts::fork_thread([&, t] {
            for (int i = 0; i < kFiles; ++i) {
                Value pair = rts::force(run(OsPath::openBinaryTempFile(osp(dir.path()), osp("t.tmp"))));
                Value h = rts::field(pair, 1);
                std::string content = std::to_string(t) + ":" + std::to_string(i);
                Handle::hPutBuf(h, content.data(), content.size());
                run(Handle::hClose(h));
                paths[t].push_back(System::OsString::toStdString(rts::field(pair, 0)));
            }
        }));
    for (const Value& t : threads) rts::wait_thread(t);
    std::set<std::string> distinct;
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(paths[t].size(), size_t(kFiles));
        for (int i = 0; i < kFiles; ++i) {
            distinct.insert(paths[t][i]);
            EXPECT_EQ(readBytes(paths[t][i]), std::to_string(t) + ":" + std::to_string(i));
        }
    }
    EXPECT_EQ(distinct.size(), size_t(kThreads * kFiles));
    EXPECT_EQ(openDescriptors(), before);
}

TEST(Brackets, AnAsynchronousExceptionDuringTheActionClosesTheHandle) {
    vux::testing::TempDirectory dir;
    std::ofstream(dir / "f") << "x";
    int before = openDescriptors();
    for (Value (*bracket)(Value, Value, Value) : {&OsPath::withFile, &OsPath::withBinaryFile,
                                                  &OsPath::withFile_prime, &OsPath::withBinaryFile_prime}) {
        Value started = rts::newMVar_hash();
        Value never = rts::newMVar_hash();
        Value kept;
        Value action = rts::fun<1>([&, started, never](const Value& h) {
            return VUX::Internal::IO::io([&, started, never, h] {
                kept = h;
                rts::putMVar_hash(started, VUX::Tuple::Unit());
                return rts::takeMVar_hash(never);  // blocks until killed
            });
        });
        Value t = rts::fork_thread([&] { run(bracket(osp(dir / "f"), ReadMode(), action)); });
        rts::takeMVar_hash(started);
        rts::kill_thread(t);
        rts::wait_thread(t);
        ASSERT_TRUE(kept);
        EXPECT_EQ(Handle::handleFd(kept), -1);
    }
    EXPECT_EQ(openDescriptors(), before);
}

}  // namespace
