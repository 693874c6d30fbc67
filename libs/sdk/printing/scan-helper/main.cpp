// os-printing-scan-helper: the one process that talks to SANE for the printing service.
// SANE's initialisation is not reentrant and scanner backends may crash or hang, so every
// listing and every scan runs here, started and bounded by the service.
//
//   os-printing-scan-helper list
//       one scanner per line: "<device name>\t<vendor> <model>", then the line "end"
//   os-printing-scan-helper scan DEVICE RESOLUTION COLOR SOURCE
//       COLOR 0 colour, 1 grey, 2 text (line art); SOURCE 0 flatbed, 1 feeder, 2 two-sided
//       writes the page as PNG to stdout
//   os-printing-scan-helper scan-stack DEVICE RESOLUTION COLOR SOURCE
//       scans sheet after sheet until the feeder is empty, writing each as it is done: the
//       record 'S' when the scanner has taken a sheet in, then 'P', the PNG's length (eight
//       bytes, big-endian) and the PNG. A fault after some sheets ends with the error.
// Errors go to stderr as one line starting "scan-helper: " (backends and sanitizers may
// write lines of their own around it); the exit status is then 1 (2 for bad arguments).
// The service judges the answer, not the exit status alone: a list is complete with its
// end line, a page with the PNG's end chunk.
#include <sane/sane.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <expected>
#include <filesystem>
#include <string>
#include <vector>

#include "sane_options.hpp"
#include "sanitizer_support.hpp"
#include "scan_frames.hpp"

namespace {

constexpr const char* kHelperErrorPrefix = "scan-helper: ";

using namespace os_actions::printing::detail;

// The exit status once the answer is out; closing a backend must not keep it waiting.
volatile sig_atomic_t answered_status = 0;

void end_after_answer(int) {
  _exit(answered_status);
}

int fail(const std::string& message) {
  std::fprintf(stderr, "%s%s\n", kHelperErrorPrefix, message.c_str());
  std::fflush(stderr);
  answered_status = 1;
  return 1;
}

// Linux's default pipe capacity: a backend's reader can have written this much ahead.
constexpr std::size_t kPipeBytes = 64 * 1024;

// The threads of this process, read from /proc (0 when it cannot be read).
std::size_t thread_count() {
  std::error_code error;
  std::size_t count = 0;
  for (std::filesystem::directory_iterator it("/proc/self/task", error), end; !error && it != end;
       it.increment(error)) {
    ++count;
  }
  return count;
}

// Closes the device and SANE on every way out. Some backends hang while cancelling after a
// fault (SANE's test backend can deadlock joining its reader thread), so closing gets a few
// seconds; by then the answer is already written and the process ends with its status.
struct SaneSession {
  SANE_Handle handle = nullptr;
  std::size_t own_threads = thread_count();  // before any backend starts one
  SaneSession() { sane_init(nullptr, nullptr); }

  // Threaded backends (SANE's test backend among them) cancel their reader thread with an
  // asynchronous cancel in the read that takes a frame's last bytes, and a cancel that lands
  // while the thread is ending, inside free(), deadlocks its exit and the join with it. Once
  // the rest of a frame fits in the reader's pipe the reader may have written it all and be
  // ending, so the helper lets it end (waiting at most 100 ms, once per frame) before
  // reading on.
  void let_readers_end() const {
    for (int i = 0; i < 100 && thread_count() > own_threads; ++i) usleep(1000);
  }
  ~SaneSession() {
    std::signal(SIGALRM, end_after_answer);
    alarm(3);
    if (handle) {
      sane_cancel(handle);
      sane_close(handle);
    }
    keep_libraries_mapped_for_leak_check();
    sane_exit();
    alarm(0);
  }
};

int list_scanners() {
  SaneSession session;
  const SANE_Device** devices = nullptr;
  const auto status = sane_get_devices(&devices, SANE_FALSE);
  if (status != SANE_STATUS_GOOD)
    return fail(std::string("listing scanners failed: ") + sane_strstatus(status));
  for (int i = 0; devices && devices[i]; ++i) {
    std::string name = std::string(devices[i]->vendor ? devices[i]->vendor : "") + " " +
                       (devices[i]->model ? devices[i]->model : "");
    for (auto& c : name) {
      if (c == '\t' || c == '\n') c = ' ';
    }
    std::printf("%s\t%s\n", devices[i]->name, name.c_str());
  }
  std::printf("end\n");
  std::fflush(stdout);
  return 0;
}

FrameKind frame_kind(SANE_Frame frame) {
  switch (frame) {
    case SANE_FRAME_RGB:
      return FrameKind::Rgb;
    case SANE_FRAME_RED:
      return FrameKind::Red;
    case SANE_FRAME_GREEN:
      return FrameKind::Green;
    case SANE_FRAME_BLUE:
      return FrameKind::Blue;
    default:
      return FrameKind::Gray;
  }
}

bool write_all(const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto written = ::write(1, bytes.data() + done, bytes.size() - done);
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// Reads the frames of one sheet; its first sane_start has already succeeded.
std::expected<std::vector<std::uint8_t>, std::string> read_sheet(const SaneSession& session) {
  SANE_Handle handle = session.handle;
  std::vector<ScanFrame> frames;
  std::vector<std::uint8_t> buffer(256 * 1024);
  for (bool started = true;; started = false) {
    SANE_Status status = SANE_STATUS_GOOD;
    if (!started) {
      status = sane_start(handle);
      if (status != SANE_STATUS_GOOD)
        return std::unexpected(std::string("scan failed: ") + sane_strstatus(status));
    }
    SANE_Parameters parameters;
    status = sane_get_parameters(handle, &parameters);
    if (status != SANE_STATUS_GOOD)
      return std::unexpected(std::string("scan failed: ") + sane_strstatus(status));
    ScanFrame frame;
    frame.kind = frame_kind(parameters.format);
    frame.depth = parameters.depth;
    frame.pixels_per_line = parameters.pixels_per_line;
    frame.bytes_per_line = parameters.bytes_per_line;
    frame.lines = parameters.lines;
    const auto frame_bytes = parameters.lines > 0 && parameters.bytes_per_line > 0
                                 ? static_cast<std::size_t>(parameters.lines) *
                                       static_cast<std::size_t>(parameters.bytes_per_line)
                                 : std::size_t{0};
    bool reader_ended = false;
    while (true) {
      // All that is left of the frame fits in the reader's pipe: the reader may be done.
      if (!reader_ended && frame_bytes > 0 &&
          frame_bytes - std::min(frame.data.size(), frame_bytes) <= kPipeBytes) {
        session.let_readers_end();
        reader_ended = true;
      }
      SANE_Int length = 0;
      status = sane_read(handle, buffer.data(), static_cast<SANE_Int>(buffer.size()), &length);
      if (status == SANE_STATUS_EOF) break;
      if (status != SANE_STATUS_GOOD)
        return std::unexpected(std::string("scan failed: ") + sane_strstatus(status));
      frame.data.insert(frame.data.end(), buffer.begin(), buffer.begin() + length);
    }
    frames.push_back(std::move(frame));
    if (parameters.last_frame) break;
    if (frames.size() >= 3) return std::unexpected(std::string("scan failed: too many frames"));
  }
  auto image = assemble_frames(frames);
  if (!image) return std::unexpected("scanner returned an unusable image: " + image.error());
  return encode_png(*image);
}

int open_device(SaneSession& session, const std::string& device, int resolution, int color,
                int source) {
  auto status = sane_open(device.c_str(), &session.handle);
  if (status != SANE_STATUS_GOOD) {
    session.handle = nullptr;
    return fail("could not open scanner " + device + ": " + sane_strstatus(status));
  }
  if (auto applied = apply_scan_options(session.handle, resolution, color, source); !applied) {
    return fail(applied.error());
  }
  return 0;
}

int scan(const std::string& device, int resolution, int color, int source) {
  SaneSession session;
  if (int failed = open_device(session, device, resolution, color, source)) return failed;
  const auto status = sane_start(session.handle);
  if (status != SANE_STATUS_GOOD)
    return fail(std::string("scan failed: ") + sane_strstatus(status));
  auto png = read_sheet(session);
  if (!png) return fail(png.error());
  return write_all(*png) ? 0 : fail("could not write the image");
}

// More sheets than any feeder holds: a device that never reports an empty feeder stops here.
constexpr int kMostSheets = 500;

int scan_stack(const std::string& device, int resolution, int color, int source) {
  SaneSession session;
  if (int failed = open_device(session, device, resolution, color, source)) return failed;
  // The flatbed never runs empty: it gives one sheet.
  const int sheets = source == 0 ? 1 : kMostSheets;
  for (int sheet = 0; sheet < sheets; ++sheet) {
    const auto status = sane_start(session.handle);
    // An empty feeder after the first sheet is the end of the stack.
    if (status == SANE_STATUS_NO_DOCS && sheet > 0) return 0;
    if (status != SANE_STATUS_GOOD)
      return fail(std::string("scan failed: ") + sane_strstatus(status));
    if (!write_all({kSheetStartedRecord})) return fail("could not write the image");
    auto png = read_sheet(session);
    if (!png) return fail(png.error());
    if (!write_all(page_record_head(png->size())) || !write_all(*png)) {
      return fail("could not write the image");
    }
  }
  return 0;
}

bool parse_int(const char* text, int& value) {
  const auto* end = text + std::strlen(text);
  auto [ptr, ec] = std::from_chars(text, end, value);
  return ec == std::errc() && ptr == end;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "list") == 0) return list_scanners();
  int resolution = 0, color = 0, source = 0;
  const bool one = argc == 6 && std::strcmp(argv[1], "scan") == 0;
  const bool stack = argc == 6 && std::strcmp(argv[1], "scan-stack") == 0;
  if ((one || stack) && parse_int(argv[3], resolution) && parse_int(argv[4], color) &&
      parse_int(argv[5], source) && resolution > 0) {
    return one ? scan(argv[2], resolution, color, source)
               : scan_stack(argv[2], resolution, color, source);
  }
  std::fprintf(stderr, "usage: %s list | scan|scan-stack DEVICE RESOLUTION COLOR SOURCE\n",
               argv[0]);
  return 2;
}
