// The engine call with stand-in engines: small shell scripts that behave like the real one
// would when it is missing, failing, flooding or slow.
#include "ocr/engine.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "ocr/recognize.hpp"

namespace ocr {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using bounded_command::Failure;
using bounded_command::Finished;

std::vector<std::uint8_t> bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

std::expected<Finished, Failure> exited(int code, std::string_view out, std::string_view err) {
  return Finished{bounded_command::ExitStatus{code, std::nullopt}, bytes(out), bytes(err)};
}

TEST(EngineReportTest, RunOutcomesMapToErrors) {
  const struct {
    Failure failure;
    OcrErrorKind kind;
    std::string message;
  } cases[] = {
      {bounded_command::IoError{ENOENT, "no such file"}, OcrErrorKind::NotInstalled, ""},
      {bounded_command::IoError{EACCES, "permission denied"}, OcrErrorKind::Io,
       "permission denied"},
      {bounded_command::TimeLimitExceeded{}, OcrErrorKind::Failed, "OCR engine timed out"},
      {bounded_command::OutputLimitExceeded{bounded_command::Stream::Stdout}, OcrErrorKind::Failed,
       "OCR output exceeded the safety limit"},
      {bounded_command::OutputLimitExceeded{bounded_command::Stream::Stderr}, OcrErrorKind::Failed,
       "OCR diagnostics exceeded the safety limit"},
      {bounded_command::OtherFailure{"odd"}, OcrErrorKind::Failed, "OCR engine process failed"},
  };
  for (const auto& c : cases) {
    const auto report = engine_report(std::unexpected(c.failure));
    ASSERT_FALSE(report);
    EXPECT_EQ(report.error().kind, c.kind) << c.message;
    EXPECT_EQ(report.error().message, c.message);
  }
}

TEST(EngineReportTest, ExitStatusDecidesBetweenReportAndDiagnostics) {
  EXPECT_EQ(*engine_report(exited(0,
                                  "a\xFF"
                                  "b",
                                  "warning")),
            "a\xEF\xBF\xBD"
            "b");

  // 600 two-byte characters inside white space: the first 500 characters are kept.
  std::string accents;
  for (int i = 0; i < 600; ++i) accents += "\xC3\xA9";
  const auto failed = engine_report(exited(1, "", "\n  " + accents + "  \n"));
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error().kind, OcrErrorKind::Failed);
  EXPECT_EQ(failed.error().message, accents.substr(0, 1000));

  const auto signalled = engine_report(
      Finished{bounded_command::ExitStatus{std::nullopt, 9}, bytes("partial"), bytes("")});
  ASSERT_FALSE(signalled);
  EXPECT_EQ(signalled.error().kind, OcrErrorKind::Failed);
  EXPECT_EQ(signalled.error().message, "");
}

TEST(EngineCommandTest, ArgumentsInTheirOrderAndOneThread) {
  const auto command = engine_command("tesseract", "/tmp/.tmpAbc123.png", "deu");
  EXPECT_EQ(command.program, "tesseract");
  EXPECT_EQ(command.arguments,
            (std::vector<std::string>{"/tmp/.tmpAbc123.png", "stdout", "-l", "deu", "tsv"}));
  ASSERT_EQ(command.extra_environment.size(), 1u);
  EXPECT_EQ(command.extra_environment[0],
            (std::pair<std::string, std::string>{"OMP_THREAD_LIMIT", "1"}));
}

class FakeEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("wendlow-ocr-test-" + std::to_string(::getpid()));
    temp_ = root_ / "temp";
    fs::create_directories(temp_);
  }
  void TearDown() override { fs::remove_all(root_); }

  // An engine script with `body`; "$1" is the image path.
  EngineSetup engine(const std::string& body) {
    const fs::path script = root_ / ("engine-" + std::to_string(scripts_++));
    std::ofstream(script) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(script, fs::perms::owner_all);
    EngineSetup setup;
    setup.program = script.string();
    setup.temp_directory = temp_;
    return setup;
  }

  bool temp_directory_empty() const { return fs::is_empty(temp_); }

  static vesk_image::Image page() {
    return *vesk_image::Image::from_pixels(64, 48, vesk_image::PixelFormat::Rgba8,
                                           std::vector<std::uint8_t>(64 * 48 * 4, 255));
  }

  fs::path root_;
  fs::path temp_;
  int scripts_ = 0;
};

TEST_F(FakeEngineTest, EngineSeesTheCommandLineAndAPngAndItsReportIsParsed) {
  // The engine checks what it was given and answers with rows out of order and garbage.
  const auto result = recognize_text(page(), "eng+deu", engine(R"sh(
[ "$2 $3 $4 $5" = "stdout -l eng+deu tsv" ] || { echo "bad arguments: $*" >&2; exit 2; }
[ "$OMP_THREAD_LIMIT" = 1 ] || { echo "threads not limited" >&2; exit 2; }
case "$(basename "$1")" in .tmp??????.png) ;; *) echo "bad name $1" >&2; exit 2;; esac
[ "$(stat -c %a "$1")" = 600 ] || { echo "bad mode" >&2; exit 2; }
[ "$(head -c 4 "$1" | tail -c 3)" = PNG ] || { echo "not a PNG" >&2; exit 2; }
printf 'level\tpage_num\tblock_num\tpar_num\tline_num\tword_num\tleft\ttop\twidth\theight\tconf\ttext\n'
printf '5\t1\t1\t1\t2\t1\t0\t30\t10\t10\t91\tAgain\n'
printf 'garbage line\n\t\t\n5\t1\t1\t1\t1\t2\t20\t0\t10\t10\t-1\tignored\n'
printf '5\t1\t1\t1\t1\t2\t20\t0\t10\t10\t88\tworld\n'
printf '5\t1\t1\t1\t1\t1\t0\t0\t10\t10\t95.5\tHello\n'
)sh"));
  ASSERT_TRUE(result) << result.error().message;
  ASSERT_EQ(result->words.size(), 3u);
  EXPECT_EQ(result->words[0].text, "Hello");
  EXPECT_EQ(result->words[1].text, "world");
  EXPECT_EQ(result->words[2].text, "Again");
  EXPECT_EQ(result->language, "eng+deu");
  EXPECT_TRUE(temp_directory_empty());
}

TEST_F(FakeEngineTest, MissingEngineIsNotInstalled) {
  EngineSetup setup = engine("");
  setup.program = "wendlow-no-such-ocr-engine";
  const auto result = recognize_text(page(), "eng", setup);
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error().kind, OcrErrorKind::NotInstalled);
  EXPECT_TRUE(temp_directory_empty());
}

TEST_F(FakeEngineTest, FailingEngineKeepsTheStartOfItsTrimmedError) {
  const auto result = recognize_text(
      page(), "eng", engine("printf '  ' >&2; head -c 700 /dev/zero | tr '\\0' 'e' >&2; exit 1"));
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error().kind, OcrErrorKind::Failed);
  EXPECT_EQ(result.error().message, std::string(500, 'e'));
  EXPECT_TRUE(temp_directory_empty());
}

TEST_F(FakeEngineTest, LimitsEndTheEngineAndLeaveNoFile) {
  EngineSetup flood = engine("cat /dev/zero");
  flood.stdout_limit = 1 << 20;
  EXPECT_EQ(recognize_text(page(), "eng", flood).error().message,
            "OCR output exceeded the safety limit");
  EXPECT_TRUE(temp_directory_empty());

  const auto noisy = recognize_text(page(), "eng", engine("head -c 5000 /dev/zero >&2"));
  EXPECT_EQ(noisy.error().message, "OCR diagnostics exceeded the safety limit");
  EXPECT_TRUE(temp_directory_empty());

  EngineSetup slow = engine("sleep 30");
  slow.time_limit = 300ms;
  EXPECT_EQ(recognize_text(page(), "eng", slow).error().message, "OCR engine timed out");
  EXPECT_TRUE(temp_directory_empty());
}

TEST_F(FakeEngineTest, BadInputFailsBeforeAnyFileOrEngine) {
  const EngineSetup setup = engine("touch \"$(dirname \"$1\")/engine-ran\"; exit 1");
  for (std::string_view language : {"-eng", "eng-", "", "e/g"}) {
    EXPECT_EQ(recognize_text(page(), language, setup).error().kind, OcrErrorKind::InvalidLanguage);
  }
  const std::string too_long(65, 'a');
  EXPECT_EQ(recognize_text(page(), too_long, setup).error().kind, OcrErrorKind::InvalidLanguage);
  const auto wide = *vesk_image::Image::from_pixels(10001, 1, vesk_image::PixelFormat::Grey8,
                                                    std::vector<std::uint8_t>(10001));
  EXPECT_EQ(recognize_text(wide, "eng", setup).error().kind, OcrErrorKind::ImageTooLarge);
  const auto big = *vesk_image::Image::from_pixels(8000, 8000, vesk_image::PixelFormat::Grey8,
                                                   std::vector<std::uint8_t>(64'000'000));
  EXPECT_EQ(recognize_text(big, "eng", setup).error().kind, OcrErrorKind::ImageTooLarge);
  EXPECT_TRUE(temp_directory_empty());

  EngineSetup nowhere = setup;
  nowhere.temp_directory = root_ / "missing";
  EXPECT_EQ(recognize_text(page(), "eng", nowhere).error().kind, OcrErrorKind::Io);
}

}  // namespace
}  // namespace ocr
