#include "os_actions/printing/printing.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace os_actions::printing {
namespace {

TEST(Printing, DefaultBackendAnswersEveryCallWithServiceNotAvailable) {
  ScopedBackend<UnavailableBackend> unavailable;
  EXPECT_EQ(queues().error(), "print service not available");
  EXPECT_EQ(jobs().error(), "print service not available");
  EXPECT_EQ(scanners().error(), "print service not available");
  EXPECT_EQ(discover_driverless().error(), "print service not available");
  EXPECT_EQ(set_default("q").error(), "print service not available");
  EXPECT_EQ(scan_page("s", {}).error(), "print service not available");
}

TEST(Printing, CopiesOutsideOneToNinetyNineAreRefusedBeforeTheBackend) {
  ScopedBackend<UnavailableBackend> unavailable;
  EXPECT_EQ(print_document("/tmp/a.pdf", "q", 0, false).error(), "copies must be between 1 and 99");
  EXPECT_EQ(print_document("/tmp/a.pdf", "q", 100, false).error(),
            "copies must be between 1 and 99");
  EXPECT_EQ(print_document("/tmp/a.pdf", "q", 99, false).error(), "print service not available");
}

TEST(PrintJob, ProgressPercentNeedsBothCountsAndSaturates) {
  PrintJob job;
  EXPECT_FALSE(job.progress_percent());
  job.pages_done = 8;
  EXPECT_FALSE(job.progress_percent());
  job.pages_total = 12;
  EXPECT_EQ(job.progress_percent(), 66);
  job.pages_total = 0;
  EXPECT_FALSE(job.progress_percent());
  job.pages_total = 4;  // a service that counts past the total
  EXPECT_EQ(job.progress_percent(), 100);
  job.pages_done = std::numeric_limits<std::uint32_t>::max();
  job.pages_total = std::numeric_limits<std::uint32_t>::max();
  EXPECT_EQ(job.progress_percent(), 100);
}

}  // namespace
}  // namespace os_actions::printing
