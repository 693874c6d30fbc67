#include "bounded_command/run.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace bounded_command {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string text(const std::vector<std::uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

std::expected<Finished, Failure> shell(const std::string& script,
                                       std::size_t stdout_limit = 1 << 20,
                                       std::size_t stderr_limit = 1 << 20,
                                       std::chrono::milliseconds time_limit = 20s,
                                       std::span<const std::uint8_t> input = {}) {
  return run_prepared_with_limits(PreparedCommand{"sh", {"-c", script}, {}}, input, stdout_limit,
                                  stderr_limit, time_limit);
}

// The pid is alive (not gone and not a zombie waiting for a parent).
bool process_running(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string content;
  if (!std::getline(stat, content)) return false;
  const auto close = content.rfind(')');
  return close != std::string::npos && content.size() > close + 2 && content[close + 2] != 'Z';
}

TEST(RunTest, FinishedChildGivesStatusAndBothOutputs) {
  const auto result = shell("printf out; printf err >&2; exit 3");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status.code, 3);
  EXPECT_FALSE(result->status.success());
  EXPECT_EQ(text(result->standard_output), "out");
  EXPECT_EQ(text(result->standard_error), "err");

  const auto signalled = shell("kill -TERM $$");
  ASSERT_TRUE(signalled);
  EXPECT_FALSE(signalled->status.code);
  EXPECT_EQ(signalled->status.signal, SIGTERM);
}

TEST(RunTest, ArgumentsReachTheProgramUnchangedWithoutAShell) {
  const auto result = run_prepared_with_limits(
      PreparedCommand{"printf", {"%s|", "a b", "$HOME", "*", ""}, {}}, {}, 1024, 1024, 10s);
  ASSERT_TRUE(result);
  EXPECT_EQ(text(result->standard_output), "a b|$HOME|*||");
}

TEST(RunTest, ExtraEnvironmentIsAddedOrReplaced) {
  const auto result = run_prepared_with_limits(
      PreparedCommand{"sh",
                      {"-c", "printf '%s %s' \"$WENDLOW_TEST_VALUE\" \"$HOME\""},
                      {{"WENDLOW_TEST_VALUE", "42"}, {"HOME", "/nowhere"}}},
      {}, 1024, 1024, 10s);
  ASSERT_TRUE(result);
  EXPECT_EQ(text(result->standard_output), "42 /nowhere");
}

TEST(RunTest, MissingProgramIsToldApartFromOtherStartFailures) {
  const auto missing = run_prepared_with_limits(PreparedCommand{"wendlow-no-such-program", {}, {}},
                                                {}, 1024, 1024, 10s);
  ASSERT_FALSE(missing);
  const auto* io = std::get_if<IoError>(&missing.error());
  ASSERT_NE(io, nullptr);
  EXPECT_TRUE(io->program_not_found());

  const fs::path not_executable =
      fs::temp_directory_path() / ("bounded-command-test-" + std::to_string(::getpid()));
  std::ofstream(not_executable) << "#!/bin/sh\n";
  fs::permissions(not_executable, fs::perms::owner_read | fs::perms::owner_write);
  const auto refused = run_prepared_with_limits(PreparedCommand{not_executable.string(), {}, {}},
                                                {}, 1024, 1024, 10s);
  fs::remove(not_executable);
  ASSERT_FALSE(refused);
  const auto* refused_io = std::get_if<IoError>(&refused.error());
  ASSERT_NE(refused_io, nullptr);
  EXPECT_FALSE(refused_io->program_not_found());
}

TEST(RunTest, OutputLimitsNameTheStream) {
  const auto exact = shell("head -c 4096 /dev/zero", 4096);
  ASSERT_TRUE(exact);
  EXPECT_EQ(exact->standard_output.size(), 4096u);

  const auto over = shell("head -c 4097 /dev/zero", 4096);
  ASSERT_FALSE(over);
  const auto* limit = std::get_if<OutputLimitExceeded>(&over.error());
  ASSERT_NE(limit, nullptr);
  EXPECT_EQ(stream_name(limit->stream), "stdout");

  // A flood that never ends is cut off as well.
  const auto flood = shell("cat /dev/zero >&2", 1024, 1 << 16);
  ASSERT_FALSE(flood);
  const auto* flood_limit = std::get_if<OutputLimitExceeded>(&flood.error());
  ASSERT_NE(flood_limit, nullptr);
  EXPECT_EQ(stream_name(flood_limit->stream), "stderr");
}

TEST(RunTest, AConsumerTakesOutputInPiecesAndEachPieceRestartsTheTimeLimit) {
  // Five pieces, 150 ms apart: longer in all than the time limit, never longer between pieces.
  const std::string script = "for i in 1 2 3 4 5; do printf 'piece%s;' $i; sleep 0.15; done";
  std::vector<std::string> pieces;
  OutputConsumer take_whole_pieces = [&](std::span<const std::uint8_t> available) {
    std::string text(available.begin(), available.end());
    std::size_t taken = 0;
    for (std::size_t end; (end = text.find(';', taken)) != std::string::npos; taken = end + 1) {
      pieces.push_back(text.substr(taken, end - taken));
    }
    return taken;
  };
  auto finished = run_prepared_with_limits(PreparedCommand{"sh", {"-c", script}, {}}, {}, 8, 1024,
                                           std::chrono::milliseconds(400), take_whole_pieces);
  ASSERT_TRUE(finished.has_value());
  EXPECT_EQ(pieces, (std::vector<std::string>{"piece1", "piece2", "piece3", "piece4", "piece5"}));
  EXPECT_TRUE(finished->standard_output.empty());

  // Untaken output still counts against the limit.
  OutputConsumer take_nothing = [](std::span<const std::uint8_t>) { return std::size_t{0}; };
  auto over = run_prepared_with_limits(PreparedCommand{"sh", {"-c", script}, {}}, {}, 8, 1024,
                                       std::chrono::milliseconds(5000), take_nothing);
  ASSERT_FALSE(over.has_value());
  EXPECT_TRUE(std::holds_alternative<OutputLimitExceeded>(over.error()));
}

TEST(RunTest, TimeLimitKillsTheWholeProcessGroup) {
  const fs::path pid_file =
      fs::temp_directory_path() / ("bounded-command-pid-" + std::to_string(::getpid()));
  const auto start = std::chrono::steady_clock::now();
  const auto result =
      shell("sleep 30 & echo $! > " + pid_file.string() + "; wait", 1024, 1024, 300ms);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  ASSERT_FALSE(result);
  EXPECT_TRUE(std::holds_alternative<TimeLimitExceeded>(result.error()));

  pid_t grandchild = 0;
  std::ifstream(pid_file) >> grandchild;
  fs::remove(pid_file);
  ASSERT_GT(grandchild, 0);
  for (int i = 0; i < 100 && process_running(grandchild); ++i) ::usleep(10'000);
  EXPECT_FALSE(process_running(grandchild));
}

TEST(RunTest, LeftoverBackgroundProcessDoesNotHoldTheCallerUp) {
  const auto start = std::chrono::steady_clock::now();
  const auto result = shell("sleep 30 & printf done", 1024, 1024, 20s);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status.code, 0);
  EXPECT_EQ(text(result->standard_output), "done");
}

TEST(RunTest, StandardInputIsFedOrEmpty) {
  std::vector<std::uint8_t> input(1 << 20);
  for (std::size_t i = 0; i < input.size(); ++i) input[i] = static_cast<std::uint8_t>(i % 251);
  const auto echoed = shell("cat", 2 << 20, 1024, 20s, input);
  ASSERT_TRUE(echoed);
  EXPECT_EQ(echoed->standard_output, input);

  // A child that never reads its input must not take the caller down with SIGPIPE.
  const auto ignored = shell("exit 0", 1024, 1024, 20s, input);
  ASSERT_TRUE(ignored);
  EXPECT_EQ(ignored->status.code, 0);

  const auto nothing = shell("wc -c");
  ASSERT_TRUE(nothing);
  EXPECT_EQ(text(nothing->standard_output), "0\n");
}

// With a memory limit the child is started another way; it must behave the same otherwise.
TEST(MemoryLimitTest, AllocationsBeyondTheLimitFailInsideTheChildOnly) {
  const Limits limited{1024, 4096, 20s, std::uint64_t{128} << 20};
  const std::string allocate =
      "import sys\ntry:\n  b = bytearray(1 << 28)\nexcept MemoryError:\n  sys.exit(7)\n";
  const auto refused =
      run_prepared_with_limits(PreparedCommand{"python3", {"-c", allocate}, {}}, {}, limited);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status.code, 7);

  auto unlimited = limited;
  unlimited.address_space_bytes.reset();
  const auto allowed =
      run_prepared_with_limits(PreparedCommand{"python3", {"-c", allocate}, {}}, {}, unlimited);
  ASSERT_TRUE(allowed);
  EXPECT_EQ(allowed->status.code, 0);
}

TEST(MemoryLimitTest, TheLimitedChildGetsItsArgumentsInputGroupAndLimits) {
  const Limits limited{1 << 20, 1024, 20s, std::uint64_t{512} << 20};
  std::vector<std::uint8_t> input(200000, 'x');
  const auto echoed = run_prepared_with_limits(
      PreparedCommand{
          "sh", {"-c", "printf '%s|' \"$1\" \"$W\"; wc -c; ulimit -v", "sh", "a b"}, {{"W", "42"}}},
      input, limited);
  ASSERT_TRUE(echoed);
  EXPECT_EQ(text(echoed->standard_output), "a b|42|200000\n524288\n");

  const auto flood =
      run_prepared_with_limits(PreparedCommand{"sh", {"-c", "cat /dev/zero"}, {}}, {},
                               Limits{4096, 1024, 20s, limited.address_space_bytes});
  ASSERT_FALSE(flood);
  EXPECT_TRUE(std::holds_alternative<OutputLimitExceeded>(flood.error()));

  const auto slow =
      run_prepared_with_limits(PreparedCommand{"sleep", {"30"}, {}}, {},
                               Limits{1024, 1024, 200ms, limited.address_space_bytes});
  ASSERT_FALSE(slow);
  EXPECT_TRUE(std::holds_alternative<TimeLimitExceeded>(slow.error()));
}

TEST(MemoryLimitTest, StartFailuresAreReportedAsWithoutALimit) {
  const Limits limited{1024, 1024, 10s, std::uint64_t{256} << 20};
  const auto missing =
      run_prepared_with_limits(PreparedCommand{"wendlow-no-such-program", {}, {}}, {}, limited);
  ASSERT_FALSE(missing);
  const auto* io = std::get_if<IoError>(&missing.error());
  ASSERT_NE(io, nullptr);
  EXPECT_TRUE(io->program_not_found());

  const auto not_a_program =
      run_prepared_with_limits(PreparedCommand{"/etc/hostname", {}, {}}, {}, limited);
  ASSERT_FALSE(not_a_program);
  const auto* refused = std::get_if<IoError>(&not_a_program.error());
  ASSERT_NE(refused, nullptr);
  EXPECT_FALSE(refused->program_not_found());
}

}  // namespace
}  // namespace bounded_command
