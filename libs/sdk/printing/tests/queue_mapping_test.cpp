#include "queue_mapping.hpp"

#include <gtest/gtest.h>

#include "dnssd_resolve.hpp"
#include "queue_names.hpp"

namespace os_actions::printing::detail {
namespace {

CupsQueueAttributes cups_queue(int state = kIppPrinterIdle) {
  CupsQueueAttributes queue;
  queue.name = "Hall";
  queue.device_uri = "ipp://hall.local:631/ipp/print";
  queue.state = state;
  return queue;
}

TEST(Supplies, MarkerListsOfUnequalLengthKeepEveryNamedSupply) {
  SupplyAttributes attributes;
  attributes.marker_names = {"Black", "Cyan", "Magenta"};
  attributes.marker_colors = {"#111111", "#00FFFF#FF00FF"};
  attributes.marker_levels = {72, -3, 140, 9};  // one level too many
  auto supplies = supplies_from(attributes);
  ASSERT_TRUE(supplies);
  ASSERT_EQ(supplies->size(), 3u);
  EXPECT_EQ((*supplies)[0], (Supply{"Black", "#111111", 72}));
  EXPECT_EQ((*supplies)[1], (Supply{"Cyan", "#00FFFF", std::nullopt}));  // -3: unknown
  EXPECT_EQ((*supplies)[2], (Supply{"Magenta", std::nullopt, 100}));     // clamped
}

TEST(Supplies, PrinterSupplyIsUsedWhenNoMarkersAreReported) {
  SupplyAttributes attributes;
  attributes.printer_supply = {
      "index=1;class=receptacleThatIsFilled;type=wasteToner;unit=percent;maxcapacity=100;level=25;"
      "colorantname=unknown;",
      "index=2;type=toner;maxcapacity=200;level=50;colorantname=black;",
      "garbage without fields",
  };
  attributes.printer_supply_description = {"Toner Waste Tank"};
  auto supplies = supplies_from(attributes);
  ASSERT_TRUE(supplies);
  ASSERT_EQ(supplies->size(), 3u);
  EXPECT_EQ((*supplies)[0], (Supply{"Toner Waste Tank", std::nullopt, 25}));
  EXPECT_EQ((*supplies)[1], (Supply{"black", "#000000", 25}));  // 50 of 200
  EXPECT_EQ((*supplies)[2].name, "Supply");
  EXPECT_FALSE((*supplies)[2].level);
}

TEST(Supplies, AbsentWhenNothingReportsThem) {
  EXPECT_FALSE(supplies_from({}));
  SupplyAttributes levels_only;
  levels_only.marker_levels = {50};
  EXPECT_FALSE(supplies_from(levels_only));
  EXPECT_FALSE(supply_color("none"));
  EXPECT_FALSE(supply_color("#12345"));
  EXPECT_FALSE(supply_color("#GG0000"));
}

TEST(QueueState, PausedWinsThenUnreachableThenPrinting) {
  LiveStatus printing_live;
  printing_live.state = kIppPrinterProcessing;
  EXPECT_EQ(map_queue(cups_queue(kIppPrinterStopped), false, true, std::nullopt).state,
            QueueState::Paused);
  EXPECT_EQ(map_queue(cups_queue(), false, true, std::nullopt).state, QueueState::Unreachable);
  EXPECT_EQ(map_queue(cups_queue(kIppPrinterProcessing), false, true, std::nullopt).state,
            QueueState::Unreachable);
  EXPECT_EQ(map_queue(cups_queue(kIppPrinterProcessing), false, true, LiveStatus{}).state,
            QueueState::Printing);
  EXPECT_EQ(map_queue(cups_queue(), false, true, printing_live).state, QueueState::Printing);
  EXPECT_EQ(map_queue(cups_queue(), false, true, LiveStatus{}).state, QueueState::Idle);
  // A printer that cannot be asked (USB, a filter) is not called unreachable.
  EXPECT_EQ(map_queue(cups_queue(), false, false, std::nullopt).state, QueueState::Idle);
}

TEST(QueueState, LiveReasonsReplaceTheSchedulersStalePictureButKeepItsOwn) {
  auto cups = cups_queue(kIppPrinterStopped);
  cups.state_reasons = {"paused", "media-empty-error", "cups-missing-filter-warning"};
  cups.supplies.marker_names = {"Black"};
  cups.supplies.marker_levels = {3};
  LiveStatus live;
  live.state_reasons = {"none"};
  auto queue = map_queue(cups, true, true, live);
  EXPECT_EQ(queue.state_reasons,
            (std::vector<std::string>{"paused", "cups-missing-filter-warning"}));
  EXPECT_TRUE(queue.responded);
  EXPECT_TRUE(queue.is_default);
  // The printer reports no supplies itself: the scheduler's last known levels stand.
  ASSERT_TRUE(queue.supplies);
  EXPECT_EQ(queue.supplies->at(0).level, 3);

  auto silent = map_queue(cups, false, true, std::nullopt);
  EXPECT_EQ(silent.state_reasons, cups.state_reasons);
  EXPECT_FALSE(silent.responded);
}

TEST(QueueInfo, PrefersADescriptionThenLocationThenModel) {
  auto cups = cups_queue();
  cups.info = "Hall";  // the name again says nothing
  cups.location = "First floor";
  cups.make_and_model = "Laser 9000";
  EXPECT_EQ(map_queue(cups, false, false, std::nullopt).info, "First floor");
  cups.location.clear();
  EXPECT_EQ(map_queue(cups, false, false, std::nullopt).info, "Laser 9000");
  cups.make_and_model.clear();
  EXPECT_FALSE(map_queue(cups, false, false, std::nullopt).info);
}

TEST(QueueNames, OnlyCharactersCupsAllows) {
  EXPECT_EQ(queue_name_for("HP LaserJet 400 (Hall)"), "HP_LaserJet_400_Hall");
  EXPECT_EQ(queue_name_for("Caf\xC3\xA9 \"Drucker\" #2/3"), "Caf_Drucker_2_3");
  EXPECT_EQ(queue_name_for("   "), "Printer");
  EXPECT_EQ(queue_name_for(std::string(300, 'x')).size(), 127u);
  EXPECT_EQ(unique_queue_name("Hall", {"hall", "Hall_2"}), "Hall_3");
  EXPECT_EQ(unique_queue_name("Hall", {"Office"}), "Hall");
}

TEST(QueueNames, OnlyResolvedIppUrisMayBeAdded) {
  EXPECT_TRUE(is_resolved_printer_uri("ipps://printer.local:631/ipp/print"));
  EXPECT_TRUE(is_resolved_printer_uri("ipp://10.0.0.5/ipp/print"));
  EXPECT_FALSE(is_resolved_printer_uri("ipps://Hall%20Printer._ipps._tcp.local/"));
  EXPECT_FALSE(is_resolved_printer_uri("dnssd://Hall._ipp._tcp.local/"));
  EXPECT_FALSE(is_resolved_printer_uri("ipp:///ipp/print"));
  EXPECT_FALSE(is_resolved_printer_uri("usb://HP/LaserJet"));
  EXPECT_FALSE(is_ipp_device("socket://10.0.0.5"));
  EXPECT_TRUE(is_ipp_device("ipps://x/ipp/print"));
  EXPECT_TRUE(is_ipp_device("dnssd://Hall._ipps._tcp.local/?uuid=1"));
  EXPECT_FALSE(is_ipp_device("dnssd://Hall._pdl-datastream._tcp.local/"));
}

TEST(DnssdNames, ServiceUrisNameInstanceTypeAndDomain) {
  auto service = service_from_uri("ipps://Hall%20Printer%20%28Caf%C3%A9%29._ipps._tcp.local/");
  ASSERT_TRUE(service);
  EXPECT_EQ(service->instance, "Hall Printer (Caf\xC3\xA9)");
  EXPECT_EQ(service->type, "_ipps._tcp");
  EXPECT_EQ(service->domain, "local");
  auto plain = service_from_uri("ipp://Laser._ipp._tcp.example.org./?uuid=1");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->type, "_ipp._tcp");
  EXPECT_EQ(plain->domain, "example.org");
  EXPECT_FALSE(service_from_uri("ipps://printer.local:631/ipp/print"));
  EXPECT_FALSE(service_from_uri("not a uri"));
}

}  // namespace
}  // namespace os_actions::printing::detail
