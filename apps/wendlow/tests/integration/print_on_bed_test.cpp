// Printing from the application state against the private print service: a document picked
// in the picker, previewed, printed with the chosen copies and sides, and the job's
// attributes read back from the scheduler.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "bed.hpp"
#include "os_actions/printing/printing.hpp"
#include "surface.hpp"
#include "test_support.hpp"
#include "vesk_image/encode.hpp"

namespace wendlow {
namespace {

namespace bed = os_actions::printing::bed;
namespace portal = vesk_ui::portal;
using namespace std::chrono_literals;

// Answers each picker request with the next of its paths.
struct ScriptedPicker : portal::PickerBackend {
  void pick(const portal::PickRequest&, vesk_os::OneshotSender<portal::PickResult> reply) override {
    std::lock_guard lock(mutex);
    std::move(reply).send(portal::PickResult{portal::Chosen{paths.front()}});
    paths.pop_front();
  }
  std::mutex mutex;
  std::deque<std::filesystem::path> paths;
};

bool run_until(surface::Wendlow& state, const std::function<bool()>& done,
               std::chrono::milliseconds timeout = 30s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (!surface::update(state)) std::this_thread::sleep_for(5ms);
  }
  return true;
}

struct Case {
  std::string file_name;
  double typed_copies;
  bool two_sided;
  std::string copies;  // as the scheduler keeps it
  std::string sides;
};

// job-name → "copies,sides" of every job the scheduler keeps for Test_printer.
std::map<std::string, std::string> scheduler_jobs(const std::filesystem::path& query) {
  std::map<std::string, std::string> jobs;
  std::istringstream lines(bed::shell("ipptool -c \"ipp://$TB_CUPS_TCP/printers/Test_printer\" '" +
                                      query.string() + "' 2>/dev/null"));
  std::string line;
  std::getline(lines, line);  // header
  while (std::getline(lines, line)) {
    // job-id,job-name,copies,sides; the names used here hold no comma.
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    if (fields.size() == 4) jobs[fields[1]] = fields[2] + "," + fields[3];
  }
  return jobs;
}

TEST(PrintOnBed, APdfAPngAndATextFileReachThePrinterWithTheirCopiesAndSides) {
  REQUIRE_BED();
  bed::reset();
  os_actions::printing::install_backend(os_actions::printing::make_system_backend());

  const auto folder = bed::dir() / "files" / "wendlow-print";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(bed::sample_pdf(), folder / "Travel itinerary.pdf",
                             std::filesystem::copy_options::overwrite_existing);
  std::vector<std::uint8_t> pixels(64 * 48 * 3);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7);
  ASSERT_TRUE(vesk_image::save(
      *vesk_image::Image::from_pixels(64, 48, vesk_image::PixelFormat::Rgb8, std::move(pixels)),
      folder / "Boarding pass.png"));
  std::ofstream(folder / "Packing list.txt") << "Passport\nCharger\nRain jacket\n";

  const std::vector<Case> cases = {
      {"Travel itinerary.pdf", 2, false, "2", "one-sided"},
      {"Boarding pass.png", 1, true, "1", "two-sided-long-edge"},
      {"Packing list.txt", 2.6, true, "3", "two-sided-long-edge"},
  };
  auto picker = std::make_shared<ScriptedPicker>();
  for (const auto& c : cases) picker->paths.push_back(folder / c.file_name);
  vesk_ui::portal::ScopedPicker<ScriptedPicker> installed(picker);

  surface::Wendlow state = surface::Wendlow::new_live();
  ASSERT_TRUE(run_until(state, [&] { return state.snapshot.has_value(); }));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file_name);
    surface::apply_operation(state, op::ChooseDocument{});
    ASSERT_TRUE(run_until(state, [&] {
      return state.document && !std::holds_alternative<preview::Preparing>(state.preview);
    }));
    EXPECT_TRUE(std::holds_alternative<preview::Ready>(state.preview)) << "a preview was made";
    EXPECT_TRUE(testing::shows_text(state, "Preview of " + c.file_name));
    state.copies.set(c.typed_copies);
    state.two_sided.set(c.two_sided);
    surface::apply_operation(state, op::ChoosePrintPrinter{"Test_printer"});
    state.notice.reset();
    surface::apply_operation(state, op::SubmitPrint{});
    ASSERT_TRUE(run_until(state, [&] { return state.notice.has_value(); }));
    EXPECT_EQ(state.notice->title, "Document sent to printer");
    EXPECT_EQ(state.notice->detail, c.file_name + " was sent to Test printer.");
  }

  const auto query = folder / "jobs.test";
  std::ofstream(query) << "{\n OPERATION Get-Jobs\n GROUP operation-attributes-tag\n"
                          " ATTR charset attributes-charset utf-8\n"
                          " ATTR naturalLanguage attributes-natural-language en\n"
                          " ATTR uri printer-uri $uri\n ATTR name requesting-user-name $user\n"
                          " ATTR keyword which-jobs all\n"
                          " ATTR keyword requested-attributes job-id,job-name,copies,sides\n"
                          " STATUS successful-ok\n DISPLAY job-id\n DISPLAY job-name\n"
                          " DISPLAY copies\n DISPLAY sides\n}\n";
  std::map<std::string, std::string> jobs;
  ASSERT_TRUE(bed::eventually([&] {
    jobs = scheduler_jobs(query);
    return jobs.size() >= cases.size();
  })) << jobs.size();
  for (const auto& c : cases) {
    ASSERT_TRUE(jobs.count(c.file_name)) << c.file_name;
    EXPECT_EQ(jobs[c.file_name], c.copies + "," + c.sides) << c.file_name;
    // And the virtual printer received it so: name, format, sides, copies.
    const std::string received = c.file_name + "\tapplication/pdf\t" + c.sides + "\t" + c.copies;
    EXPECT_TRUE(bed::eventually([&] {
      return bed::printed_log().find(received) != std::string::npos;
    })) << bed::printed_log();
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace wendlow
