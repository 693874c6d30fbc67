#include "vesk_ui/portal.hpp"

#include <utility>

#include "vesk_os/thread.hpp"

namespace vesk_ui::portal {

std::shared_ptr<PickerBackend> install_picker_backend(std::shared_ptr<PickerBackend> backend) {
  return vesk_os::process_backend_switch<PickerBackend>().install(std::move(backend));
}

PickRequest PickRequest::open(std::string title, std::string accept_label) {
  PickRequest request;
  request.kind = Kind::Open;
  request.title = std::move(title);
  request.accept_label = std::move(accept_label);
  return request;
}

PickRequest PickRequest::save(std::string title, std::string accept_label,
                              std::string suggested_name) {
  PickRequest request;
  request.kind = Kind::Save;
  request.title = std::move(title);
  request.accept_label = std::move(accept_label);
  request.suggested_name = std::move(suggested_name);
  return request;
}

PickRequest&& PickRequest::filter(FileFilter value) && {
  filters.push_back(std::move(value));
  return std::move(*this);
}

PickRequest&& PickRequest::all_files() && {
  include_all_files = true;
  return std::move(*this);
}

PickRequest&& PickRequest::thread_name(std::string name) && {
  worker_name = std::move(name);
  return std::move(*this);
}

vesk_os::OneshotReceiver<PickResult> PickRequest::send(std::optional<vesk_os::Waker> waker) && {
  auto [reply, answer] = vesk_os::oneshot<PickResult>(std::move(waker));
  auto backend = vesk_os::process_backend_switch<PickerBackend>().current();
  std::string name = worker_name;
  vesk_os::spawn_named(std::move(name), [request = std::move(*this), backend = std::move(backend),
                                         reply = std::move(reply)]() mutable {
    if (!backend) {
      std::move(reply).send(Failed{"no file picker available"});
      return;
    }
    backend->pick(request, std::move(reply));
  });
  return std::move(answer);
}

}  // namespace vesk_ui::portal
