#include "scanner_list.hpp"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <utility>

#include "vesk_os/thread.hpp"

namespace os_actions::printing::detail {

struct ScannerList::State {
  Enumerate enumerate;
  std::string worker_name;
  std::mutex mutex;
  std::condition_variable finished;
  std::optional<Answer> last;  // the latest enumeration's answer
  bool running = false;        // an enumeration is under way

  Answer run() {
    try {
      return enumerate();
    } catch (const std::exception& error) {
      return std::unexpected(std::string("could not list scanners: ") + error.what());
    } catch (...) {
      return std::unexpected(std::string("could not list scanners"));
    }
  }

  void store(Answer answer) {
    {
      std::lock_guard lock(mutex);
      last = std::move(answer);
      running = false;
    }
    finished.notify_all();
  }
};

ScannerList::ScannerList(Enumerate enumerate, std::string worker_name)
    : state_(std::make_shared<State>()) {
  state_->enumerate = std::move(enumerate);
  state_->worker_name = std::move(worker_name);
}

ScannerList::Answer ScannerList::get() {
  std::unique_lock lock(state_->mutex);
  state_->finished.wait(lock, [&] { return !state_->running; });
  if (!state_->last) {
    // Nothing enumerated yet (or the last background start failed): this ask waits.
    state_->running = true;
    lock.unlock();
    auto answer = state_->run();
    state_->store(answer);
    return answer;
  }
  Answer answer = *state_->last;
  state_->running = true;
  lock.unlock();
  const bool started =
      vesk_os::spawn_named(state_->worker_name, [state = state_] { state->store(state->run()); });
  if (!started) {
    // The next ask enumerates itself rather than show this list a second time.
    std::lock_guard relock(state_->mutex);
    state_->last.reset();
    state_->running = false;
  }
  return answer;
}

}  // namespace os_actions::printing::detail
