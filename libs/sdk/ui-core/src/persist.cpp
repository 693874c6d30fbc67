#include "vesk_ui/persist.hpp"

namespace vesk_ui::persist {

std::optional<std::string> Store::get(const std::string& key) const {
  std::lock_guard lock(data_->mutex);
  auto found = data_->values.find(key);
  if (found == data_->values.end()) return std::nullopt;
  return found->second;
}

void Store::set(const std::string& key, std::string value) {
  std::lock_guard lock(data_->mutex);
  data_->values[key] = std::move(value);
}

std::expected<Store, std::string> open(std::string_view app_id) {
  if (app_id.empty()) return std::unexpected("persistence needs an application id");
  return Store{};
}

}  // namespace vesk_ui::persist
