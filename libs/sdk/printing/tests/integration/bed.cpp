#include "bed.hpp"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

namespace os_actions::printing::bed {

std::filesystem::path dir() {
  const char* value = std::getenv("TB_DIR");
  return value ? std::filesystem::path(value) : std::filesystem::path();
}

std::string shell(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return {};
  std::string out;
  std::array<char, 4096> buffer;
  while (auto got = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) {
    out.append(buffer.data(), got);
  }
  return out;
}

bool eventually(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

void reset() {
  const auto d = dir().string();
  shell(
      "for q in $(lpstat -v 2>/dev/null | sed -n 's/^device for \\([^:]*\\):.*/\\1/p'); do "
      "  case $q in Test_printer|Problem_printer|Dead_printer) ;; *) lpadmin -x \"$q\";; esac; "
      "done; "
      "cancel -a -x >/dev/null 2>&1; "
      "for q in Test_printer Problem_printer Dead_printer; do cupsenable $q; cupsaccept $q; done; "
      "lpadmin -d Test_printer; "
      "rm -f " +
      d + "/ippeve/job-seconds " + d + "/ippeve/fail-next " + d +
      "/problem/job-seconds; "
      ": > " +
      d + "/ippeve/jobs.log; : > " + d + "/problem/jobs.log");
  set_problem_paper(250);
  set_problem_toner(75);
}

void set_problem_paper(int sheets) {
  shell(
      "curl -sk -o /dev/null \"$TB_PROBLEM_WEB/media?size1=na_letter_8.5x11in&type1=stationery"
      "&level1=" +
      std::to_string(sheets) + "&size3=na_number-10_4.125x9.5in&type3=envelope&level3=-2\"");
}

void set_problem_toner(int percent) {
  shell("curl -sk -o /dev/null \"$TB_PROBLEM_WEB/supplies?supply0=25&supply1=" +
        std::to_string(percent) + "\"");
}

std::filesystem::path sample_pdf() {
  return dir() / "files" / "test.pdf";
}

std::string printed_log(const std::string& printer_dir) {
  std::ifstream in(dir() / printer_dir / "jobs.log");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace os_actions::printing::bed
