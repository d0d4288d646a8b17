#include "vserial/com_driver.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace orv {
namespace {

// Each test starts from a freshly initialised driver with both sides closed.
class ComDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    COM_Close(kComReaderContext);
    COM_Close(kComWriterContext);
    ASSERT_EQ(COM_Init(nullptr), kComDeviceContext);
  }
  void TearDown() override {
    COM_Close(kComReaderContext);
    COM_Close(kComWriterContext);
    COM_Deinit(kComDeviceContext);
  }

  static std::uint32_t OpenWriter() { return COM_Open(kComDeviceContext, O_WRONLY, 0); }
  static std::uint32_t OpenReader() { return COM_Open(kComDeviceContext, O_RDONLY, 0); }

  static void Write(const std::string& bytes) {
    ASSERT_EQ(COM_Write(kComWriterContext, bytes.data(), bytes.size()),
              static_cast<ssize_t>(bytes.size()));
  }
  static std::string Read(std::size_t size) {
    std::string buffer(size, '\0');
    const ssize_t n = COM_Read(kComReaderContext, buffer.data(), size);
    EXPECT_GE(n, 0);
    buffer.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return buffer;
  }
};

struct ReadCase {
  const char* legend;
  std::vector<std::string> writes;
  std::vector<std::size_t> readSizes;
  std::vector<std::string> expected;  // one per read
};

TEST_F(ComDriver, ReadsDeliverWritesInOrderAcrossBlockBoundaries) {
  const ReadCase cases[] = {
      {"empty queue reads nothing at once", {}, {10}, {""}},
      {"a read may end inside one write and the next starts there",
       {"ABCDEF", "GHI"},
       {4, 10, 10},
       {"ABCD", "EFGHI", ""}},
      {"an exact read frees the block", {"abc"}, {3, 3}, {"abc", ""}},
      {"one read spans three writes", {"ab", "cd", "ef"}, {5, 5}, {"abcde", "f"}},
      {"a zero-byte write leaves no block behind", {"", "xy", ""}, {1, 5}, {"x", "y"}},
      {"a read of size 0 takes nothing", {"hello"}, {0, 5}, {"", "hello"}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.legend);
    SetUp();
    ASSERT_EQ(OpenReader(), kComReaderContext);
    ASSERT_EQ(OpenWriter(), kComWriterContext);
    for (const std::string& w : c.writes) Write(w);
    for (std::size_t i = 0; i < c.readSizes.size(); ++i) {
      EXPECT_EQ(Read(c.readSizes[i]), c.expected[i]) << "read " << i;
    }
    EXPECT_EQ(ComQueuedBytes(), 0u);
    EXPECT_EQ(ComQueuedBlocks(), 0u);
    TearDown();
  }
}

struct OpenCase {
  const char* legend;
  std::uint32_t access;
  std::uint32_t share;
  std::uint32_t expected;
};

TEST_F(ComDriver, OnlyExclusiveWriteOnlyOpensTheWriter) {
  const OpenCase cases[] = {
      {"write only, no sharing", O_WRONLY, 0, kComWriterContext},
      {"write only, shared for reading", O_WRONLY, kComShareRead, kComReaderContext},
      {"write only, shared for writing", O_WRONLY, kComShareWrite, kComReaderContext},
      {"read and write", O_RDWR, 0, kComReaderContext},
      {"read only", O_RDONLY, 0, kComReaderContext},
      {"read only, shared", O_RDONLY, kComShareRead | kComShareWrite, kComReaderContext},
  };
  for (const OpenCase& c : cases) {
    SCOPED_TRACE(c.legend);
    SetUp();
    EXPECT_EQ(COM_Open(kComDeviceContext, c.access, c.share), c.expected);
    // The same side again is refused, whatever way it is asked for.
    EXPECT_EQ(COM_Open(kComDeviceContext, c.access, c.share), 0u);
    TearDown();
  }
}

TEST_F(ComDriver, WrongContextsFailWithoutChangingAnything) {
  ASSERT_EQ(OpenReader(), kComReaderContext);
  ASSERT_EQ(OpenWriter(), kComWriterContext);
  Write("kept");
  const std::uint32_t foreign = 0x12345678u;
  char buffer[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
  std::size_t returned = 99;

  EXPECT_EQ(COM_Open(foreign, O_WRONLY, 0), 0u);
  EXPECT_EQ(COM_Deinit(foreign), 0);
  EXPECT_EQ(COM_Close(foreign), 0);
  EXPECT_EQ(COM_Close(kComDeviceContext), 0);
  EXPECT_EQ(COM_Read(kComWriterContext, buffer, sizeof buffer), -1);
  EXPECT_EQ(COM_Read(foreign, buffer, sizeof buffer), -1);
  EXPECT_EQ(COM_Write(kComReaderContext, "no", 2), -1);
  EXPECT_EQ(COM_Write(foreign, "no", 2), -1);
  EXPECT_EQ(COM_Seek(foreign, 10, 0), -1);
  EXPECT_EQ(COM_IOControl(foreign, 1, nullptr, 0, buffer, sizeof buffer, &returned), 0);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_EQ(returned, 99u);

  EXPECT_EQ(ComQueuedBytes(), 4u);
  EXPECT_EQ(Read(10), "kept");
}

TEST_F(ComDriver, ControlRequestsAndSeeksSucceedOnEitherSide) {
  for (const std::uint32_t context : {kComReaderContext, kComWriterContext}) {
    SCOPED_TRACE(context);
    SetUp();
    ASSERT_EQ(COM_Open(kComDeviceContext, context == kComWriterContext ? O_WRONLY : O_RDWR, 0),
              context);
    for (const std::uint32_t code : {0u, 0x001B0004u, 0xFFFFFFFFu}) {
      unsigned char out[16];
      std::fill(std::begin(out), std::end(out), 0xAB);
      std::size_t returned = 99;
      const unsigned char in[4] = {1, 2, 3, 4};
      EXPECT_EQ(COM_IOControl(context, code, in, sizeof in, out, sizeof out, &returned), 1);
      EXPECT_EQ(returned, 0u);
      for (unsigned char b : out) EXPECT_EQ(b, 0);
    }
    // Callers that pass no output at all are answered the same way.
    EXPECT_EQ(COM_IOControl(context, 7, nullptr, 0, nullptr, 16, nullptr), 1);
    EXPECT_EQ(COM_Seek(context, 100, 1), 0);
    COM_PowerDown(kComDeviceContext);
    COM_PowerUp(kComDeviceContext);
    TearDown();
  }
}

TEST_F(ComDriver, EveryOpenAndCloseOfEitherSideEmptiesTheQueue) {
  struct ClearCase {
    const char* legend;
    bool readerOpenBefore;
    void (*event)();
  };
  const ClearCase cases[] = {
      {"reader opens", false, [] { EXPECT_EQ(OpenReader(), kComReaderContext); }},
      {"reader closes", true, [] { EXPECT_EQ(COM_Close(kComReaderContext), 1); }},
      {"writer closes", true, [] { EXPECT_EQ(COM_Close(kComWriterContext), 1); }},
      {"device is deinitialised", true, [] { EXPECT_EQ(COM_Deinit(kComDeviceContext), 1); }},
  };
  for (const ClearCase& c : cases) {
    SCOPED_TRACE(c.legend);
    SetUp();
    ASSERT_EQ(OpenWriter(), kComWriterContext);
    if (c.readerOpenBefore) {
      ASSERT_EQ(OpenReader(), kComReaderContext);
    }
    Write("$GPGGA,1*00\r\n");
    Write("$GPRMC,2*00\r\n");
    if (c.readerOpenBefore) {
      EXPECT_EQ(Read(3), "$GP");
    }
    c.event();
    EXPECT_EQ(ComQueuedBytes(), 0u);
    EXPECT_EQ(ComQueuedBlocks(), 0u);
    // What comes after the event is read from its first byte.
    COM_Open(kComDeviceContext, O_WRONLY, 0);
    OpenReader();
    Write("next");
    EXPECT_EQ(Read(10), "next");
    TearDown();
  }
}

TEST_F(ComDriver, WithNobodyReadingTheOldestWholeWritesAreDropped) {
  ASSERT_EQ(OpenWriter(), kComWriterContext);
  ASSERT_EQ(OpenReader(), kComReaderContext);
  constexpr std::size_t kBlock = 1000;
  Write(std::string(kBlock, '#'));
  EXPECT_EQ(Read(10), std::string(10, '#'));  // the front block is half read
  constexpr int kWrites = 3000;               // about three times the bound
  for (int i = 0; i < kWrites; ++i) {
    std::string block = std::to_string(i);
    block.resize(kBlock, '.');
    Write(block);
  }
  EXPECT_LE(ComQueuedBytes(), kComQueueByteLimit);
  EXPECT_GT(ComQueuedBytes(), kComQueueByteLimit - kBlock);
  const std::size_t kept = ComQueuedBlocks();
  // The next read starts at the beginning of the oldest kept write.
  std::string first = Read(kBlock);
  first.resize(first.find('.'));
  EXPECT_EQ(first, std::to_string(kWrites - static_cast<int>(kept)));

  // A single write larger than the bound is still delivered whole.
  const std::string huge(kComQueueByteLimit + 10, 'h');
  Write(huge);
  EXPECT_EQ(ComQueuedBlocks(), 1u);
  EXPECT_EQ(Read(huge.size() + 1), huge);
}

TEST_F(ComDriver, ConcurrentWriterAndReaderLoseAndReorderNothing) {
  ASSERT_EQ(OpenWriter(), kComWriterContext);
  ASSERT_EQ(OpenReader(), kComReaderContext);
  // Small enough that the bound never drops anything.
  constexpr int kWrites = 20000;
  std::string expected;
  for (int i = 0; i < kWrites; ++i) expected += std::to_string(i) + ",";
  std::thread writer([] {
    for (int i = 0; i < kWrites; ++i) {
      const std::string block = std::to_string(i) + ",";
      COM_Write(kComWriterContext, block.data(), block.size());
    }
  });
  std::string received;
  char buffer[7];  // odd size: reads end inside writes
  while (received.size() < expected.size()) {
    const ssize_t n = COM_Read(kComReaderContext, buffer, sizeof buffer);
    ASSERT_GE(n, 0);
    received.append(buffer, static_cast<std::size_t>(n));
    if (n == 0) std::this_thread::yield();
  }
  writer.join();
  EXPECT_EQ(received, expected);
}

// The shared library is what other processes load: it must offer exactly
// the entry points, each working on the library's own driver instance.
TEST(ComDriverLibrary, ExportsTheEntryPointsAndNothingElse) {
  void* library = dlopen(ORV_VSERIAL_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const char* name :
       {"COM_Init", "COM_Deinit", "COM_Open", "COM_Close", "COM_Read", "COM_Write", "COM_Seek",
        "COM_IOControl", "COM_PowerUp", "COM_PowerDown"}) {
    EXPECT_NE(dlsym(library, name), nullptr) << name;
  }
  EXPECT_EQ(dlsym(library, "_ZN3orv14ComQueuedBytesEv"), nullptr);

  auto init = reinterpret_cast<decltype(&COM_Init)>(dlsym(library, "COM_Init"));
  auto open = reinterpret_cast<decltype(&COM_Open)>(dlsym(library, "COM_Open"));
  auto write = reinterpret_cast<decltype(&COM_Write)>(dlsym(library, "COM_Write"));
  auto read = reinterpret_cast<decltype(&COM_Read)>(dlsym(library, "COM_Read"));
  ASSERT_TRUE(init && open && write && read);
  ASSERT_EQ(init(nullptr), kComDeviceContext);
  ASSERT_EQ(open(kComDeviceContext, O_RDONLY, 0), kComReaderContext);
  ASSERT_EQ(open(kComDeviceContext, O_WRONLY, 0), kComWriterContext);
  EXPECT_EQ(write(kComWriterContext, "$GPGLL", 6), 6);
  char buffer[16];
  EXPECT_EQ(read(kComReaderContext, buffer, sizeof buffer), 6);
  dlclose(library);
}

}  // namespace
}  // namespace orv
